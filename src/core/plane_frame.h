#pragma once

// Small pure geometry of the plane set-up: a right-handed orthonormal frame from three points and
// the collinearity test, both against one unscaled tolerance.

#include "xsect/math/matrix.h"
#include "xsect/model/vertex.h"

namespace xsect::detail {

// Rows e1 (p1 -> p2), e2 = n x e1, n = unit normal of (p2 - p1) x (p3 - p1). False, with out
// untouched, when |p2 - p1|, the cross product or e2 is shorter than the tolerance.
bool planeFrameFrom(const CVertex& p1, const CVertex& p2, const CVertex& p3, double tolerance, AG_Matrix& out);

// True when every component of (p2 - p1) x (p3 - p1), each written as the signed sum of the
// three points' products, is below the tolerance in absolute value.
bool pointsCollinear(const CVertex& p1, const CVertex& p2, const CVertex& p3, double tolerance);

}  // namespace xsect::detail
