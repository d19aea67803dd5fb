#include "model.h"

namespace xsect::cli {

std::map<std::int32_t, CLoadCaseInfo> LibraryLoadCases(Model& model) {
    std::map<std::int32_t, CLoadCaseInfo> out;
    for (auto& [id, lc] : model.loadCases) {
        CLoadCaseInfo info = lc.info;
        info.modeFrequencies = lc.frequencies.empty() ? nullptr : lc.frequencies.data();
        info.crossModalCoefficients = lc.coefficients.empty() ? nullptr : lc.coefficients.data();
        out.emplace(id, info);
    }
    return out;
}

std::unique_ptr<CCrossSectionForcesPost> MakeForceCalculator(Model& model) {
    auto cases = LibraryLoadCases(model);
    return std::make_unique<CCrossSectionForcesPost>(model.nodes, model.shells, model.frames, cases, model.tolerance,
                                                     model.planeNodes[0], model.planeNodes[1], model.planeNodes[2]);
}

const char* LoadCaseTypeName(std::int32_t caseType) {
    switch (caseType) {
        case LOAD_CASE_STATIC: return "static";
        case LOAD_CASE_RESPONSE_SPECTRUM: return "response_spectrum";
        case LOAD_CASE_UNSUPPORTED: return "unsupported";
        default: return "other";
    }
}

const char* CombinationName(std::int32_t method) {
    switch (method) {
        case RSP_COMBINE_SUM: return "sum";
        case RSP_COMBINE_SRSS: return "srss";
        case RSP_COMBINE_ABS: return "abs";
        case RSP_COMBINE_CQC: return "cqc";
        case RSP_COMBINE_CLOSE_MODES: return "close_modes";
        default: return "other";
    }
}

}  // namespace xsect::cli
