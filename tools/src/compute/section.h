#pragma once

// One section force in the host convention: the library's host interface called for one cut and
// one load case, its refusal kept in the result rather than left in the calculator.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include <xsect/sections.h>

#include "compute/geometry.h"
#include "xsect/io/model.h"

namespace xsect::cli {

using io::Model;

struct CutSpec {
    std::string name;
    CVertex start, end;
    std::int32_t side = 0;
};

// The host interface's six values of one cut and load case, in the cut's axes or global axes.
struct HostSection {
    bool ok = false;
    std::int32_t status = CS_SUCCESS;
    std::string note;  // why nothing came back when the status is 0
    std::array<double, 6> values{};
    CVertex axes[3];   // the cut's axes in global coordinates
};

// One call of the driver on copies of the points; a refusal is reported in the result and the
// status is reset so that the next cut is tried afresh.
HostSection ComputeSection(CCrossSectionForcesPost& calc, const Model& model, const CutSpec& cut,
                           std::int32_t loadCase, bool globalAxes, const std::optional<CVertex>& momentPoint);

// The host interface's side of a cut: side 0 holds what lies left of the directed cut in plane
// coordinates, side 1 the rest. The section cutter says on which side of the cut's line a point
// lies; left is where the plane's normal turns the cut's direction. A point within the model's
// tolerance of the line counts with side 1, as a node on the cut does in the host's sums.
class HostSide {
public:
    HostSide(const SectionCutter& cutter, const CCrossSectionForcesPost& calc, const CVertex& start,
             const CVertex& end);
    // The side that holds the point: 0 or 1.
    std::int32_t Of(const CVertex& point) const;

private:
    const SectionCutter& cutter_;
    CVertex start_, end_;
    std::int32_t left_;  // SideOf's answer for a point left of the cut
};

}  // namespace xsect::cli
