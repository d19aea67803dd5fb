#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

#include "support/forces_access.h"
#include "support/stress_models.h"
#include "support/stresses_access.h"

namespace xsect {
namespace {

using stress_models::BuildStrip;
using stress_models::SmoothFields;
using stress_models::Strip;
using stress_models::StripShape;
using Access = CCrossSectionStressesPostTestAccess;
using ForcesAccess = CCrossSectionForcesPostTestAccess;
using Six = std::array<double, 6>;

// Sums of a dozen nodal forces of order one, in both calculators in the same order.
constexpr double kSumTol = 1e-12;

Six Alternative(Strip& strip, std::int32_t loadCase, std::int32_t* result = nullptr) {
    CVertex a = strip.CutStart();
    CVertex b = strip.CutEnd();
    Six F{7, 7, 7, 7, 7, 7};
    const std::int32_t r = Access::GetForcesOnSection_Alternative(*strip.stresses, loadCase, &a, &b, F[0], F[1], F[2],
                                                                  F[3], F[4], F[5]);
    if (result != nullptr) *result = r;
    return F;
}

Six Driver(Strip& strip, std::int32_t side) {
    CVertex a = strip.CutStart();
    CVertex b = strip.CutEnd();
    std::vector<double> F[6];
    EXPECT_EQ(strip.forces->GetForcesOnSection(strip.shape.loadCase, &a, &b, F[0], F[1], F[2], F[3], F[4], F[5], side,
                                               false, true, nullptr),
              1);
    return {F[0].at(0), F[1].at(0), F[2].at(0), F[3].at(0), F[4].at(0), F[5].at(0)};
}

void ExpectSectionAxes(Strip& strip, double second, double third) {
    CVertex a1, a2, a3;
    strip.forces->GetCrossSectionMap(a1, a2, a3);
    EXPECT_NEAR(a1.x, 1.0, kSumTol);
    EXPECT_NEAR(a2.y, second, kSumTol);
    EXPECT_NEAR(a3.z, third, kSumTol);
}

TEST(AlternativeForces, AreTheNegatedDriverSumsOnTheFacePointsSide) {
    for (const bool tilted : {false, true}) {
        StripShape shape;
        shape.tilted = tilted;
        auto strip = BuildStrip(shape, SmoothFields());
        ASSERT_FALSE(strip->rows.empty());
        std::int32_t result = 0;
        const Six alt = Alternative(*strip, shape.loadCase, &result);
        EXPECT_EQ(result, 1);
        EXPECT_EQ(strip->forces->GetCurrentStatus(), CS_SUCCESS);
        // Along +x with the third point above: same axes, same side (left, side 0), same moment point.
        const Six drv = Driver(*strip, 0);
        for (std::size_t i = 0; i < 6; ++i) EXPECT_NEAR(alt[i], -drv[i], kSumTol) << "component " << i;
        EXPECT_GT(std::fabs(drv[1]), 1.0);  // St loads make a real Fy
    }
}

TEST(AlternativeForces, FacePointBelowGathersTheOtherSideWithFlippedAxes) {
    auto strip = BuildStrip(StripShape{}, SmoothFields());
    CVertex below = strip->Global(2.0, strip->shape.cutY - 0.3);
    strip->rows = strip->stresses->GetCutlineStressInputPoints(strip->CutStart(), strip->CutEnd(), below, 4, 0.0,
                                                               false);
    ASSERT_FALSE(strip->rows.empty());
    const Six alt = Alternative(*strip, 1);
    ExpectSectionAxes(*strip, -1.0, -1.0);
    // The driver's side 1 gathers the same nodes in axes whose second and third are reversed.
    const Six drv = Driver(*strip, 1);
    const double sign[6] = {-1.0, 1.0, 1.0, -1.0, 1.0, 1.0};
    for (std::size_t i = 0; i < 6; ++i) EXPECT_NEAR(alt[i], sign[i] * drv[i], kSumTol) << "component " << i;
}

TEST(AlternativeForces, NodesOnTheCutLineBelongToNeitherSide) {
    auto strip = BuildStrip(StripShape{}, SmoothFields());
    CVertex p1(0.0, 0.0, 0.0), p2(2.0, 0.0, 0.0);
    struct Case {
        double y, tolerance;
        POLYGON_DIRECTION wanted;
        bool gathered;
    };
    // Twice the signed area of (p1, p2, node) is 2 y, compared with the node's own tolerance.
    const POLYGON_DIRECTION ccw = POLYGON_COUNTERCLOCKWISE, cw = POLYGON_CLOCKWISE;
    for (const Case& c : {Case{0.002, 0.005, ccw, false}, Case{-0.002, 0.005, cw, false}, Case{0.003, 0.005, ccw, true},
                          Case{0.003, 0.005, cw, false}, Case{-0.003, 0.005, cw, true}, Case{0.04, 0.1, ccw, false},
                          Case{0.0, 0.0, cw, true}}) {
        CVertex node(1.0, c.y, 0.0, c.tolerance);
        CNodeResults r{1.0, 2.0, 3.0, 4.0, 5.0, 6.0};
        std::vector<CVertex*> polygon{&p1, &p2};
        std::map<std::int32_t, CNodeResults> gathered;
        Access::TryNode_Alternative(*strip->stresses, c.wanted, 42, &node, &r, polygon, gathered);
        EXPECT_EQ(gathered.count(42), c.gathered ? 1u : 0u) << "y " << c.y << " wanted " << c.wanted;
        EXPECT_EQ(polygon.size(), 2u);
    }
}

TEST(AlternativeForces, RefusalsLeaveTheOutputs) {
    struct Case {
        const char* name;
        std::int32_t standing;  // status on entry
        double startZ, cutY;
        bool faceInLine;
        std::int32_t loadCase, result, status;
    };
    const Case cases[] = {
        {"status standing on entry", CS_NO_THICKNESS, 0.0, 0.4, false, 1, 0, CS_NO_THICKNESS},
        {"an end off the plane", CS_SUCCESS, 0.01, 0.4, false, 1, -1, CS_CUT_LINE_OFF_PLANE},
        {"no shell crossed", CS_SUCCESS, 0.0, 10.0, false, 1, -1, CS_NO_ELEMENTS_CROSSED},
        {"third point in line with the cut", CS_SUCCESS, 0.0, 0.4, true, 1, -1, CS_SUCCESS},
        {"load case missing", CS_SUCCESS, 0.0, 0.4, false, 99, 0, CS_SUCCESS},
        {"response-spectrum load case", CS_SUCCESS, 0.0, 0.4, false, 5, 0, CS_SUCCESS},
        {"unsupported load case", CS_SUCCESS, 0.0, 0.4, false, 6, 0, CS_SUCCESS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto strip = BuildStrip(StripShape{}, SmoothFields());
        ForcesAccess::loadCases(*strip->forces)[5].caseType = LOAD_CASE_RESPONSE_SPECTRUM;
        ForcesAccess::loadCases(*strip->forces)[6].caseType = LOAD_CASE_UNSUPPORTED;
        ForcesAccess::sectionMatrix(*strip->forces) = AG_Matrix(3, 3, 0.0);
        ForcesAccess::currentStatus(*strip->forces) = c.standing;
        if (c.faceInLine) Access::facePoint2D(*strip->stresses).y = strip->shape.cutY;
        CVertex a = strip->Global(-0.5, c.cutY, c.startZ);
        CVertex b = strip->Global(4.7, c.cutY);
        Six F{7, 7, 7, 7, 7, 7};
        EXPECT_EQ(Access::GetForcesOnSection_Alternative(*strip->stresses, c.loadCase, &a, &b, F[0], F[1], F[2], F[3],
                                                         F[4], F[5]),
                  c.result);
        EXPECT_EQ(strip->forces->GetCurrentStatus(), c.status);
        EXPECT_EQ(F, (Six{7, 7, 7, 7, 7, 7}));
        // The cut's axes are stored before the load case is looked up.
        if (c.result == 0 && c.status == CS_SUCCESS) ExpectSectionAxes(*strip, 1.0, 1.0);
    }
}

TEST(AlternativeForces, CrossedFramesContributeNothing) {
    auto strip = BuildStrip(StripShape{}, SmoothFields());
    const Six without = Alternative(*strip, 1);
    const double driverFy = Driver(*strip, 0)[1];
    CFrameElement frame;
    frame.nodeA = strip->NodeAt(1, 0);
    frame.nodeB = strip->NodeAt(2, 1);
    frame.staticResultsA[1] = CNodeResults{100, 200, 300, 400, 500, 600};
    frame.staticResultsB[1] = CNodeResults{-100, -200, -300, -400, -500, -600};
    ForcesAccess::frames(*strip->forces)[1] = frame;
    EXPECT_EQ(Alternative(*strip, 1), without);
    // The driver does gather the frame, so the frame really is crossed.
    EXPECT_NE(Driver(*strip, 0)[1], driverFy);
}

TEST(AlternativeForces, OrientationCheckReportsDescendingEnds) {
    struct Case {
        std::int32_t type;
        double ax, ay, bx, by;
        bool descending;
    };
    auto strip = BuildStrip(StripShape{}, SmoothFields());
    for (const Case& c : {Case{CUT_TYPE_VERTICAL, 0, 5, 0, 1, true}, Case{CUT_TYPE_VERTICAL, 0, 1, 0, 1, false},
                         Case{CUT_TYPE_HORIZONTAL, 5, 0, 1, 0, true}, Case{CUT_TYPE_HORIZONTAL, 1, 9, 5, 0, false},
                         Case{CUT_TYPE_INCLINED, 0, 2, 5, 1, true}, Case{CUT_TYPE_INCLINED, 5, 1, 0, 2, false},
                         Case{7, 5, 5, 0, 0, false}}) {
        const CVertex a(c.ax, c.ay, 0), b(c.bx, c.by, 0);
        EXPECT_EQ(Access::AdjustCrossSectionOrientation_Alternative(
                      *strip->stresses, static_cast<CROSS_SECTION_CUT_TYPE>(c.type), &a, &b),
                  c.descending)
            << c.type << " (" << c.ax << ", " << c.ay << ")";
    }
}

}  // namespace
}  // namespace xsect
