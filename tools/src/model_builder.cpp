#include "model_builder.h"

#include <algorithm>
#include <cmath>

namespace xsect::cli {

namespace {

std::string Str(std::int32_t v) { return std::to_string(v); }

}  // namespace

bool CombinationFromName(const std::string& name, std::int32_t& method) {
    static const std::pair<const char*, std::int32_t> names[] = {{"sum", RSP_COMBINE_SUM},
                                                                 {"srss", RSP_COMBINE_SRSS},
                                                                 {"abs", RSP_COMBINE_ABS},
                                                                 {"cqc", RSP_COMBINE_CQC},
                                                                 {"close_modes", RSP_COMBINE_CLOSE_MODES}};
    for (const auto& [n, v] : names)
        if (name == n) {
            method = v;
            return true;
        }
    return false;
}

bool CaseTypeFromName(const std::string& name, std::int32_t& type) {
    if (name == "static") type = LOAD_CASE_STATIC;
    else if (name == "response_spectrum") type = LOAD_CASE_RESPONSE_SPECTRUM;
    else if (name == "unsupported") type = LOAD_CASE_UNSUPPORTED;
    else return false;
    return true;
}

bool ModelBuilder::Fail(const std::string& place, const std::string& what) {
    error_ = place + ": " + what;
    return false;
}

bool ModelBuilder::AddLoadCase(std::int32_t id, LoadCase loadCase, const std::string& place) {
    if (model_.loadCases.count(id)) return Fail(place, "duplicate load case id " + Str(id));
    const CLoadCaseInfo& info = loadCase.info;
    if (info.caseType == LOAD_CASE_RESPONSE_SPECTRUM) {
        if (info.modeCount < 1) return Fail(place, "a response-spectrum case needs \"modes\" of at least 1");
        const auto n = static_cast<std::size_t>(info.modeCount);
        if (!loadCase.frequencies.empty() && loadCase.frequencies.size() != n)
            return Fail(place, "\"frequencies\" holds " + std::to_string(loadCase.frequencies.size()) +
                                   " values for " + Str(info.modeCount) + " modes");
        if (!loadCase.coefficients.empty() && loadCase.coefficients.size() != n * n)
            return Fail(place, "\"coefficients\" holds " + std::to_string(loadCase.coefficients.size()) +
                                   " values; " + Str(info.modeCount) + " modes need " + std::to_string(n * n));
        // The library combines these rules to NaN without their arrays; say so before it does.
        if (info.combinationMethod == RSP_COMBINE_CQC && loadCase.coefficients.empty())
            return Fail(place, "combination \"cqc\" needs \"coefficients\"");
        if (info.combinationMethod == RSP_COMBINE_CLOSE_MODES && loadCase.frequencies.empty())
            return Fail(place, "combination \"close_modes\" needs \"frequencies\"");
    }
    model_.loadCases.emplace(id, std::move(loadCase));
    return true;
}

bool ModelBuilder::AddNode(std::int32_t id, double x, double y, double z, const std::string& place) {
    if (model_.nodes.count(id)) return Fail(place, "duplicate node id " + Str(id));
    CVertex v(x, y, z);
    v.id = id;
    model_.nodes.emplace(id, v);
    return true;
}

bool ModelBuilder::AddShell(std::int32_t id, const std::vector<std::int32_t>& nodes,
                            std::optional<double> thickness, const std::string& place) {
    if (model_.shells.count(id)) return Fail(place, "duplicate shell id " + Str(id));
    if (nodes.size() < 3)
        return Fail(place, "shell " + Str(id) + " lists " + std::to_string(nodes.size()) + " nodes; at least 3");
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (!model_.nodes.count(nodes[i])) return Fail(place, "unknown node " + Str(nodes[i]) + " in shell " + Str(id));
        if (std::count(nodes.begin(), nodes.end(), nodes[i]) > 1)
            return Fail(place, "node " + Str(nodes[i]) + " is listed twice in shell " + Str(id));
    }
    if (thickness) {
        if (!(*thickness > 0.0)) return Fail(place, "shell " + Str(id) + " has a thickness that is not positive");
        model_.thickness[id] = *thickness;
    }
    CShellElement shell;
    shell.nodes = nodes;
    model_.shells.emplace(id, std::move(shell));
    return true;
}

bool ModelBuilder::AddFrame(std::int32_t id, std::int32_t nodeA, std::int32_t nodeB, const std::string& place) {
    if (model_.frames.count(id)) return Fail(place, "duplicate frame id " + Str(id));
    for (std::int32_t n : {nodeA, nodeB})
        if (!model_.nodes.count(n)) return Fail(place, "unknown node " + Str(n) + " in frame " + Str(id));
    if (nodeA == nodeB) return Fail(place, "frame " + Str(id) + " starts and ends at node " + Str(nodeA));
    CFrameElement frame;
    frame.nodeA = nodeA;
    frame.nodeB = nodeB;
    model_.frames.emplace(id, std::move(frame));
    return true;
}

