#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "support/forces_access.h"

using namespace xsect;
using Access = CCrossSectionForcesPostTestAccess;

namespace {

struct Model {
    std::map<std::int32_t, CVertex> nodes;
    std::map<std::int32_t, CShellElement> shells;
    std::map<std::int32_t, CFrameElement> frames;
    std::map<std::int32_t, CLoadCaseInfo> cases;

    CCrossSectionForcesPost build(double tol = 0.005, std::int32_t n1 = 0, std::int32_t n2 = 0,
                                  std::int32_t n3 = 0) {
        return CCrossSectionForcesPost(nodes, shells, frames, cases, tol, n1, n2, n3);
    }
};

// A unit square shell 1-2-3-4 and a triangle 2-5-3, every point mapped by f (flat in z = 0 by
// default).
Model squareModel(const std::function<CVertex(double, double)>& f = [](double x, double y) {
    return CVertex(x, y, 0);
}) {
    Model m;
    const double pts[5][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {2, 0.5}};
    for (int i = 0; i < 5; ++i) m.nodes[i + 1] = f(pts[i][0], pts[i][1]);
    m.shells[1].nodes = {1, 2, 3, 4};
    m.shells[2].nodes = {2, 5, 3};
    return m;
}

void expectRow(const CVertex& v, double x, double y, double z, double tol = 1e-12) {
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

}  // namespace

TEST(PlaneSetup, NamedNodesFixOriginAndNormalSense) {
    Model m = squareModel();
    CCrossSectionForcesPost c = m.build(0.005, 1, 2, 4);
    ASSERT_EQ(c.GetCurrentStatus(), CS_SUCCESS);
    CVertex ex, ey, n;
    c.GetPlaneMap(ex, ey, n);
    expectRow(ex, 1, 0, 0);
    expectRow(ey, 0, 1, 0);
    expectRow(n, 0, 0, 1);
    expectRow(Access::vertices(c)[3], 1, 1, 0);  // identity frame: coordinates unchanged
    CCrossSectionForcesPost flipped = m.build(0.005, 1, 4, 2);  // the other order flips the normal
    flipped.GetPlaneMap(ex, ey, n);
    expectRow(n, 0, 0, -1);
    EXPECT_EQ(flipped.GetOriginNodeNo(), 1);
}

TEST(PlaneSetup, TiltedOffsetPlaneGetsZeroPlaneZAndRoundTrips) {
    // The plane x' = (1, 1, 0)/sqrt2, y' = (0, 0, 1): a vertical wall at 45 degrees through (10, 20, 3).
    const double r = std::sqrt(0.5);
    Model m = squareModel([&](double x, double y) { return CVertex(10 + x * r, 20 + x * r, 3 + y); });
    CCrossSectionForcesPost c = m.build();
    ASSERT_EQ(c.GetCurrentStatus(), CS_SUCCESS);
    EXPECT_EQ(c.GetOriginNodeNo(), 1);
    m.nodes.clear();  // the calculator holds its own copy
    ASSERT_EQ(Access::vertices(c).size(), 5u);
    expectRow(Access::vertices(c)[3], 1, 1, 0);
    for (const auto& [k, v] : Access::vertices(c)) EXPECT_NEAR(v.z, 0.0, 1e-12) << k;
    CVertex o(0.3);
    o.id = 42;
    c.GetOrigin(o);
    expectRow(o, 30 * r, 3, -10 * r);  // the origin node in plane axes, M (10, 20, 3)
    EXPECT_EQ(o.id, 42);  // only the coordinates are written
    EXPECT_EQ(o.tolerance, 0.3);

    double x = 10, y = 20, z = 3;  // the origin node
    c.ConvertTo2D(&x, &y, &z);
    expectRow(CVertex(x, y, z), 0, 0, 0);
    double px = 11.5, py = 19.25, pz = 7.5;
    c.ConvertTo2D(&px, &py, &pz);
    c.ConvertTo3D(&px, &py, &pz);
    expectRow(CVertex(px, py, pz), 11.5, 19.25, 7.5);
}

TEST(PlaneSetup, FailuresOfTheSetUp) {
    const double tol = 0.01;
    struct Case {
        const char* name;
        std::function<void(Model&)> change;
        std::int32_t n1, n2, n3;
        std::int32_t status;
    } cases[] = {
        {"node twice the tolerance off", [&](Model& m) { m.nodes[5].z = 2 * tol; }, 0, 0, 0, CS_PLANE_NOT_DEFINED},
        {"node exactly the tolerance off", [&](Model& m) { m.nodes[5].z = tol; }, 0, 0, 0, CS_SUCCESS},
        {"frame node off", [](Model& m) { m.nodes[9] = CVertex(0, 0, 1); }, 0, 0, 0, CS_PLANE_NOT_DEFINED},
        {"no shells", [](Model& m) { m.shells.clear(); }, 0, 0, 0, CS_NO_SHELLS},
        {"no nodes", [](Model& m) { m.nodes.clear(); }, 0, 0, 0, CS_PLANE_NOT_DEFINED},
        {"origin nearest the corner in no shell", [](Model& m) { m.nodes[9] = CVertex(-1, -1, 0); }, 0, 0, 0,
         CS_PLANE_NOT_DEFINED},
        {"origin and its next two in line",
         [](Model& m) {
             m.nodes[6] = CVertex(0.5, 0, 0);
             m.shells[1].nodes = {1, 6, 2, 3};
         },
         0, 0, 0, CS_PLANE_NOT_DEFINED},
        {"shell naming a missing node", [](Model& m) { m.shells[1].nodes = {1, 77, 3, 4}; }, 0, 0, 0,
         CS_PLANE_NOT_DEFINED},
        {"named node missing", [](Model&) {}, 1, 2, 105, CS_PLANE_NOT_DEFINED},
        {"named nodes collinear", [](Model& m) { m.nodes[6] = CVertex(3, 0, 0); }, 1, 2, 6, CS_PLANE_NOT_DEFINED},
    };
    for (const auto& k : cases) {
        Model m = squareModel();
        k.change(m);
        CCrossSectionForcesPost c = m.build(tol, k.n1, k.n2, k.n3);
        EXPECT_EQ(c.GetCurrentStatus(), k.status) << k.name;
    }
    Model none;
    CCrossSectionForcesPost d = none.build();
    CVertex o(1, 1, 1);
    d.GetOrigin(o);
    expectRow(o, 0, 0, 0);  // nothing set up: a zero origin, no origin node
    EXPECT_EQ(d.GetOriginNodeNo(), -1);
    d.ResetCurrentStatus();
    EXPECT_EQ(d.GetCurrentStatus(), CS_SUCCESS);
}

TEST(PlaneSetup, OriginIsNearestTheCornerWithHighKeyWinningTies) {
    Model m;
    m.nodes[1] = CVertex(1, 0, 0);
    m.nodes[2] = CVertex(0, 1, 0);
    m.nodes[3] = CVertex(1, 1, 0);
    m.shells[1].nodes = {1, 3, 2};
    CCrossSectionForcesPost c = m.build();
    EXPECT_EQ(Access::FindOrigin(c), 2);  // 1 and 2 are both 1 from the corner (0, 0, 0)

    // A 4-node shell listed (7, 3, 9, 4) with origin 9 builds its frame from 9, 4, 7.
    Model n;
    n.nodes[7] = CVertex(0, 2, 0);
    n.nodes[3] = CVertex(2, 2, 0);
    n.nodes[9] = CVertex(0, 0, 0);
    n.nodes[4] = CVertex(2, 0, 0);
    n.shells[1].nodes = {7, 3, 9, 4};
    CCrossSectionForcesPost cn = n.build();
    ASSERT_EQ(cn.GetCurrentStatus(), CS_SUCCESS);
    EXPECT_EQ(cn.GetOriginNodeNo(), 9);
    CVertex ex, ey, nn;
    cn.GetPlaneMap(ex, ey, nn);
    expectRow(ex, 1, 0, 0);  // 9 -> 4
    expectRow(nn, 0, 0, 1);  // 9 -> 4 -> 7 runs counter-clockwise seen from +z
    EXPECT_EQ(Access::FindShell(cn, 9), &Access::shells(cn)[1]);
    EXPECT_EQ(Access::FindShell(cn, 55), nullptr);
}

TEST(PlaneFrame, LengthsEqualToTheToleranceStillMakeAFrame) {
    Model m = squareModel();
    CCrossSectionForcesPost c = m.build(0.5);
    CVertex p1(0, 0, 0), p2(0.5, 0, 0), p3(0, 1, 0), tooClose(0.4, 0, 0);
    AG_Matrix out(3, 3, 7.0);
    EXPECT_TRUE(Access::ComputeTransformationMatrix(c, &p1, &p2, &p3, out));
    AG_Matrix untouched(3, 3, 7.0);
    EXPECT_FALSE(Access::ComputeTransformationMatrix(c, &p1, &tooClose, &p3, untouched));
    EXPECT_EQ(untouched(2, 2), 7.0);  // left as it was

    // Collinearity: each cross-product component must be strictly below the tolerance.
    CVertex q1(0, 0, 0), q2(1, 0, 0), q3(2, 0.5, 0);  // z component is exactly 0.5
    EXPECT_FALSE(Access::CheckPointsColinear(c, &q1, &q2, &q3));
    CVertex q4(2, 0.49, 0);
    EXPECT_TRUE(Access::CheckPointsColinear(c, &q1, &q2, &q4));
}
