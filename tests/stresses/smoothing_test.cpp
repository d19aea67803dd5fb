// The smoothing of filled rows, and the resultant it balances against. Each strip is loaded with
// the consistent nodal forces of smooth fields that no quadratic matches, so the balancing has
// real work to do.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "support/stress_models.h"

namespace xsect {
namespace {

using stress_models::BuildStrip;
using stress_models::Fields;
using stress_models::FillRows;
using stress_models::SmoothFields;
using stress_models::Strip;
using stress_models::StripShape;
using Points = std::vector<std::shared_ptr<CLStressPoint>>;
using Six = std::array<double, 6>;

// Resultants are sums of a few dozen terms of order one: a few hundred ulps of that scale.
constexpr double kBalanceTol = 1e-10;

std::unique_ptr<Strip> Filled(const StripShape& shape = {}, const Fields& fields = SmoothFields()) {
    auto strip = BuildStrip(shape, fields);
    EXPECT_EQ(strip->rows.size(), shape.xs.size() - 1);
    FillRows(*strip, fields);
    return strip;
}

Six Components(const ForceResultant& r) { return {r.GetFx(), r.GetFy(), r.GetFz(), r.GetMx(), r.GetMy(), r.GetMz()}; }

std::array<double, 5> Values(const CLStressPoint& p) {  // indexed by CLStressType
    const CLStress& s = p.GetStress();
    return {s.GetSt(), s.GetSts(), s.GetQt(), s.GetMts(), s.GetMt()};
}

// Flat, tilted, and with one element whose normal disagrees with the cut's.
std::vector<StripShape> Variants() {
    StripShape flat, tilted, mixed;
    tilted.tilted = true;
    mixed.reversedElement = 1;
    mixed.divisions = 6;
    return {flat, tilted, mixed};
}

TEST(Smoothing, IsContinuousAndIntegratesToTheBalanceResultant) {
    for (const StripShape& shape : Variants())
        for (const bool balanceMz : {false, true}) {
            SCOPED_TRACE(testing::Message() << "tilted " << shape.tilted << " reversed " << shape.reversedElement
                                            << " balanceMz " << balanceMz);
            auto strip = Filled(shape);
            // 2e-4 either side of each element boundary: past the search slack, so each side is
            // evaluated on its own element.
            std::vector<double> at;
            for (std::size_t k = 1; k + 1 < shape.xs.size(); ++k)
                for (const double d : {-2e-4, 2e-4}) at.push_back(shape.xs[k] + shape.overhang + d);
            const Points out = strip->stresses->SmoothBalanceCutlineStress(1, at, {}, balanceMz, true);
            ASSERT_EQ(out.size(), at.size());
            for (std::size_t i = 0; i < out.size(); i += 2)
                for (std::size_t q = 0; q < 5; ++q)  // slopes of order one
                    EXPECT_NEAR(Values(*out[i])[q], Values(*out[i + 1])[q], 1e-2) << "boundary " << i / 2 << " " << q;
            for (const auto& p : out) {  // on the cut, in global coordinates
                const CVertex want = strip->Global(p->GetCLCoor() - shape.overhang, shape.cutY);
                EXPECT_NEAR(p->GetPoint3D().Distance(&want), 0.0, 1e-12 * 40);
            }
            const Six balance = Components(strip->stresses->GetBalanceResultantForce());
            const Six smoothed = Components(strip->stresses->GetSmoothedStressResultantForce());
            EXPECT_GT(std::fabs(balance[1]) * std::fabs(balance[4]) * std::fabs(balance[5]), 1e-3);
            // Without the tilt St is balanced in Fy; with it in Mz, and Fy may move.
            for (const std::size_t i : {0, 2, 3, 4, balanceMz ? 5 : 1})
                EXPECT_NEAR(smoothed[i], balance[i], kBalanceTol) << "component " << i;
        }
}

// Each quantity read from its own component, with the host's signs, weighted and balanced against
// its own resultant component: a linear field whose loads match it needs no shift.
TEST(Smoothing, ABalancedLinearFieldIsReproducedExactly) {
    struct Case {
        CLStressType q;
        stress_models::Field Fields::*field;
        double alpha, beta;
    } cases[] = {{CL_STRESS_ST, &Fields::St, 3.0, -0.7},  {CL_STRESS_STS, &Fields::Sts, 0.4, 0.3},
                 {CL_STRESS_QT, &Fields::Qt, -0.5, 0.2},  {CL_STRESS_MTS, &Fields::Mts, 1.2, -0.4},
                 {CL_STRESS_MT, &Fields::Mt, 0.8, 0.25}};
    for (const Case& c : cases) {
        Fields one = stress_models::ZeroFields();
        one.*c.field = [c](double s) { return c.alpha + c.beta * s; };
        for (const StripShape& shape : Variants()) {
            SCOPED_TRACE(testing::Message() << "quantity " << c.q << " tilted " << shape.tilted);
            auto strip = Filled(shape, one);
            const Points out = strip->stresses->SmoothBalanceCutlineStress(1, {c.q}, true, true);
            ASSERT_GE(out.size(), 4u);
            for (const auto& p : out) EXPECT_NEAR(Values(*p)[c.q], c.alpha + c.beta * p->GetCLCoor(), 1e-11);
        }
    }
}

TEST(Smoothing, QtMomentEntersTheBalanceOfMyOnlyWhenAsked) {
    auto qtOnly = Filled();  // alone, Qt feeds My of the smoothed resultant with minus its first moment
    qtOnly->stresses->SmoothBalanceCutlineStress(1, {CL_STRESS_QT}, false, true);
    const double qtMoment = -qtOnly->stresses->GetSmoothedStressResultantForce().GetMy();
    EXPECT_GT(std::fabs(qtMoment), 0.1);
    for (const bool includeQtInMy : {true, false}) {
        auto strip = Filled();
        strip->stresses->SmoothBalanceCutlineStress(1, {}, false, includeQtInMy);
        EXPECT_NEAR(strip->stresses->GetSmoothedStressResultantForce().GetMy(),
                    strip->stresses->GetBalanceResultantForce().GetMy() - (includeQtInMy ? 0.0 : qtMoment),
                    kBalanceTol);
    }
}

TEST(Smoothing, SignsOfTheSharedRowsAreCorrectedInPlace) {
    StripShape shape;
    shape.reversedElement = 1;
    auto strip = Filled(shape);
    std::vector<std::vector<Stress>> before;
    for (const auto& row : strip->rows) {
        before.emplace_back();
        for (const StressPoint& p : row->GetStressPoints()) before.back().push_back(p.GetStress());
    }
    strip->stresses->SmoothBalanceCutlineStress(1, {}, false, true);
    for (std::size_t k = 0; k < strip->rows.size(); ++k)
        for (std::size_t i = 0; i < before[k].size(); ++i)
            for (std::size_t c = 0; c < 8; ++c) {
                // A disagreeing element negates 2, 4, 6 and 7; then every point negates 4 again.
                const bool negated = k == 1 ? (c == 2 || c == 6 || c == 7) : c == 4;
                EXPECT_EQ(strip->rows[k]->GetStressPoints()[i].GetStress()[c], (negated ? -1 : 1) * before[k][i][c]);
            }
}

void Unset(StressPoint& p) { p = StressPoint(p.GetPoint(), p.Get1DCoor()); }

TEST(Smoothing, RefusalsLeaveRowsAndResultantsUntouched) {
    struct Case {
        const char* name;
        void (*spoil)(Strip&);
        std::int32_t status;
    } cases[] = {
        {"a row emptied", [](Strip& s) { s.rows[2]->GetStressPoints().clear(); }, CS_NO_STRESS_INPUT_POINTS},
        {"no thickness", [](Strip& s) { *s.rows[1] = ElemStressPoints(s.rows[1]->GetElemID(), {}); }, CS_NO_THICKNESS},
        {"zero thickness", [](Strip& s) { s.rows[1]->SetAvgThickness(0.0); }, CS_NONPOSITIVE_THICKNESS},
        {"thickness not a number", [](Strip& s) { s.rows[3]->SetAvgThickness(NAN); }, CS_NONPOSITIVE_THICKNESS},
        {"negative thickness before an unset point of its row",
         [](Strip& s) { s.rows[3]->SetAvgThickness(-0.2), Unset(s.rows[3]->GetStressPoints()[0]); },
         CS_NONPOSITIVE_THICKNESS},
        {"unset point before a later row's bad thickness",
         [](Strip& s) { Unset(s.rows[0]->GetStressPoints()[3]), s.rows[1]->SetAvgThickness(-1.0); }, CS_STRESS_NOT_SET},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto strip = Filled();
        CCrossSectionStressesPost& s = *strip->stresses;
        s.SmoothBalanceCutlineStress(1, {}, true, true);
        const Six balance = Components(s.GetBalanceResultantForce());
        const Six smoothed = Components(s.GetSmoothedStressResultantForce());
        c.spoil(*strip);
        auto components = [&strip] {
            std::vector<std::array<double, 8>> all;
            for (const auto& row : strip->rows)
                for (const StressPoint& p : row->GetStressPoints()) all.push_back(p.GetStress().components);
            return all;
        };
        const auto before = components();
        for (int form = 0; form < 3; ++form) {
            s.ResetStatus();
            EXPECT_TRUE((form == 0   ? s.SmoothBalanceCutlineStress(1, std::vector<double>{1.0}, {}, true, true)
                         : form == 1 ? s.SmoothBalanceCutlineStress(1, {}, true, true)
                                     : s.SmoothBalanceCutlineStress(1, 0.5, {}, true, true)).empty());
            EXPECT_EQ(s.GetStatus(), c.status) << "form " << form;
        }
        EXPECT_EQ(components(), before);
        EXPECT_EQ(Components(s.GetBalanceResultantForce()), balance);
        EXPECT_EQ(Components(s.GetSmoothedStressResultantForce()), smoothed);
    }
    auto strip = BuildStrip(StripShape{}, SmoothFields());
    CCrossSectionStressesPost noRows(strip->forces.get()), noForces(nullptr);
    EXPECT_TRUE(noRows.SmoothBalanceCutlineStress(1, {}, true, true).empty());
    EXPECT_EQ(noRows.GetStatus(), CS_NO_STRESS_INPUT_POINTS);
    EXPECT_TRUE(noForces.SmoothBalanceCutlineStress(1, {}, true, true).empty());
    EXPECT_EQ(noForces.GetStatus(), CS_PLANE_NOT_DEFINED);
}

// The balance resultant is the force driver's free body on the third point's side, over shells
// only and without the nodes on the cut line.
Six Balance(CCrossSectionStressesPost& stresses, std::int32_t loadCase = 1) {
    EXPECT_FALSE(stresses.SmoothBalanceCutlineStress(loadCase, {}, false, true).empty());
    return Components(stresses.GetBalanceResultantForce());
}

Six Driver(Strip& strip, std::int32_t side) {
    CVertex a = strip.CutStart(), b = strip.CutEnd();
    std::vector<double> F[6];
    CCrossSectionForcesPost& calc = *strip.forces;
    EXPECT_EQ(calc.GetForcesOnSection(1, &a, &b, F[0], F[1], F[2], F[3], F[4], F[5], side, false, true, nullptr), 1);
    return {F[0].at(0), F[1].at(0), F[2].at(0), F[3].at(0), F[4].at(0), F[5].at(0)};
}

// The rows of a cut along the strip with the third point below it, and off the plane: it only
// picks the side, so it is projected onto the plane.
void FaceBelow(Strip& strip) {
    const CVertex face = strip.Global(2.0, strip.shape.cutY - 0.3, 0.02);
    strip.rows = strip.stresses->GetCutlineStressInputPoints(strip.CutStart(), strip.CutEnd(), face, 4, 0.0, false);
    ASSERT_EQ(strip.rows.size(), 4u);
}

TEST(BalanceResultant, IsTheDriversSumOnTheFacePointsSide) {
    for (const bool tilted : {false, true})
        for (const bool below : {false, true}) {
            SCOPED_TRACE(testing::Message() << "tilted " << tilted << " face below " << below);
            StripShape shape;
            shape.tilted = tilted;
            auto strip = BuildStrip(shape, SmoothFields());
            if (below) FaceBelow(*strip);
            FillRows(*strip, SmoothFields());
            const Six balance = Balance(*strip->stresses);
            // Along +x the driver's side 0 is the face above, in the same axes and about the same
            // midpoint; side 1 is the face below, in axes whose second and third are reversed.
            const Six drv = Driver(*strip, below ? 1 : 0);
            const double sign[6] = {1, -1, -1, 1, -1, -1};
            for (std::size_t i = 0; i < 6; ++i) EXPECT_NEAR(balance[i], (below ? sign[i] : 1) * drv[i], 1e-12) << i;
            EXPECT_GT(std::fabs(drv[1]), 1.0);
        }
}

TEST(BalanceResultant, NodesOnTheCutAndFramesContributeNothing) {
    // Along the node row between the loaded lower elements and the unloaded upper ones, face below:
    // the row's loads balance those of the row below it, but the row lies on the cut, so the lower
    // row's loads stand alone. The driver's side 1 takes the line too and gets the balanced zero.
    StripShape shape;
    shape.cutY = shape.lower;
    auto strip = BuildStrip(shape, SmoothFields());
    FaceBelow(*strip);
    FillRows(*strip, SmoothFields());
    EXPECT_GT(std::fabs(Balance(*strip->stresses)[1]), 1.0);
    EXPECT_NEAR(Driver(*strip, 1)[1], 0.0, 1e-12);

    // A frame across the cut with loads at both ends changes nothing.
    strip = Filled();
    const Six without = Balance(*strip->stresses);
    CFrameElement& frame = strip->frames[1];
    frame.nodeA = strip->NodeAt(1, 0);
    frame.nodeB = strip->NodeAt(2, 1);
    frame.staticResultsA[1] = CNodeResults{100, 200, 300, 400, 500, 600};
    frame.staticResultsB[1] = CNodeResults{-10, -20, -30, -40, -50, -60};
    strip->Calculate();
    strip->stresses = std::make_unique<CCrossSectionStressesPost>(strip->forces.get());
    CCrossSectionStressesPost& stresses = *strip->stresses;
    const CVertex a = strip->CutStart(), b = strip->CutEnd(), face = strip->FacePoint();
    strip->rows = stresses.GetCutlineStressInputPoints(a, b, face, 4, 0.0, false);
    FillRows(*strip, SmoothFields());
    EXPECT_EQ(Balance(*strip->stresses), without);
}

TEST(BalanceResultant, WithoutOneTheSmoothingBalancesToZero) {
    for (const bool planeRows : {false, true}) {  // rows in plane coordinates taken as global: off the tilted plane
        StripShape shape;
        shape.tilted = true;
        auto strip = BuildStrip(shape, SmoothFields());
        if (planeRows)
            strip->rows = strip->stresses->GetCutlineStressInputPoints(strip->CutStart(), strip->CutEnd(),
                                                                       strip->FacePoint(), 4, 0.0, true);
        FillRows(*strip, SmoothFields());
        EXPECT_EQ(Balance(*strip->stresses, planeRows ? 1 : 99), Six{});  // or a load case that is missing
        EXPECT_EQ(strip->stresses->GetStatus(), planeRows ? CS_CUT_LINE_OFF_PLANE : CS_SUCCESS);
        const Six smoothed = Components(strip->stresses->GetSmoothedStressResultantForce());
        for (std::size_t i = 0; i < 5; ++i) EXPECT_NEAR(smoothed[i], 0.0, kBalanceTol) << planeRows;
    }
}

}  // namespace
}  // namespace xsect
