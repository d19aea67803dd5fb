#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include <xsect/xsect.h>

using namespace xsect;
using Calc = CCrossSectionForcesPost;

TEST(ModalCombination, RulesExtraValueAndSign) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double r5 = std::sqrt(5.0);
    double close[] = {1.0, 1.05};
    double apart[] = {10.0, 11.0};  // (11 - 10) / 10 is exactly 0.1: not close
    double descending[] = {2.0, 1.0, 0.5};
    double zeroFirst[] = {0.0, 1.0, 0.0};
    double identity[] = {1, 0, 0, 1};
    double unsymmetric[] = {1, 2, 0, 1};
    double negative[] = {1, -5, -5, 1};
    double identity3[] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    struct Case {
        const char* name;
        std::int32_t method, modes;
        std::vector<double> values;
        double want;  // NaN: not a number expected
        double* freq = nullptr;
        double* rho = nullptr;
        bool residual = false;
        bool applySign = false;
        std::int32_t signMethod = RSP_SIGN_FROM_SUM, signMode = 0;
    } cases[] = {
        {"SRSS", RSP_COMBINE_SRSS, 2, {3, 4}, 5},
        {"ABS", RSP_COMBINE_ABS, 2, {3, -4}, 7},
        {"SUM", RSP_COMBINE_SUM, 2, {3, 4}, 7},
        {"close pair", RSP_COMBINE_CLOSE_MODES, 2, {3, 4}, 7, close},
        {"pair exactly 0.1 apart", RSP_COMBINE_CLOSE_MODES, 2, {3, 4}, 5, apart},
        // Descending frequencies give negative quotients: every pair is close.
        {"descending", RSP_COMBINE_CLOSE_MODES, 3, {1, -2, 2}, std::sqrt(9.0 + 2 * (2 + 2 + 4)), descending},
        // (1 - 0) / 0 = +inf and (0 - 0) / 0 = NaN: neither is below 0.1. Pair (2, 3): -1 < 0.1.
        {"zero frequency divisor", RSP_COMBINE_CLOSE_MODES, 3, {1, 2, 3}, std::sqrt(14.0 + 2 * 6), zeroFirst},
        {"CLOSE without frequencies", RSP_COMBINE_CLOSE_MODES, 2, {3, 4}, nan},
        {"CQC identity is SRSS", RSP_COMBINE_CQC, 2, {3, -4}, 5, nullptr, identity},
        // sum_i R_i sum_j rho(i, j) R_j, row by row
        {"CQC unsymmetric", RSP_COMBINE_CQC, 2, {1, 3}, std::sqrt(1 + 2 * 3 + 9.0), nullptr, unsymmetric},
        {"CQC negative sum is not guarded", RSP_COMBINE_CQC, 2, {1, 1}, nan, nullptr, negative},
        {"CQC without coefficients", RSP_COMBINE_CQC, 2, {3, 4}, nan},
        {"method 3", 3, 2, {3, 4}, 0},
        // Fewer values than modes: combine what exists, rows still stride by the mode count.
        {"SRSS short vector", RSP_COMBINE_SRSS, 5, {3, 4}, 5},
        {"CQC short vector", RSP_COMBINE_CQC, 3, {3, 4}, 5, nullptr, identity3},
        {"negative mode count is zero", RSP_COMBINE_SUM, -3, {3, 4}, 0},
        {"negative mode count, extra", RSP_COMBINE_SUM, -3, {-3, 4}, 3, nullptr, nullptr, true},
        {"extra joins as root of squares", RSP_COMBINE_SRSS, 1, {3, 4}, 5, nullptr, nullptr, true},
        {"extra drops the sum's sign", RSP_COMBINE_SUM, 1, {-3, 4}, 5, nullptr, nullptr, true},
        {"extra ignored without the flag", RSP_COMBINE_SUM, 1, {-3, 4}, -3},
        {"sign by sum: 1 - 4 < 0", RSP_COMBINE_SRSS, 2, {1, -2}, -r5, nullptr, nullptr, false, true},
        {"sign by sum: exactly 0 is not negative", RSP_COMBINE_SRSS, 2, {-1, 1}, std::sqrt(2.0), nullptr, nullptr,
         false, true},
        {"sign by sum takes the extra value", RSP_COMBINE_SRSS, 1, {1, -2}, -1, nullptr, nullptr, false, true},
        {"sign of mode 2", RSP_COMBINE_SRSS, 2, {1, -2}, -r5, nullptr, nullptr, false, true, RSP_SIGN_FROM_MODE, 2},
        {"sign of mode 1", RSP_COMBINE_SRSS, 2, {1, -2}, r5, nullptr, nullptr, false, true, RSP_SIGN_FROM_MODE, 1},
        {"sign of a zero mode: 0 / 0 is not below zero", RSP_COMBINE_SRSS, 2, {0, -2}, 2, nullptr, nullptr, false,
         true, RSP_SIGN_FROM_MODE, 1},
        {"sign of mode 3", RSP_COMBINE_SRSS, 2, {1, -2}, r5, nullptr, nullptr, false, true, RSP_SIGN_FROM_MODE, 3},
        {"unknown sign method", RSP_COMBINE_SRSS, 2, {1, -2}, r5, nullptr, nullptr, false, true, 7, 2},
        {"sign not applied", RSP_COMBINE_SRSS, 2, {1, -2}, r5, nullptr, nullptr, false, false, RSP_SIGN_FROM_MODE, 2},
    };
    for (auto& k : cases) {
        CLoadCaseInfo lc;
        lc.caseType = LOAD_CASE_RESPONSE_SPECTRUM;
        lc.combinationMethod = k.method;
        lc.modeCount = k.modes;
        lc.modeFrequencies = k.freq;
        lc.crossModalCoefficients = k.rho;
        lc.combineResidual = k.residual;
        lc.applySign = k.applySign;
        lc.signMethod = k.signMethod;
        lc.signMode = k.signMode;
        const double got = Calc::ComputeRSPCombination(&lc, k.values);
        if (std::isnan(k.want)) {
            EXPECT_TRUE(std::isnan(got)) << k.name << ": " << got;
        } else {
            EXPECT_DOUBLE_EQ(got, k.want) << k.name;
        }
        // With no mode there is nothing to combine and nothing is read: zero for every rule.
        lc.modeCount = 0;
        std::vector<double> none;
        EXPECT_EQ(Calc::ComputeRSPCombination(&lc, none), 0.0) << k.name;
    }
    std::vector<double> values{3, 4};
    EXPECT_TRUE(std::isnan(Calc::ComputeRSPCombination(nullptr, values)));
}

// The host's own sign step: the table's sign rows show both methods.
TEST(ModalCombination, ApplySignToAValueTakesTheMethodsSignOrNone) {
    std::vector<double> values{1, -2};
    double v = 4;
    Calc::ApplySigntoRSPValue(RSP_SIGN_FROM_SUM, 0, values, v);
    EXPECT_EQ(v, -4);
    Calc::ApplySigntoRSPValue(static_cast<RSP_SIGN_METHOD>(5), 2, values, v);
    EXPECT_EQ(v, -4);
}
