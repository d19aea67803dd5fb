#pragma once

// A region of a cutting plane: a polygon in the plane that limits a section to the elements whose
// intersection with the plane meets it (a storey's cut limited to one building). The polygon and the
// elements are compared in the plane's own coordinates along t and k, so one region serves every
// plane parallel to it.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/plane_cover.h"

namespace xsect::detail {

class PlaneRegion {
public:
    // The polygon's corners seen along n: coordinates along t and k from the first corner.
    PlaneRegion(const std::vector<CVertex>& corners, const Vec3& t, const Vec3& k);

    // Does the element's intersection with the plane (the segment between its two meeting points
    // farthest apart, or its one meeting point) come within the tolerance of the polygon or lie in it?
    bool Meets(const AssemblyModel& m, const std::int32_t* nodes, std::size_t count, bool closed,
               const CuttingPlane& plane) const;

private:
    using XY = std::array<double, 2>;
    XY InPlane(const Vec3& p) const;
    bool Inside(const XY& p) const;
    bool SegmentMeets(const XY& a, const XY& b, double tolerance) const;

    Vec3 origin_, t_, k_;
    std::vector<XY> corners_;
};

// The sentence of a region that cannot limit the plane through p with unit normal n: fewer than 3
// corners, a coordinate that is not finite, or a corner farther than the tolerance off the plane;
// "" for a good one.
std::string RegionFault(const std::vector<CVertex>& corners, const Vec3& p, const Vec3& n, double tolerance,
                        const std::string& plane);

}  // namespace xsect::detail
