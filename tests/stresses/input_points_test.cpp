#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/forces_access.h"
#include "support/stress_models.h"
#include "support/stresses_access.h"

namespace xsect {
namespace {

using stress_models::BuildGrid;
using stress_models::GridModel;
using stress_models::GridSpec;
using Access = CCrossSectionStressesPostTestAccess;
using ForcesAccess = CCrossSectionForcesPostTestAccess;
using Rows = std::vector<std::shared_ptr<ElemStressPoints>>;

// Coordinates of at most a few tens pass through one rotation and back: rounding stays far
// below this.
constexpr double kGeom = 1e-12;

CVertex P(double x, double y, double z = 0.0) { return CVertex(x, y, z); }

std::vector<std::int32_t> ids(const Rows& rows) {
    std::vector<std::int32_t> out;
    for (const auto& r : rows) out.push_back(r->GetElemID());
    return out;
}

// First and last cut-line coordinate of each row.
std::vector<std::pair<double, double>> spans(const Rows& rows) {
    std::vector<std::pair<double, double>> out;
    for (const auto& r : rows) out.emplace_back(r->GetStressPoints().front().Get1DCoor(),
                                                r->GetStressPoints().back().Get1DCoor());
    return out;
}

void expectSpans(const Rows& rows, const std::vector<std::pair<double, double>>& expected) {
    const auto got = spans(rows);
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i].first, expected[i].first, kGeom) << "row " << i;
        EXPECT_NEAR(got[i].second, expected[i].second, kGeom) << "row " << i;
    }
}

void expectPoint(const CVertex& got, const CVertex& want) {
    EXPECT_NEAR(got.x, want.x, kGeom);
    EXPECT_NEAR(got.y, want.y, kGeom);
    EXPECT_NEAR(got.z, want.z, kGeom);
}

std::map<std::int32_t, CShellElement*> touchedBy(CCrossSectionStressesPost& calc, CVertex a, CVertex b) {
    std::map<std::int32_t, CShellElement*> touched;
    Access::FindCrossPointsWithShells(calc, &a, &b, touched);
    return touched;
}

std::vector<std::int32_t> keys(const std::map<std::int32_t, CShellElement*>& m) {
    std::vector<std::int32_t> out;
    for (const auto& kv : m) out.push_back(kv.first);
    return out;
}

// ---- crossings ----

TEST(InputPoints, CutThroughInteriorsGivesOneEvenlySpacedRowPerShell) {
    auto m = BuildGrid(GridSpec{});
    CCrossSectionStressesPost calc(m->forces.get());
    const Rows rows = calc.GetCutlineStressInputPoints(P(-0.5, 0.5), P(3.5, 0.5), P(1, 0.9), 0, 0.0, true);
    EXPECT_EQ(calc.GetStatus(), CS_SUCCESS);
    ASSERT_EQ(ids(rows), (std::vector<std::int32_t>{1, 2, 3}));
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const auto& pts = rows[k]->GetStressPoints();
        ASSERT_EQ(pts.size(), 5u);
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const double x = static_cast<double>(k) + 0.25 * static_cast<double>(i);
            expectPoint(pts[i].GetPoint(), P(x, 0.5));
            EXPECT_NEAR(pts[i].Get1DCoor(), x + 0.5, kGeom);
            EXPECT_EQ(pts[i].GetStressCSType(), STRESS_CS_NONE);
        }
        EXPECT_TRUE(rows[k]->GetCornerThickness().empty());
    }
    // The calculator hands out its own rows, not copies.
    EXPECT_EQ(rows, Access::elementStressPoints(calc));
}

TEST(InputPoints, CutEndingInsideShellsIsExtendedPastItsEnds) {
    auto m = BuildGrid(GridSpec{});
    CCrossSectionStressesPost calc(m->forces.get());
    const Rows rows = calc.GetCutlineStressInputPoints(P(0.25, 0.5), P(2.5, 0.5), P(1, 0.9), 1, 0.0, true);
    ASSERT_EQ(ids(rows), (std::vector<std::int32_t>{1, 2, 3}));
    // The end shells reach before 0 and beyond the cut's length 2.25.
    expectSpans(rows, {{-0.25, 0.75}, {0.75, 1.75}, {1.75, 2.75}});
    expectPoint(rows[0]->GetStressPoints().front().GetPoint(), P(0, 0.5));
    expectPoint(rows[2]->GetStressPoints().back().GetPoint(), P(3, 0.5));
    for (const auto& r : rows) EXPECT_EQ(r->GetStressPoints().size(), 3u);
}

