// A model from a host's arrays: the counts first, then the load cases, nodes, shells and frames,
// each checked as it is filed into the model's maps.

#include "xsect/io/model_arrays.h"

#include <cmath>
#include <set>
#include <vector>

namespace xsect::io {

namespace {

using Nodes = std::map<std::int32_t, CVertex>;

bool AllFinite(const double* values, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (!std::isfinite(values[i])) return false;
    return true;
}

std::string CaseName(std::int32_t id) { return "load case " + std::to_string(id); }

// Each step returns the sentence of its first fault, or "".
std::string CheckCounts(const ModelArrays& a) {
    struct Block {
        const char* what;
        std::int32_t count;
        std::vector<const void*> arrays;
    };
    const Block blocks[] = {{"node_count", a.nodeCount, {a.nodeIds, a.nodeXyz}},
                            {"shell_count", a.shellCount, {a.shellIds, a.shellNodes}},
                            {"frame_count", a.frameCount, {a.frameIds, a.frameNodes}},
                            {"case_count", a.caseCount, {a.cases}}};
    for (const Block& b : blocks) {
        if (b.count < 0) return std::string(b.what) + " is negative";
        for (const void* p : b.arrays)
            if (b.count > 0 && p == nullptr) return std::string(b.what) + " is not zero but an array of it is null";
    }
    if (a.shellCount > 0 && a.shellWidth < 3)
        return "shell_width must be at least 3: a shell has three nodes or more";
    if (!std::isfinite(a.tolerance) || a.tolerance <= 0) return "the tolerance must be a finite number above zero";
    const auto& p = a.planeNodes;
    const bool none = p[0] == 0 && p[1] == 0 && p[2] == 0;
    if (!none && (p[0] <= 0 || p[1] <= 0 || p[2] <= 0))
        return "plane_nodes must be three positive node ids, or all zero";
    return {};
}

std::string ReadNodes(const ModelArrays& a, Nodes& nodes) {
    for (std::int32_t i = 0; i < a.nodeCount; ++i) {
        const std::int32_t id = a.nodeIds[i];
        const double* xyz = a.nodeXyz + 3 * static_cast<std::size_t>(i);
        if (!AllFinite(xyz, 3)) return "node " + std::to_string(id) + ": a coordinate is not finite";
        if (!nodes.emplace(id, CVertex(xyz[0], xyz[1], xyz[2])).second)
            return "node " + std::to_string(id) + ": the id is given twice";
    }
    return {};
}

std::string ReadCases(const ModelArrays& a, std::map<std::int32_t, LoadCase>& cases) {
    const std::set<std::int32_t> rules{RSP_COMBINE_SUM, RSP_COMBINE_SRSS, RSP_COMBINE_ABS, RSP_COMBINE_CQC,
                                       RSP_COMBINE_CLOSE_MODES};
    for (std::int32_t i = 0; i < a.caseCount; ++i) {
        const CaseArrays& c = a.cases[i];
        const CLoadCaseInfo& info = c.info;
        const std::string where = CaseName(c.id);
        if (info.caseType != LOAD_CASE_STATIC && info.caseType != LOAD_CASE_RESPONSE_SPECTRUM &&
            info.caseType != LOAD_CASE_UNSUPPORTED)
            return where + ": unknown type " + std::to_string(info.caseType);
        const bool spectrum = info.caseType == LOAD_CASE_RESPONSE_SPECTRUM;
        if (spectrum && info.modeCount < 1) return where + ": a response-spectrum case needs a mode";
        if (info.modeCount < 0) return where + ": the number of modes is negative";
        if (!rules.count(info.combinationMethod))
            return where + ": unknown combination rule " + std::to_string(info.combinationMethod);
        if (info.signMethod != RSP_SIGN_FROM_SUM && info.signMethod != RSP_SIGN_FROM_MODE)
            return where + ": unknown sign method " + std::to_string(info.signMethod);
        if (spectrum && info.combinationMethod == RSP_COMBINE_CQC && c.coefficients == nullptr)
            return where + ": the CQC rule needs the coupling coefficients";
        if (spectrum && info.combinationMethod == RSP_COMBINE_CLOSE_MODES && c.frequencies == nullptr)
            return where + ": the close-modes rule needs the frequencies";
        const auto modes = static_cast<std::size_t>(info.modeCount);
        LoadCase lc;
        lc.name = c.name;
        if (c.frequencies != nullptr) lc.frequencies.assign(c.frequencies, c.frequencies + modes);
        if (c.coefficients != nullptr) lc.coefficients.assign(c.coefficients, c.coefficients + modes * modes);
        if (!AllFinite(lc.frequencies.data(), lc.frequencies.size()) ||
            !AllFinite(lc.coefficients.data(), lc.coefficients.size()))
            return where + ": a frequency or coefficient is not finite";
        lc.info = info;
        lc.info.modeFrequencies = nullptr;
        lc.info.crossModalCoefficients = nullptr;
        if (!cases.emplace(c.id, std::move(lc)).second) return where + ": the id is given twice";
    }
    return {};
}

// The node ids of one shell row: known nodes, each once, then only -1 padding.
std::string ReadShellRow(const ModelArrays& a, std::int32_t row, const Nodes& nodes, std::vector<std::int32_t>& out) {
    const std::string where = "shell " + std::to_string(a.shellIds[row]);
    const std::int32_t* slots = a.shellNodes + static_cast<std::size_t>(row) * static_cast<std::size_t>(a.shellWidth);
    out.clear();
    for (std::int32_t j = 0; j < a.shellWidth; ++j) {
        const std::int32_t id = slots[j];
        if (id == -1) continue;
        if (out.size() != static_cast<std::size_t>(j))
            return where + ": node " + std::to_string(id) + " follows padding (-1)";
        if (!nodes.count(id)) return where + ": unknown node " + std::to_string(id);
        for (std::int32_t seen : out)
            if (seen == id) return where + ": node " + std::to_string(id) + " is given twice";
        out.push_back(id);
    }
    if (out.size() < 3) return where + ": fewer than three nodes";
    return {};
}

// One element end's or node's results of one case: one block of six, or one per mode.
std::string ReadResults(const double* block, std::int32_t modes, const std::string& where,
                        std::vector<CNodeResults>& out) {
    const std::size_t count = static_cast<std::size_t>(modes < 1 ? 1 : modes);
    if (!AllFinite(block, 6 * count)) return where + ": a result is not finite";
    out.resize(count);
    for (std::size_t m = 0; m < count; ++m) {
        const double* f = block + 6 * m;
        out[m] = CNodeResults{f[0], f[1], f[2], f[3], f[4], f[5]};
    }
    return {};
}

// A case of a type without results must have none.
std::string CheckResultsAllowed(const CaseArrays& c, const double* block, const char* kind) {
    if (block != nullptr && c.info.caseType == LOAD_CASE_UNSUPPORTED)
        return CaseName(c.id) + ": a case of unsupported type has no " + kind + " results";
    return {};
}

std::string ReadShells(const ModelArrays& a, const Nodes& nodes, std::map<std::int32_t, CShellElement>& shells,
                       std::map<std::int32_t, double>& thickness) {
    std::vector<CShellElement*> rows(static_cast<std::size_t>(a.shellCount));
    for (std::int32_t i = 0; i < a.shellCount; ++i) {
        auto [it, fresh] = shells.try_emplace(a.shellIds[i]);
        if (!fresh) return "shell " + std::to_string(a.shellIds[i]) + ": the id is given twice";
        if (std::string fault = ReadShellRow(a, i, nodes, it->second.nodes); !fault.empty()) return fault;
        rows[static_cast<std::size_t>(i)] = &it->second;
        if (a.shellThickness == nullptr) continue;
        const double t = a.shellThickness[i];
        if (!(t > 0.0) || !std::isfinite(t))
            return "shell " + std::to_string(a.shellIds[i]) + ": the thickness is not a positive number";
        thickness.emplace_hint(thickness.end(), a.shellIds[i], t);
    }
    const auto width = static_cast<std::size_t>(a.shellWidth);
    std::vector<CNodeResults> values;
    for (std::int32_t c = 0; c < a.caseCount; ++c) {
        const CaseArrays& lc = a.cases[c];
        const double* block = lc.shellResults;
        if (std::string fault = CheckResultsAllowed(lc, block, "shell"); !fault.empty()) return fault;
        if (block == nullptr) continue;
        const bool spectrum = lc.info.caseType == LOAD_CASE_RESPONSE_SPECTRUM;
        const std::int32_t modes = spectrum ? lc.info.modeCount : 0;
        const std::size_t stride = 6 * static_cast<std::size_t>(spectrum ? modes : 1);
        for (std::int32_t i = 0; i < a.shellCount; ++i) {
            CShellElement& shell = *rows[static_cast<std::size_t>(i)];
            for (std::size_t j = 0; j < shell.nodes.size(); ++j) {
                const std::int32_t node = shell.nodes[j];
                const std::string where = CaseName(lc.id) + ", shell " + std::to_string(a.shellIds[i]) + ", node " +
                                          std::to_string(node);
                const double* at = block + (static_cast<std::size_t>(i) * width + j) * stride;
                if (std::string fault = ReadResults(at, modes, where, values); !fault.empty()) return fault;
                if (!spectrum) {
                    shell.StoreStaticCaseResults(lc.id, node, values[0]);
                    continue;
                }
                for (std::size_t m = 0; m < values.size(); ++m)
                    shell.StoreResponseSpectraCaseResults(lc.id, node, static_cast<std::int32_t>(m + 1), values[m]);
            }
        }
    }
    return {};
}

std::string ReadFrames(const ModelArrays& a, const Nodes& nodes, std::map<std::int32_t, CFrameElement>& frames) {
    std::vector<CFrameElement*> rows(static_cast<std::size_t>(a.frameCount));
    for (std::int32_t i = 0; i < a.frameCount; ++i) {
        const std::string where = "frame " + std::to_string(a.frameIds[i]);
        auto [it, fresh] = frames.try_emplace(a.frameIds[i]);
        if (!fresh) return where + ": the id is given twice";
        const std::int32_t* ends = a.frameNodes + 2 * static_cast<std::size_t>(i);
        for (int e = 0; e < 2; ++e)
            if (!nodes.count(ends[e])) return where + ": unknown node " + std::to_string(ends[e]);
        it->second.nodeA = ends[0];
        it->second.nodeB = ends[1];
        rows[static_cast<std::size_t>(i)] = &it->second;
    }
    std::vector<CNodeResults> values;
    for (std::int32_t c = 0; c < a.caseCount; ++c) {
        const CaseArrays& lc = a.cases[c];
        const double* block = lc.frameResults;
        if (std::string fault = CheckResultsAllowed(lc, block, "frame"); !fault.empty()) return fault;
        if (block == nullptr) continue;
        const bool spectrum = lc.info.caseType == LOAD_CASE_RESPONSE_SPECTRUM;
        const std::int32_t modes = spectrum ? lc.info.modeCount : 0;
        const std::size_t stride = 6 * static_cast<std::size_t>(spectrum ? modes : 1);
        for (std::int32_t i = 0; i < a.frameCount; ++i) {
            CFrameElement& frame = *rows[static_cast<std::size_t>(i)];
            for (std::size_t end = 0; end < 2; ++end) {
                const std::string where =
                    CaseName(lc.id) + ", frame " + std::to_string(a.frameIds[i]) + (end == 0 ? ", end A" : ", end B");
                const double* at = block + (2 * static_cast<std::size_t>(i) + end) * stride;
                if (std::string fault = ReadResults(at, modes, where, values); !fault.empty()) return fault;
                if (!spectrum) {
                    (end == 0 ? frame.staticResultsA : frame.staticResultsB)[lc.id] = values[0];
                    continue;
                }
                auto& modal = (end == 0 ? frame.spectrumResultsA : frame.spectrumResultsB)[lc.id];
                for (std::size_t m = 0; m < values.size(); ++m) modal[static_cast<std::int32_t>(m + 1)] = values[m];
            }
        }
    }
    return {};
}

}  // namespace

bool ModelFromArrays(const ModelArrays& a, Model& model, std::string& error) {
    error = CheckCounts(a);
    if (error.empty()) {
        model.tolerance = a.tolerance;
        model.planeNodes = a.planeNodes;
        error = ReadCases(a, model.loadCases);
    }
    if (error.empty()) error = ReadNodes(a, model.nodes);
    if (error.empty()) error = ReadShells(a, model.nodes, model.shells, model.thickness);
    if (error.empty()) error = ReadFrames(a, model.nodes, model.frames);
    if (!error.empty()) return false;
    // A record of the model's results lists its elements in the arrays' order.
    model.shellOrder.assign(a.shellIds, a.shellIds + a.shellCount);
    model.frameOrder.assign(a.frameIds, a.frameIds + a.frameCount);
    return true;
}

}  // namespace xsect::io
