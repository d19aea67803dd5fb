// A model from the host's arrays: every array is checked and the library's host maps are filled from
// them; the handle then builds the calculator over the maps and drops them, so that it holds the
// calculator's copy of the results and nothing more.

#include <cmath>
#include <set>

#include "model_handle.h"

namespace xsect::c_api {

namespace {

using Nodes = std::map<std::int32_t, CVertex>;

bool AllFinite(const double* values, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (!std::isfinite(values[i])) return false;
    return true;
}

std::string CaseName(std::int32_t id) { return "load case " + std::to_string(id); }

int CheckCounts(const xsect_model_arrays& a) {
    struct Block {
        const char* what;
        std::int32_t count;
        std::vector<const void*> arrays;
    };
    const Block blocks[] = {{"node_count", a.node_count, {a.node_ids, a.node_xyz}},
                            {"shell_count", a.shell_count, {a.shell_ids, a.shell_nodes}},
                            {"frame_count", a.frame_count, {a.frame_ids, a.frame_nodes}},
                            {"case_count", a.case_count, {a.cases}}};
    for (const Block& b : blocks) {
        if (b.count < 0) return Fail(XSECT_E_ARGUMENT, std::string(b.what) + " is negative");
        for (const void* p : b.arrays)
            if (b.count > 0 && p == nullptr)
                return Fail(XSECT_E_ARGUMENT, std::string(b.what) + " is not zero but an array of it is null");
    }
    if (a.shell_count > 0 && a.shell_width < 3)
        return Fail(XSECT_E_ARGUMENT, "shell_width must be at least 3: a shell has three nodes or more");
    if (!std::isfinite(a.tolerance) || a.tolerance <= 0)
        return Fail(XSECT_E_ARGUMENT, "the tolerance must be a finite number above zero");
    const std::int32_t* p = a.plane_nodes;
    const bool none = p[0] == 0 && p[1] == 0 && p[2] == 0;
    if (!none && (p[0] <= 0 || p[1] <= 0 || p[2] <= 0))
        return Fail(XSECT_E_ARGUMENT, "plane_nodes must be three positive node ids, or all zero");
    return XSECT_OK;
}

int ReadNodes(const xsect_model_arrays& a, Nodes& nodes) {
    for (std::int32_t i = 0; i < a.node_count; ++i) {
        const std::int32_t id = a.node_ids[i];
        const double* xyz = a.node_xyz + 3 * static_cast<std::size_t>(i);
        if (!AllFinite(xyz, 3))
            return Fail(XSECT_E_ARGUMENT, "node " + std::to_string(id) + ": a coordinate is not finite");
        if (!nodes.emplace(id, CVertex(xyz[0], xyz[1], xyz[2])).second)
            return Fail(XSECT_E_ARGUMENT, "node " + std::to_string(id) + ": the id is given twice");
    }
    return XSECT_OK;
}

int ReadCases(const xsect_model_arrays& a, std::map<std::int32_t, io::LoadCase>& cases) {
    for (std::int32_t i = 0; i < a.case_count; ++i) {
        const xsect_load_case& c = a.cases[i];
        const std::string where = CaseName(c.id);
        if (c.type != LOAD_CASE_STATIC && c.type != LOAD_CASE_RESPONSE_SPECTRUM && c.type != LOAD_CASE_UNSUPPORTED)
            return Fail(XSECT_E_ARGUMENT, where + ": unknown type " + std::to_string(c.type));
        const bool spectrum = c.type == LOAD_CASE_RESPONSE_SPECTRUM;
        if (spectrum && c.modes < 1) return Fail(XSECT_E_ARGUMENT, where + ": a response-spectrum case needs a mode");
        if (c.modes < 0) return Fail(XSECT_E_ARGUMENT, where + ": the number of modes is negative");
        const std::set<std::int32_t> rules{RSP_COMBINE_SUM, RSP_COMBINE_SRSS, RSP_COMBINE_ABS, RSP_COMBINE_CQC,
                                           RSP_COMBINE_CLOSE_MODES};
        if (!rules.count(c.combination))
            return Fail(XSECT_E_ARGUMENT, where + ": unknown combination rule " + std::to_string(c.combination));
        if (c.sign_method != RSP_SIGN_FROM_SUM && c.sign_method != RSP_SIGN_FROM_MODE)
            return Fail(XSECT_E_ARGUMENT, where + ": unknown sign method " + std::to_string(c.sign_method));
        const auto modes = static_cast<std::size_t>(c.modes);
        if (spectrum && c.combination == RSP_COMBINE_CQC && c.coefficients == nullptr)
            return Fail(XSECT_E_ARGUMENT, where + ": the CQC rule needs the coupling coefficients");
        if (spectrum && c.combination == RSP_COMBINE_CLOSE_MODES && c.frequencies == nullptr)
            return Fail(XSECT_E_ARGUMENT, where + ": the close-modes rule needs the frequencies");
        io::LoadCase lc;
        if (c.name != nullptr) lc.name = c.name;
        if (c.frequencies != nullptr) lc.frequencies.assign(c.frequencies, c.frequencies + modes);
        if (c.coefficients != nullptr) lc.coefficients.assign(c.coefficients, c.coefficients + modes * modes);
        if (!AllFinite(lc.frequencies.data(), lc.frequencies.size()) ||
            !AllFinite(lc.coefficients.data(), lc.coefficients.size()))
            return Fail(XSECT_E_ARGUMENT, where + ": a frequency or coefficient is not finite");
        lc.info.caseType = c.type;
        lc.info.combinationMethod = c.combination;
        lc.info.signMethod = c.sign_method;
        lc.info.modeCount = c.modes;
        lc.info.applySign = c.apply_sign;
        lc.info.signMode = c.sign_mode;
        lc.info.combineResidual = c.combine_residual;
        if (!cases.emplace(c.id, std::move(lc)).second)
            return Fail(XSECT_E_ARGUMENT, where + ": the id is given twice");
    }
    return XSECT_OK;
}

// The node ids of one shell row: known nodes, each once, then only -1 padding.
int ReadShellRow(const xsect_model_arrays& a, std::int32_t row, const Nodes& nodes, std::vector<std::int32_t>& out) {
    const std::string where = "shell " + std::to_string(a.shell_ids[row]);
    const std::int32_t* slots = a.shell_nodes + static_cast<std::size_t>(row) * static_cast<std::size_t>(a.shell_width);
    out.clear();
    for (std::int32_t j = 0; j < a.shell_width; ++j) {
        const std::int32_t id = slots[j];
        if (id == -1) continue;
        if (out.size() != static_cast<std::size_t>(j))
            return Fail(XSECT_E_ARGUMENT, where + ": node " + std::to_string(id) + " follows padding (-1)");
        if (!nodes.count(id)) return Fail(XSECT_E_ARGUMENT, where + ": unknown node " + std::to_string(id));
        for (std::int32_t seen : out)
            if (seen == id) return Fail(XSECT_E_ARGUMENT, where + ": node " + std::to_string(id) + " is given twice");
        out.push_back(id);
    }
    if (out.size() < 3) return Fail(XSECT_E_ARGUMENT, where + ": fewer than three nodes");
    return XSECT_OK;
}

// Reads one element end's or node's results of one case: one block of six, or one per mode.
int ReadResults(const double* block, std::int32_t modes, const std::string& where, std::vector<CNodeResults>& out) {
    const std::size_t count = static_cast<std::size_t>(modes < 1 ? 1 : modes);
    if (!AllFinite(block, 6 * count)) return Fail(XSECT_E_ARGUMENT, where + ": a result is not finite");
    out.resize(count);
    for (std::size_t m = 0; m < count; ++m) {
        const double* f = block + 6 * m;
        out[m] = CNodeResults{f[0], f[1], f[2], f[3], f[4], f[5]};
    }
    return XSECT_OK;
}

// The results pointer of case i, or null; a case of a type without results must have none.
int ResultsOf(const double* const* perCase, std::int32_t i, const xsect_load_case& c, const char* kind,
              const double*& out) {
    out = perCase == nullptr ? nullptr : perCase[i];
    if (out != nullptr && c.type == LOAD_CASE_UNSUPPORTED)
        return Fail(XSECT_E_ARGUMENT, CaseName(c.id) + ": a case of unsupported type has no " + kind + " results");
    return XSECT_OK;
}

int ReadShells(const xsect_model_arrays& a, const Nodes& nodes, std::map<std::int32_t, CShellElement>& shells) {
    std::vector<CShellElement*> rows(static_cast<std::size_t>(a.shell_count));
    for (std::int32_t i = 0; i < a.shell_count; ++i) {
        auto [it, fresh] = shells.try_emplace(a.shell_ids[i]);
        if (!fresh)
            return Fail(XSECT_E_ARGUMENT, "shell " + std::to_string(a.shell_ids[i]) + ": the id is given twice");
        if (int rc = ReadShellRow(a, i, nodes, it->second.nodes)) return rc;
        rows[static_cast<std::size_t>(i)] = &it->second;
    }
    const auto width = static_cast<std::size_t>(a.shell_width);
    std::vector<CNodeResults> values;
    for (std::int32_t c = 0; c < a.case_count; ++c) {
        const xsect_load_case& lc = a.cases[c];
        const double* block = nullptr;
        if (int rc = ResultsOf(a.shell_results, c, lc, "shell", block)) return rc;
        if (block == nullptr) continue;
        const bool spectrum = lc.type == LOAD_CASE_RESPONSE_SPECTRUM;
        const std::size_t stride = 6 * static_cast<std::size_t>(spectrum ? lc.modes : 1);
        for (std::int32_t i = 0; i < a.shell_count; ++i) {
            CShellElement& shell = *rows[static_cast<std::size_t>(i)];
            for (std::size_t j = 0; j < shell.nodes.size(); ++j) {
                const std::int32_t node = shell.nodes[j];
                const std::string where = CaseName(lc.id) + ", shell " + std::to_string(a.shell_ids[i]) + ", node " +
                                          std::to_string(node);
                const double* at = block + (static_cast<std::size_t>(i) * width + j) * stride;
                if (int rc = ReadResults(at, spectrum ? lc.modes : 0, where, values)) return rc;
                if (!spectrum) {
                    shell.StoreStaticCaseResults(lc.id, node, values[0]);
                    continue;
                }
                for (std::size_t m = 0; m < values.size(); ++m)
                    shell.StoreResponseSpectraCaseResults(lc.id, node, static_cast<std::int32_t>(m + 1), values[m]);
            }
        }
    }
    return XSECT_OK;
}

int ReadFrames(const xsect_model_arrays& a, const Nodes& nodes, std::map<std::int32_t, CFrameElement>& frames) {
    std::vector<CFrameElement*> rows(static_cast<std::size_t>(a.frame_count));
    for (std::int32_t i = 0; i < a.frame_count; ++i) {
        const std::string where = "frame " + std::to_string(a.frame_ids[i]);
        auto [it, fresh] = frames.try_emplace(a.frame_ids[i]);
        if (!fresh) return Fail(XSECT_E_ARGUMENT, where + ": the id is given twice");
        const std::int32_t* ends = a.frame_nodes + 2 * static_cast<std::size_t>(i);
        for (int e = 0; e < 2; ++e)
            if (!nodes.count(ends[e]))
                return Fail(XSECT_E_ARGUMENT, where + ": unknown node " + std::to_string(ends[e]));
        it->second.nodeA = ends[0];
        it->second.nodeB = ends[1];
        rows[static_cast<std::size_t>(i)] = &it->second;
    }
    std::vector<CNodeResults> values;
    for (std::int32_t c = 0; c < a.case_count; ++c) {
        const xsect_load_case& lc = a.cases[c];
        const double* block = nullptr;
        if (int rc = ResultsOf(a.frame_results, c, lc, "frame", block)) return rc;
        if (block == nullptr) continue;
        const bool spectrum = lc.type == LOAD_CASE_RESPONSE_SPECTRUM;
        const std::size_t stride = 6 * static_cast<std::size_t>(spectrum ? lc.modes : 1);
        for (std::int32_t i = 0; i < a.frame_count; ++i) {
            CFrameElement& frame = *rows[static_cast<std::size_t>(i)];
            for (std::size_t end = 0; end < 2; ++end) {
                const std::string where =
                    CaseName(lc.id) + ", frame " + std::to_string(a.frame_ids[i]) + (end == 0 ? ", end A" : ", end B");
                if (int rc = ReadResults(block + (2 * static_cast<std::size_t>(i) + end) * stride,
                                         spectrum ? lc.modes : 0, where, values))
                    return rc;
                if (!spectrum) {
                    (end == 0 ? frame.staticResultsA : frame.staticResultsB)[lc.id] = values[0];
                    continue;
                }
                auto& modal = (end == 0 ? frame.spectrumResultsA : frame.spectrumResultsB)[lc.id];
                for (std::size_t m = 0; m < values.size(); ++m) modal[static_cast<std::int32_t>(m + 1)] = values[m];
            }
        }
    }
    return XSECT_OK;
}

}  // namespace

}  // namespace xsect::c_api

extern "C" {

int xsect_model_from_arrays(const xsect_model_arrays* arrays, xsect_model** out) {
    using namespace xsect;
    using namespace xsect::c_api;
    return Guarded([&]() -> int {
        if (arrays == nullptr || out == nullptr) return Fail(XSECT_E_ARGUMENT, "arrays and out must not be null");
        const xsect_model_arrays& a = *arrays;
        if (int rc = CheckCounts(a)) return rc;
        io::Model model;
        model.tolerance = a.tolerance;
        model.planeNodes = {a.plane_nodes[0], a.plane_nodes[1], a.plane_nodes[2]};
        if (int rc = ReadCases(a, model.loadCases)) return rc;
        if (int rc = ReadNodes(a, model.nodes)) return rc;
        if (int rc = ReadShells(a, model.nodes, model.shells)) return rc;
        if (int rc = ReadFrames(a, model.nodes, model.frames)) return rc;
        return AdoptModel(model, out);
    });
}

}  // extern "C"