TEST(InputPoints, ShellsNumberedOutOfCutOrderComeOutInCutOrder) {
    GridSpec spec;
    const std::int32_t numbers[3] = {30, 10, 20};
    spec.elementNumber = [numbers](std::int32_t column, std::int32_t) { return numbers[column]; };
    auto m = BuildGrid(spec);
    CCrossSectionStressesPost calc(m->forces.get());

    Rows rows = calc.GetCutlineStressInputPoints(P(-0.5, 0.5), P(3.5, 0.5), P(1, 0.9), 0, 0.0, true);
    EXPECT_EQ(ids(rows), (std::vector<std::int32_t>{30, 10, 20}));
    expectSpans(rows, {{0.5, 1.5}, {1.5, 2.5}, {2.5, 3.5}});

    // Given the other way round, the rows follow the new direction and run along it.
    rows = calc.GetCutlineStressInputPoints(P(3.5, 0.5), P(-0.5, 0.5), P(1, 0.9), 0, 0.0, true);
    EXPECT_EQ(ids(rows), (std::vector<std::int32_t>{20, 10, 30}));
    expectSpans(rows, {{0.5, 1.5}, {1.5, 2.5}, {2.5, 3.5}});
    expectPoint(rows[0]->GetStressPoints().front().GetPoint(), P(3, 0.5));
    expectPoint(rows[0]->GetStressPoints().back().GetPoint(), P(2, 0.5));
}

TEST(InputPoints, DiagonalThroughCornerNodesKeepsOnlyShellsItPassesThrough) {
    GridSpec spec;
    spec.columns = 2;
    spec.rows = 2;
    auto m = BuildGrid(spec);
    CCrossSectionStressesPost calc(m->forces.get());
    const double r2 = std::sqrt(2.0);
    const Rows rows = calc.GetCutlineStressInputPoints(P(0, 0), P(2, 2), P(0, 1), 0, 0.0, true);
    EXPECT_EQ(calc.GetStatus(), CS_SUCCESS);
    ASSERT_EQ(ids(rows), (std::vector<std::int32_t>{1, 4}));
    expectSpans(rows, {{0.0, r2}, {r2, 2 * r2}});
    expectPoint(rows[1]->GetStressPoints().front().GetPoint(), P(1, 1));
    // The two shells met at a corner only are touched and left out.
    EXPECT_EQ(keys(touchedBy(calc, P(0, 0), P(2, 2))), (std::vector<std::int32_t>{1, 2, 3, 4}));
}

TEST(InputPoints, CutAlongSharedMeshLineGivesPointsOnlyToTheFaceSideShells) {
    struct Case {
        bool clockwise;
        double faceY;
        std::vector<std::int32_t> expected;
    };
    const Case cases[] = {
        {false, 1.5, {3, 4}}, {false, 0.5, {1, 2}}, {true, 1.5, {3, 4}}, {true, 0.5, {1, 2}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "clockwise " << c.clockwise << " face y " << c.faceY);
        GridSpec spec;
        spec.columns = 2;
        spec.rows = 2;
        spec.clockwise = c.clockwise;
        auto m = BuildGrid(spec);
        CCrossSectionStressesPost calc(m->forces.get());
        const Rows rows = calc.GetCutlineStressInputPoints(P(-0.5, 1), P(2.5, 1), P(1, c.faceY), 0, 0.0, true);
        EXPECT_EQ(ids(rows), c.expected);
        expectSpans(rows, {{0.5, 1.5}, {1.5, 2.5}});
        EXPECT_EQ(keys(touchedBy(calc, P(-0.5, 1), P(2.5, 1))), (std::vector<std::int32_t>{1, 2, 3, 4}));
    }
}

