#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "stresses/interval_count.h"
#include "support/forces_access.h"
#include "support/stress_models.h"
#include "support/stresses_access.h"

namespace xsect {
namespace {

using stress_models::BuildGrid;
using stress_models::Cells;
using stress_models::GridSpec;
using Access = CCrossSectionStressesPostTestAccess;
using Rows = std::vector<std::shared_ptr<ElemStressPoints>>;
using Spans = std::vector<std::pair<double, double>>;
using Ids = std::vector<std::int32_t>;

// Coordinates of at most a few tens through one rotation and back: rounding stays far below this.
constexpr double kGeom = 1e-12;
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

CVertex P(double x, double y, double z = 0.0) { return CVertex(x, y, z); }

Ids ids(const Rows& rows) {
    Ids out;
    for (const auto& r : rows) out.push_back(r->GetElemID());
    return out;
}

void expectSpans(const Rows& rows, const Spans& expected) {
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_NEAR(rows[i]->GetStressPoints().front().Get1DCoor(), expected[i].first, kGeom) << "row " << i;
        EXPECT_NEAR(rows[i]->GetStressPoints().back().Get1DCoor(), expected[i].second, kGeom) << "row " << i;
    }
}

void expectPoint(const CVertex& got, const CVertex& want) {
    EXPECT_NEAR(got.x, want.x, kGeom);
    EXPECT_NEAR(got.y, want.y, kGeom);
    EXPECT_NEAR(got.z, want.z, kGeom);
}

TEST(InputPoints, RowsRunAlongTheCutInGlobalOrPlaneCoordinates) {
    GridSpec shape;
    shape.tilted = true;
    auto m = BuildGrid(shape);
    CCrossSectionStressesPost calc(m->forces.get());
    CVertex a = m->Global(-0.5, 0.5);
    a.tolerance = 0.01;
    a.id = 7;
    for (const bool inPlane : {false, true}) {
        SCOPED_TRACE(inPlane ? "plane" : "global");
        // A third point farther than tol (0.005) from the plane is projected; one within keeps its z.
        const double h = inPlane ? 0.0025 : 0.015;
        const Rows rows =
            calc.GetCutlineStressInputPoints(a, m->Global(3.5, 0.5), m->Global(1, 0.9, h), 0, 0.0, inPlane);
        EXPECT_EQ(calc.GetStatus(), CS_SUCCESS);
        EXPECT_NEAR(Access::facePoint2D(calc).z, inPlane ? h : 0.0, kGeom);
        ASSERT_EQ(ids(rows), (Ids{1, 2, 3}));
        for (std::size_t k = 0; k < rows.size(); ++k) {
            const auto& pts = rows[k]->GetStressPoints();
            ASSERT_EQ(pts.size(), 5u);
            for (std::size_t i = 0; i < pts.size(); ++i) {
                const double x = static_cast<double>(k) + 0.25 * static_cast<double>(i);
                expectPoint(pts[i].GetPoint(), inPlane ? P(x, 0.5) : m->Global(x, 0.5));
                // Global points are new records; plane points carry the cut start's tolerance.
                EXPECT_EQ(pts[i].GetPoint().tolerance, inPlane ? 0.01 : 0.005);
                EXPECT_EQ(pts[i].GetPoint().id, -1);
                EXPECT_NEAR(pts[i].Get1DCoor(), x + 0.5, kGeom);
                EXPECT_EQ(pts[i].GetStressCSType(), STRESS_CS_NONE);
            }
            EXPECT_TRUE(rows[k]->GetCornerThickness().empty());
            // One unit from the row's first point towards the third point's side.
            expectPoint(rows[k]->GetFaceThirdPoint(), m->Global(static_cast<double>(k), 1.5));
        }
    }
}

TEST(InputPoints, CrossingsGiveRowsInCutOrderWithTheirSide) {
    GridSpec outOfOrder;
    outOfOrder.elementNumber = [](std::int32_t column, std::int32_t) { return (Ids{30, 10, 20})[column]; };
    GridSpec clockwise = Cells(2, 2);
    clockwise.clockwise = true;
    const double r2 = std::sqrt(2.0);
    struct Case {
        const char* name;
        GridSpec shape;
        CVertex a, b, face;
        Ids expected;
        Spans spans;
        CVertex start, end;  // first point of the first row, last point of the last
        CVertex faceThird;   // of the first row: one unit off its first point towards the face
        bool aligned;        // every row's shell normal agrees with the cut's
    };
    const Case cases[] = {
        {"ending inside shells: extended by their size", GridSpec{}, P(0.25, 0.5), P(2.5, 0.5), P(1, 0.9),
         {1, 2, 3}, {{-0.25, 0.75}, {0.75, 1.75}, {1.75, 2.75}}, P(0, 0.5), P(3, 0.5), P(0, 1.5), true},
        {"numbered out of cut order", outOfOrder, P(-0.5, 0.5), P(3.5, 0.5), P(1, 0.9),
         {30, 10, 20}, {{0.5, 1.5}, {1.5, 2.5}, {2.5, 3.5}}, P(0, 0.5), P(3, 0.5), P(0, 1.5), true},
        {"given backwards: rows follow the cut", outOfOrder, P(3.5, 0.5), P(-0.5, 0.5), P(1, 0.9),
         {20, 10, 30}, {{0.5, 1.5}, {1.5, 2.5}, {2.5, 3.5}}, P(3, 0.5), P(0, 0.5), P(3, 1.5), false},
        {"diagonal through corner nodes: shells met at a corner are left out", Cells(2, 2), P(0, 0), P(2, 2),
         P(0, 1), {1, 4}, {{0.0, r2}, {r2, 2 * r2}}, P(0, 0), P(2, 2), P(-1 / r2, 1 / r2), true},
        {"shared mesh line, face above", Cells(2, 2), P(-0.5, 1), P(2.5, 1), P(1, 1.5),
         {3, 4}, {{0.5, 1.5}, {1.5, 2.5}}, P(0, 1), P(2, 1), P(0, 2), true},
        {"shared mesh line, face below", Cells(2, 2), P(-0.5, 1), P(2.5, 1), P(1, 0.5),
         {1, 2}, {{0.5, 1.5}, {1.5, 2.5}}, P(0, 1), P(2, 1), P(0, 0), false},
        {"shared mesh line, clockwise shells, face above", clockwise, P(-0.5, 1), P(2.5, 1), P(1, 1.5),
         {3, 4}, {{0.5, 1.5}, {1.5, 2.5}}, P(0, 1), P(2, 1), P(0, 2), false},
        {"shared mesh line, clockwise shells, face below", clockwise, P(-0.5, 1), P(2.5, 1), P(1, 0.5),
         {1, 2}, {{0.5, 1.5}, {1.5, 2.5}}, P(0, 1), P(2, 1), P(0, 0), true},
        {"inside one edge: the whole edge", Cells(1, 2), P(0.25, 1), P(0.75, 1), P(0.5, 1.5),
         {2}, {{-0.25, 0.75}}, P(0, 1), P(1, 1), P(0, 2), true},
        {"half on each of two edges: both whole", Cells(2, 2), P(0.5, 1), P(1.5, 1), P(0.5, 1.5),
         {3, 4}, {{-0.5, 0.5}, {0.5, 1.5}}, P(0, 1), P(2, 1), P(0, 2), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto m = BuildGrid(c.shape);
        CCrossSectionStressesPost calc(m->forces.get());
        const Rows rows = calc.GetCutlineStressInputPoints(c.a, c.b, c.face, 0, 0.0, true);
        EXPECT_EQ(calc.GetStatus(), CS_SUCCESS);
        ASSERT_EQ(ids(rows), c.expected);
        expectSpans(rows, c.spans);
        expectPoint(rows.front()->GetStressPoints().front().GetPoint(), c.start);
        expectPoint(rows.back()->GetStressPoints().back().GetPoint(), c.end);
        expectPoint(rows.front()->GetFaceThirdPoint(), c.faceThird);
        for (const auto& row : rows) EXPECT_EQ(Access::elementNormalAligned(calc).at(row->GetElemID()), c.aligned);
    }
}

TEST(InputPoints, MalformedShellsNeitherCrashNorCount) {
    GridSpec shape;
    shape.clockwise = true;  // a whole shell of this winding disagrees with the cut's normal
    auto m = BuildGrid(shape);
    auto& shells = CCrossSectionForcesPostTestAccess::shells(*m->forces);
    shells[50].nodes = {m->NodeAt(0, 0), m->NodeAt(1, 0), 999};  // names a node the model lacks
    shells[51].nodes = {};
    shells[52].nodes = {m->NodeAt(1, 0)};
    shells[53].nodes = {m->NodeAt(1, 0), m->NodeAt(1, 1)};
    CCrossSectionStressesPost calc(m->forces.get());
    // The missing node's shell gets no row, though the cut crosses its known edge.
    EXPECT_EQ(ids(calc.GetCutlineStressInputPoints(P(0.5, -0.5), P(0.5, 1.5), P(0, 0), 0, 0.0, true)), (Ids{1}));
    EXPECT_EQ(ids(calc.GetCutlineStressInputPoints(P(-0.5, 0.5), P(3.5, 0.5), P(1, 0.9), 0, 0.0, true)),
              (Ids{1, 2, 3}));
    // A shell without three known corners keeps the host's signs.
    shells[1].nodes.resize(2);
    shells[2].nodes[1] = 999;
    Access::ComputeElementLcoalCoor_ZEL(calc);
    const auto& aligned = Access::elementNormalAligned(calc);
    EXPECT_EQ(aligned, (std::map<std::int32_t, bool>{{1, true}, {2, true}, {3, false}}));
}

TEST(InputPoints, DivisionsAndSpacingFixTheNumberOfPoints) {
    struct Case {
        std::int32_t divisions;
        double spacing;
        std::size_t points;
    };
    const double nan = std::nan("");
    const Case cases[] = {{0, 0.0, 5}, {3, 0.0, 4}, {1, 0.0, 3}, {1, 0.3, 4},   {5, 0.3, 6},  {0, 10.0, 3},
                          {0, 0.4, 4}, {2, 0.1, 11}, {-3, -1.0, 5}, {7, -1.0, 8}, {0, nan, 5}, {6, nan, 7}};
    auto m = BuildGrid(GridSpec{});
    CCrossSectionStressesPost calc(m->forces.get());
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "divisions " << c.divisions << " spacing " << c.spacing);
        // Each crossing is 1 long, the cut 4.
        const Rows rows =
            calc.GetCutlineStressInputPoints(P(-0.5, 0.5), P(3.5, 0.5), P(1, 0.9), c.divisions, c.spacing, true);
        ASSERT_EQ(rows.size(), 3u);
        for (const auto& r : rows) {
            const auto& pts = r->GetStressPoints();
            ASSERT_EQ(pts.size(), c.points);
            for (std::size_t i = 0; i < pts.size(); ++i) {
                const double step = static_cast<double>(i) / static_cast<double>(c.points - 1);
                EXPECT_NEAR(pts[i].Get1DCoor(), pts.front().Get1DCoor() + step, kGeom);
                EXPECT_NEAR(pts[i].GetPoint().x, pts.front().GetPoint().x + step, kGeom);
            }
        }
    }
}

