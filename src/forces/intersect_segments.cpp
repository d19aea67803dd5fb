// The exact crossing test of two segments in the plane.

#include <cmath>

#include "xsect/detail/segments.h"

namespace xsect {

bool IntersectSegments2D(const CVertex* a, const CVertex* b, const CVertex* c, const CVertex* d, double tolerance,
                         CVertex* out) {
    const double rx = b->x - a->x;
    const double ry = b->y - a->y;
    const double sx = d->x - c->x;
    const double sy = d->y - c->y;
    // D is the product of both lengths and the sine between them, compared unscaled: parallel,
    // collinear (an overlap included) and very short segments never cross.
    const double D = rx * sy - sx * ry;
    if (std::fabs(D) < tolerance) return false;

    const double acx = a->x - c->x;
    const double acy = a->y - c->y;
    const double t = (acy * sx - acx * sy) / D;  // along a-b
    const double u = (acy * rx - acx * ry) / D;  // along c-d

    // The slack on t and u is a pure number on the segment parameters, not a length, so an edge
    // that ends exactly on the cut line, or a cut that ends on an edge, still counts as crossed.
    const double e = tolerance * tolerance;
    if (!(t <= 1.0 + e)) return false;
    if (!(t >= -e)) return false;
    if (!(u <= 1.0 + e)) return false;
    if (!(u >= -e)) return false;

    out->x = a->x + rx * t;
    out->y = a->y + ry * t;
    out->z = a->z;
    return true;
}

}  // namespace xsect
