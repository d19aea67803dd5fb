// Classifying a cut, putting its ends in order and building its own axes.

#include <cmath>
#include <utility>

#include "xsect/forces/cross_section_forces_post.h"

namespace xsect {

CROSS_SECTION_CUT_TYPE CCrossSectionForcesPost::DetermineCrossSectionType(CVertex* a, CVertex* b) {
    const double dx = std::fabs(b->x - a->x);
    const double dy = std::fabs(b->y - a->y);
    if (dx < tolerance && dy > tolerance) return CUT_TYPE_VERTICAL;
    if (dx <= tolerance) return CUT_TYPE_INCLINED;
    if (dy < tolerance) return CUT_TYPE_HORIZONTAL;
    return CUT_TYPE_INCLINED;
}

void CCrossSectionForcesPost::AdjustCrossSectionOrientation(CROSS_SECTION_CUT_TYPE type, CVertex* a, CVertex* b,
                                                            std::int32_t& side) {
    const bool descending = (type == CUT_TYPE_VERTICAL && a->y > b->y) || (type == CUT_TYPE_HORIZONTAL && a->x > b->x);
    if (!descending) return;
    // Walking the cut the other way turns its right into its left: the side follows.
    std::swap(*a, *b);
    side = (side == 0) ? 1 : 0;
}

CROSS_SECTION_MESSAGES CCrossSectionForcesPost::CalculateCrossSectionMap(std::int32_t /*side*/,
                                                                         CROSS_SECTION_CUT_TYPE type, CVertex* a,
                                                                         CVertex* b, AG_Matrix& out) {
    // The auxiliary point fixes the sense of the second axis: towards -x' for a vertical cut,
    // towards +y' otherwise.
    CVertex c(0.0, 0.0, 0.0, 0.005);
    if (type == CUT_TYPE_VERTICAL) {
        c.x = b->x - 10.0;
        c.y = b->y;
    } else {
        c.x = b->x;
        c.y = b->y + 10.0;
    }
    return ComputeTransformationMatrix(a, b, &c, out) ? CS_SUCCESS : CS_SECTION_MAP_FAILED;
}

CROSS_SECTION_MESSAGES CCrossSectionForcesPost::SetMomentPoint(bool atMidpoint, CVertex* p, CVertex* a, CVertex* b,
                                                               double& x, double& y, double& z) {
    if (atMidpoint) {
        x = (a->x + b->x) / 2;
        y = (a->y + b->y) / 2;
        z = (a->z + b->z) / 2;
        return std::fabs(z) > tolerance ? CS_MOMENT_POINT_OFF_PLANE : CS_SUCCESS;
    }
    ConvertTo2D(&p->x, &p->y, &p->z);
    if (std::fabs(p->z) > tolerance) return CS_MOMENT_POINT_OFF_PLANE;
    x = p->x;
    y = p->y;
    z = p->z;
    return CS_SUCCESS;
}

}  // namespace xsect