// The guards a host's extreme divisions and spacings rely on: no out-of-range conversion, no
// unbounded row.
TEST(IntervalCount, ExtremeRequestsAreClampedAndCapped) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::nan("");
    EXPECT_EQ(detail::HalfUp(-1.7), -1);
    EXPECT_EQ(detail::HalfUp(1e300), kMax);
    EXPECT_EQ(detail::HalfUp(inf), kMax);
    EXPECT_EQ(detail::HalfUp(-inf), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(detail::HalfUp(nan), 0);
    EXPECT_EQ(detail::HalfUp(2147483646.4), 2147483646);
    struct Case {
        std::int32_t divisions;
        double spacing, d;
        std::int32_t n;
    };
    for (const Case& c : {Case{0, 0.1, nan, 2}, Case{6, 0.1, nan, 6}, Case{1, 1e-300, 1.0, detail::kMaxIntervalsPerRow},
                         Case{kMax, 0.0, 1.0, detail::kMaxIntervalsPerRow}})
        EXPECT_EQ(detail::IntervalCount(c.divisions, c.spacing, c.d), c.n) << c.divisions << " " << c.spacing;
}

// The rows show where on-line points land; here: which points count as off the line, in plane
// and in global coordinates, against the tolerance of the cut's start.
TEST(CutlineCoordinates, OffLinePointsAreRefusedAndKeepTheirX) {
    GridSpec shape = Cells(6, 6);
    shape.tilted = true;
    auto m = BuildGrid(shape);
    CCrossSectionStressesPost calc(m->forces.get());
    // The cut (1, 1) -> (4, 5): length 5, direction (0.6, 0.8), normal (-0.8, 0.6).
    for (const double startTolerance : {0.005, 0.05}) {
        SCOPED_TRACE(startTolerance);
        CVertex a = m->Global(1, 1);
        a.tolerance = startTolerance;
        calc.GetCutlineStressInputPoints(a, m->Global(4, 5), m->Global(0, 5), 0, 0.0, true);
        ASSERT_EQ(calc.GetStatus(), CS_SUCCESS);
        struct Case {
            double along, off;  // along the cut from its start, off it along the normal
        };
        for (const Case& c : {Case{2.5, 0.0}, Case{-1.0, 0.0}, Case{7.0, 0.0}, Case{2.5, 0.0025}, Case{2.5, 0.01},
                             Case{2.5, -0.02}, Case{2.5, 0.1}}) {
            SCOPED_TRACE(testing::Message() << c.along << " " << c.off);
            const bool on = std::fabs(c.off) <= startTolerance;
            const double s = std::copysign(std::hypot(c.along, c.off), c.along);
            const double px = 1 + 0.6 * c.along - 0.8 * c.off, py = 1 + 0.8 * c.along + 0.6 * c.off;
            double x = px;
            EXPECT_EQ(Access::Convert2DTo1D(calc, x, py), on);
            EXPECT_NEAR(x, on ? s : px, kGeom);
            // The same point lifted off the plane instead of moved in it.
            const CVertex g = m->Global(1 + 0.6 * c.along, 1 + 0.8 * c.along, c.off);
            double gx = g.x;
            EXPECT_EQ(Access::Convert3DTo1D(calc, gx, g.y, g.z), on);
            EXPECT_NEAR(gx, on ? s : g.x, kGeom);
        }
    }
}

