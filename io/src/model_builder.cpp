#include "model_builder.h"

#include <algorithm>
#include <cmath>

namespace xsect::io {

namespace {

std::string Str(std::int32_t v) { return std::to_string(v); }

// Readers mostly add ids in increasing order; a hint at the end makes each insertion constant time.
template <class Map, class Value>
bool InsertNew(Map& map, std::int32_t id, Value&& value) {
    if (map.empty() || map.rbegin()->first < id) {
        map.emplace_hint(map.end(), id, std::forward<Value>(value));
        return true;
    }
    return map.emplace(id, std::forward<Value>(value)).second;
}

}  // namespace

bool ModelBuilder::Fail(const std::string& what) {
    error_ = what;
    return false;
}

bool ModelBuilder::KnownNode(std::int32_t id) {
    if (nodeIdsStale_) {
        nodeIds_.clear();
        nodeIds_.reserve(model_.nodes.size());
        for (const auto& entry : model_.nodes) nodeIds_.push_back(entry.first);
        nodeIdsStale_ = false;
    }
    return std::binary_search(nodeIds_.begin(), nodeIds_.end(), id);
}

bool ModelBuilder::AddLoadCase(std::int32_t id, LoadCase loadCase) {
    if (model_.loadCases.count(id)) return Fail("duplicate load case id " + Str(id));
    const CLoadCaseInfo& info = loadCase.info;
    if (info.caseType == LOAD_CASE_RESPONSE_SPECTRUM) {
        if (info.modeCount < 1) return Fail("a response-spectrum case needs \"modes\" of at least 1");
        const auto n = static_cast<std::size_t>(info.modeCount);
        if (!loadCase.frequencies.empty() && loadCase.frequencies.size() != n)
            return Fail("\"frequencies\" holds " + std::to_string(loadCase.frequencies.size()) + " values for " +
                        Str(info.modeCount) + " modes");
        if (!loadCase.coefficients.empty() && loadCase.coefficients.size() != n * n)
            return Fail("\"coefficients\" holds " + std::to_string(loadCase.coefficients.size()) + " values; " +
                        Str(info.modeCount) + " modes need " + std::to_string(n * n));
        // The library combines these rules to NaN without their arrays; say so before it does.
        if (info.combinationMethod == RSP_COMBINE_CQC && loadCase.coefficients.empty())
            return Fail("combination \"cqc\" needs \"coefficients\"");
        if (info.combinationMethod == RSP_COMBINE_CLOSE_MODES && loadCase.frequencies.empty())
            return Fail("combination \"close_modes\" needs \"frequencies\"");
    }
    model_.loadCases.emplace(id, std::move(loadCase));
    return true;
}

bool ModelBuilder::AddNode(std::int32_t id, double x, double y, double z) {
    CVertex v(x, y, z);
    v.id = id;
    if (!InsertNew(model_.nodes, id, v)) return Fail("duplicate node id " + Str(id));
    nodeIdsStale_ = true;
    return true;
}

bool ModelBuilder::AddShell(std::int32_t id, const std::vector<std::int32_t>& nodes, std::optional<double> thickness) {
    if (nodes.size() < 3)
        return Fail("shell " + Str(id) + " lists " + std::to_string(nodes.size()) + " nodes; at least 3");
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (!KnownNode(nodes[i])) return Fail("unknown node " + Str(nodes[i]) + " in shell " + Str(id));
        if (std::find(nodes.begin() + static_cast<std::ptrdiff_t>(i) + 1, nodes.end(), nodes[i]) != nodes.end())
            return Fail("node " + Str(nodes[i]) + " is listed twice in shell " + Str(id));
    }
    if (thickness && !(*thickness > 0.0)) return Fail("shell " + Str(id) + " has a thickness that is not positive");
    CShellElement shell;
    shell.nodes = nodes;
    if (!InsertNew(model_.shells, id, std::move(shell))) return Fail("duplicate shell id " + Str(id));
    model_.shellOrder.push_back(id);
    if (thickness) InsertNew(model_.thickness, id, *thickness);
    return true;
}

