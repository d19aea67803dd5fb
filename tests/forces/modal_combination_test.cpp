#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/forces_access.h"
#include "support/strip_model.h"

using namespace xsect;
using Access = CCrossSectionForcesPostTestAccess;
using strip_model::SmallModel;
using Calc = CCrossSectionForcesPost;

namespace {

CLoadCaseInfo rule(std::int32_t method, std::int32_t modes) {
    CLoadCaseInfo lc;
    lc.caseType = LOAD_CASE_RESPONSE_SPECTRUM;
    lc.combinationMethod = method;
    lc.modeCount = modes;
    return lc;
}

double combine(CLoadCaseInfo lc, std::vector<double> values) { return Calc::ComputeRSPCombination(&lc, values); }

}  // namespace

TEST(ModalCombination, DocumentedRules) {
    double close[] = {1.0, 1.05};
    double apart[] = {10.0, 11.0};  // (11 - 10) / 10 is exactly 0.1: not close
    double descending[] = {2.0, 1.0, 0.5};
    double identity[] = {1, 0, 0, 1};
    double ones[] = {1, 1, 1, 1};
    struct Case {
        const char* name;
        std::int32_t method;
        std::vector<double> values;
        double* freq;
        double* rho;
        double want;
    } cases[] = {
        {"SRSS", RSP_COMBINE_SRSS, {3, 4}, nullptr, nullptr, 5},
        {"ABS", RSP_COMBINE_ABS, {3, -4}, nullptr, nullptr, 7},
        {"SUM", RSP_COMBINE_SUM, {3, 4}, nullptr, nullptr, 7},
        {"SUM keeps the sign", RSP_COMBINE_SUM, {3, -4}, nullptr, nullptr, -1},
        {"close pair", RSP_COMBINE_CLOSE_MODES, {3, 4}, close, nullptr, 7},
        {"pair exactly 0.1 apart", RSP_COMBINE_CLOSE_MODES, {3, 4}, apart, nullptr, 5},
        // Descending frequencies give negative quotients: every pair is close.
        {"descending", RSP_COMBINE_CLOSE_MODES, {1, -2, 2}, descending, nullptr, std::sqrt(9.0 + 2 * (2 + 2 + 4))},
        {"CQC identity is SRSS", RSP_COMBINE_CQC, {3, -4}, nullptr, identity, 5},
        {"CQC all ones is |SUM|", RSP_COMBINE_CQC, {3, -4}, nullptr, ones, 1},
        {"method 3", 3, {3, 4}, nullptr, nullptr, 0},
        {"method -2", -2, {3, 4}, nullptr, nullptr, 0},
    };
    for (const auto& k : cases) {
        CLoadCaseInfo lc = rule(k.method, static_cast<std::int32_t>(k.values.size()));
        lc.modeFrequencies = k.freq;
        lc.crossModalCoefficients = k.rho;
        EXPECT_DOUBLE_EQ(combine(lc, k.values), k.want) << k.name;
    }
}

TEST(ModalCombination, CqcUsesTheCoefficientsAsGivenRowByRow) {
    // An unsymmetric rho shows the indexing: sum_i R_i sum_j rho(i, j) R_j.
    double rho[] = {1, 2, 0, 1};
    EXPECT_DOUBLE_EQ(combine([&] { auto lc = rule(RSP_COMBINE_CQC, 2); lc.crossModalCoefficients = rho; return lc; }(),
                             {1, 3}),
                     std::sqrt(1 + 2 * 3 + 9.0));
    // A negative sum is not guarded: its root is not a number.
    double negative[] = {1, -5, -5, 1};
    auto lc = rule(RSP_COMBINE_CQC, 2);
    lc.crossModalCoefficients = negative;
    EXPECT_TRUE(std::isnan(combine(lc, {1, 1})));
}

TEST(ModalCombination, ZeroFrequencyPairIsNotClose) {
    double freq[] = {0.0, 1.0, 0.0};
    auto lc = rule(RSP_COMBINE_CLOSE_MODES, 3);
    lc.modeFrequencies = freq;
    // (1 - 0) / 0 = +inf and (0 - 0) / 0 = NaN: neither is below 0.1. Pair (2, 3): -1 < 0.1.
    EXPECT_DOUBLE_EQ(combine(lc, {1, 2, 3}), std::sqrt(14.0 + 2 * 6));
}

