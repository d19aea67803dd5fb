// Stage 1 of the cut-line stresses: the sample rows handed to the host.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "stresses/interval_count.h"
#include "support/stress_models.h"

namespace xsect {
namespace {

using stress_models::BuildGrid;
using stress_models::Cells;
using stress_models::GridSpec;
using Rows = std::vector<std::shared_ptr<ElemStressPoints>>;
using Ids = std::vector<std::int32_t>;

// Coordinates of at most a few tens through one rotation and back: rounding stays far below this.
constexpr double kGeom = 1e-12;

CVertex P(double x, double y, double z = 0.0) { return CVertex(x, y, z); }

Ids IdsOf(const Rows& rows) {
    Ids out;
    for (const auto& r : rows) out.push_back(r->GetElemID());
    return out;
}

void ExpectAt(const CVertex& got, const CVertex& want) {
    EXPECT_NEAR(got.x, want.x, kGeom);
    EXPECT_NEAR(got.y, want.y, kGeom);
    EXPECT_NEAR(got.z, want.z, kGeom);
}

// Whether the smoothing takes each row's shell normal to agree with the cut's: it then leaves
// component 2 of the host's values alone rather than negating it.
std::vector<bool> Aligned(CCrossSectionStressesPost& calc, const Rows& rows) {
    for (const auto& row : rows) {
        row->SetAvgThickness(1.0);
        for (StressPoint& p : row->GetStressPoints()) p.SetStressValue_ZEL(0, 1, 1, 0, 0, 0, 0, 0);
    }
    EXPECT_FALSE(calc.SmoothBalanceCutlineStress(1, {}, false, true).empty());
    std::vector<bool> aligned;
    for (const auto& row : rows) aligned.push_back(row->GetStressPoints().front().GetStress()[2] > 0.0);
    return aligned;
}

TEST(InputPoints, RowsRunAlongTheCutInGlobalOrPlaneCoordinates) {
    GridSpec shape;
    shape.tilted = true;
    auto m = BuildGrid(shape);
    CCrossSectionStressesPost calc(m->forces.get());
    CVertex a = m->Global(-0.5, 0.5);
    a.tolerance = 0.01;
    for (const bool inPlane : {false, true}) {
        SCOPED_TRACE(inPlane ? "plane" : "global");
        // The third point only picks the side: off the plane by more than the tolerance it is projected.
        const Rows rows =
            calc.GetCutlineStressInputPoints(a, m->Global(3.5, 0.5), m->Global(1, 0.9, 0.015), 0, 0.0, inPlane);
        EXPECT_EQ(calc.GetStatus(), CS_SUCCESS);
        ASSERT_EQ(IdsOf(rows), (Ids{1, 2, 3}));
        for (std::size_t k = 0; k < rows.size(); ++k) {
            const auto& pts = rows[k]->GetStressPoints();
            ASSERT_EQ(pts.size(), 5u);
            for (std::size_t i = 0; i < pts.size(); ++i) {
                const double x = static_cast<double>(k) + 0.25 * static_cast<double>(i);
                ExpectAt(pts[i].GetPoint(), inPlane ? P(x, 0.5) : m->Global(x, 0.5));
                // Global points are new records; plane points carry the cut start's tolerance.
                EXPECT_EQ(pts[i].GetPoint().tolerance, inPlane ? 0.01 : 0.005);
                EXPECT_NEAR(pts[i].Get1DCoor(), x + 0.5, kGeom);
                EXPECT_EQ(pts[i].GetStressCSType(), STRESS_CS_NONE);
            }
            EXPECT_TRUE(rows[k]->GetCornerThickness().empty());
            // One unit from the row's first point towards the third point's side, in global coordinates.
            ExpectAt(rows[k]->GetFaceThirdPoint(), m->Global(static_cast<double>(k), 1.5));
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
        Ids ids;
        double s0, sN;       // first coordinate of the first row, last of the last
        CVertex start, end;  // first point of the first row, last point of the last
        CVertex faceThird;   // of the first row
        bool aligned;        // every row's shell normal agrees with the cut's
    };
    const Case cases[] = {
        {"ending inside shells: extended by their size",
         GridSpec{},
         P(0.25, 0.5),
         P(2.5, 0.5),
         P(1, 0.9),
         {1, 2, 3},
         -0.25,
         2.75,
         P(0, 0.5),
         P(3, 0.5),
         P(0, 1.5),
         true},
        {"numbered out of cut order",
         outOfOrder,
         P(-0.5, 0.5),
         P(3.5, 0.5),
         P(1, 0.9),
         {30, 10, 20},
         0.5,
         3.5,
         P(0, 0.5),
         P(3, 0.5),
         P(0, 1.5),
         true},
        {"given backwards: rows follow the cut",
         outOfOrder,
         P(3.5, 0.5),
         P(-0.5, 0.5),
         P(1, 0.9),
         {20, 10, 30},
         0.5,
         3.5,
         P(3, 0.5),
         P(0, 0.5),
         P(3, 1.5),
         false},
        {"diagonal through corners: shells met at a corner are left out",
         Cells(2, 2),
         P(0, 0),
         P(2, 2),
         P(0, 1),
         {1, 4},
         0.0,
         2 * r2,
         P(0, 0),
         P(2, 2),
         P(-1 / r2, 1 / r2),
         true},
        {"shared mesh line, face above",
         Cells(2, 2),
         P(-0.5, 1),
         P(2.5, 1),
         P(1, 1.5),
         {3, 4},
         0.5,
         2.5,
         P(0, 1),
         P(2, 1),
         P(0, 2),
         true},
        {"shared mesh line, face below",
         Cells(2, 2),
         P(-0.5, 1),
         P(2.5, 1),
         P(1, 0.5),
         {1, 2},
         0.5,
         2.5,
         P(0, 1),
         P(2, 1),
         P(0, 0),
         false},
        {"shared mesh line, clockwise shells, face above",
         clockwise,
         P(-0.5, 1),
         P(2.5, 1),
         P(1, 1.5),
         {3, 4},
         0.5,
         2.5,
         P(0, 1),
         P(2, 1),
         P(0, 2),
         false},
        {"shared mesh line, clockwise shells, face below",
         clockwise,
         P(-0.5, 1),
         P(2.5, 1),
         P(1, 0.5),
         {1, 2},
         0.5,
         2.5,
         P(0, 1),
         P(2, 1),
         P(0, 0),
         true},
        {"inside one edge: the whole edge",
         Cells(1, 2),
         P(0.25, 1),
         P(0.75, 1),
         P(0.5, 1.5),
         {2},
         -0.25,
         0.75,
         P(0, 1),
         P(1, 1),
         P(0, 2),
         true},
        {"half on each of two edges: both whole",
         Cells(2, 2),
         P(0.5, 1),
         P(1.5, 1),
         P(0.5, 1.5),
         {3, 4},
         -0.5,
         1.5,
         P(0, 1),
         P(2, 1),
         P(0, 2),
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto m = BuildGrid(c.shape);
        CCrossSectionStressesPost calc(m->forces.get());
        const Rows rows = calc.GetCutlineStressInputPoints(c.a, c.b, c.face, 0, 0.0, true);
        EXPECT_EQ(calc.GetStatus(), CS_SUCCESS);
        ASSERT_EQ(IdsOf(rows), c.ids);
        EXPECT_NEAR(rows.front()->GetStressPoints().front().Get1DCoor(), c.s0, kGeom);
        EXPECT_NEAR(rows.back()->GetStressPoints().back().Get1DCoor(), c.sN, kGeom);
        for (std::size_t k = 1; k < rows.size(); ++k)  // neighbours meet
            EXPECT_NEAR(rows[k]->GetStressPoints().front().Get1DCoor(),
                        rows[k - 1]->GetStressPoints().back().Get1DCoor(), kGeom);
        ExpectAt(rows.front()->GetStressPoints().front().GetPoint(), c.start);
        ExpectAt(rows.back()->GetStressPoints().back().GetPoint(), c.end);
        ExpectAt(rows.front()->GetFaceThirdPoint(), c.faceThird);
        EXPECT_EQ(Aligned(calc, rows), std::vector<bool>(rows.size(), c.aligned));
    }
}

TEST(InputPoints, ShellsWithMissingOrTooFewNodesGetNoRow) {
    auto m = BuildGrid(GridSpec{});
    m->shells[50].nodes = {m->NodeAt(0, 0), m->NodeAt(1, 0), 999};  // crossed, but names a missing node
    m->shells[51].nodes = {};
    m->shells[52].nodes = {m->NodeAt(1, 0)};
    m->shells[53].nodes = {m->NodeAt(1, 0), m->NodeAt(1, 1)};
    m->Calculate();
    CCrossSectionStressesPost calc(m->forces.get());
    EXPECT_EQ(IdsOf(calc.GetCutlineStressInputPoints(P(0.5, -0.5), P(0.5, 1.5), P(0, 0), 0, 0.0, true)), (Ids{1}));
    EXPECT_EQ(IdsOf(calc.GetCutlineStressInputPoints(P(-0.5, 0.5), P(3.5, 0.5), P(1, 0.9), 0, 0.0, true)),
              (Ids{1, 2, 3}));
}

TEST(InputPoints, DivisionsAndSpacingFixTheNumberOfPoints) {
    const double nan = std::nan("");
    struct Case {
        std::int32_t divisions;
        double spacing;
        std::size_t points;
    } cases[] = {{0, 0.0, 5}, {3, 0.0, 4},  {1, 0.0, 3},   {1, 0.3, 4},  {5, 0.3, 6}, {0, 10.0, 3},
                 {0, 0.4, 4}, {2, 0.1, 11}, {-3, -1.0, 5}, {7, -1.0, 8}, {0, nan, 5}, {6, nan, 7}};
    auto m = BuildGrid(GridSpec{});
    CCrossSectionStressesPost calc(m->forces.get());
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "divisions " << c.divisions << " spacing " << c.spacing);
        // Each crossing is 1 long.
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
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
    EXPECT_EQ(detail::HalfUp(-1.7), -1);
    EXPECT_EQ(detail::HalfUp(1e300), kMax);
    EXPECT_EQ(detail::HalfUp(-inf), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(detail::HalfUp(nan), 0);
    EXPECT_EQ(detail::HalfUp(2147483646.4), 2147483646);
    EXPECT_EQ(detail::IntervalCount(0, 0.1, nan), 2);
    EXPECT_EQ(detail::IntervalCount(6, 0.1, nan), 6);
    EXPECT_EQ(detail::IntervalCount(1, 1e-300, 1.0), detail::kMaxIntervalsPerRow);
    EXPECT_EQ(detail::IntervalCount(kMax, 0.0, 1.0), detail::kMaxIntervalsPerRow);
}

TEST(InputPoints, RefusalsLeaveTheirStatusAndAnEmptyList) {
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
    } cases[] = {
        {"start off plane", {-0.5, 0.5, 0.01}, {3.5, 0.5, 0}, {1, 0.9, 0}, CS_CUT_LINE_OFF_PLANE},
        {"end off plane", {-0.5, 0.5, 0}, {3.5, 0.5, -0.01}, {1, 0.9, 0}, CS_CUT_LINE_OFF_PLANE},
        {"third point on the line", {-0.5, 0.5, 0}, {3.5, 0.5, 0}, {1, 0.5, 0}, CS_THIRD_POINT_ON_CUT_LINE},
        // cross product 4 x 0.001 = 0.004 < tol: a small area, though the point is 6.5 away
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
        EXPECT_EQ(m->forces->GetCurrentStatus(), c.status);
        // A standing status refuses the next call and is kept; rows handed out before stay as they were.
        EXPECT_TRUE(calc.GetCutlineStressInputPoints(a, b, face, 0, 0.0, false).empty());
        EXPECT_EQ(calc.GetStatus(), c.status);
        EXPECT_EQ(before[0]->GetStressPoints().size(), 5u);
    }
    // Off the line by exactly the tolerance is accepted; powers of two keep 4 x 2^-9 = 2^-7 exact.
    shape.tolerance = 0.0078125;
    auto exact = BuildGrid(shape);
    CCrossSectionStressesPost calc(exact->forces.get());
    EXPECT_EQ(calc.GetCutlineStressInputPoints(exact->Global(-0.5, 0.5), exact->Global(3.5, 0.5),
                                               exact->Global(7, 0.5 + 0.001953125), 0, 0.0, false)
                  .size(),
              3u);
}

TEST(InputPoints, UnusableForceCalculatorRefusesEvenAfterAReset) {
    auto m = BuildGrid(GridSpec{});
    m->nodes[m->NodeAt(3, 1)].z = 0.01;  // two tolerances off the plane
    m->Calculate();
    ASSERT_EQ(m->forces->GetCurrentStatus(), CS_PLANE_NOT_DEFINED);
    CCrossSectionStressesPost broken(m->forces.get()), none(nullptr);
    for (CCrossSectionStressesPost* calc : {&broken, &none}) {
        calc->ResetStatus();
        EXPECT_TRUE(calc->GetCutlineStressInputPoints(P(-0.5, 0.5), P(3.5, 0.5), P(1, 0.9), 0, 0.0, true).empty());
        EXPECT_EQ(calc->GetStatus(), CS_PLANE_NOT_DEFINED);
    }
}

TEST(InputPoints, RowsHandedOutStayTheHostsAndCopiesShareTheStatus) {
    auto m = BuildGrid(GridSpec{});
    CCrossSectionStressesPost calc(m->forces.get());
    const Rows first = calc.GetCutlineStressInputPoints(P(-0.5, 0.5), P(3.5, 0.5), P(1, 0.9), 0, 0.0, true);
    ASSERT_EQ(first.size(), 3u);
    first[0]->SetAvgThickness(0.2);
    CCrossSectionStressesPost copy(calc);
    const Rows second = calc.GetCutlineStressInputPoints(P(0.5, -0.5), P(0.5, 1.5), P(0, 0), 2, 0.0, true);
    ASSERT_EQ(IdsOf(second), (Ids{1}));
    EXPECT_TRUE(second[0]->GetCornerThickness().empty());
    EXPECT_EQ(first[0].use_count(), 2);  // the host's and the copy's
    EXPECT_EQ(first[0]->GetCornerThickness(), std::vector<double>{0.2});
    ExpectAt(first[2]->GetStressPoints().back().GetPoint(), P(3, 0.5));
    copy.GetCutlineStressInputPoints(P(-0.5, 5), P(3.5, 5), P(1, 6), 0, 0.0, true);
    EXPECT_EQ(calc.GetStatus(), CS_NO_ELEMENTS_CROSSED);
    calc.ResetStatus();
    EXPECT_EQ(copy.GetStatus(), CS_SUCCESS);
}

}  // namespace
}  // namespace xsect