bool ModelBuilder::AddFrame(std::int32_t id, std::int32_t nodeA, std::int32_t nodeB) {
    for (std::int32_t n : {nodeA, nodeB})
        if (!KnownNode(n)) return Fail("unknown node " + Str(n) + " in frame " + Str(id));
    if (nodeA == nodeB) return Fail("frame " + Str(id) + " starts and ends at node " + Str(nodeA));
    CFrameElement frame;
    frame.nodeA = nodeA;
    frame.nodeB = nodeB;
    if (!InsertNew(model_.frames, id, std::move(frame))) return Fail("duplicate frame id " + Str(id));
    model_.frameOrder.push_back(id);
    return true;
}

bool ModelBuilder::CheckResultKey(std::int32_t loadCase, std::int32_t mode) {
    if (!lastCase_ || lastCaseId_ != loadCase) {
        auto it = model_.loadCases.find(loadCase);
        if (it == model_.loadCases.end()) return Fail("unknown load case " + Str(loadCase));
        lastCase_ = &it->second;
        lastCaseId_ = loadCase;
    }
    const CLoadCaseInfo& info = lastCase_->info;
    if (info.caseType == LOAD_CASE_RESPONSE_SPECTRUM) {
        if (mode == 0) return Fail("load case " + Str(loadCase) + " is a response-spectrum case: give a mode");
        if (mode < 1 || mode > info.modeCount)
            return Fail("mode " + Str(mode) + " is outside 1.." + Str(info.modeCount) + " of load case " +
                        Str(loadCase));
    } else if (mode != 0) {
        return Fail("load case " + Str(loadCase) + " is not a response-spectrum case: no mode");
    }
    return true;
}

bool ModelBuilder::AddShellResult(std::int32_t shell, std::int32_t node, std::int32_t loadCase, std::int32_t mode,
                                  const std::array<double, 6>& v) {
    if (!lastShell_ || lastShellId_ != shell) {
        auto it = model_.shells.find(shell);
        if (it == model_.shells.end()) return Fail("unknown shell " + Str(shell));
        lastShell_ = &it->second;
        lastShellId_ = shell;
    }
    CShellElement& s = *lastShell_;
    if (std::find(s.nodes.begin(), s.nodes.end(), node) == s.nodes.end())
        return Fail("node " + Str(node) + " is not a node of shell " + Str(shell));
    if (!CheckResultKey(loadCase, mode)) return false;
    const CNodeResults r{v[0], v[1], v[2], v[3], v[4], v[5]};
    // Filed straight into the element's maps, whose insertion tells a repeated key.
    const bool fresh = mode == 0 ? s.staticResults[loadCase].emplace(node, r).second
                                 : s.spectrumResults[loadCase][node].emplace(mode, r).second;
    if (!fresh)
        return Fail("duplicate result for shell " + Str(shell) + ", node " + Str(node) + ", load case " +
                    Str(loadCase) + (mode ? ", mode " + Str(mode) : std::string()));
    return true;
}

bool ModelBuilder::AddFrameResult(std::int32_t frame, bool endB, std::int32_t loadCase, std::int32_t mode,
                                  const std::array<double, 6>& v) {
    auto it = model_.frames.find(frame);
    if (it == model_.frames.end()) return Fail("unknown frame " + Str(frame));
    if (!CheckResultKey(loadCase, mode)) return false;
    const CNodeResults r{v[0], v[1], v[2], v[3], v[4], v[5]};
    CFrameElement& f = it->second;
    const bool fresh = mode == 0 ? (endB ? f.staticResultsB : f.staticResultsA).emplace(loadCase, r).second
                                 : (endB ? f.spectrumResultsB : f.spectrumResultsA)[loadCase].emplace(mode, r).second;
    if (!fresh)
        return Fail(std::string("duplicate result for frame ") + Str(frame) + ", end " + (endB ? "B" : "A") +
                    ", load case " + Str(loadCase));
    return true;
}

