#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/strip_model.h"

using namespace xsect;
using namespace xsect::strip_model;

namespace {

std::vector<double> spectrumCut(Strip& strip, std::int32_t modeCount, std::int32_t method) {
    CLoadCaseInfo& info = strip.loadCases[7];
    info.modeCount = modeCount;
    info.combinationMethod = method;
    info.applySign = true;
    info.signMethod = RSP_SIGN_FROM_MODE;
    info.signMode = 2;
    CCrossSectionForcesPost calc = strip.Calculator();
    CVertex a = strip.GlobalVertex(4.3, 1.5), b = strip.GlobalVertex(4.3, -1.5);
    std::vector<double> F1, F2, F3, M1, M2, M3;
    EXPECT_EQ(calc.GetForcesOnSection(7, &a, &b, F1, F2, F3, M1, M2, M3, 1, false, true, nullptr), 1);
    std::vector<double> all;
    for (auto* v : {&F1, &F2, &F3, &M1, &M2, &M3}) all.insert(all.end(), v->begin(), v->end());
    return all;
}

}  // namespace

// A host's mode count far above the modes it filed results for must neither change the answer
// nor cost memory or time in proportion to the count.
TEST(ModalBounds, HugeModeCountGivesTheSameAnswerAsTheFiledModes) {
    Strip strip(TiltedStrip());
    strip.AddSpectrumMode(7, 1, {1.0, -2.0, 0.5, 0.3});
    strip.AddSpectrumMode(7, 2, {-0.4, 1.5, 1.2, -0.2});
    for (std::int32_t method : {RSP_COMBINE_SUM, RSP_COMBINE_SRSS, RSP_COMBINE_ABS}) {
        const std::vector<double> filed = spectrumCut(strip, 2, method);
        const std::vector<double> huge = spectrumCut(strip, std::numeric_limits<std::int32_t>::max(), method);
        ASSERT_EQ(filed.size(), 6u);
        EXPECT_EQ(huge, filed) << method;
    }
    // Without results, a rule whose array is missing still shows as NaN rather than zero.
    Strip empty(TiltedStrip());
    empty.loadCases[7].caseType = LOAD_CASE_RESPONSE_SPECTRUM;
    const std::vector<double> cqc = spectrumCut(empty, 1 << 30, RSP_COMBINE_CQC);
    ASSERT_EQ(cqc.size(), 6u);
    EXPECT_TRUE(std::isnan(cqc[0]));
}
