// The host interface's cut, one load case at a time, as the C interface hands it on.

#include <algorithm>
#include <cmath>

#include "model_handle.h"

extern "C" {

int xsect_forces_on_section(const xsect_model* model, int32_t load_case, const double start[3], const double end[3],
                            int32_t side, bool global_axes, const double* moment_point, double forces[6]) {
    using namespace xsect;
    using namespace xsect::c_api;
    return Guarded([&]() -> int {
        if (model == nullptr || start == nullptr || end == nullptr || forces == nullptr)
            return Fail(XSECT_E_ARGUMENT, "model, start, end and forces must not be null");
        for (const double* p : {start, end, moment_point})
            for (int i = 0; p != nullptr && i < 3; ++i)
                if (!std::isfinite(p[i]))
                    return Fail(XSECT_E_ARGUMENT, "a coordinate of the cut or moment point is not finite");
        if (side != 0 && side != 1) return Fail(XSECT_E_ARGUMENT, "side must be 0 or 1");
        if (int rc = RequirePlaneModel(*model, "xsect_forces_on_section")) return rc;
        if (std::string fault = model->calculators.CheckComputableCase(load_case); !fault.empty())
            return Fail(XSECT_E_ARGUMENT, fault);

        // The calculator converts the points it is given in place: it gets copies.
        CVertex a(start[0], start[1], start[2]), b(end[0], end[1], end[2]), m;
        if (moment_point != nullptr) m = CVertex(moment_point[0], moment_point[1], moment_point[2]);
        std::vector<double> f1, f2, f3, m1, m2, m3;
        std::int32_t rc = 0;
        const std::int32_t status = model->calculators.TakeTurn([&](CCrossSectionForcesPost& calc) {
            rc = calc.GetForcesOnSection(load_case, &a, &b, f1, f2, f3, m1, m2, m3, side, global_axes,
                                         moment_point == nullptr, moment_point ? &m : nullptr);
        });
        if (rc != 1 || f1.size() != 1) {
            if (status != CS_SUCCESS) return Refuse(status, "load case " + std::to_string(load_case));
            return Fail(XSECT_E_INTERNAL, "the library gave no values for load case " + std::to_string(load_case));
        }
        const double values[6] = {f1[0], f2[0], f3[0], m1[0], m2[0], m3[0]};
        std::copy(values, values + 6, forces);
        return XSECT_OK;
    });
}

}  // extern "C"
