// The choices about a cut that hinge on a single comparison; the axes' effect on the resultants
// is checked end to end by the statics tests.

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

TEST(CutGeometry, AxisParallelCutsRunAscendingAndTheSideFollows) {
    struct Case {
        CROSS_SECTION_CUT_TYPE type;
        double ay, by;  // along the cut's axis
        std::int32_t side, wantSide;
        bool swapped;
    } cases[] = {
        {CUT_TYPE_VERTICAL, 5, 1, 0, 1, true},    {CUT_TYPE_VERTICAL, 1, 5, 0, 0, false},
        {CUT_TYPE_HORIZONTAL, 5, 1, 3, 0, true},  // any non-zero side becomes 0
        {CUT_TYPE_HORIZONTAL, 2, 2, 0, 0, false}, {CUT_TYPE_INCLINED, 5, 1, 0, 0, false},
    };
    for (const auto& k : cases) {
        const bool vertical = k.type == CUT_TYPE_VERTICAL;
        CVertex a(vertical ? 0 : k.ay, vertical ? k.ay : 0, 0, 0.1),
            b(vertical ? 0 : k.by, vertical ? k.by : 0, 0, 0.2);
        a.id = 7;
        std::int32_t side = k.side;
        detail::OrientCut(k.type, a, b, side);
        EXPECT_EQ(side, k.wantSide) << k.type << " " << k.ay;
        EXPECT_EQ(b.id == 7 && b.tolerance == 0.1 && a.tolerance == 0.2, k.swapped) << "whole records exchanged";
    }
}

TEST(CutGeometry, SecondAxisPointsLeftOfVerticalCutsAndUpOtherwise) {
    struct Case {
        CROSS_SECTION_CUT_TYPE type;
        CVertex b;
        double second[2];
    } cases[] = {
        {CUT_TYPE_VERTICAL, CVertex(0, 2, 0), {-1, 0}},
        {CUT_TYPE_HORIZONTAL, CVertex(2, 0, 0), {0, 1}},
        {CUT_TYPE_INCLINED, CVertex(-3, -4, 0), {-0.8, 0.6}},  // the normal then points down
    };
    for (const auto& k : cases) {
        AG_Matrix T(3, 3, 0.0);
        ASSERT_EQ(detail::CutAxes(k.type, CVertex(0, 0, 0), k.b, 0.005, T), CS_SUCCESS);
        EXPECT_NEAR(T(2, 1), k.second[0], 1e-15);
        EXPECT_NEAR(T(2, 2), k.second[1], 1e-15);
        EXPECT_NEAR(T(3, 3), k.type == CUT_TYPE_INCLINED ? -1 : 1, 1e-15);
    }
    AG_Matrix T(3, 3, 0.0);
    EXPECT_EQ(detail::CutAxes(CUT_TYPE_INCLINED, CVertex(0, 0, 0), CVertex(0.004, 0, 0), 0.005, T),
              CS_SECTION_MAP_FAILED);
}

}  // namespace
}  // namespace xsect
