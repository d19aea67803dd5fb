#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <vector>

#include "support/forces_access.h"
#include "support/strip_model.h"
#include "xsect/detail/segments.h"

using namespace xsect;
using Access = CCrossSectionForcesPostTestAccess;
using strip_model::SmallModel;

namespace {

struct Crossed {
    std::map<std::int32_t, CShellElement*> shells;
    std::map<std::int32_t, CFrameElement*> frames;
    std::map<std::int32_t, std::vector<CEdge>> edges;
};

// Every test cuts along (0,0)-(10,0).
Crossed findAll(CCrossSectionForcesPost& calc) {
    CVertex a(0, 0, 0), b(10, 0, 0);
    Crossed out;
    Access::FindShellsCrossedWithLine(calc, &a, &b, out.shells, out.edges);
    Access::FindFramesCrossedWithLine(calc, &a, &b, out.frames, out.edges);
    return out;
}

::testing::AssertionResult edgesAre(const std::vector<CEdge>& got, const std::vector<CEdge>& want) {
    if (got.size() != want.size()) return ::testing::AssertionFailure() << got.size() << " edges";
    for (std::size_t i = 0; i < got.size(); ++i)
        if (got[i].firstNode != want[i].firstNode || got[i].secondNode != want[i].secondNode)
            return ::testing::AssertionFailure()
                   << "edge " << i << " is " << got[i].firstNode << "-" << got[i].secondNode;
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(IntersectSegments, BoundsAreInclusiveWithASquaredToleranceSlack) {
    const double tol = 0.005;  // slack on both parameters: tol^2 = 2.5e-5
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        double cx, cy, dx, dy;  // the edge; the cut is (0,0)-(10,0)
        bool crosses;
    } cases[] = {
        {"plain crossing", 2, -1, 2, 1, true},
        {"edge ending on the cut", 2, -1, 2, 0, true},
        {"edge starting on the cut", 2, 0, 2, 1, true},
        {"cut ending on the edge", 10, -1, 10, 1, true},
        {"cut starting on the edge", 0, -1, 0, 1, true},
        // t = 1 + 1.2e-5 and 1 + 1e-3 beyond the cut's end
        {"cut short of the edge by less than the slack", 10.00012, -1, 10.00012, 1, true},
        {"cut short of the edge by a thousandth", 10.01, -1, 10.01, 1, false},
        {"cut starting just past the edge", -0.00012, -1, -0.00012, 1, true},
        {"cut starting a thousandth past the edge", -0.01, -1, -0.01, 1, false},
        // u = -1e-5 and -1e-4 on a unit edge that stops short of the cut
        {"edge short of the cut within the slack", 2, 0.00001, 2, 1.00001, true},
        {"edge short of the cut beyond the slack", 2, 0.0001, 2, 1.0001, false},
        {"edge well away", 2, 0.5, 2, 1, false},
        {"parallel", 0, 1, 10, 1, false},
        {"collinear overlap", 2, 0, 4, 0, false},
        // |D| = cut length x edge length: 10 x 4e-4 is below the tolerance, 10 x 6e-4 is not
        {"edge too short for the determinant", 2, -0.0002, 2, 0.0002, false},
        {"edge just long enough", 2, -0.0003, 2, 0.0003, true},
        {"NaN coordinate", 2, nan, 2, 1, false},
    };
    const CVertex a(0, 0, 0), b(10, 0, 0);
    for (const auto& k : cases) {
        const CVertex c(k.cx, k.cy, 0), d(k.dx, k.dy, 0);
        CVertex out(-7, -7, -7);
        EXPECT_EQ(IntersectSegments2D(&a, &b, &c, &d, tol, &out), k.crosses) << k.name;
        if (!k.crosses) { EXPECT_EQ(out.x, -7) << k.name << ": out written on false"; }
    }
    // The point lies on the cut and takes the cut's height, not the edge's.
    const CVertex p(0, 0, 0.25), q(10, 5, 0.25), c(4, -1, 3), d(4, 9, 3);
    CVertex out;
    ASSERT_TRUE(IntersectSegments2D(&p, &q, &c, &d, tol, &out));
    EXPECT_DOUBLE_EQ(out.x, 4.0);
    EXPECT_DOUBLE_EQ(out.y, 2.0);
    EXPECT_EQ(out.z, 0.25);
    // A determinant exactly equal to the tolerance (1 x 0.5, all exact in binary) is not parallel.
    const CVertex e(0.5, -0.25, 0), f(0.5, 0.25, 0), unit(1, 0, 0);
    EXPECT_TRUE(IntersectSegments2D(&a, &unit, &e, &f, 0.5, &out));
}

TEST(Crossing, ShellEdgesAreListedInNodeOrder) {
    struct Case {
        const char* name;
        std::vector<std::array<double, 2>> corners;  // nodes 1, 2, ...
        std::vector<CEdge> want;
    } cases[] = {
        {"square through two sides", {{2, -1}, {4, -1}, {4, 1}, {2, 1}}, {{2, 3}, {4, 1}}},
        {"corner on the cut: both edges meeting there", {{4, 0}, {5, 1}, {4, 2}, {3, 1}}, {{1, 2}, {4, 1}}},
        {"along an edge: only its neighbours (collinear)", {{2, 0}, {4, 0}, {4, 2}, {2, 2}}, {{2, 3}, {4, 1}}},
        {"wholly above: an empty list, not crossed", {{2, 2}, {4, 2}, {4, 3}}, {}},
    };
    for (const auto& k : cases) {
        SmallModel m;
        std::vector<std::int32_t> ids;
        for (const auto& [x, y] : k.corners) {
            ids.push_back(static_cast<std::int32_t>(ids.size()) + 1);
            m.AddNode(ids.back(), x, y);
        }
        m.AddShell(5, ids);
        CCrossSectionForcesPost calc = m.Build();
        const Crossed x = findAll(calc);
        ASSERT_EQ(x.edges.count(5), 1u) << k.name;
        EXPECT_TRUE(edgesAre(x.edges.at(5), k.want)) << k.name;
        ASSERT_EQ(x.shells.size(), k.want.empty() ? 0u : 1u) << k.name;
        if (!k.want.empty()) { EXPECT_EQ(x.shells.at(5), &Access::shells(calc).at(5)) << "points into the copy"; }
    }
}

TEST(Crossing, ElementsWithMissingNodesAndFramesAlongTheCut) {
    SmallModel m;
    m.AddNode(1, 3, -1);
    m.AddNode(2, 3, 1);
    m.AddNode(3, 5, 0);
    m.AddNode(4, 8, 0);
    m.AddNode(5, 6, -1);
    m.AddNode(6, 6, 1);
    m.AddNode(7, 7, 1);
    m.AddFrame(1, 1, 2);   // across the cut
    m.AddFrame(2, 3, 4);   // lies on the cut: collinear, never crossed
    m.AddFrame(3, 1, 99);  // a missing end: no entry at all
    m.AddFrame(4, 5, 6);   // crossed, but its number is a shell's
    m.AddShell(4, {5, 6, 7});
    m.AddShell(8, {1, 2, 99});  // a missing node: skipped whole
    CCrossSectionForcesPost calc = m.Build();
    const Crossed x = findAll(calc);

    EXPECT_TRUE(edgesAre(x.edges.at(1), {{1, 2}}));
    EXPECT_EQ(x.frames.count(2), 0u);
    EXPECT_TRUE(x.edges.at(2).empty());
    EXPECT_EQ(x.frames.count(3) + x.edges.count(3), 0u);
    EXPECT_EQ(x.shells.count(8) + x.edges.count(8), 0u);
    EXPECT_EQ(x.frames.count(4), 1u);
    // The shell search ran first: its edge list stands (edges 5-6 and 7-5 cross y = 0).
    EXPECT_TRUE(edgesAre(x.edges.at(4), {{5, 6}, {7, 5}}));
}

TEST(Crossing, QuickRejectionMeasuresInSpace) {
    // The exact test looks at x and y only; the sphere test before it sees the height, so a
    // segment far off the plane is rejected even though its shadow crosses the cut.
    SmallModel m;
    CCrossSectionForcesPost calc = m.Build();
    CVertex a(0, 0, 0), b(10, 0, 0), c(5, -1, 50), d(5, 1, 50);
    EXPECT_FALSE(Access::CheckLinesCrossing(calc, &a, &b, &c, &d));
    c.z = d.z = 0.0;
    EXPECT_TRUE(Access::CheckLinesCrossing(calc, &a, &b, &c, &d));
    CVertex e(10, 0, 0), f(10, 5, 0);  // touching end to end: the spheres just meet
    EXPECT_TRUE(Access::CheckLinesCrossing(calc, &a, &b, &e, &f));
}
