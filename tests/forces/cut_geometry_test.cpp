#include <gtest/gtest.h>

#include <cmath>

#include "support/forces_access.h"

using namespace xsect;
using Access = CCrossSectionForcesPostTestAccess;

namespace {

// A calculator over a flat unit square in z = 0, so plane and global coordinates agree.
class CutGeometry : public ::testing::Test {
protected:
    CutGeometry() {
        nodes = {{1, {0, 0, 0}}, {2, {1, 0, 0}}, {3, {1, 1, 0}}, {4, {0, 1, 0}}};
        shells[1].nodes = {1, 2, 3, 4};
    }
    CCrossSectionForcesPost make(double tol = 0.005) {
        return CCrossSectionForcesPost(nodes, shells, frames, cases, tol);
    }
    std::map<std::int32_t, CVertex> nodes;
    std::map<std::int32_t, CShellElement> shells;
    std::map<std::int32_t, CFrameElement> frames;
    std::map<std::int32_t, CLoadCaseInfo> cases;
};

void expectRow(const AG_Matrix& m, int r, double x, double y, double z) {
    EXPECT_NEAR(m(r, 1), x, 1e-12) << "row " << r;
    EXPECT_NEAR(m(r, 2), y, 1e-12) << "row " << r;
    EXPECT_NEAR(m(r, 3), z, 1e-12) << "row " << r;
}

}  // namespace

TEST_F(CutGeometry, ClassificationAtTheToleranceEdges) {
    CCrossSectionForcesPost c = make(0.1);
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

TEST_F(CutGeometry, AxisParallelCutsAreSwappedIntoAscendingOrderAndTheSideFollows) {
    CCrossSectionForcesPost c = make();
    CVertex a(0, 5, 0, 0.1), b(0, 1, 0, 0.2);
    a.id = 7;
    std::int32_t side = 0;
    Access::AdjustCrossSectionOrientation(c, CUT_TYPE_VERTICAL, &a, &b, side);
    EXPECT_EQ(a.y, 1.0);
    EXPECT_EQ(a.tolerance, 0.2);  // whole records are exchanged
    EXPECT_EQ(b.id, 7);
    EXPECT_EQ(side, 1);
    Access::AdjustCrossSectionOrientation(c, CUT_TYPE_VERTICAL, &a, &b, side);  // already ascending
    EXPECT_EQ(side, 1);

    CVertex h1(5, 0, 0), h2(1, 0, 0);
    side = 3;  // any non-zero side becomes 0
    Access::AdjustCrossSectionOrientation(c, CUT_TYPE_HORIZONTAL, &h1, &h2, side);
    EXPECT_EQ(h1.x, 1.0);
    EXPECT_EQ(side, 0);

    CVertex i1(0, 0, 0), i2(-1, 1, 0);
    side = 0;
    Access::AdjustCrossSectionOrientation(c, CUT_TYPE_INCLINED, &i1, &i2, side);  // kept as given
    EXPECT_EQ(i2.x, -1.0);
    EXPECT_EQ(side, 0);

    CVertex e1(2, 2, 0), e2(2, 2, 0);
    Access::AdjustCrossSectionOrientation(c, CUT_TYPE_HORIZONTAL, &e1, &e2, side);  // equal: no swap
    EXPECT_EQ(side, 0);
}

TEST_F(CutGeometry, CutAxesForEveryKindOfCut) {
    CCrossSectionForcesPost c = make();
    const double r = std::sqrt(0.5);
    struct Case {
        CVertex a, b;
        CROSS_SECTION_CUT_TYPE type;
        double row1[3], row2[3], row3[3];
    } cases[] = {
        {{0, 1, 0}, {0, 5, 0}, CUT_TYPE_VERTICAL, {0, 1, 0}, {-1, 0, 0}, {0, 0, 1}},
        {{1, 0, 0}, {5, 0, 0}, CUT_TYPE_HORIZONTAL, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
        {{0, 0, 0}, {1, 1, 0}, CUT_TYPE_INCLINED, {r, r, 0}, {-r, r, 0}, {0, 0, 1}},
        {{0, 0, 0}, {-1, 1, 0}, CUT_TYPE_INCLINED, {-r, r, 0}, {r, r, 0}, {0, 0, -1}},
        {{0, 0, 0}, {-1, -1, 0}, CUT_TYPE_INCLINED, {-r, -r, 0}, {-r, r, 0}, {0, 0, -1}},
    };
    for (auto& k : cases) {
        AG_Matrix T;
        ASSERT_EQ(Access::CalculateCrossSectionMap(c, 0, k.type, &k.a, &k.b, T), CS_SUCCESS);
        expectRow(T, 1, k.row1[0], k.row1[1], k.row1[2]);
        expectRow(T, 2, k.row2[0], k.row2[1], k.row2[2]);
        expectRow(T, 3, k.row3[0], k.row3[1], k.row3[2]);
    }
    CVertex a(0, 0, 0), b(0.001, 0.001, 0);
    AG_Matrix T;
    EXPECT_EQ(Access::DetermineCrossSectionType(c, &a, &b), CUT_TYPE_INCLINED);
    EXPECT_EQ(Access::CalculateCrossSectionMap(c, 1, CUT_TYPE_INCLINED, &a, &b, T), CS_SECTION_MAP_FAILED);
}

TEST_F(CutGeometry, MomentPointAtMidpointOrConvertedInPlace) {
    nodes = {{1, {0, 0, 2}}, {2, {1, 0, 2}}, {3, {1, 1, 2}}, {4, {0, 1, 2}}};  // plane z = 2
    CCrossSectionForcesPost c = make(0.01);
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
}