TEST(ModalCombination, MissingArraysCombineToNaN) {
    auto cqc = rule(RSP_COMBINE_CQC, 2);
    EXPECT_TRUE(std::isnan(combine(cqc, {3, 4})));
    auto close = rule(RSP_COMBINE_CLOSE_MODES, 2);
    EXPECT_TRUE(std::isnan(combine(close, {3, 4})));
    std::vector<double> values{3, 4};
    EXPECT_TRUE(std::isnan(Calc::ComputeRSPCombination(nullptr, values)));
    // With no mode there is nothing to combine and nothing is read: zero, as for every rule.
    for (std::int32_t method : {-1, 0, 1, 2, 3, 4}) EXPECT_EQ(combine(rule(method, 0), {}), 0.0) << method;
}

TEST(ModalCombination, ShortVectorsAndNegativeModeCounts) {
    // Fewer values than modes: combine what exists and read no further.
    EXPECT_DOUBLE_EQ(combine(rule(RSP_COMBINE_SRSS, 5), {3, 4}), 5);
    double rho[] = {1, 0, 0, 0, 1, 0, 0, 0, 1};  // 3 x 3: rows stride by the mode count
    auto cqc = rule(RSP_COMBINE_CQC, 3);
    cqc.crossModalCoefficients = rho;
    EXPECT_DOUBLE_EQ(combine(cqc, {3, 4}), 5);
    // A negative mode count behaves as zero: every value is extra.
    EXPECT_EQ(combine(rule(RSP_COMBINE_SUM, -3), {3, 4}), 0.0);
    auto residual = rule(RSP_COMBINE_SUM, -3);
    residual.combineResidual = true;
    EXPECT_DOUBLE_EQ(combine(residual, {-3, 4}), 3);  // sqrt(0 + 9): the first value is the extra one
}

TEST(ModalCombination, ResidualJoinsAsRootOfSquares) {
    auto lc = rule(RSP_COMBINE_SRSS, 1);
    lc.combineResidual = true;
    EXPECT_DOUBLE_EQ(combine(lc, {3, 4}), 5);
    lc.modeCount = 2;
    EXPECT_DOUBLE_EQ(combine(lc, {3, 4}), 5);  // no extra value: the flag has no effect
    auto sum = rule(RSP_COMBINE_SUM, 1);
    sum.combineResidual = true;
    EXPECT_DOUBLE_EQ(combine(sum, {-3, 4}), 5);  // the sum's sign is lost in the squares
    sum.combineResidual = false;
    EXPECT_DOUBLE_EQ(combine(sum, {-3, 4}), -3);
}

TEST(ModalCombination, SignRules) {
    auto bySum = rule(RSP_COMBINE_SRSS, 2);
    bySum.applySign = true;
    bySum.signMethod = RSP_SIGN_FROM_SUM;
    EXPECT_DOUBLE_EQ(combine(bySum, {1, -2}), -std::sqrt(5.0));  // 1 - 4 < 0
    EXPECT_DOUBLE_EQ(combine(bySum, {-1, 1}), std::sqrt(2.0));   // exactly 0 is not negative
    // The extra value takes part in the sign by sum.
    bySum.modeCount = 1;
    EXPECT_DOUBLE_EQ(combine(bySum, {1, -2}), 1.0 * -1);

    auto byMode = rule(RSP_COMBINE_SRSS, 2);
    byMode.applySign = true;
    byMode.signMethod = RSP_SIGN_FROM_MODE;
    struct Case {
        std::int32_t mode;
        double sign;
    } cases[] = {{2, -1}, {1, 1}, {0, 1}, {3, 1}, {-1, 1}};
    for (const auto& k : cases) {
        byMode.signMode = k.mode;
        EXPECT_DOUBLE_EQ(combine(byMode, {1, -2}), k.sign * std::sqrt(5.0)) << "mode " << k.mode;
    }
    auto other = byMode;
    other.signMethod = 7;  // unknown: untouched
    other.signMode = 2;
    EXPECT_DOUBLE_EQ(combine(other, {1, -2}), std::sqrt(5.0));
    auto off = byMode;
    off.applySign = false;
    EXPECT_DOUBLE_EQ(combine(off, {1, -2}), std::sqrt(5.0));
}

