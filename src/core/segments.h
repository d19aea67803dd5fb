#pragma once

// The segment tests of both calculators (the exact tests themselves are exported in
// xsect/detail/segments.h).

#include "xsect/detail/segments.h"
#include "xsect/model/vertex.h"

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
    bool Crosses(const CVertex& c, const CVertex& d, double tolerance) const;
};

}  // namespace xsect::detail
