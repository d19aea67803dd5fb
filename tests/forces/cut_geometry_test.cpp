// The cut's axes themselves are checked end to end by the statics tests; here the choices that
// hinge on a single comparison.

#include <gtest/gtest.h>

#include "support/forces_access.h"
#include "support/strip_model.h"

using namespace xsect;
using Access = CCrossSectionForcesPostTestAccess;
using strip_model::SmallModel;

TEST(CutGeometry, ClassificationAtTheToleranceEdges) {
    SmallModel m;
    CCrossSectionForcesPost c = m.Build(0.1);
    struct Case {
        double dx, dy;
        CROSS_SECTION_CUT_TYPE type;
    } cases[] = {
        {0.0, 5.0, CUT_TYPE_VERTICAL},   {0.09, -5.0, CUT_TYPE_VERTICAL},
        {0.1, 5.0, CUT_TYPE_INCLINED},   // dx equal to the tolerance is not vertical
        {0.0, 0.1, CUT_TYPE_INCLINED},   // dy must exceed the tolerance
        {0.05, 0.05, CUT_TYPE_INCLINED}, // shorter than the tolerance both ways
        {5.0, 0.0, CUT_TYPE_HORIZONTAL}, {-5.0, 0.09, CUT_TYPE_HORIZONTAL},
        {5.0, 0.1, CUT_TYPE_INCLINED},   {3.0, 4.0, CUT_TYPE_INCLINED},
    };
    for (const auto& k : cases) {
        CVertex a(0, 0, 0), b(k.dx, k.dy, 0);  // from the origin, so the differences are exact
        EXPECT_EQ(Access::DetermineCrossSectionType(c, &a, &b), k.type) << k.dx << "," << k.dy;
    }
}

TEST(CutGeometry, AxisParallelCutsAreSwappedIntoAscendingOrderAndTheSideFollows) {
    SmallModel m;
    CCrossSectionForcesPost c = m.Build();
    struct Case {
        CROSS_SECTION_CUT_TYPE type;
        double ax, ay, bx, by;
        std::int32_t side, wantSide;
        bool swapped;
    } cases[] = {
        {CUT_TYPE_VERTICAL, 0, 5, 0, 1, 0, 1, true},
        {CUT_TYPE_VERTICAL, 0, 1, 0, 5, 0, 0, false},   // already ascending
        {CUT_TYPE_HORIZONTAL, 5, 0, 1, 0, 3, 0, true},  // any non-zero side becomes 0
        {CUT_TYPE_HORIZONTAL, 2, 2, 2, 2, 0, 0, false}, // equal: no swap
        {CUT_TYPE_INCLINED, 0, 0, -1, 1, 0, 0, false},  // kept as given
    };
    for (const auto& k : cases) {
        CVertex a(k.ax, k.ay, 0, 0.1), b(k.bx, k.by, 0, 0.2);
        a.id = 7;
        std::int32_t side = k.side;
        Access::AdjustCrossSectionOrientation(c, k.type, &a, &b, side);
        EXPECT_EQ(side, k.wantSide) << k.ax << "," << k.ay;
        // whole records are exchanged
        const bool exchanged = a.tolerance == 0.2 && b.id == 7 && b.tolerance == 0.1 && b.x == k.ax && b.y == k.ay;
        EXPECT_EQ(exchanged, k.swapped) << k.ax << "," << k.ay;
    }
}

TEST(CutGeometry, MomentPointAtMidpointOrConvertedInPlace) {
    SmallModel m;
    for (auto& [id, v] : m.nodes) v.z = 2;  // plane z = 2
    CCrossSectionForcesPost c = m.Build(0.01);
    double x = 9, y = 9, z = 9;
    CVertex a(0, 0, 0), b(4, 2, 0.02);
    EXPECT_EQ(Access::SetMomentPoint(c, true, nullptr, &a, &b, x, y, z), CS_SUCCESS);  // z 0.01 passes
    EXPECT_DOUBLE_EQ(x, 2.0);
    EXPECT_DOUBLE_EQ(y, 1.0);
    b.z = 0.04;
    EXPECT_EQ(Access::SetMomentPoint(c, true, nullptr, &a, &b, x, y, z), CS_MOMENT_POINT_OFF_PLANE);
    EXPECT_DOUBLE_EQ(z, 0.02);  // still written

    CVertex p(3, 4, 2);  // global, on the plane
    EXPECT_EQ(Access::SetMomentPoint(c, false, &p, &a, &b, x, y, z), CS_SUCCESS);
    EXPECT_DOUBLE_EQ(x, 3.0);
    EXPECT_NEAR(p.z, 0.0, 1e-12);  // converted in place
    CVertex off(3, 4, 3);
    x = y = z = -1;
    EXPECT_EQ(Access::SetMomentPoint(c, false, &off, &a, &b, x, y, z), CS_MOMENT_POINT_OFF_PLANE);
    EXPECT_EQ(x, -1.0);  // outputs left unwritten
    EXPECT_NEAR(off.z, 1.0, 1e-12);

    // The integration's own midpoint helper, which keeps z.
    Access::CalculateMomentPoint(c, &a, &b, x, y, z);
    EXPECT_EQ(x, 2.0);
    EXPECT_EQ(z, 0.02);
}