TEST(InputPoints, RefusalsLeaveTheirStatusAndAnEmptyList) {
    const double tol = 0.005;
    GridSpec shape;
    shape.tilted = true;
    auto m = BuildGrid(shape);
    struct Pt {
        double x, y, h;
    };
    struct Case {
        const char* name;
        Pt a, b, face;
        std::int32_t status;
    };
    const Case cases[] = {
        {"start off plane", {-0.5, 0.5, 2 * tol}, {3.5, 0.5, 0}, {1, 0.9, 0}, CS_CUT_LINE_OFF_PLANE},
        {"end off plane", {-0.5, 0.5, 0}, {3.5, 0.5, -2 * tol}, {1, 0.9, 0}, CS_CUT_LINE_OFF_PLANE},
        {"third point on the line", {-0.5, 0.5, 0}, {3.5, 0.5, 0}, {1, 0.5, 0}, CS_THIRD_POINT_ON_CUT_LINE},
        // cross product 4 * 0.001 = 0.004 < tol: a small area, though the point is 6.5 away
        {"third point nearly on the line", {-0.5, 0.5, 0}, {3.5, 0.5, 0}, {7, 0.501, 0}, CS_THIRD_POINT_ON_CUT_LINE},
        {"nothing crossed", {-0.5, 5, 0}, {3.5, 5, 0}, {1, 6, 0}, CS_NO_ELEMENTS_CROSSED},
        {"only a corner touched", {-2, 2, 0}, {2, -2, 0}, {1, 1, 0}, CS_NO_ELEMENTS_CROSSED},
        {"corner touched near the cut's end", {-0.5, 0.5, 0}, {0.5, -0.5, 0}, {1, 1, 0}, CS_NO_ELEMENTS_CROSSED},
        {"along the border, face outside", {-0.5, 0, 0}, {3.5, 0, 0}, {1, -1, 0}, CS_NO_ELEMENTS_CROSSED},
    };
    auto g = [&m](const Pt& p) { return m->Global(p.x, p.y, p.h); };
    const CVertex a = m->Global(-0.5, 0.5), b = m->Global(3.5, 0.5), face = m->Global(1, 0.9);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CCrossSectionStressesPost calc(m->forces.get());
        calc.ResetStatus();
        const Rows before = calc.GetCutlineStressInputPoints(a, b, face, 0, 0.0, false);
        ASSERT_EQ(before.size(), 3u);
        EXPECT_TRUE(calc.GetCutlineStressInputPoints(g(c.a), g(c.b), g(c.face), 0, 0.0, false).empty());
        EXPECT_TRUE(Access::elementStressPoints(calc).empty());
        EXPECT_EQ(m->forces->GetCurrentStatus(), c.status);
        // A standing status refuses the next call and is kept.
        EXPECT_TRUE(calc.GetCutlineStressInputPoints(a, b, face, 0, 0.0, false).empty());
        EXPECT_EQ(calc.GetStatus(), c.status);
        // The rows handed out before the refusal are untouched.
        EXPECT_EQ(before[0]->GetStressPoints().size(), 5u);
    }
}

