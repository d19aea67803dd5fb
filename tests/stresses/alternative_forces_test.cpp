// The resultant the smoothing balances against is the force driver's free body on the third
// point's side, over shells only and without the nodes on the cut line.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "support/stress_models.h"

namespace xsect {
namespace {

using stress_models::BuildStrip;
using stress_models::FillRows;
using stress_models::SmoothFields;
using stress_models::Strip;
using stress_models::StripShape;
using Six = std::array<double, 6>;

// Sums of a dozen nodal forces of order one, taken in the same order by both.
constexpr double kSumTol = 1e-12;

Six Balance(CCrossSectionStressesPost& stresses, std::int32_t loadCase = 1) {
    EXPECT_FALSE(stresses.SmoothBalanceCutlineStress(loadCase, {}, false, true).empty());
    const ForceResultant& r = stresses.GetBalanceResultantForce();
    return {r.GetFx(), r.GetFy(), r.GetFz(), r.GetMx(), r.GetMy(), r.GetMz()};
}

Six Driver(Strip& strip, std::int32_t side) {
    CVertex a = strip.CutStart(), b = strip.CutEnd();
    std::vector<double> F[6];
    EXPECT_EQ(
        strip.forces->GetForcesOnSection(1, &a, &b, F[0], F[1], F[2], F[3], F[4], F[5], side, false, true, nullptr), 1);
    return {F[0].at(0), F[1].at(0), F[2].at(0), F[3].at(0), F[4].at(0), F[5].at(0)};
}

TEST(AlternativeForces, AreTheDriversSumsOnTheFacePointsSide) {
    for (const bool tilted : {false, true})
        for (const bool below : {false, true}) {
            SCOPED_TRACE(testing::Message() << "tilted " << tilted << " face below " << below);
            StripShape shape;
            shape.tilted = tilted;
            auto strip = BuildStrip(shape, SmoothFields());
            if (below)
                strip->rows = strip->stresses->GetCutlineStressInputPoints(
                    strip->CutStart(), strip->CutEnd(), strip->Global(2.0, shape.cutY - 0.3), 4, 0.0, false);
            FillRows(*strip, SmoothFields());
            const Six balance = Balance(*strip->stresses);
            // Along +x the driver's side 0 is the face above, in the same axes and about the same
            // midpoint; side 1 is the face below, in axes whose second and third are reversed.
            const Six drv = Driver(*strip, below ? 1 : 0);
            const double sign[6] = {1, -1, -1, 1, -1, -1};
            for (std::size_t i = 0; i < 6; ++i) EXPECT_NEAR(balance[i], (below ? sign[i] : 1) * drv[i], kSumTol) << i;
            EXPECT_GT(std::fabs(drv[1]), 1.0);
        }
}

TEST(AlternativeForces, NodesOnTheCutAndFramesContributeNothing) {
    // Along the node row between the loaded lower elements and the unloaded upper ones, face below:
    // the row's loads balance those of the row below it, but the row lies on the cut, so the lower
    // row's loads stand alone. The driver's side 1 takes the line too and gets the balanced zero.
    StripShape shape;
    shape.cutY = shape.lower;
    auto strip = BuildStrip(shape, SmoothFields());
    strip->rows = strip->stresses->GetCutlineStressInputPoints(strip->CutStart(), strip->CutEnd(),
                                                               strip->Global(2.0, shape.lower - 0.3), 4, 0.0, false);
    ASSERT_EQ(strip->rows.size(), 4u);
    FillRows(*strip, SmoothFields());
    EXPECT_GT(std::fabs(Balance(*strip->stresses)[1]), 1.0);
    EXPECT_NEAR(Driver(*strip, 1)[1], 0.0, kSumTol);

    // A frame across the cut with loads at both ends changes nothing.
    strip = BuildStrip(StripShape{}, SmoothFields());
    FillRows(*strip, SmoothFields());
    const Six without = Balance(*strip->stresses);
    CFrameElement& frame = strip->frames[1];
    frame.nodeA = strip->NodeAt(1, 0);
    frame.nodeB = strip->NodeAt(2, 1);
    frame.staticResultsA[1] = CNodeResults{100, 200, 300, 400, 500, 600};
    frame.staticResultsB[1] = CNodeResults{-10, -20, -30, -40, -50, -60};
    CCrossSectionForcesPost forces(strip->nodes, strip->shells, strip->frames, strip->loadCases, 0.005,
                                   strip->NodeAt(0, 0), strip->NodeAt(1, 0), strip->NodeAt(0, 1));
    CCrossSectionStressesPost stresses(&forces);
    strip->rows =
        stresses.GetCutlineStressInputPoints(strip->CutStart(), strip->CutEnd(), strip->FacePoint(), 4, 0.0, false);
    FillRows(*strip, SmoothFields());
    EXPECT_EQ(Balance(stresses), without);
}

TEST(AlternativeForces, WithoutAResultantTheSmoothingBalancesToZero) {
    struct Case {
        const char* name;
        bool planeRows;  // rows in plane coordinates taken as global ones: off the tilted plane
        std::int32_t loadCase, status;
    } cases[] = {{"load case missing", false, 99, CS_SUCCESS}, {"ends off the plane", true, 1, CS_CUT_LINE_OFF_PLANE}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StripShape shape;
        shape.tilted = true;
        auto strip = BuildStrip(shape, SmoothFields());
        if (c.planeRows)
            strip->rows = strip->stresses->GetCutlineStressInputPoints(strip->CutStart(), strip->CutEnd(),
                                                                       strip->FacePoint(), 4, 0.0, true);
        FillRows(*strip, SmoothFields());
        EXPECT_EQ(Balance(*strip->stresses, c.loadCase), Six{});
        EXPECT_EQ(strip->stresses->GetStatus(), c.status);  // the refusal's status stands after the list
        const ForceResultant& s = strip->stresses->GetSmoothedStressResultantForce();
        for (const double v : {s.GetFx(), s.GetFy(), s.GetFz(), s.GetMx(), s.GetMy()}) EXPECT_NEAR(v, 0.0, 1e-10);
    }
}

}  // namespace
}  // namespace xsect
