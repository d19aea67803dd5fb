#pragma once

// One section force in the host convention: the library's host interface called for one cut and
// one load case, its refusal kept in the result rather than left in the calculator.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "compute/vec3.h"
#include "xsect/io/model.h"

namespace xsect::cli {

using io::Model;

struct CutSpec {
    std::string name;
    Vec3 start, end;
    std::int32_t side = 0;
};

// The host interface's six values of one cut and load case, in the cut's axes or global axes.
struct HostSection {
    bool ok = false;
    std::int32_t status = CS_SUCCESS;
    std::string note;  // why nothing came back when the status is 0
    std::array<double, 6> values{};
    Vec3 axes[3];      // the cut's axes in global coordinates
};

// One call of the driver on copies of the points; a refusal is reported in the result and the
// status is reset so that the next cut is tried afresh.
HostSection ComputeSection(CCrossSectionForcesPost& calc, const Model& model, const CutSpec& cut,
                             std::int32_t loadCase, bool globalAxes, const std::optional<Vec3>& momentPoint);

// A global point in plane coordinates (z' the distance off the plane).
Vec3 ToPlane(CCrossSectionForcesPost& calc, Vec3 global);

}  // namespace xsect::cli

namespace xsect::cli {

// The bounding box of the model's nodes in global coordinates.
struct Extent {
    Vec3 lo, hi;
};
Extent ExtentOf(const Model& model);

// Why a cut cannot be asked of the library, or "" when it can: ends that coincide within the
// model's tolerance, or ends so far from the model that their coordinates lose all precision.
std::string CutProblem(const Extent& extent, double tolerance, Vec3 start, Vec3 end);

}  // namespace xsect::cli