TEST(InputPoints, ThirdPointOffTheLineByExactlyTheToleranceIsAccepted) {
    // Powers of two keep the cross product exact: 4 * 2^-9 = 2^-7, the tolerance itself.
    GridSpec shape;
    shape.tolerance = 0.0078125;
    auto m = BuildGrid(shape);
    CCrossSectionStressesPost calc(m->forces.get());
    EXPECT_EQ(calc.GetCutlineStressInputPoints(P(-0.5, 0.5), P(3.5, 0.5), P(7, 0.5 + 0.001953125), 0, 0.0, true)
                  .size(),
              3u);
    EXPECT_EQ(calc.GetStatus(), CS_SUCCESS);
}

TEST(InputPoints, UnusableForceCalculatorRefusesEvenAfterAReset) {
    auto m = BuildGrid(GridSpec{});
    m->nodes[m->NodeAt(3, 1)].z = 0.01;  // two tolerances off the plane
    m->Calculate();
    ASSERT_EQ(m->forces->GetCurrentStatus(), CS_PLANE_NOT_DEFINED);
    CCrossSectionStressesPost broken(m->forces.get());
    CCrossSectionStressesPost none(nullptr);
    for (CCrossSectionStressesPost* calc : {&broken, &none}) {
        calc->ResetStatus();
        EXPECT_TRUE(calc->GetCutlineStressInputPoints(P(-0.5, 0.5), P(3.5, 0.5), P(1, 0.9), 0, 0.0, true).empty());
        EXPECT_EQ(calc->GetStatus(), CS_PLANE_NOT_DEFINED);
    }
    EXPECT_EQ(CCrossSectionStressesPost(none).GetStatus(), CS_PLANE_NOT_DEFINED);
}

