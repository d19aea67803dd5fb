#pragma once

// The segment tests of both calculators (the exact tests themselves are exported in
// xsect/detail/segments.h).

#include "xsect/detail/segments.h"
#include "xsect/model/vertex.h"

namespace xsect::detail {

// True when the spheres about the two segments' midpoints are more than the tolerance apart: the
// segments cannot cross, nor overlap.
bool spheresApart(const CVertex& a, const CVertex& b, const CVertex& c, const CVertex& d, double tolerance);

// Does edge c-d cross cut a-b: the sphere rejection, then IntersectSegments2D.
bool segmentsCross(const CVertex& a, const CVertex& b, const CVertex& c, const CVertex& d, double tolerance);

}  // namespace xsect::detail
