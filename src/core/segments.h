#pragma once

// The segment tests both calculators decide crossings with: the exact crossing test, the
// classifier that also recognises collinear overlaps, and the quick sphere rejection.

#include <cmath>
#include <cstdint>

#include "core/arithmetic.h"
#include "xsect/model/vertex.h"

namespace xsect {

// Does segment c-d cross segment a-b (x and y only)? Parallel and collinear segments never
// cross; both segment parameters get a slack of tolerance squared, bounds inclusive. On a
// crossing the point goes to out (z taken from a); on false out is not written.
bool IntersectSegments2D(const CVertex* a, const CVertex* b, const CVertex* c, const CVertex* d, double tolerance,
                         CVertex* out);

// Contact codes of ClassifySegments.
enum SEGMENT_CONTACT : std::int32_t {
    SEGMENTS_APART = 0,
    SEGMENTS_EDGE_ON_CUT = 1,     // collinear, the edge lies wholly on the cut: first, second = c, d
    SEGMENTS_CUT_ON_EDGE = 2,     // collinear, the cut lies wholly on the edge: first, second = a, b
    SEGMENTS_PARTIAL_OVERLAP = 3, // collinear overlap from first to second, in the cut's direction
    SEGMENTS_CROSSING = 4         // one crossing point, in first
};

// Classifies how edge c-d meets cut a-b, recognising collinear overlaps. Writes x and y of first
// and second to 0 before anything else (their z is kept unless a point is copied into them).
std::int32_t ClassifySegments(const CVertex* a, const CVertex* b, const CVertex* c, const CVertex* d, double tolerance,
                              CVertex* first, CVertex* second);

}  // namespace xsect


namespace xsect::detail {

// True when the spheres about the two segments' midpoints are more than the tolerance apart: the
// segments cannot cross, nor overlap.
bool spheresApart(const CVertex& a, const CVertex& b, const CVertex& c, const CVertex& d, double tolerance);

// Does an edge c-d cross the cut a-b: the sphere rejection and IntersectSegments2D both pass. The
// cut's length is taken once for all the edges tested against it.
struct CutSegment {
    const CVertex& a;
    const CVertex& b;
    double halfLength;
    CutSegment(const CVertex& from, const CVertex& to);
    template <class P>
    bool Crosses(const P& c, const P& d, double tolerance) const;
};

// Inline: a search runs it on every edge of every candidate.
template <class P>
bool CutSegment::Crosses(const P& c, const P& d, double tolerance) const {
    // The exact test first, as it needs no square root and rejects almost every edge; the sphere
    // rejection is then asked only of edges it accepts. Both are pure, so the order changes nothing.
    const double rx = b.x - a.x;
    const double ry = b.y - a.y;
    const double sx = d.x - c.x;
    const double sy = d.y - c.y;
    const double D = rx * sy - sx * ry;
    if (std::fabs(D) < tolerance) return false;
    const double acx = a.x - c.x;
    const double acy = a.y - c.y;
    const double t = (acy * sx - acx * sy) / D;
    const double u = (acy * rx - acx * ry) / D;
    const double e = tolerance * tolerance;
    if (!(t <= 1.0 + e) || !(t >= -e) || !(u <= 1.0 + e) || !(u >= -e)) return false;

    const double mx = (c.x + d.x) / 2 - (a.x + b.x) / 2;
    const double my = (c.y + d.y) / 2 - (a.y + b.y) / 2;
    const double mz = (c.z + d.z) / 2 - (a.z + b.z) / 2;
    const double gap2 = mx * mx + my * my + mz * mz;
    // A squared gap well inside the reach cannot fail the test however its root rounds: the root
    // is then skipped. The cut's half length alone is reach enough for most edges (the reach only
    // adds the edge's half length to it, and rounding keeps the order), so the edge's is taken last.
    const double least = halfLength + tolerance;
    if (least > 0.0 && gap2 <= least * least * (1.0 - 1e-12)) return true;
    const double reach = distance(c, d) / 2 + halfLength;
    const double limit = reach + tolerance;
    if (limit > 0.0 && gap2 <= limit * limit * (1.0 - 1e-12)) return true;
    return !(std::sqrt(gap2) - reach > tolerance);
}

}  // namespace xsect::detail
