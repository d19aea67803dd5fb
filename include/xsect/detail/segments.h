#pragma once

// Segment tests shared by the two calculators. Exported for hosts and tests that want the exact
// crossing rules; not part of the umbrella header.

#include <cstdint>

#include "xsect/export.h"
#include "xsect/model/vertex.h"

namespace xsect {

// Does segment c-d cross segment a-b (x and y only)? Parallel and collinear segments never
// cross; both segment parameters get a slack of tolerance squared, bounds inclusive. On a
// crossing the point goes to out (z taken from a); on false out is not written.
XSECT_API bool IntersectSegments2D(const CVertex* a, const CVertex* b, const CVertex* c, const CVertex* d,
                                   double tolerance, CVertex* out);

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
XSECT_API std::int32_t ClassifySegments(const CVertex* a, const CVertex* b, const CVertex* c, const CVertex* d,
                                        double tolerance, CVertex* first, CVertex* second);

}  // namespace xsect
