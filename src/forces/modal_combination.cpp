// Section resultants of a response-spectrum case: integrated mode by mode, then combined over
// the modes by the load case's rule, its residual and its sign.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "xsect/forces/cross_section_forces_post.h"

namespace xsect {

namespace {

constexpr double kCloseModeRatio = 0.1;  // frequencies closer than this (relative) couple
constexpr double kClosePairWeight = 2.0;

// Combines the first m modal values; n is the mode count that strides the coefficient rows.
double combineModes(const CLoadCaseInfo& lc, const std::vector<double>& values, std::size_t m, std::size_t n) {
    const double notANumber = std::numeric_limits<double>::quiet_NaN();
    double s = 0.0;
    switch (lc.combinationMethod) {
    case RSP_COMBINE_SUM:
        for (std::size_t k = 0; k < m; ++k) s += values[k];
        return s;
    case RSP_COMBINE_SRSS:
        for (std::size_t k = 0; k < m; ++k) s += values[k] * values[k];
        return std::sqrt(s);
    case RSP_COMBINE_ABS:
        for (std::size_t k = 0; k < m; ++k) s += std::fabs(values[k]);
        return s;
    case RSP_COMBINE_CQC: {
        // A missing coefficient array must not pass for a zero response.
        if (m > 0 && lc.crossModalCoefficients == nullptr) return notANumber;
        std::vector<double> rowSums(m, 0.0);
        for (std::size_t i = 0; i < m; ++i)
            for (std::size_t j = 0; j < m; ++j) rowSums[i] += lc.crossModalCoefficients[i * n + j] * values[j];
        for (std::size_t i = 0; i < m; ++i) s += values[i] * rowSums[i];
        // No guard against a negative sum: its root is not a number, as it should be.
        return std::sqrt(s);
    }
    case RSP_COMBINE_CLOSE_MODES: {
        if (m > 0 && lc.modeFrequencies == nullptr) return notANumber;
        for (std::size_t k = 0; k < m; ++k) s += values[k] * values[k];
        const double* f = lc.modeFrequencies;
        for (std::size_t i = 0; i + 1 < m; ++i)
            for (std::size_t j = i + 1; j < m; ++j)
                // Signed and divided by the lower mode's frequency: a descending pair, or one
                // past a zero frequency (quotient infinite or undefined), is judged by this alone.
                if ((f[j] - f[i]) / f[i] < kCloseModeRatio) s += kClosePairWeight * std::fabs(values[i] * values[j]);
        return std::sqrt(s);
    }
    default:
        return 0.0;
    }
}

}  // namespace

double CCrossSectionForcesPost::ComputeRSPCombination(CLoadCaseInfo* loadCase, std::vector<double>& values) {
    if (loadCase == nullptr) return std::numeric_limits<double>::quiet_NaN();  // no rule to combine by
    const std::size_t n = static_cast<std::size_t>(std::max<std::int32_t>(loadCase->modeCount, 0));
    // A vector shorter than the mode count is combined as far as it goes, never beyond.
    const std::size_t m = std::min(n, values.size());
    double s = combineModes(*loadCase, values, m, n);

    // The residual enters as a root of squares, which drops the sign of an algebraic sum.
    if (loadCase->combineResidual && values.size() > n) {
        const double extra = values[n];
        s = std::sqrt(s * s + extra * extra);
    }

    if (loadCase->applySign) {
        if (loadCase->signMethod == RSP_SIGN_FROM_SUM)
            s *= RSP_SignMethod1(values);
        else if (loadCase->signMethod == RSP_SIGN_FROM_MODE)
            s *= RSP_SignMethod2(values, loadCase->signMode);
    }
    return s;
}

void CCrossSectionForcesPost::ApplySigntoRSPValue(RSP_SIGN_METHOD method, std::int32_t mode,
                                                  std::vector<double>& values, double& value) {
    if (method == RSP_SIGN_FROM_SUM)
        value *= RSP_SignMethod1(values);
    else if (method == RSP_SIGN_FROM_MODE)
        value *= RSP_SignMethod2(values, mode);
}

double CCrossSectionForcesPost::RSP_SignMethod1(std::vector<double>& values) {
    // Weighting each value by its own size lets the dominant modes decide the sign.
    double sum = 0.0;
    for (double r : values) sum += std::fabs(r) * r;
    return sum < 0.0 ? -1.0 : 1.0;
}

double CCrossSectionForcesPost::RSP_SignMethod2(std::vector<double>& values, std::int32_t mode) {
    if (mode < 1 || static_cast<std::size_t>(mode) > values.size()) return 1.0;
    const double r = values[static_cast<std::size_t>(mode - 1)];
    // 0 / 0 is not below zero, so a zero modal value keeps the positive sign.
    return r / std::fabs(r) < 0.0 ? -1.0 : 1.0;
}

}  // namespace xsect