TEST(InputPoints, CutAlongPartOfAnEdgeTakesTheWholeEdge) {
    struct Case {
        std::int32_t columns;
        CVertex a, b;
        std::vector<std::int32_t> expected;
        std::vector<std::pair<double, double>> spans;
    };
    // Inside one edge (the cut lies on the edge), and half on each of two edges (partial overlaps).
    const Case cases[] = {
        {1, P(0.25, 1), P(0.75, 1), {2}, {{-0.25, 0.75}}},
        {2, P(0.5, 1), P(1.5, 1), {3, 4}, {{-0.5, 0.5}, {0.5, 1.5}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.columns);
        GridSpec spec;
        spec.columns = c.columns;
        spec.rows = 2;
        auto m = BuildGrid(spec);
        CCrossSectionStressesPost calc(m->forces.get());
        const Rows rows = calc.GetCutlineStressInputPoints(c.a, c.b, P(0.5, 1.5), 0, 0.0, true);
        EXPECT_EQ(ids(rows), c.expected);
        expectSpans(rows, c.spans);
        ASSERT_FALSE(rows.empty());
        expectPoint(rows[0]->GetStressPoints().front().GetPoint(), P(0, 1));
        expectPoint(rows[0]->GetStressPoints().back().GetPoint(), P(1, 1));
    }
}

TEST(InputPoints, GlobalCoordinatesOnATiltedPlane) {
    GridSpec spec;
    spec.frame = stress_models::TiltedFrame();
    auto m = BuildGrid(spec);
    CCrossSectionStressesPost calc(m->forces.get());
    CVertex a = m->Global(-0.5, 0.5);
    a.tolerance = 0.01;
    a.id = 7;
    const Rows rows = calc.GetCutlineStressInputPoints(a, m->Global(3.5, 0.5), m->Global(1, 0.9), 0, 0.0, false);
    EXPECT_EQ(calc.GetStatus(), CS_SUCCESS);
    ASSERT_EQ(ids(rows), (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_NEAR(Access::cutLength(calc), 4.0, kGeom);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const auto& pts = rows[k]->GetStressPoints();
        ASSERT_EQ(pts.size(), 5u);
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const double x = static_cast<double>(k) + 0.25 * static_cast<double>(i);
            expectPoint(pts[i].GetPoint(), m->Global(x, 0.5));
            EXPECT_EQ(pts[i].GetPoint().tolerance, 0.005);
            EXPECT_EQ(pts[i].GetPoint().id, -1);
            EXPECT_NEAR(pts[i].Get1DCoor(), x + 0.5, kGeom);
        }
        // One unit from the row's first point towards the third point's side.
        expectPoint(rows[k]->GetFaceThirdPoint(), m->Global(static_cast<double>(k), 1.5));
    }

    // Kept in plane coordinates, the same rows read as the grid. Plane points carry the cut
    // start's tolerance.
    const Rows plane = calc.GetCutlineStressInputPoints(a, m->Global(3.5, 0.5), m->Global(1, 0.9), 0, 0.0, true);
    ASSERT_EQ(plane.size(), 3u);
    expectPoint(plane[1]->GetStressPoints()[2].GetPoint(), P(1.5, 0.5));
    EXPECT_EQ(plane[1]->GetStressPoints()[0].GetPoint().tolerance, 0.01);
    EXPECT_EQ(plane[1]->GetStressPoints()[2].GetPoint().tolerance, 0.01);
    EXPECT_EQ(plane[1]->GetStressPoints()[2].GetPoint().id, -1);
}

TEST(InputPoints, NormalAgreementFollowsWindingAndFaceSide) {
    struct Case {
        bool tilted;
        bool clockwise;
        double faceY;
        bool aligned;
    };
    const Case cases[] = {{false, false, 0.9, true}, {false, false, 0.1, false}, {false, true, 0.9, false},
                          {false, true, 0.1, true},  {true, false, 0.9, true},   {true, true, 0.9, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tilted << c.clockwise << c.faceY);
        GridSpec spec;
        spec.clockwise = c.clockwise;
        if (c.tilted) spec.frame = stress_models::TiltedFrame();
        auto m = BuildGrid(spec);
        CCrossSectionStressesPost calc(m->forces.get());
        const Rows rows = calc.GetCutlineStressInputPoints(m->Global(-0.5, 0.5), m->Global(3.5, 0.5),
                                                           m->Global(1, c.faceY), 0, 0.0, false);
        ASSERT_EQ(rows.size(), 3u);
        const auto& aligned = Access::elementNormalAligned(calc);
        ASSERT_EQ(aligned.size(), 3u);
        for (const auto& kv : aligned) EXPECT_EQ(kv.second, c.aligned) << "element " << kv.first;
    }
}

TEST(InputPoints, ShellWithoutThreeKnownCornersKeepsTheHostsSigns) {
    GridSpec spec;
    spec.clockwise = true;  // a full shell of this winding disagrees with the cut's normal
    auto m = BuildGrid(spec);
    CCrossSectionStressesPost calc(m->forces.get());
    calc.GetCutlineStressInputPoints(P(-0.5, 0.5), P(3.5, 0.5), P(1, 0.9), 0, 0.0, true);
    ASSERT_EQ(Access::elementNormalAligned(calc).at(1), false);

    auto& shells = ForcesAccess::shells(*m->forces);
    shells[1].nodes.resize(2);
    shells[2].nodes[1] = 999;
    Access::ComputeElementLcoalCoor_ZEL(calc);
    EXPECT_TRUE(Access::elementNormalAligned(calc).at(1));
    EXPECT_TRUE(Access::elementNormalAligned(calc).at(2));
    EXPECT_FALSE(Access::elementNormalAligned(calc).at(3));
}

TEST(InputPoints, MalformedShellsAreSkippedWithoutHarm) {
    auto m = BuildGrid(GridSpec{});
    auto& shells = ForcesAccess::shells(*m->forces);
    shells[50].nodes = {m->NodeAt(0, 0), m->NodeAt(1, 0), 999};  // names a node the model lacks
    shells[51].nodes = {};
    shells[52].nodes = {m->NodeAt(1, 0)};
    shells[53].nodes = {m->NodeAt(1, 0), m->NodeAt(1, 1)};
    CCrossSectionStressesPost calc(m->forces.get());
    const Rows rows = calc.GetCutlineStressInputPoints(P(-0.5, 0.5), P(3.5, 0.5), P(1, 0.9), 0, 0.0, true);
    EXPECT_EQ(ids(rows), (std::vector<std::int32_t>{1, 2, 3}));
    // Crossing the missing node's shell's known edge does not touch it; the two-node shell is touched.
    const auto touched = touchedBy(calc, P(0.5, -0.5), P(0.5, 1.5));
    EXPECT_EQ(touched.count(50), 0u);
    EXPECT_EQ(keys(touchedBy(calc, P(-0.5, 0.5), P(3.5, 0.5))), (std::vector<std::int32_t>{1, 2, 3, 53}));
}

// ---- subdivision ----

TEST(InputPoints, DivisionsAndSpacingFixTheNumberOfPoints) {
    struct Case {
        std::int32_t divisions;
        double spacing;
        std::size_t points;
    };
    const Case cases[] = {
        {0, 0.0, 5},  {3, 0.0, 4},  {1, 0.0, 3},   {1, 0.3, 4},   {5, 0.3, 6},  {0, 10.0, 3}, {0, 0.3, 4},
        {0, 0.4, 4},  {0, 0.45, 3}, {0, 0.25, 5},  {2, 0.1, 11},  {-3, -1.0, 5}, {7, -1.0, 8}, {-1, 0.5, 3},
        {0, std::nan(""), 5},       {6, std::nan(""), 7},
    };
    auto m = BuildGrid(GridSpec{});
    CCrossSectionStressesPost calc(m->forces.get());
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "divisions " << c.divisions << " spacing " << c.spacing);
        const Rows rows =
            calc.GetCutlineStressInputPoints(P(-0.5, 0.5), P(3.5, 0.5), P(1, 0.9), c.divisions, c.spacing, true);
        ASSERT_EQ(rows.size(), 3u);
        for (const auto& r : rows) {
            const auto& pts = r->GetStressPoints();
            ASSERT_EQ(pts.size(), c.points);
            const double n = static_cast<double>(c.points - 1);
            const double s0 = pts.front().Get1DCoor();
            for (std::size_t i = 0; i < pts.size(); ++i) {
                const double step = static_cast<double>(i) / n;
                EXPECT_NEAR(pts[i].Get1DCoor(), s0 + step, kGeom);
                EXPECT_NEAR(pts[i].GetPoint().x, pts.front().GetPoint().x + step, kGeom);
            }
        }
    }
}

