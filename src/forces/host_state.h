#pragma once

// What the two calculators of the host interface share: the model of the surface, the one status
// word and the last cut's axes. The force calculator owns it; a stress calculator built over that
// calculator refers to it, so the status either one leaves is the one both see.

#include <cstdint>
#include <memory>

#include "core/arithmetic.h"
#include "core/plane_model.h"
#include "xsect/forces/status.h"

namespace xsect::detail {

struct HostState {
    // Immutable: copies of the force calculator share it.
    std::shared_ptr<const PlaneModel> model;
    std::int32_t status = CS_SUCCESS;
    Mat3 sectionAxes{};  // the last cut's axes in global coordinates, one per row

    // True when the plane was set up; otherwise puts the set-up's failure back into the status, so
    // that work is refused even after the host has reset it.
    bool PlaneReady() {
        if (model->planeStatus == CS_SUCCESS) return true;
        status = model->planeStatus;
        return false;
    }
};

}  // namespace xsect::detail
