#pragma once

#include <cstdint>

namespace xsect {

// Kinds of load case (CLoadCaseInfo::caseType).
enum LOAD_CASE_TYPE : std::int32_t {
    LOAD_CASE_STATIC = 0,
    LOAD_CASE_UNSUPPORTED = 1,
    LOAD_CASE_RESPONSE_SPECTRUM = 2
};

// Whether the calculators compute load cases of this type: static and response-spectrum ones.
inline bool IsComputedCaseType(std::int32_t caseType) {
    return caseType == LOAD_CASE_STATIC || caseType == LOAD_CASE_RESPONSE_SPECTRUM;
}

// Modal combination rules of a response-spectrum case (CLoadCaseInfo::combinationMethod).
// Any other value combines to 0.
enum RSP_COMBINATION_METHOD : std::int32_t {
    RSP_COMBINE_SUM = -1,
    RSP_COMBINE_SRSS = 0,
    RSP_COMBINE_ABS = 1,
    RSP_COMBINE_CQC = 2,
    RSP_COMBINE_CLOSE_MODES = 4
};

// How a combined modal value gets its sign (CLoadCaseInfo::signMethod).
enum RSP_SIGN_METHOD : std::int32_t {
    RSP_SIGN_FROM_SUM = 0,
    RSP_SIGN_FROM_MODE = 1
};

// Description of one load case. The two arrays stay the host's: they are not copied and must
// hold at least modeCount and modeCount x modeCount values and outlive every calculator built
// over a load case map that points to them. Either may be null when its rule is not used.
struct CLoadCaseInfo {
    std::int32_t caseType = LOAD_CASE_STATIC;
    std::int32_t combinationMethod = RSP_COMBINE_SRSS;
    std::int32_t signMethod = RSP_SIGN_FROM_SUM;
    std::int32_t modeCount = 0;
    bool applySign = false;
    std::int32_t signMode = 0;
    bool combineResidual = false;
    double* modeFrequencies = nullptr;         // modeCount frequencies, for RSP_COMBINE_CLOSE_MODES
    double* crossModalCoefficients = nullptr;  // row by row, for RSP_COMBINE_CQC
};

}  // namespace xsect
