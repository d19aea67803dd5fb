// The segment tests both calculators decide crossings with: the quick sphere rejection, the exact
// crossing test and the classifier that also recognises collinear overlaps.

#include "core/segments.h"

#include <cmath>

namespace xsect {

namespace detail {

bool spheresApart(const CVertex& a, const CVertex& b, const CVertex& c, const CVertex& d, double tolerance) {
    // Two segments whose enclosing spheres (about their midpoints) do not meet cannot cross; this
    // cheap rejection spares most edges the exact test.
    const double mx = (c.x + d.x) / 2 - (a.x + b.x) / 2;
    const double my = (c.y + d.y) / 2 - (a.y + b.y) / 2;
    const double mz = (c.z + d.z) / 2 - (a.z + b.z) / 2;
    const double gap = std::sqrt(mx * mx + my * my + mz * mz);
    const double reach = c.Distance(&d) / 2 + a.Distance(&b) / 2;
    return gap - reach > tolerance;
}

CutSegment::CutSegment(const CVertex& from, const CVertex& to) : a(from), b(to), halfLength(from.Distance(&to) / 2) {}

}  // namespace detail

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

namespace {

void copyPosition(const CVertex* from, CVertex* to) {
    to->x = from->x;
    to->y = from->y;
    to->z = from->z;
}

}  // namespace

std::int32_t ClassifySegments(const CVertex* a, const CVertex* b, const CVertex* c, const CVertex* d,
                              double tolerance, CVertex* first, CVertex* second) {
    first->x = 0.0;
    first->y = 0.0;
    second->x = 0.0;
    second->y = 0.0;

    // The same sphere test as the crossing search, so both see the same candidates.
    if (detail::spheresApart(*a, *b, *c, *d, tolerance)) return SEGMENTS_APART;

    const double rx = b->x - a->x;
    const double ry = b->y - a->y;
    const double sx = d->x - c->x;
    const double sy = d->y - c->y;
    const double D = rx * sy - sx * ry;
    const double e = tolerance * tolerance;

    if (std::fabs(D) >= tolerance) {
        const double t = ((a->y - c->y) * sx - (a->x - c->x) * sy) / D;
        const double u = ((a->y - c->y) * rx - (a->x - c->x) * ry) / D;
        if (t <= 1.0 + e && t >= -e && u <= 1.0 + e && u >= -e) {
            first->x = a->x + rx * t;
            first->y = a->y + ry * t;
            first->z = a->z;
            return SEGMENTS_CROSSING;
        }
        return SEGMENTS_APART;
    }

    // Parallel: the cross product of the cut with a->c, unscaled, says whether the lines coincide.
    if (std::fabs(rx * (c->y - a->y) - ry * (c->x - a->x)) > tolerance) return SEGMENTS_APART;

    // Collinear: where c and d fall along a-b. A zero-length cut gives NaN positions, which count
    // as outside, so such a cut lies "on" any edge it touches.
    const double rr = rx * rx + ry * ry;
    const double tc = (rx * (c->x - a->x) + ry * (c->y - a->y)) / rr;
    const double td = (rx * (d->x - a->x) + ry * (d->y - a->y)) / rr;
    const double lo = -e;
    const double hi = 1.0 + e;
    const bool cInside = tc >= lo && tc <= hi;
    const bool dInside = td >= lo && td <= hi;
    const bool sameDirection = rx * sx + ry * sy > 0.0;

    if (cInside && dInside) {
        copyPosition(c, first);
        copyPosition(d, second);
        return SEGMENTS_EDGE_ON_CUT;
    }
    if (!cInside && !dInside) {
        copyPosition(a, first);
        copyPosition(b, second);
        return SEGMENTS_CUT_ON_EDGE;
    }
    if (lo <= tc && tc <= 1.0 - e) {
        if (sameDirection) {
            copyPosition(c, first);
            copyPosition(b, second);
        } else {
            copyPosition(a, first);
            copyPosition(c, second);
        }
        return SEGMENTS_PARTIAL_OVERLAP;
    }
    // c sits within the slack just past b and d leaves the cut: the edge only grazes its end.
    if (!dInside) return SEGMENTS_APART;

    if (sameDirection) {
        copyPosition(a, first);
        copyPosition(d, second);
    } else {
        copyPosition(d, first);
        copyPosition(b, second);
    }
    return SEGMENTS_PARTIAL_OVERLAP;
}

}  // namespace xsect
