// Stage 1 of the cut-line stresses: the sample rows handed to the host. GridSpec{} is a row of three
// unit cells, 1 2 3, in (0..3) x (0..1).

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

constexpr double kGeom = 1e-12;  // coordinates of a few tens through a rotation and back

CVertex P(double x, double y) { return CVertex(x, y, 0.0); }

Ids IdsOf(const Rows& rows) {
    Ids out;
    for (const auto& r : rows) out.push_back(r->GetElemID());
    return out;
}

void ExpectAt(const CVertex& got, const CVertex& want) { EXPECT_NEAR(got.Distance(&want), 0.0, kGeom); }

// Whether the smoothing takes each row's shell normal to agree with the cut's: it then leaves
// component 2 of the host's values as they are rather than negating them.
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
        // The third point only picks the side: one off the plane is projected onto it.
        const CVertex b = m->Global(3.5, 0.5), face = m->Global(1, 0.9, 0.015);
        const Rows rows = calc.GetCutlineStressInputPoints(a, b, face, 0, 0.0, inPlane);
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
    GridSpec outOfOrder, clockwise = Cells(2, 2);
    outOfOrder.elementNumber = [](std::int32_t column, std::int32_t) { return (Ids{30, 10, 20})[column]; };
    clockwise.clockwise = true;
    const double r2 = std::sqrt(2.0);
    struct Case {
        const char* name;
        GridSpec shape;
        CVertex a, b, face;
        Ids ids;
        double s0, sN;      // first coordinate of the first row, last of the last
        CVertex faceThird;  // of the first row
        bool aligned;       // the smoothing takes every row's shell normal to agree with the cut's
    } cases[] = {
        {"ending inside: extended", {}, P(.25, .5), P(2.5, .5), P(1, .9), {1, 2, 3}, -.25, 2.75, P(0, 1.5), true},
        {"numbered out of order", outOfOrder, P(-.5, .5), P(3.5, .5), P(1, .9), {30, 10, 20}, .5, 3.5, P(0, 1.5), true},
        {"given backwards", outOfOrder, P(3.5, .5), P(-.5, .5), P(1, .9), {20, 10, 30}, .5, 3.5, P(3, 1.5), false},
        // Shells met only at a corner are left out.
        {"diagonal through nodes", Cells(2, 2), P(0, 0), P(2, 2), P(0, 1), {1, 4}, 0, 2 * r2, P(-1 / r2, 1 / r2), true},
        {"shared mesh line, face above", Cells(2, 2), P(-.5, 1), P(2.5, 1), P(1, 1.5), {3, 4}, .5, 2.5, P(0, 2), true},
        {"shared mesh line, face below", Cells(2, 2), P(-.5, 1), P(2.5, 1), P(1, .5), {1, 2}, .5, 2.5, P(0, 0), false},
        {"clockwise shells, face above", clockwise, P(-.5, 1), P(2.5, 1), P(1, 1.5), {3, 4}, .5, 2.5, P(0, 2), false},
        {"clockwise shells, face below", clockwise, P(-.5, 1), P(2.5, 1), P(1, .5), {1, 2}, .5, 2.5, P(0, 0), true},
        {"inside one edge: all of it", Cells(1, 2), P(.25, 1), P(.75, 1), P(.5, 1.5), {2}, -.25, .75, P(0, 2), true},
        {"on two edges: both whole", Cells(2, 2), P(.5, 1), P(1.5, 1), P(.5, 1.5), {3, 4}, -.5, 1.5, P(0, 2), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto m = BuildGrid(c.shape);
        CCrossSectionStressesPost calc(m->forces.get());
        const Rows rows = calc.GetCutlineStressInputPoints(c.a, c.b, c.face, 0, 0.0, true);
        ASSERT_EQ(IdsOf(rows), c.ids);
        EXPECT_NEAR(rows.front()->GetStressPoints().front().Get1DCoor(), c.s0, kGeom);
        EXPECT_NEAR(rows.back()->GetStressPoints().back().Get1DCoor(), c.sN, kGeom);
        for (std::size_t k = 1; k < rows.size(); ++k)  // neighbours meet
            ExpectAt(rows[k]->GetStressPoints().front().GetPoint(), rows[k - 1]->GetStressPoints().back().GetPoint());
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
    EXPECT_EQ(IdsOf(calc.GetCutlineStressInputPoints(P(-.5, .5), P(3.5, .5), P(1, .9), 0, 0.0, true)), (Ids{1, 2, 3}));
}

TEST(InputPoints, DivisionsAndSpacingFixTheNumberOfEvenlySpacedPoints) {
    const double nan = std::nan("");
    struct Case {
        std::int32_t divisions;
        double spacing;
        std::size_t points;
    } cases[] = {{0, 0.0, 5}, {3, 0.0, 4},  {1, 0.0, 3},   {1, 0.3, 4},  {5, 0.3, 6},  {0, 10.0, 3},
                 {0, 0.4, 4}, {2, 0.1, 11}, {-3, -1.0, 5}, {7, -1.0, 8}, {0, nan, 5}, {6, nan, 7}};
    auto m = BuildGrid(GridSpec{});
    CCrossSectionStressesPost calc(m->forces.get());
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "divisions " << c.divisions << " spacing " << c.spacing);
        const Rows rows =
            calc.GetCutlineStressInputPoints(P(-.5, .5), P(3.5, .5), P(1, .9), c.divisions, c.spacing, true);
        ASSERT_EQ(rows.size(), 3u);
        for (const auto& r : rows) {  // each crossing is 1 long
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

// The guards that a host's extreme divisions and spacings rely on: no out-of-range conversion, no
// unbounded row.
TEST(IntervalCount, ExtremeRequestsAreClampedAndCapped) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const double nan = std::nan("");
    EXPECT_EQ(detail::HalfUp(-1.7), -1);
    EXPECT_EQ(detail::HalfUp(1e300), kMax);
    EXPECT_EQ(detail::HalfUp(-std::numeric_limits<double>::infinity()), std::numeric_limits<std::int32_t>::min());
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
    const double nan = std::nan("");
    struct Case {
        const char* name;
        double a[3], b[3], face[2];  // plane x, y and height off the plane; the face in the plane
        std::int32_t status;
    } cases[] = {
        {"start off the plane", {-.5, .5, .01}, {3.5, .5, 0}, {1, .9}, CS_CUT_LINE_OFF_PLANE},
        {"end off the plane", {-.5, .5, 0}, {3.5, .5, -.01}, {1, .9}, CS_CUT_LINE_OFF_PLANE},
        {"third point on the line", {-.5, .5, 0}, {3.5, .5, 0}, {1, .5}, CS_THIRD_POINT_ON_CUT_LINE},
        // cross product 4 x 0.001 = 0.004 < tol: a small area, though the point is 6.5 away
        {"third point nearly on the line", {-.5, .5, 0}, {3.5, .5, 0}, {7, .501}, CS_THIRD_POINT_ON_CUT_LINE},
        {"nothing crossed", {-.5, 5, 0}, {3.5, 5, 0}, {1, 6}, CS_NO_ELEMENTS_CROSSED},
        {"a coordinate not a number", {nan, .5, 0}, {3.5, .5, 0}, {1, 6}, CS_NO_ELEMENTS_CROSSED},
        {"only a corner touched", {-2, 2, 0}, {2, -2, 0}, {1, 1}, CS_NO_ELEMENTS_CROSSED},
        {"corner touched near the cut's end", {-.5, .5, 0}, {.5, -.5, 0}, {1, 1}, CS_NO_ELEMENTS_CROSSED},
        {"along the border, face outside", {-.5, 0, 0}, {3.5, 0, 0}, {1, -1}, CS_NO_ELEMENTS_CROSSED},
    };
    const CVertex a = m->Global(-0.5, 0.5), b = m->Global(3.5, 0.5), face = m->Global(1, 0.9);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CCrossSectionStressesPost calc(m->forces.get());
        calc.ResetStatus();
        const Rows before = calc.GetCutlineStressInputPoints(a, b, face, 0, 0.0, false);
        ASSERT_EQ(before.size(), 3u);
        const CVertex ca = m->Global(c.a[0], c.a[1], c.a[2]), cb = m->Global(c.b[0], c.b[1], c.b[2]);
        EXPECT_TRUE(calc.GetCutlineStressInputPoints(ca, cb, m->Global(c.face[0], c.face[1]), 0, 0.0, false).empty());
        EXPECT_EQ(m->forces->GetCurrentStatus(), c.status);
        // A standing status refuses the next call and is kept; rows handed out before stay as they were.
        EXPECT_TRUE(calc.GetCutlineStressInputPoints(a, b, face, 0, 0.0, false).empty());
        EXPECT_EQ(calc.GetStatus(), c.status);
        EXPECT_EQ(before[0]->GetStressPoints().size(), 5u);
    }
    // Off the line by exactly the tolerance is accepted: powers of two keep 4 x 2^-9 = 2^-7 exact.
    shape.tolerance = 0.0078125;
    auto exact = BuildGrid(shape);
    CCrossSectionStressesPost calc(exact->forces.get());
    EXPECT_EQ(calc.GetCutlineStressInputPoints(exact->Global(-0.5, 0.5), exact->Global(3.5, 0.5),
                                               exact->Global(7, 0.5 + 0.001953125), 0, 0.0, false).size(), 3u);
    // Without a usable force calculator, even after a reset.
    auto broken = BuildGrid(GridSpec{});
    broken->nodes[broken->NodeAt(3, 1)].z = 0.01;  // two tolerances off the plane
    broken->Calculate();
    CCrossSectionStressesPost unusable(broken->forces.get()), none(nullptr);
    for (CCrossSectionStressesPost* s : {&unusable, &none}) {
        s->ResetStatus();
        EXPECT_TRUE(s->GetCutlineStressInputPoints(P(-.5, .5), P(3.5, .5), P(1, .9), 0, 0.0, true).empty());
        EXPECT_EQ(s->GetStatus(), CS_PLANE_NOT_DEFINED);
    }
}

}  // namespace
}  // namespace xsect
