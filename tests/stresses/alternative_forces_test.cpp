#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <memory>
#include <vector>

#include <xsect/xsect.h>

#include "support/forces_access.h"
#include "support/smoothing_models.h"
#include "support/stresses_access.h"

namespace xsect {
namespace {

using smoothing_models::BuildStrip;
using smoothing_models::Fields;
using smoothing_models::Strip;
using smoothing_models::StripSpec;
using Access = CCrossSectionStressesPostTestAccess;
using ForcesAccess = CCrossSectionForcesPostTestAccess;
using Six = std::array<double, 6>;

// Sums of a dozen nodal forces of order one, in both calculators in the same order.
constexpr double kSumTol = 1e-12;

Fields Loads() {
    Fields f;
    f.St = [](double s) { return 1.0 + 0.5 * s; };
    f.Sts = [](double s) { return 0.3 - 0.1 * s * s; };
    f.Qt = [](double s) { return 0.2 * s; };
    f.Mts = [](double s) { return 0.7 - 0.2 * s; };
    f.Mt = [](double s) { return 0.4 * s * s; };
    return f;
}

Six Alternative(Strip& strip, std::int32_t loadCase, std::int32_t* result = nullptr, Six start = {7, 7, 7, 7, 7, 7}) {
    CVertex a = strip.CutStart();
    CVertex b = strip.CutEnd();
    Six F = start;
    const std::int32_t r = Access::GetForcesOnSection_Alternative(*strip.stresses, loadCase, &a, &b, F[0], F[1], F[2],
                                                                  F[3], F[4], F[5]);
    if (result != nullptr) *result = r;
    return F;
}

Six Driver(Strip& strip, std::int32_t side) {
    CVertex a = strip.CutStart();
    CVertex b = strip.CutEnd();
    std::vector<double> F[6];
    EXPECT_EQ(strip.forces->GetForcesOnSection(strip.spec.loadCase, &a, &b, F[0], F[1], F[2], F[3], F[4], F[5], side,
                                               false, true, nullptr),
              1);
    return {F[0].at(0), F[1].at(0), F[2].at(0), F[3].at(0), F[4].at(0), F[5].at(0)};
}

TEST(AlternativeForces, AreTheNegatedDriverSumsOnTheFacePointsSide) {
    for (const bool tilted : {false, true}) {
        StripSpec spec;
        spec.tilted = tilted;
        auto strip = BuildStrip(spec, Loads());
        ASSERT_FALSE(strip->rows.empty());
        std::int32_t result = 0;
        const Six alt = Alternative(*strip, spec.loadCase, &result);
        EXPECT_EQ(result, 1);
        EXPECT_EQ(strip->forces->GetCurrentStatus(), CS_SUCCESS);
        // Along +x with the third point above: same axes, same side (left, side 0), same moment point.
        const Six drv = Driver(*strip, 0);
        for (std::size_t i = 0; i < 6; ++i) EXPECT_NEAR(alt[i], -drv[i], kSumTol) << "component " << i;
        EXPECT_GT(std::fabs(drv[1]), 1.0);  // St loads make a real Fy
    }
}

TEST(AlternativeForces, FacePointBelowGathersTheOtherSideWithFlippedAxes) {
    auto strip = BuildStrip(StripSpec{}, Loads());
    CVertex below = strip->Global(2.0, strip->spec.cutY - 0.3);
    strip->rows = strip->stresses->GetCutlineStressInputPoints(strip->CutStart(), strip->CutEnd(), below, 4, 0.0,
                                                               false);
    ASSERT_FALSE(strip->rows.empty());
    const Six alt = Alternative(*strip, 1);
    // The driver's side 1 gathers the same nodes in axes whose second and third axes are the
    // alternative's reversed.
    const Six drv = Driver(*strip, 1);
    const double sign[6] = {-1.0, 1.0, 1.0, -1.0, 1.0, 1.0};
    for (std::size_t i = 0; i < 6; ++i) EXPECT_NEAR(alt[i], sign[i] * drv[i], kSumTol) << "component " << i;

    Alternative(*strip, 1);
    CVertex a1, a2, a3;
    strip->forces->GetCrossSectionMap(a1, a2, a3);
    EXPECT_NEAR(a1.x, 1.0, kSumTol);
    EXPECT_NEAR(a2.y, -1.0, kSumTol);
    EXPECT_NEAR(a3.z, -1.0, kSumTol);
}

TEST(AlternativeForces, NodesOnTheCutLineBelongToNeitherSide) {
    auto strip = BuildStrip(StripSpec{}, Loads());
    CVertex p1(0.0, 0.0, 0.0), p2(2.0, 0.0, 0.0);
    struct Case {
        double y, tolerance;
        POLYGON_DIRECTION wanted;
        bool gathered;
    };
    // Twice the signed area of (p1, p2, node) is 2 y, compared with the node's own tolerance.
    const Case cases[] = {
        {0.002, 0.005, POLYGON_COUNTERCLOCKWISE, false}, {0.002, 0.005, POLYGON_CLOCKWISE, false},
        {-0.002, 0.005, POLYGON_CLOCKWISE, false},       {0.003, 0.005, POLYGON_COUNTERCLOCKWISE, true},
        {0.003, 0.005, POLYGON_CLOCKWISE, false},        {-0.003, 0.005, POLYGON_CLOCKWISE, true},
        {0.04, 0.1, POLYGON_COUNTERCLOCKWISE, false},    {0.0, 0.0, POLYGON_CLOCKWISE, true},
    };
    for (const Case& c : cases) {
        CVertex node(1.0, c.y, 0.0, c.tolerance);
        CNodeResults r{1.0, 2.0, 3.0, 4.0, 5.0, 6.0};
        std::vector<CVertex*> polygon{&p1, &p2};
        std::map<std::int32_t, CNodeResults> gathered;
        Access::TryNode_Alternative(*strip->stresses, c.wanted, 42, &node, &r, polygon, gathered);
        EXPECT_EQ(gathered.count(42), c.gathered ? 1u : 0u) << "y " << c.y << " wanted " << c.wanted;
        EXPECT_EQ(polygon.size(), 2u);
        // The plane of the strip is the global one: the gathered entry is the stored one.
        if (c.gathered) {
            EXPECT_EQ(gathered[42].Fy, 2.0);
        }
    }
}

TEST(AlternativeForces, RefusalsLeaveTheOutputs) {
    struct Case {
        const char* name;
        void (*prepare)(Strip&, CVertex& a, CVertex& b, std::int32_t& loadCase);
        std::int32_t result;
        CROSS_SECTION_MESSAGES status;
    };
    const Case cases[] = {
        {"status standing on entry",
         [](Strip& s, CVertex&, CVertex&, std::int32_t&) { ForcesAccess::currentStatus(*s.forces) = CS_NO_THICKNESS; },
         0, CS_NO_THICKNESS},
        {"an end off the plane", [](Strip&, CVertex& a, CVertex&, std::int32_t&) { a.z += 0.01; }, -1,
         CS_CUT_LINE_OFF_PLANE},
        {"no shell crossed",
         [](Strip&, CVertex& a, CVertex& b, std::int32_t&) {
             a.y = 10.0;
             b.y = 10.0;
         },
         -1, CS_NO_ELEMENTS_CROSSED},
        {"third point in line with the cut",
         [](Strip& s, CVertex&, CVertex&, std::int32_t&) { Access::facePoint2D(*s.stresses).y = s.spec.cutY; }, -1,
         CS_SUCCESS},
        {"load case missing", [](Strip&, CVertex&, CVertex&, std::int32_t& lc) { lc = 99; }, 0, CS_SUCCESS},
        {"response-spectrum load case",
         [](Strip& s, CVertex&, CVertex&, std::int32_t& lc) {
             ForcesAccess::loadCases(*s.forces)[5].caseType = LOAD_CASE_RESPONSE_SPECTRUM;
             lc = 5;
         },
         0, CS_SUCCESS},
        {"unsupported load case",
         [](Strip& s, CVertex&, CVertex&, std::int32_t& lc) {
             ForcesAccess::loadCases(*s.forces)[5].caseType = LOAD_CASE_UNSUPPORTED;
             lc = 5;
         },
         0, CS_SUCCESS},
    };
    for (const Case& c : cases) {
        auto strip = BuildStrip(StripSpec{}, Loads());
        CVertex a = strip->CutStart();
        CVertex b = strip->CutEnd();
        std::int32_t loadCase = 1;
        c.prepare(*strip, a, b, loadCase);
        Six F{7, 7, 7, 7, 7, 7};
        const std::int32_t r = Access::GetForcesOnSection_Alternative(*strip->stresses, loadCase, &a, &b, F[0], F[1],
                                                                      F[2], F[3], F[4], F[5]);
        EXPECT_EQ(r, c.result) << c.name;
        EXPECT_EQ(strip->forces->GetCurrentStatus(), c.status) << c.name;
        EXPECT_EQ(F, (Six{7, 7, 7, 7, 7, 7})) << c.name;
    }
}

TEST(AlternativeForces, EndsComeBackInPlaneCoordinates) {
    StripSpec spec;
    spec.tilted = true;
    auto strip = BuildStrip(spec, Loads());
    CVertex a = strip->CutStart();
    CVertex b = strip->CutEnd();
    Six F{};
    Access::GetForcesOnSection_Alternative(*strip->stresses, 1, &a, &b, F[0], F[1], F[2], F[3], F[4], F[5]);
    // Plane coordinates of the tilted strip are its grid coordinates.
    EXPECT_NEAR(a.x, -spec.overhang, 1e-12 * 40);
    EXPECT_NEAR(a.y, spec.cutY, 1e-12 * 40);
    EXPECT_NEAR(a.z, 0.0, 1e-12 * 40);

    // Refused on entry: the ends are not touched.
    ForcesAccess::currentStatus(*strip->forces) = CS_NO_SHELLS;
    CVertex c = strip->CutStart();
    const CVertex c0 = c;
    Access::GetForcesOnSection_Alternative(*strip->stresses, 1, &c, &b, F[0], F[1], F[2], F[3], F[4], F[5]);
    EXPECT_EQ(c.x, c0.x);
    EXPECT_EQ(c.z, c0.z);
}

TEST(AlternativeForces, CrossedFramesContributeNothing) {
    auto plain = BuildStrip(StripSpec{}, Loads());
    const Six without = Alternative(*plain, 1);

    // The same strip with a heavily loaded frame across the cut.
    auto framed = BuildStrip(StripSpec{}, Loads());
    CFrameElement frame;
    frame.nodeA = framed->NodeAt(1, 0);
    frame.nodeB = framed->NodeAt(2, 1);
    frame.staticResultsA[1] = CNodeResults{100, 200, 300, 400, 500, 600};
    frame.staticResultsB[1] = CNodeResults{-100, -200, -300, -400, -500, -600};
    ForcesAccess::frames(*framed->forces)[1] = frame;
    const Six with = Alternative(*framed, 1);
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(with[i], without[i]) << "component " << i;
    // The driver does gather the frame, so the frame really is crossed.
    EXPECT_NE(Driver(*framed, 0)[1], Driver(*plain, 0)[1]);
}

TEST(AlternativeForces, WithoutForceCalculatorNothingHappens) {
    auto strip = BuildStrip(StripSpec{}, Loads());
    Access::forceCalculator(*strip->stresses) = nullptr;
    std::int32_t result = 0;
    EXPECT_EQ(Alternative(*strip, 1, &result), (Six{7, 7, 7, 7, 7, 7}));
    EXPECT_EQ(result, -1);
}

TEST(AlternativeForces, SectionMapIsStoredBeforeTheLoadCaseIsLookedUp) {
    auto strip = BuildStrip(StripSpec{}, Loads());
    ForcesAccess::sectionMatrix(*strip->forces) = AG_Matrix(3, 3, 0.0);
    std::int32_t result = 0;
    Alternative(*strip, 99, &result);
    EXPECT_EQ(result, 0);
    CVertex a1, a2, a3;
    strip->forces->GetCrossSectionMap(a1, a2, a3);
    EXPECT_NEAR(a1.x, 1.0, kSumTol);
    EXPECT_NEAR(a2.y, 1.0, kSumTol);
    EXPECT_NEAR(a3.z, 1.0, kSumTol);
}

TEST(AlternativeForces, OrientationCheckReportsDescendingEnds) {
    struct Case {
        CROSS_SECTION_CUT_TYPE type;
        CVertex a, b;
        bool descending;
    };
    const Case cases[] = {
        {CUT_TYPE_VERTICAL, CVertex(0, 5, 0), CVertex(0, 1, 0), true},
        {CUT_TYPE_VERTICAL, CVertex(0, 1, 0), CVertex(0, 1, 0), false},
        {CUT_TYPE_HORIZONTAL, CVertex(5, 0, 0), CVertex(1, 0, 0), true},
        {CUT_TYPE_HORIZONTAL, CVertex(1, 9, 0), CVertex(5, 0, 0), false},
        {CUT_TYPE_INCLINED, CVertex(0, 2, 0), CVertex(5, 1, 0), true},   // y decides, not x
        {CUT_TYPE_INCLINED, CVertex(5, 1, 0), CVertex(0, 2, 0), false},
        {static_cast<CROSS_SECTION_CUT_TYPE>(7), CVertex(5, 5, 0), CVertex(0, 0, 0), false},
    };
    auto strip = BuildStrip(StripSpec{}, Loads());
    for (const Case& c : cases)
        EXPECT_EQ(Access::AdjustCrossSectionOrientation_Alternative(*strip->stresses, c.type, &c.a, &c.b), c.descending)
            << c.type << " (" << c.a.x << ", " << c.a.y << ")";
}

}  // namespace
}  // namespace xsect
