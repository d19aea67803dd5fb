#include <cmath>

#include "xsect/detail/segments.h"

namespace xsect {

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

    // Same sphere test as the force side's crossing search, so both see the same candidates.
    const double mx = (a->x + b->x) / 2.0 - (c->x + d->x) / 2.0;
    const double my = (a->y + b->y) / 2.0 - (c->y + d->y) / 2.0;
    const double mz = (a->z + b->z) / 2.0 - (c->z + d->z) / 2.0;
    const double midDistance = std::sqrt(mx * mx + my * my + mz * mz);
    const double halfEdge = c->Distance(d) / 2.0;
    const double halfCut = a->Distance(b) / 2.0;
    if (midDistance - (halfEdge + halfCut) > tolerance) return SEGMENTS_APART;

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
