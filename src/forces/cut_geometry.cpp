#include "forces/cut_geometry.h"

#include <cmath>
#include <utility>

#include "core/plane_frame.h"

namespace xsect::detail {

CROSS_SECTION_CUT_TYPE CutTypeOf(const CVertex& a, const CVertex& b, double tolerance) {
    const double dx = std::fabs(b.x - a.x);
    const double dy = std::fabs(b.y - a.y);
    if (dx < tolerance && dy > tolerance) return CUT_TYPE_VERTICAL;
    if (dx <= tolerance) return CUT_TYPE_INCLINED;
    if (dy < tolerance) return CUT_TYPE_HORIZONTAL;
    return CUT_TYPE_INCLINED;
}

void OrientCut(CROSS_SECTION_CUT_TYPE type, CVertex& a, CVertex& b, std::int32_t& side) {
    const bool descending = (type == CUT_TYPE_VERTICAL && a.y > b.y) || (type == CUT_TYPE_HORIZONTAL && a.x > b.x);
    if (!descending) return;
    std::swap(a, b);
    side = (side == 0) ? 1 : 0;
}

CROSS_SECTION_MESSAGES CutAxes(CROSS_SECTION_CUT_TYPE type, const CVertex& a, const CVertex& b, double tolerance,
                               Mat3& out) {
    // The auxiliary point fixes the sense of the second axis.
    CVertex c(0.0, 0.0, 0.0, 0.005);
    if (type == CUT_TYPE_VERTICAL) {
        c.x = b.x - 10.0;
        c.y = b.y;
    } else {
        c.x = b.x;
        c.y = b.y + 10.0;
    }
    return planeFrameFrom(a, b, c, tolerance, out) ? CS_SUCCESS : CS_SECTION_MAP_FAILED;
}

}  // namespace xsect::detail
