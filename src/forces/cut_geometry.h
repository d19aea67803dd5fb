#pragma once

// The host interface's rules for a cut: its direction class, the order of its ends and its axes.

#include <cstdint>

#include "core/arithmetic.h"
#include "xsect/forces/geometry_types.h"
#include "xsect/forces/status.h"
#include "xsect/model/vertex.h"

namespace xsect::detail {

// Vertical (along y'), horizontal (along x') or inclined, in plane coordinates; a cut shorter than
// the tolerance both ways is inclined.
CROSS_SECTION_CUT_TYPE CutTypeOf(const CVertex& a, const CVertex& b, double tolerance);

// Runs an axis-parallel cut in its axis' positive sense: exchanges the two whole records when they
// are in descending order, and then the side selector, since walking the cut the other way turns
// its right into its left.
void OrientCut(CROSS_SECTION_CUT_TYPE type, CVertex& a, CVertex& b, std::int32_t& side);

// The cut's axes in plane coordinates, one per row of out: along the cut, then towards -x' for a
// vertical cut and towards +y' otherwise, then the normal. CS_SECTION_MAP_FAILED when the ends
// are closer than the tolerance.
CROSS_SECTION_MESSAGES CutAxes(CROSS_SECTION_CUT_TYPE type, const CVertex& a, const CVertex& b, double tolerance,
                               Mat3& out);

}  // namespace xsect::detail
