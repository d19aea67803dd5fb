// A model from the host's arrays: the C description converted to the model-file library's, which
// checks every array and fills the model; the handle then keeps the calculator's copy of the results.

#include <xsect/io/model_arrays.h>

#include "model_handle.h"

namespace xsect::c_api {

namespace {

io::CaseArrays CaseOf(const xsect_model_arrays& a, std::int32_t i) {
    const xsect_load_case& c = a.cases[i];
    io::CaseArrays out;
    out.id = c.id;
    if (c.name != nullptr) out.name = c.name;
    out.info.caseType = c.type;
    out.info.combinationMethod = c.combination;
    out.info.signMethod = c.sign_method;
    out.info.modeCount = c.modes;
    out.info.applySign = c.apply_sign;
    out.info.signMode = c.sign_mode;
    out.info.combineResidual = c.combine_residual;
    out.frequencies = c.frequencies;
    out.coefficients = c.coefficients;
    out.shellResults = a.shell_results == nullptr ? nullptr : a.shell_results[i];
    out.frameResults = a.frame_results == nullptr ? nullptr : a.frame_results[i];
    return out;
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
        // A negative count or a null case array is left for the model checks to name, in their order.
        std::vector<io::CaseArrays> cases;
        const bool casesGiven = a.case_count > 0 && a.cases != nullptr;
        for (std::int32_t i = 0; casesGiven && i < a.case_count; ++i) cases.push_back(CaseOf(a, i));
        io::ModelArrays m;
        m.nodeCount = a.node_count;
        m.nodeIds = a.node_ids;
        m.nodeXyz = a.node_xyz;
        m.shellCount = a.shell_count;
        m.shellWidth = a.shell_width;
        m.shellIds = a.shell_ids;
        m.shellNodes = a.shell_nodes;
        m.frameCount = a.frame_count;
        m.frameIds = a.frame_ids;
        m.frameNodes = a.frame_nodes;
        m.caseCount = a.case_count;
        m.cases = casesGiven ? cases.data() : nullptr;
        m.tolerance = a.tolerance;
        m.planeNodes = {a.plane_nodes[0], a.plane_nodes[1], a.plane_nodes[2]};
        m.shellThickness = a.shell_thickness;
        io::Model model;
        std::string error;
        if (!io::ModelFromArrays(m, model, error)) return Fail(XSECT_E_ARGUMENT, error);
        return AdoptModel(model, out);
    });
}

}  // extern "C"
