// The handle's life: adopting a model (from a file or from arrays), freeing it, and what it tells
// about its load cases and combinations.

#include "model_handle.h"

#include <memory>

xsect_model::xsect_model(xsect::io::Model&& model) : calculators(std::move(model)) {
    for (const xsect::io::Combination& c : calculators.combinations) {
        xsect::c_api::StoredRequest& r = combinations.emplace_back();
        r.name = c.name;
        for (const xsect::io::Combination::Term& t : c.terms) {
            r.cases.push_back(t.loadCase);
            r.factors.push_back(t.factor);
        }
    }
}

namespace xsect::c_api {

int AdoptModel(io::Model& model, xsect_model** out) {
    auto handle = std::make_unique<xsect_model>(std::move(model));
    const std::int32_t status = handle->calculators.calculator->GetCurrentStatus();
    if (status != CS_SUCCESS && !handle->calculators.assembly) return Refuse(status, "plane set-up");
    *out = handle.release();
    return XSECT_OK;
}

int RequirePlaneModel(const xsect_model& model, const char* what) {
    if (!model.calculators.assembly) return XSECT_OK;
    return Fail(XSECT_E_ARGUMENT, std::string(what) + " works on a plane model only; the model is an assembly (its "
                                                      "nodes do not lie in one plane): cut it with xsect_plane_sections");
}

}  // namespace xsect::c_api

extern "C" {

void xsect_model_free(xsect_model* model) { delete model; }

bool xsect_is_assembly(const xsect_model* model) { return model != nullptr && model->calculators.assembly; }

int32_t xsect_case_count(const xsect_model* model) {
    return model == nullptr ? 0 : static_cast<int32_t>(model->calculators.loadCases.size());
}

int xsect_case_ids(const xsect_model* model, int32_t* ids) {
    using namespace xsect::c_api;
    if (model == nullptr || ids == nullptr) return Fail(XSECT_E_ARGUMENT, "model and ids must not be null");
    for (const auto& entry : model->calculators.loadCases) *ids++ = entry.first;
    return XSECT_OK;
}

const char* xsect_case_name(const xsect_model* model, int32_t load_case) {
    if (model == nullptr) return "";
    const auto& cases = model->calculators.loadCases;
    auto it = cases.find(load_case);
    return it == cases.end() ? "" : it->second.name.c_str();
}

int32_t xsect_combination_count(const xsect_model* model) {
    return model == nullptr ? 0 : static_cast<int32_t>(model->combinations.size());
}

int xsect_combination(const xsect_model* model, int32_t index, xsect_request* out) {
    using namespace xsect::c_api;
    if (model == nullptr || out == nullptr) return Fail(XSECT_E_ARGUMENT, "model and out must not be null");
    if (index < 0 || static_cast<std::size_t>(index) >= model->combinations.size())
        return Fail(XSECT_E_ARGUMENT, "no combination " + std::to_string(index));
    const StoredRequest& r = model->combinations[static_cast<std::size_t>(index)];
    *out = xsect_request{r.name.c_str(), static_cast<int32_t>(r.cases.size()), r.cases.data(), r.factors.data()};
    return XSECT_OK;
}

}  // extern "C"