TEST(InputPoints, SpacingCountsIntervalsOnEachCrossingsOwnLength) {
    GridSpec spec;
    spec.cell = 2.0;
    spec.frame = stress_models::TiltedFrame();
    auto m = BuildGrid(spec);
    CCrossSectionStressesPost calc(m->forces.get());
    // Each crossing is 2 long: halfup(2 / 0.3) = 7 intervals.
    const Rows rows = calc.GetCutlineStressInputPoints(m->Global(-1, 1), m->Global(7, 1), m->Global(1, 1.5), 0, 0.3,
                                                       false);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0]->GetStressPoints().size(), 8u);
}

// ---- refusals ----

TEST(InputPoints, RefusalsLeaveTheirStatusAndAnEmptyList) {
    struct Case {
        const char* name;
        CVertex a, b, face;
        std::int32_t status;
    };
    const double tol = 0.005;
    GridSpec spec;
    spec.frame = stress_models::TiltedFrame();
    auto m = BuildGrid(spec);
    const Case cases[] = {
        {"start off plane", m->Global(-0.5, 0.5, 2 * tol), m->Global(3.5, 0.5), m->Global(1, 0.9),
         CS_CUT_LINE_OFF_PLANE},
        {"end off plane", m->Global(-0.5, 0.5), m->Global(3.5, 0.5, -2 * tol), m->Global(1, 0.9),
         CS_CUT_LINE_OFF_PLANE},
        {"third point on the line", m->Global(-0.5, 0.5), m->Global(3.5, 0.5), m->Global(1, 0.5),
         CS_THIRD_POINT_ON_CUT_LINE},
        // cross product 4 * 0.001 = 0.004 < tol
        {"third point nearly on the line", m->Global(-0.5, 0.5), m->Global(3.5, 0.5), m->Global(7, 0.501),
         CS_THIRD_POINT_ON_CUT_LINE},
        {"nothing crossed", m->Global(-0.5, 5), m->Global(3.5, 5), m->Global(1, 6), CS_NO_ELEMENTS_CROSSED},
        {"only a corner touched", m->Global(-2, 2), m->Global(2, -2), m->Global(1, 1), CS_NO_ELEMENTS_CROSSED},
        {"corner touched near the cut's end", m->Global(-0.5, 0.5), m->Global(0.5, -0.5), m->Global(1, 1),
         CS_NO_ELEMENTS_CROSSED},
        {"along the border, face outside", m->Global(-0.5, 0), m->Global(3.5, 0), m->Global(1, -1),
         CS_NO_ELEMENTS_CROSSED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CCrossSectionStressesPost calc(m->forces.get());
        calc.ResetStatus();
        const Rows before = calc.GetCutlineStressInputPoints(m->Global(-0.5, 0.5), m->Global(3.5, 0.5),
                                                             m->Global(1, 0.9), 0, 0.0, false);
        ASSERT_EQ(before.size(), 3u);
        const Rows rows = calc.GetCutlineStressInputPoints(c.a, c.b, c.face, 0, 0.0, false);
        EXPECT_TRUE(rows.empty());
        EXPECT_TRUE(Access::elementStressPoints(calc).empty());
        EXPECT_EQ(calc.GetStatus(), c.status);
        EXPECT_EQ(m->forces->GetCurrentStatus(), c.status);
        // A standing status refuses the next call and is kept.
        EXPECT_TRUE(calc.GetCutlineStressInputPoints(m->Global(-0.5, 0.5), m->Global(3.5, 0.5), m->Global(1, 0.9),
                                                     0, 0.0, false)
                        .empty());
        EXPECT_EQ(calc.GetStatus(), c.status);
        calc.ResetStatus();
        EXPECT_EQ(m->forces->GetCurrentStatus(), CS_SUCCESS);
        // The rows handed out before the refusal are untouched.
        EXPECT_EQ(before[0]->GetStressPoints().size(), 5u);
    }
}

TEST(InputPoints, ThirdPointOffTheLineByExactlyTheToleranceIsAccepted) {
    // Powers of two keep the cross product exact: 4 * 2^-9 = 2^-7, the tolerance itself.
    GridSpec spec;
    spec.tolerance = 0.0078125;
    auto m = BuildGrid(spec);
    CCrossSectionStressesPost calc(m->forces.get());
    const Rows rows =
        calc.GetCutlineStressInputPoints(P(-0.5, 0.5), P(3.5, 0.5), P(7, 0.5 + 0.001953125), 0, 0.0, true);
    EXPECT_EQ(calc.GetStatus(), CS_SUCCESS);
    EXPECT_EQ(rows.size(), 3u);
}

TEST(InputPoints, FailedPlaneSetUpRefusesEvenAfterAReset) {
    GridSpec spec;
    auto m = BuildGrid(spec);
    std::map<std::int32_t, CVertex> nodes = m->nodes;
    nodes[m->NodeAt(3, 1)].z = 0.01;  // two tolerances off the plane
    CCrossSectionForcesPost forces(nodes, m->shells, m->frames, m->loadCases, 0.005, m->NodeAt(0, 0),
                                   m->NodeAt(1, 0), m->NodeAt(0, 1));
    ASSERT_EQ(forces.GetCurrentStatus(), CS_PLANE_NOT_DEFINED);
    CCrossSectionStressesPost calc(&forces);
    calc.ResetStatus();
    EXPECT_EQ(calc.GetStatus(), CS_SUCCESS);
    EXPECT_TRUE(calc.GetCutlineStressInputPoints(P(-0.5, 0.5), P(3.5, 0.5), P(1, 0.9), 0, 0.0, true).empty());
    EXPECT_EQ(calc.GetStatus(), CS_PLANE_NOT_DEFINED);
}

TEST(InputPoints, WithoutAForceCalculatorNothingIsDone) {
    CCrossSectionStressesPost calc(nullptr);
    EXPECT_EQ(calc.GetStatus(), CS_PLANE_NOT_DEFINED);
    calc.ResetStatus();
    EXPECT_EQ(calc.GetStatus(), CS_PLANE_NOT_DEFINED);
    EXPECT_TRUE(calc.GetCutlineStressInputPoints(P(0, 0), P(1, 0), P(0, 1), 0, 0.0, false).empty());
    const AG_Matrix& m = Access::planeToGlobal(calc);
    ASSERT_EQ(m.Rows(), 3);
    ASSERT_EQ(m.Columns(), 3);
    for (std::int32_t i = 1; i <= 3; ++i)
        for (std::int32_t j = 1; j <= 3; ++j) EXPECT_EQ(m(i, j), 0.0);
    CCrossSectionStressesPost copy(calc);
    EXPECT_EQ(copy.GetStatus(), CS_PLANE_NOT_DEFINED);
}

// ---- the third point ----

TEST(InputPoints, ThirdPointOffThePlaneIsProjectedOntoIt) {
    GridSpec spec;
    spec.frame = stress_models::TiltedFrame();
    auto m = BuildGrid(spec);
    CCrossSectionStressesPost calc(m->forces.get());
    const double tol = 0.005;

    EXPECT_EQ(calc.GetCutlineStressInputPoints(m->Global(-0.5, 0.5), m->Global(3.5, 0.5), m->Global(1, 0.9, 3 * tol),
                                               0, 0.0, true)
                  .size(),
              3u);
    EXPECT_EQ(Access::facePoint2D(calc).z, 0.0);
    EXPECT_NEAR(Access::facePoint2D(calc).x, 1.0, kGeom);

    calc.GetCutlineStressInputPoints(m->Global(-0.5, 0.5), m->Global(3.5, 0.5), m->Global(1, 0.9, 0.5 * tol), 0,
                                     0.0, true);
    EXPECT_NEAR(Access::facePoint2D(calc).z, 0.5 * tol, kGeom);
    EXPECT_EQ(calc.GetStatus(), CS_SUCCESS);
}

TEST(InputPoints, ThirdPointSideSetsTheCutNormal) {
    auto m = BuildGrid(GridSpec{});
    CCrossSectionStressesPost calc(m->forces.get());
    struct Case {
        CVertex a, b, face;
        double nx, ny;
        POLYGON_DIRECTION side;
    };
    const double h = std::sqrt(0.5);
    const Case cases[] = {
        {P(-0.5, 0.5), P(3.5, 0.5), P(1, 0.9), 0, 1, POLYGON_COUNTERCLOCKWISE},
        {P(-0.5, 0.5), P(3.5, 0.5), P(1, 0.1), 0, -1, POLYGON_CLOCKWISE},
        {P(3.5, 0.5), P(-0.5, 0.5), P(1, 0.9), 0, 1, POLYGON_CLOCKWISE},
        {P(0, 0), P(3, 1), P(0, 1), -std::sqrt(0.1), 3 * std::sqrt(0.1), POLYGON_COUNTERCLOCKWISE},
        {P(0, 1), P(1, 0), P(0, 0), -h, -h, POLYGON_CLOCKWISE},
    };
    for (const Case& c : cases) {
        calc.GetCutlineStressInputPoints(c.a, c.b, c.face, 0, 0.0, true);
        ASSERT_EQ(calc.GetStatus(), CS_SUCCESS);
        EXPECT_NEAR(Access::cutNormal2D(calc).x, c.nx, kGeom);
        EXPECT_NEAR(Access::cutNormal2D(calc).y, c.ny, kGeom);
        EXPECT_EQ(Access::cutNormal2D(calc).z, 0.0);
        EXPECT_EQ(Access::facePointSide(calc), c.side);
    }
}

// ---- sharing ----

TEST(InputPoints, RowsHandedOutStayValidAfterANewCall) {
    auto m = BuildGrid(GridSpec{});
    CCrossSectionStressesPost calc(m->forces.get());
    const Rows first = calc.GetCutlineStressInputPoints(P(-0.5, 0.5), P(3.5, 0.5), P(1, 0.9), 0, 0.0, true);
    ASSERT_EQ(first.size(), 3u);
    first[0]->SetAvgThickness(0.2);
    first[0]->GetStressPoints()[1].SetStressValue_ZEL(0, 1, 2, 3, 4, 5, 6, 7);

    const Rows second = calc.GetCutlineStressInputPoints(P(0.5, -0.5), P(0.5, 1.5), P(0, 0), 2, 0.0, true);
    ASSERT_EQ(ids(second), (std::vector<std::int32_t>{1}));
    EXPECT_NE(second[0], first[0]);
    EXPECT_EQ(first[0].use_count(), 1);  // the calculator let go of it
    EXPECT_EQ(first[0]->GetStressPoints().size(), 5u);
    EXPECT_EQ(first[0]->GetCornerThickness(), std::vector<double>{0.2});
    EXPECT_EQ(first[0]->GetStressPoints()[1].GetStress()[7], 7.0);
    expectPoint(first[2]->GetStressPoints().back().GetPoint(), P(3, 0.5));
    EXPECT_TRUE(second[0]->GetCornerThickness().empty());
}

TEST(InputPoints, CopiesShareRowsAndTheForceCalculator) {
    auto m = BuildGrid(GridSpec{});
    CCrossSectionStressesPost calc(m->forces.get());
    const Rows rows = calc.GetCutlineStressInputPoints(P(-0.5, 0.5), P(3.5, 0.5), P(1, 0.9), 0, 0.0, true);
    CCrossSectionStressesPost copy(calc);
    CCrossSectionStressesPost assigned(nullptr);
    assigned = calc;
    for (CCrossSectionStressesPost* c : {&copy, &assigned}) {
        EXPECT_EQ(Access::elementStressPoints(*c), rows);
        EXPECT_EQ(Access::forceCalculator(*c), m->forces.get());
        EXPECT_EQ(Access::elementNormalAligned(*c), Access::elementNormalAligned(calc));
    }
    // One status word for all of them.
    copy.GetCutlineStressInputPoints(P(-0.5, 5), P(3.5, 5), P(1, 6), 0, 0.0, true);
    EXPECT_EQ(calc.GetStatus(), CS_NO_ELEMENTS_CROSSED);
    EXPECT_EQ(Access::elementStressPoints(calc), rows);
    assigned.ResetStatus();
    EXPECT_EQ(calc.GetStatus(), CS_SUCCESS);
}

}  // namespace
}  // namespace xsect
