// A cut's direction class at the edges of the tolerance; the order of its ends, its axes and the
// side's effect on the resultants are checked end to end by the statics tests.

#include "forces/cut_geometry.h"

#include <gtest/gtest.h>

namespace xsect {
namespace {

TEST(CutGeometry, ClassificationAtTheToleranceEdges) {
    struct Case {
        double dx, dy;
        CROSS_SECTION_CUT_TYPE type;
    } cases[] = {
        {0.0, 5.0, CUT_TYPE_VERTICAL},   {0.09, -5.0, CUT_TYPE_VERTICAL},
        {0.1, 5.0, CUT_TYPE_INCLINED},    // dx equal to the tolerance is not vertical
        {0.0, 0.1, CUT_TYPE_INCLINED},    // dy must exceed the tolerance
        {0.05, 0.05, CUT_TYPE_INCLINED},  // shorter than the tolerance both ways
        {5.0, 0.0, CUT_TYPE_HORIZONTAL}, {-5.0, 0.09, CUT_TYPE_HORIZONTAL},
        {5.0, 0.1, CUT_TYPE_INCLINED},   {3.0, 4.0, CUT_TYPE_INCLINED},
    };
    // From the origin, so that the differences are exact.
    for (const auto& k : cases)
        EXPECT_EQ(detail::CutTypeOf(CVertex(0, 0, 0), CVertex(k.dx, k.dy, 0), 0.1), k.type) << k.dx << "," << k.dy;
}

}  // namespace
}  // namespace xsect