bool ModelBuilder::CheckResultKey(std::int32_t loadCase, std::int32_t mode, const std::string& place) {
    auto it = model_.loadCases.find(loadCase);
    if (it == model_.loadCases.end()) return Fail(place, "unknown load case " + Str(loadCase));
    const CLoadCaseInfo& info = it->second.info;
    if (info.caseType == LOAD_CASE_RESPONSE_SPECTRUM) {
        if (mode == 0) return Fail(place, "load case " + Str(loadCase) + " is a response-spectrum case: give a mode");
        if (mode < 1 || mode > info.modeCount)
            return Fail(place, "mode " + Str(mode) + " is outside 1.." + Str(info.modeCount) + " of load case " +
                                   Str(loadCase));
    } else if (mode != 0) {
        return Fail(place, "load case " + Str(loadCase) + " is not a response-spectrum case: no mode");
    }
    return true;
}

bool ModelBuilder::AddShellResult(std::int32_t shell, std::int32_t node, std::int32_t loadCase, std::int32_t mode,
                                  const std::array<double, 6>& v, const std::string& place) {
    auto it = model_.shells.find(shell);
    if (it == model_.shells.end()) return Fail(place, "unknown shell " + Str(shell));
    const auto& nodes = it->second.nodes;
    if (std::find(nodes.begin(), nodes.end(), node) == nodes.end())
        return Fail(place, "node " + Str(node) + " is not a node of shell " + Str(shell));
    if (!CheckResultKey(loadCase, mode, place)) return false;
    if (!shellResultKeys_.insert({shell, node, loadCase, mode}).second)
        return Fail(place, "duplicate result for shell " + Str(shell) + ", node " + Str(node) + ", load case " +
                               Str(loadCase) + (mode ? ", mode " + Str(mode) : std::string()));
    CNodeResults r{v[0], v[1], v[2], v[3], v[4], v[5]};
    if (mode == 0) it->second.StoreStaticCaseResults(loadCase, node, r);
    else it->second.StoreResponseSpectraCaseResults(loadCase, node, mode, r);
    return true;
}

bool ModelBuilder::AddFrameResult(std::int32_t frame, bool endB, std::int32_t loadCase, std::int32_t mode,
                                  const std::array<double, 6>& v, const std::string& place) {
    auto it = model_.frames.find(frame);
    if (it == model_.frames.end()) return Fail(place, "unknown frame " + Str(frame));
    if (!CheckResultKey(loadCase, mode, place)) return false;
    if (!frameResultKeys_.insert({frame, endB, loadCase, mode}).second)
        return Fail(place, std::string("duplicate result for frame ") + Str(frame) + ", end " + (endB ? "B" : "A") +
                               ", load case " + Str(loadCase));
    CNodeResults r{v[0], v[1], v[2], v[3], v[4], v[5]};
    CFrameElement& f = it->second;
    if (mode == 0) (endB ? f.staticResultsB : f.staticResultsA)[loadCase] = r;
    else (endB ? f.spectrumResultsB : f.spectrumResultsA)[loadCase][mode] = r;
    return true;
}

bool ModelBuilder::AddShellStress(std::int32_t shell, std::int32_t node, std::int32_t loadCase,
                                  const NodeStress& stress, const std::string& place) {
    auto it = model_.shells.find(shell);
    if (it == model_.shells.end()) return Fail(place, "unknown shell " + Str(shell));
    const auto& nodes = it->second.nodes;
    if (std::find(nodes.begin(), nodes.end(), node) == nodes.end())
        return Fail(place, "node " + Str(node) + " is not a node of shell " + Str(shell));
    if (!model_.loadCases.count(loadCase)) return Fail(place, "unknown load case " + Str(loadCase));
    auto& byNode = model_.stresses[shell][loadCase];
    if (!byNode.emplace(node, stress).second)
        return Fail(place, "duplicate stress for shell " + Str(shell) + ", node " + Str(node) + ", load case " +
                               Str(loadCase));
    return true;
}

bool ModelBuilder::SetPlaneNodes(const std::array<std::int32_t, 3>& ids, const std::string& place) {
    for (std::int32_t id : ids) {
        if (id <= 0) return Fail(place, "plane nodes must be positive node ids; " + Str(id) + " is not");
        if (!model_.nodes.count(id)) return Fail(place, "unknown node " + Str(id));
    }
    model_.planeNodes = ids;
    return true;
}

bool ModelBuilder::Finish(const std::string& place) {
    for (const auto& [shell, byCase] : model_.stresses)
        for (const auto& [loadCase, byNode] : byCase)
            for (std::int32_t node : model_.shells.at(shell).nodes)
                if (!byNode.count(node))
                    return Fail(place, "the stresses of load case " + Str(loadCase) + " in shell " + Str(shell) +
                                           " miss node " + Str(node));
    return true;
}

}  // namespace xsect::cli
