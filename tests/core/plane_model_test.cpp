// The plane set-up: which nodes fix the plane, its origin and the sense of its normal, and every
// way it can fail.

#include "core/plane_model.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>

#include "core/plane_frame.h"
#include "xsect/xsect.h"

namespace xsect {
namespace {

struct Model {
    std::map<std::int32_t, CVertex> nodes;
    std::map<std::int32_t, CShellElement> shells;
    std::map<std::int32_t, CFrameElement> frames;
    std::map<std::int32_t, CLoadCaseInfo> cases;

    CCrossSectionForcesPost Build(double tol = 0.005, std::int32_t n1 = 0, std::int32_t n2 = 0, std::int32_t n3 = 0) {
        return CCrossSectionForcesPost(nodes, shells, frames, cases, tol, n1, n2, n3);
    }
};

// A unit square shell 1-2-3-4 and a triangle 2-5-3, every point mapped by f.
Model Square(const std::function<CVertex(double, double)>& f = [](double x, double y) { return CVertex(x, y, 0); }) {
    Model m;
    const double pts[5][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {2, 0.5}};
    for (int i = 0; i < 5; ++i) m.nodes[i + 1] = f(pts[i][0], pts[i][1]);
    m.shells[1].nodes = {1, 2, 3, 4};
    m.shells[2].nodes = {2, 5, 3};
    return m;
}

// Coordinates of order ten through one rotation.
void ExpectAt(const CVertex& v, double x, double y, double z) {
    EXPECT_NEAR(v.x, x, 1e-12 * 10);
    EXPECT_NEAR(v.y, y, 1e-12 * 10);
    EXPECT_NEAR(v.z, z, 1e-12 * 10);
}

TEST(PlaneSetup, NamedNodesFixOriginAxesAndNormalSense) {
    // A vertical wall at 45 degrees through (10, 20, 3): x' = (1, 1, 0) / sqrt 2, y' = z.
    const double r = std::sqrt(0.5);
    Model m = Square([&](double x, double y) { return CVertex(10 + x * r, 20 + x * r, 3 + y); });
    CCrossSectionForcesPost c = m.Build(0.005, 1, 2, 4);
    ASSERT_EQ(c.GetCurrentStatus(), CS_SUCCESS);
    EXPECT_EQ(c.GetOriginNodeNo(), 1);
    CVertex ex, ey, n;
    c.GetPlaneMap(ex, ey, n);
    ExpectAt(ex, r, r, 0);
    ExpectAt(ey, 0, 0, 1);
    ExpectAt(n, r, -r, 0);
    const detail::PlaneModel& pm = *c.Model();
    ExpectAt(pm.VertexAt(2), 1, 1, 0);  // node 3, in plane coordinates
    for (const detail::Point& v : pm.vertices) EXPECT_NEAR(v.z, 0.0, 1e-12 * 10);
    CVertex o;
    c.GetOrigin(o);
    ExpectAt(o, 30 * r, 3, -10 * r);  // the origin node rotated into plane axes
    double x = 10, y = 20, z = 3, px = 11.5, py = 19.25, pz = 7.5;
    c.ConvertTo2D(&x, &y, &z);
    ExpectAt(CVertex(x, y, z), 0, 0, 0);
    c.ConvertTo2D(&px, &py, &pz);
    c.ConvertTo3D(&px, &py, &pz);
    ExpectAt(CVertex(px, py, pz), 11.5, 19.25, 7.5);

    m.Build(0.005, 1, 4, 2).GetPlaneMap(ex, ey, n);  // the other order turns the normal over
    ExpectAt(n, -r, r, 0);
}

TEST(PlaneSetup, ModelsOwnPlaneStartsAtTheNodeNearestTheLowCorner) {
    // Nodes 1 and 2 are both 1 from the corner (0, 0, 0): the higher number wins.
    Model tie;
    tie.nodes = {{1, CVertex(1, 0, 0)}, {2, CVertex(0, 1, 0)}, {3, CVertex(1, 1, 0)}};
    tie.shells[1].nodes = {1, 3, 2};
    EXPECT_EQ(tie.Build().GetOriginNodeNo(), 2);
    // A shell listed (7, 3, 9, 4) with origin 9 builds its frame from 9, 4, 7: the shell's own
    // cyclic order past the origin.
    Model m;
    m.nodes = {{7, CVertex(0, 2, 0)}, {3, CVertex(2, 2, 0)}, {9, CVertex(0, 0, 0)}, {4, CVertex(2, 0, 0)}};
    m.shells[1].nodes = {7, 3, 9, 4};
    CCrossSectionForcesPost c = m.Build();
    ASSERT_EQ(c.GetCurrentStatus(), CS_SUCCESS);
    EXPECT_EQ(c.GetOriginNodeNo(), 9);
    CVertex ex, ey, n;
    c.GetPlaneMap(ex, ey, n);
    ExpectAt(ex, 1, 0, 0);
    ExpectAt(n, 0, 0, 1);
}

TEST(PlaneSetup, FailuresLeaveTheirStatus) {
    const double tol = 0.01;
    struct Case {
        const char* name;
        std::function<void(Model&)> change;
        std::int32_t n1, n2, n3;
        std::int32_t status;
    } cases[] = {
        {"node twice the tolerance off", [&](Model& m) { m.nodes[5].z = 2 * tol; }, 0, 0, 0, CS_PLANE_NOT_DEFINED},
        {"node exactly the tolerance off", [&](Model& m) { m.nodes[5].z = tol; }, 0, 0, 0, CS_SUCCESS},
        {"node of no element off", [](Model& m) { m.nodes[9] = CVertex(0, 0, 1); }, 0, 0, 0, CS_PLANE_NOT_DEFINED},
        {"no shells", [](Model& m) { m.shells.clear(); }, 0, 0, 0, CS_NO_SHELLS},
        {"no nodes", [](Model& m) { m.nodes.clear(); }, 0, 0, 0, CS_PLANE_NOT_DEFINED},
        {"origin in no shell", [](Model& m) { m.nodes[9] = CVertex(-1, -1, 0); }, 0, 0, 0, CS_PLANE_NOT_DEFINED},
        {"node not a number", [](Model& m) { m.nodes[5].z = std::nan(""); }, 0, 0, 0, CS_PLANE_NOT_DEFINED},
        {"origin's next two in line",
         [](Model& m) { m.nodes[6] = {.5, 0, 0}, m.shells[1].nodes = {1, 6, 2, 3}; }, 0, 0, 0, CS_PLANE_NOT_DEFINED},
        {"origin's shell naming a missing node", [](Model& m) { m.shells[1].nodes = {1, 77, 3, 4}; }, 0, 0, 0,
         CS_PLANE_NOT_DEFINED},
        {"named node missing", [](Model&) {}, 1, 2, 105, CS_PLANE_NOT_DEFINED},
        {"named nodes in line", [](Model& m) { m.nodes[6] = CVertex(3, 0, 0); }, 1, 2, 6, CS_PLANE_NOT_DEFINED},
        {"a named node not positive: the model's own plane", [](Model&) {}, 1, 2, 0, CS_SUCCESS},
    };
    for (const auto& k : cases) {
        Model m = Square();
        k.change(m);
        EXPECT_EQ(m.Build(tol, k.n1, k.n2, k.n3).GetCurrentStatus(), k.status) << k.name;
    }
    // A tolerance that is no usable number; zero asks for exact arithmetic, which the square allows.
    for (const double bad : {-1.0, std::nan(""), HUGE_VAL, -HUGE_VAL})
        EXPECT_EQ(Square().Build(bad).GetCurrentStatus(), CS_PLANE_NOT_DEFINED) << bad;
    EXPECT_EQ(Square().Build(0.0).GetCurrentStatus(), CS_SUCCESS);
    CCrossSectionForcesPost none = Model{}.Build();
    CVertex o(1, 1, 1);
    none.GetOrigin(o);
    ExpectAt(o, 0, 0, 0);  // nothing set up: a zero origin and no origin node
    EXPECT_EQ(none.GetOriginNodeNo(), -1);
}

// The program's check reports what the set-up found, so the fit must be there when the plane is
// refused too: on a tilted plane, the distance is measured along its normal.
TEST(PlaneSetup, TheFitNamesItsNodesAndEveryNodeOffThePlaneEvenWhenRefused) {
    const double tol = 0.001, off = 0.002;
    const double c = 0.6, s = 0.8;  // the plane z = 0 turned about x: normal (0, -s, c)
    Model m = Square([&](double x, double y) { return CVertex(x, c * y, s * y); });
    m.nodes[5] = CVertex(m.nodes[5].x, m.nodes[5].y - s * off, m.nodes[5].z + c * off);
    struct Case {
        const char* name;
        std::int32_t n1, n2, n3;
        std::array<std::int32_t, 3> nodes;
    } cases[] = {{"model's own plane", 0, 0, 0, {1, 2, 3}}, {"named nodes", 1, 2, 4, {1, 2, 4}}};
    for (const Case& k : cases) {
        const PlaneFit fit = PlaneFitOf(m.Build(tol, k.n1, k.n2, k.n3));
        EXPECT_EQ(fit.status, CS_PLANE_NOT_DEFINED) << k.name;
        EXPECT_TRUE(fit.framed) << k.name;
        EXPECT_EQ(fit.nodes, k.nodes) << k.name;
        ASSERT_EQ(fit.offPlane.size(), 1u) << k.name;
        EXPECT_EQ(fit.offPlane[0].node, 5) << k.name;
        EXPECT_NEAR(fit.offPlane[0].distance, off, 1e-15 * 10) << k.name;  // rounding on coordinates of order one
    }
    const PlaneFit good = PlaneFitOf(Square().Build(tol));
    EXPECT_TRUE(good.status == CS_SUCCESS && good.framed && good.offPlane.empty());
    Model line = Square();
    line.nodes[6] = CVertex(3, 0, 0);
    const PlaneFit unframed = PlaneFitOf(line.Build(tol, 1, 2, 6));
    EXPECT_TRUE(unframed.status == CS_PLANE_NOT_DEFINED && !unframed.framed && unframed.offPlane.empty());
}

// The first axis is the edge divided by its length; multiplying by the reciprocal instead gave
// 0.60000000000000009 for the edge (3, 4, 0).
TEST(PlaneFrame, FirstAxisIsTheEdgeDividedByItsLength) {
    Model m;
    m.nodes = {{1, {0, 0, 0}}, {2, {3, 4, 0}}, {3, {-4, 3, 0}}};
    m.shells[1].nodes = {1, 2, 3};
    CVertex x, y, n;
    m.Build(0.001, 1, 2, 3).GetPlaneMap(x, y, n);
    EXPECT_EQ(x.x, 0.6);
    EXPECT_EQ(x.y, 0.8);
    EXPECT_EQ(x.z, 0.0);
}

TEST(PlaneFrame, ToleranceBoundsAreStrictBelow) {
    const double tol = 0.5;
    const detail::Vec3 sevens{7.0, 7.0, 7.0};
    detail::Mat3 out{sevens, sevens, sevens};
    EXPECT_TRUE(detail::planeFrameFrom(CVertex(0, 0, 0), CVertex(0.5, 0, 0), CVertex(0, 1, 0), tol, out));
    detail::Mat3 untouched{sevens, sevens, sevens};
    EXPECT_FALSE(detail::planeFrameFrom(CVertex(0, 0, 0), CVertex(0.4, 0, 0), CVertex(0, 1, 0), tol, untouched));
    EXPECT_EQ(untouched[1][1], 7.0);
    // Every component of the cross product must be strictly below the tolerance: here z is 0.5.
    EXPECT_FALSE(detail::pointsCollinear(CVertex(0, 0, 0), CVertex(1, 0, 0), CVertex(2, 0.5, 0), tol));
    EXPECT_TRUE(detail::pointsCollinear(CVertex(0, 0, 0), CVertex(1, 0, 0), CVertex(2, 0.49, 0), tol));
}

// The model's large arrays are mapped apart from the heap once they reach a few megabytes: growing
// one through that size and copying it must keep every element, in memory of its own each time.
TEST(LargeArray, GrowingAndCopyingThroughTheMappedSizesKeepsEveryElement) {
    detail::LargeVector<std::uint64_t> grown;
    auto value = [](std::uint64_t i) { return i * 0x9E3779B97F4A7C15ull; };
    for (std::uint64_t i = 0; i < (3u << 20); ++i) grown.push_back(value(i));  // 24 MB, ten reallocations
    detail::LargeVector<std::uint64_t> copy = grown;
    grown.resize(1000);  // the big block is still held; shrinking it gives it back
    grown.shrink_to_fit();
    copy.push_back(value(copy.size()));
    ASSERT_EQ(copy.size(), (3u << 20) + 1);
    std::uint64_t wrong = 0;
    for (std::uint64_t i = 0; i < copy.size(); ++i) wrong += copy[i] != value(i);
    for (std::uint64_t i = 0; i < grown.size(); ++i) wrong += grown[i] != value(i);
    EXPECT_EQ(wrong, 0u);
#if defined(__linux__)
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(copy.data()) % (std::uintptr_t{2} << 20), 0u);
#endif
}

}  // namespace
}  // namespace xsect
