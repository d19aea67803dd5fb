#pragma once

#include <cstdint>

namespace xsect {

// The status word shared by both calculators: 0 for success, negative for each failure.
// A non-zero status stays until the host resets it, and while it stands the force driver and
// the stress input stage refuse work.
enum CROSS_SECTION_MESSAGES : std::int32_t {
    CS_SUCCESS = 0,
    CS_NO_ELEMENTS_CROSSED = -1,
    CS_PLANE_NOT_DEFINED = -2,
    CS_NO_SHELLS = -3,
    CS_CUT_LINE_OFF_PLANE = -5,
    CS_SECTION_MAP_FAILED = -6,
    CS_MOMENT_POINT_OFF_PLANE = -7,
    CS_NO_THICKNESS = -8,
    CS_NONPOSITIVE_THICKNESS = -9,
    CS_STRESS_NOT_SET = -11,
    CS_NO_STRESS_INPUT_POINTS = -12,
    CS_THIRD_POINT_ON_CUT_LINE = -13,
    CS_STRESS_CS_INVALID = -14,
    // Sections only (the host interface reports such a cut as crossing no element): the cut lies
    // inside one shell and meets none of its edges, so it divides nothing.
    CS_CUT_INSIDE_ONE_SHELL = -15
};

}  // namespace xsect