bool ModelBuilder::AddShellStress(std::int32_t shell, std::int32_t node, std::int32_t loadCase,
                                  const NodeStress& stress) {
    auto it = model_.shells.find(shell);
    if (it == model_.shells.end()) return Fail("unknown shell " + Str(shell));
    const auto& nodes = it->second.nodes;
    if (std::find(nodes.begin(), nodes.end(), node) == nodes.end())
        return Fail("node " + Str(node) + " is not a node of shell " + Str(shell));
    if (!model_.loadCases.count(loadCase)) return Fail("unknown load case " + Str(loadCase));
    if (!model_.stresses[shell][loadCase].emplace(node, stress).second)
        return Fail("duplicate stress for shell " + Str(shell) + ", node " + Str(node) + ", load case " +
                    Str(loadCase));
    return true;
}

bool ModelBuilder::SetPlaneNodes(const std::array<std::int32_t, 3>& ids) {
    for (std::int32_t id : ids) {
        if (id <= 0) return Fail("plane nodes must be positive node ids; " + Str(id) + " is not");
        if (!KnownNode(id)) return Fail("unknown node " + Str(id));
    }
    model_.planeNodes = ids;
    return true;
}

bool ModelBuilder::SetTolerance(double tolerance) {
    if (!(tolerance > 0.0)) return Fail("must be greater than 0");
    model_.tolerance = tolerance;
    return true;
}

bool ModelBuilder::SetUnits(const Units& units) {
    for (const std::string* u : {&units.length, &units.force})
        if (u->empty() || u->size() > 16 || u->find_first_of("<>&\"'\n") != std::string::npos)
            return Fail("a unit is a short name such as \"m\" or \"kN\", not \"" + *u + "\"");
    model_.units = units;
    return true;
}

bool ModelBuilder::AddCombination(const std::string& name) {
    if (name.empty()) return Fail("a combination needs a name");
    for (const Combination& c : model_.combinations)
        if (c.name == name) return Fail("duplicate combination name \"" + name + "\"");
    model_.combinations.push_back(Combination{name, {}});
    return true;
}

bool ModelBuilder::AddCombinationTerm(std::int32_t loadCase, double factor) {
    Combination& c = model_.combinations.back();
    if (!model_.loadCases.count(loadCase)) return Fail("unknown load case " + Str(loadCase));
    if (!std::isfinite(factor)) return Fail("the factor is not finite");
    for (const Combination::Term& t : c.terms)
        if (t.loadCase == loadCase) return Fail("load case " + Str(loadCase) + " is named twice");
    c.terms.push_back({loadCase, factor});
    return true;
}

bool ModelBuilder::FinishCombination() {
    if (model_.combinations.back().terms.empty()) return Fail("a combination needs at least one load case");
    return true;
}

bool ModelBuilder::AddGroup(const std::string& name, const std::vector<std::int32_t>& shells,
                            const std::vector<std::int32_t>& frames) {
    if (name.empty()) return Fail("a group needs a name");
    for (const Group& g : model_.groups)
        if (g.name == name) return Fail("duplicate group name \"" + name + "\"");
    if (shells.empty() && frames.empty()) return Fail("group \"" + name + "\" names no element");
    const std::string of = "group \"" + name + "\" names ";
    for (const std::int32_t id : shells)
        if (!model_.shells.count(id)) return Fail(of + "unknown shell " + Str(id));
    for (const std::int32_t id : frames)
        if (!model_.frames.count(id)) return Fail(of + "unknown frame " + Str(id));
    for (const auto* ids : {&shells, &frames}) {
        std::vector<std::int32_t> sorted = *ids;
        std::sort(sorted.begin(), sorted.end());
        const auto twice = std::adjacent_find(sorted.begin(), sorted.end());
        if (twice != sorted.end()) return Fail(of + (ids == &shells ? "shell " : "frame ") + Str(*twice) + " twice");
    }
    model_.groups.push_back(Group{name, shells, frames});
    return true;
}

bool ModelBuilder::Finish() {
    for (const auto& [shell, byCase] : model_.stresses)
        for (const auto& [loadCase, byNode] : byCase)
            for (std::int32_t node : model_.shells.at(shell).nodes)
                if (!byNode.count(node))
                    return Fail("the stresses of load case " + Str(loadCase) + " in shell " + Str(shell) +
                                " miss node " + Str(node));
    return true;
}

}  // namespace xsect::io
