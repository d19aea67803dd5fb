#include "xsect/io/model.h"

#include <algorithm>

namespace xsect::io {

namespace {

const std::pair<const char*, std::int32_t> kCaseTypes[] = {
    {"static", LOAD_CASE_STATIC}, {"response_spectrum", LOAD_CASE_RESPONSE_SPECTRUM}, {"unsupported", LOAD_CASE_UNSUPPORTED}};
const std::pair<const char*, std::int32_t> kRules[] = {{"sum", RSP_COMBINE_SUM},
                                                       {"srss", RSP_COMBINE_SRSS},
                                                       {"abs", RSP_COMBINE_ABS},
                                                       {"cqc", RSP_COMBINE_CQC},
                                                       {"close_modes", RSP_COMBINE_CLOSE_MODES}};
const std::pair<const char*, std::int32_t> kSignMethods[] = {{"sum", RSP_SIGN_FROM_SUM}, {"mode", RSP_SIGN_FROM_MODE}};

template <std::size_t N>
const char* NameOf(const std::pair<const char*, std::int32_t> (&table)[N], std::int32_t code) {
    for (const auto& [name, value] : table)
        if (value == code) return name;
    return "other";
}

template <std::size_t N>
bool CodeOf(const std::pair<const char*, std::int32_t> (&table)[N], const std::string& name, std::int32_t& code) {
    for (const auto& [n, value] : table)
        if (name == n) return code = value, true;
    return false;
}

// rowOf[i]: where the i-th id in ascending order stands in `order`.
std::vector<std::int32_t> RowsOf(const std::vector<std::int32_t>& order) {
    std::vector<std::int32_t> byId(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) byId[i] = static_cast<std::int32_t>(i);
    std::sort(byId.begin(), byId.end(), [&](std::int32_t a, std::int32_t b) {
        return order[static_cast<std::size_t>(a)] < order[static_cast<std::size_t>(b)];
    });
    return byId;
}

std::vector<std::int32_t> Ascending(std::size_t count) {
    std::vector<std::int32_t> rows(count);
    for (std::size_t i = 0; i < count; ++i) rows[i] = static_cast<std::int32_t>(i);
    return rows;
}

}  // namespace

SectionPlan PlanInFileOrder(const SectionPlan& plan, const std::vector<std::int32_t>& shellOrder,
                            const std::vector<std::int32_t>& frameOrder) {
    if (shellOrder.empty() && frameOrder.empty()) return plan;
    return plan.Renumbered(shellOrder.empty() ? Ascending(plan.ShellRows()) : RowsOf(shellOrder),
                           frameOrder.empty() ? Ascending(plan.FrameRows()) : RowsOf(frameOrder));
}

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

bool IsAssembly(const Model& model, const CCrossSectionForcesPost& calculator) {
    // Named plane nodes ask for a plane model, whose refusal then stands.
    return model.planeNodes[0] <= 0 && calculator.GetCurrentStatus() == CS_PLANE_NOT_DEFINED;
}

Assembly MakeAssembly(Model& model) {
    return Assembly(model.nodes, model.shells, model.frames, LibraryLoadCases(model), model.tolerance,
                    NodalForceSense::OnElement, model.thickness);
}

SectionCutter MakeSectionCutter(const CCrossSectionForcesPost& calculator,
                                const std::map<std::int32_t, double>& thickness) {
    SectionCutter cutter(calculator);
    if (!thickness.empty()) cutter.ShellThicknesses(thickness);
    return cutter;
}

const char* LoadCaseTypeName(std::int32_t caseType) { return NameOf(kCaseTypes, caseType); }
const char* CombinationRuleName(std::int32_t method) { return NameOf(kRules, method); }
bool LoadCaseTypeFromName(const std::string& name, std::int32_t& type) { return CodeOf(kCaseTypes, name, type); }
bool CombinationRuleFromName(const std::string& name, std::int32_t& method) { return CodeOf(kRules, name, method); }
const char* SignMethodName(std::int32_t method) { return NameOf(kSignMethods, method); }
bool SignMethodFromName(const std::string& name, std::int32_t& method) { return CodeOf(kSignMethods, name, method); }

}  // namespace xsect::io
