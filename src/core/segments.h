#pragma once

// The segment tests of both calculators (the exact tests themselves are exported in
// xsect/detail/segments.h).

#include "xsect/detail/segments.h"
#include "xsect/model/vertex.h"

namespace xsect::detail {

// True when the spheres about the two segments' midpoints are more than the tolerance apart: the
// segments cannot cross, nor overlap.
bool spheresApart(const CVertex& a, const CVertex& b, const CVertex& c, const CVertex& d, double tolerance);

// Does edge c-d cross cut a-b: the sphere rejection and IntersectSegments2D both pass.
bool segmentsCross(const CVertex& a, const CVertex& b, const CVertex& c, const CVertex& d, double tolerance);

// The same test for many edges against one cut, its length taken once.
struct CutSegment {
    const CVertex& a;
    const CVertex& b;
    double halfLength;
    CutSegment(const CVertex& from, const CVertex& to);
    bool Crosses(const CVertex& c, const CVertex& d, double tolerance) const;
};

}  // namespace xsect::detail