TEST(InputPoints, RowsHandedOutStayValidAndShared) {
    auto m = BuildGrid(GridSpec{});
    CCrossSectionStressesPost calc(m->forces.get());
    const Rows first = calc.GetCutlineStressInputPoints(P(-0.5, 0.5), P(3.5, 0.5), P(1, 0.9), 0, 0.0, true);
    ASSERT_EQ(first.size(), 3u);
    first[0]->SetAvgThickness(0.2);
    first[0]->GetStressPoints()[1].SetStressValue_ZEL(0, 1, 2, 3, 4, 5, 6, 7);
    CCrossSectionStressesPost copy(calc);
    EXPECT_EQ(Access::elementStressPoints(copy), first);

    const Rows second = calc.GetCutlineStressInputPoints(P(0.5, -0.5), P(0.5, 1.5), P(0, 0), 2, 0.0, true);
    ASSERT_EQ(ids(second), (Ids{1}));
    EXPECT_TRUE(second[0]->GetCornerThickness().empty());
    EXPECT_EQ(first[0].use_count(), 2);  // held by the host and the copy only
    EXPECT_EQ(first[0]->GetCornerThickness(), std::vector<double>{0.2});
    EXPECT_EQ(first[0]->GetStressPoints()[1].GetStress()[7], 7.0);
    expectPoint(first[2]->GetStressPoints().back().GetPoint(), P(3, 0.5));
    // One status word for the copies and the force calculator.
    copy.GetCutlineStressInputPoints(P(-0.5, 5), P(3.5, 5), P(1, 6), 0, 0.0, true);
    EXPECT_EQ(calc.GetStatus(), CS_NO_ELEMENTS_CROSSED);
    calc.ResetStatus();
    EXPECT_EQ(copy.GetStatus(), CS_SUCCESS);
}

}  // namespace
}  // namespace xsect