TEST(ModalCombination, PublicSignHelpers) {
    std::vector<double> values{1, -2};
    std::vector<double> empty;
    std::vector<double> zero{0, 5};
    EXPECT_EQ(Calc::RSP_SignMethod1(values), -1.0);
    EXPECT_EQ(Calc::RSP_SignMethod1(empty), 1.0);
    EXPECT_EQ(Calc::RSP_SignMethod2(values, 2), -1.0);
    EXPECT_EQ(Calc::RSP_SignMethod2(values, 1), 1.0);
    EXPECT_EQ(Calc::RSP_SignMethod2(values, 3), 1.0);
    EXPECT_EQ(Calc::RSP_SignMethod2(zero, 1), 1.0);  // 0 / 0 is not below zero

    double v = 4;
    Calc::ApplySigntoRSPValue(RSP_SIGN_FROM_SUM, 0, values, v);
    EXPECT_EQ(v, -4);
    Calc::ApplySigntoRSPValue(RSP_SIGN_FROM_MODE, 2, values, v);
    EXPECT_EQ(v, 4);
    Calc::ApplySigntoRSPValue(static_cast<RSP_SIGN_METHOD>(5), 2, values, v);
    EXPECT_EQ(v, 4);
}

TEST(ModalCombination, PerModeIntegrationFillsOneEntryPerMode) {
    SmallModel m;
    m.AddNode(1, 1, 0);
    m.AddNode(2, 0, 2);
    CCrossSectionForcesPost calc = m.Build();
    AG_Matrix T(3, 3, 0.0);
    T(1, 1) = 1;
    T(2, 2) = 1;
    T(3, 3) = 1;
    std::map<std::int32_t, std::map<std::int32_t, CNodeResults>> modal;
    modal[1][1] = {0, 3, 0, 0, 0, 0};  // about the origin: F2 = 3, M3 = 3
    modal[3][2] = {4, 0, 0, 0, 0, 0};  // F1 = 4, M3 = -8
    modal[2];                          // an empty mode keeps zeros
    modal[9][1] = {100, 0, 0, 0, 0, 0}; // beyond the mode count: ignored
    CLoadCaseInfo lc = rule(RSP_COMBINE_SUM, 3);
    CVertex p1, p2;
    double f[6] = {7, 7, 7, 7, 7, 7};  // outputs are overwritten
    Access::CalculateRSPResultants(calc, &lc, T, &p1, &p2, modal, 0, 0, 0, f[0], f[1], f[2], f[3], f[4], f[5]);
    EXPECT_DOUBLE_EQ(f[0], 4);
    EXPECT_DOUBLE_EQ(f[1], 3);
    EXPECT_DOUBLE_EQ(f[2], 0);
    EXPECT_DOUBLE_EQ(f[5], -5);
    lc.combinationMethod = RSP_COMBINE_SRSS;
    Access::CalculateRSPResultants(calc, &lc, T, &p1, &p2, modal, 0, 0, 0, f[0], f[1], f[2], f[3], f[4], f[5]);
    EXPECT_DOUBLE_EQ(f[5], std::sqrt(9.0 + 64.0));
    // Mode 3's sign decides: the modal vectors are indexed by mode number.
    lc.combinationMethod = RSP_COMBINE_ABS;
    lc.applySign = true;
    lc.signMethod = RSP_SIGN_FROM_MODE;
    lc.signMode = 3;
    Access::CalculateRSPResultants(calc, &lc, T, &p1, &p2, modal, 0, 0, 0, f[0], f[1], f[2], f[3], f[4], f[5]);
    EXPECT_DOUBLE_EQ(f[5], -11);
    EXPECT_DOUBLE_EQ(f[1], 3);
    lc.modeCount = 0;
    Access::CalculateRSPResultants(calc, &lc, T, &p1, &p2, modal, 0, 0, 0, f[0], f[1], f[2], f[3], f[4], f[5]);
    for (double v : f) EXPECT_EQ(v, 0.0);
}
