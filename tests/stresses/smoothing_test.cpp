#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <memory>
#include <set>
#include <vector>

#include "support/forces_access.h"
#include "support/stress_models.h"
#include "support/stresses_access.h"

namespace xsect {
namespace {

using stress_models::BuildStrip;
using stress_models::Fields;
using stress_models::FillRows;
using stress_models::SmoothFields;
using stress_models::Strip;
using stress_models::StripShape;
using Access = CCrossSectionStressesPostTestAccess;
using Points = std::vector<std::shared_ptr<CLStressPoint>>;
using Six = std::array<double, 6>;

// Resultants are sums of a few dozen terms of order one: allow a few hundred ulps of that scale.
constexpr double kBalanceTol = 1e-10;

// A strip whose rows are filled from smooth fields that the nodal loads match only roughly, so
// the balancing has real work to do.
std::unique_ptr<Strip> SmoothStrip(StripShape shape = {}) {
    auto strip = BuildStrip(shape, SmoothFields());
    EXPECT_EQ(strip->forces->GetCurrentStatus(), CS_SUCCESS);
    EXPECT_EQ(strip->rows.size(), shape.xs.size() - 1);
    FillRows(*strip, SmoothFields());
    return strip;
}

// Flat, tilted, and with one element whose normal disagrees with the cut's.
std::vector<StripShape> Variants() {
    StripShape flat, tilted, mixed;
    tilted.tilted = true;
    mixed.reversedElement = 1;
    mixed.divisions = 6;
    return {flat, tilted, mixed};
}

Six Components(const ForceResultant& r) { return {r.GetFx(), r.GetFy(), r.GetFz(), r.GetMx(), r.GetMy(), r.GetMz()}; }

std::array<double, 5> ValuesOf(const CLStressPoint& p) {
    const CLStress& s = p.GetStress();
    return {s.GetSt(), s.GetSts(), s.GetQt(), s.GetMts(), s.GetMt()};
}

StressCSType& CsType(Strip& s, std::size_t row, std::size_t point) {
    return StressPointTestAccess::csType(s.rows[row]->GetStressPoints()[point]);
}

Points Smooth(Strip& strip, bool balanceMz = false, bool includeQtInMy = true, std::int32_t loadCase = 1) {
    return strip.stresses->SmoothBalanceCutlineStress(loadCase, std::vector<double>{}, {}, balanceMz, includeQtInMy);
}

// Over flat, tilted and mixed strips: the target is the alternative driver's sums un-negated, the
// smoothed distribution integrates to it, and its points lie on the cut in global coordinates.
TEST(Smoothing, SmoothedResultantEqualsTheBalanceResultant) {
    for (const StripShape& shape : Variants()) {
        for (const bool balanceMz : {false, true}) {
            SCOPED_TRACE(testing::Message() << "tilted " << shape.tilted << " reversed " << shape.reversedElement
                                            << " balanceMz " << balanceMz);
            auto strip = SmoothStrip(shape);
            const Points out = strip->stresses->SmoothBalanceCutlineStress(
                1, std::vector<double>{0.5, 1.7, 3.1, 4.7}, {}, balanceMz, true);
            ASSERT_EQ(out.size(), 4u);
            EXPECT_EQ(strip->stresses->GetStatus(), CS_SUCCESS);
            const Six balance = Components(strip->stresses->GetBalanceResultantForce());
            const Six smoothed = Components(strip->stresses->GetSmoothedStressResultantForce());
            // The loads are not zero, so the comparison is not between two zeros.
            EXPECT_GT(std::fabs(balance[1]), 0.1);
            EXPECT_GT(std::fabs(balance[4]), 0.1);
            EXPECT_GT(std::fabs(balance[5]), 0.1);
            // Without the tilt St is balanced in Fy only; with it in Mz, and Fy may move.
            for (const std::size_t i : {0, 2, 3, 4, balanceMz ? 5 : 1})
                EXPECT_NEAR(smoothed[i], balance[i], kBalanceTol) << "component " << i;

            CVertex first = strip->rows.front()->GetStressPoints().front().GetPoint();
            CVertex last = strip->rows.back()->GetStressPoints().back().GetPoint();
            Six F{};
            Access::GetForcesOnSection_Alternative(*strip->stresses, 1, &first, &last, F[0], F[1], F[2], F[3], F[4],
                                                   F[5]);
            for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(balance[i], -F[i]) << "component " << i;

            for (const auto& p : out) {
                const CVertex want = strip->Global(p->GetCLCoor() - shape.overhang, shape.cutY);
                const CVertex& got = p->GetPoint3D();
                // Plane round trips through two rotations of coordinates of order ten.
                EXPECT_NEAR(got.x, want.x, 1e-12 * 40);
                EXPECT_NEAR(got.y, want.y, 1e-12 * 40);
                EXPECT_NEAR(got.z, want.z, 1e-12 * 40);
                EXPECT_EQ(got.tolerance, 0.005);
                EXPECT_EQ(got.id, -1);
            }
        }
    }
}

// Each quantity read from its own component, with the host's signs, weighted and balanced
// against its own resultant component: a linear field whose loads match it needs no shift.
TEST(Smoothing, ABalancedLinearFieldIsReproducedExactly) {
    struct Case {
        CLStressType q;
        stress_models::Field Fields::*field;
        double alpha, beta;
    };
    const Case cases[] = {{CL_STRESS_ST, &Fields::St, 3.0, -0.7},  {CL_STRESS_STS, &Fields::Sts, 0.4, 0.3},
                          {CL_STRESS_QT, &Fields::Qt, -0.5, 0.2},  {CL_STRESS_MTS, &Fields::Mts, 1.2, -0.4},
                          {CL_STRESS_MT, &Fields::Mt, 0.8, 0.25}};
    for (const Case& c : cases) {
        Fields one = stress_models::ZeroFields();
        one.*c.field = [c](double s) { return c.alpha + c.beta * s; };
        for (const StripShape& shape : Variants()) {
            SCOPED_TRACE(testing::Message() << "quantity " << c.q << " tilted " << shape.tilted << " reversed "
                                            << shape.reversedElement);
            auto strip = BuildStrip(shape, one);
            ASSERT_FALSE(strip->rows.empty());
            FillRows(*strip, one);
            const Points out = strip->stresses->SmoothBalanceCutlineStress(shape.loadCase, {c.q}, true, true);
            ASSERT_GE(out.size(), 4u);
            for (const auto& p : out)
                EXPECT_NEAR(ValuesOf(*p)[c.q], c.alpha + c.beta * p->GetCLCoor(), 1e-11) << "at " << p->GetCLCoor();
        }
    }
}

TEST(Smoothing, QtMomentEntersTheBalanceOfMyOnlyWhenAsked) {
    // Only Qt feeds My in the smoothed resultant when it is alone: minus its first moment.
    auto qtOnly = SmoothStrip();
    qtOnly->stresses->SmoothBalanceCutlineStress(1, {CL_STRESS_QT}, false, true);
    const double qtMoment = -qtOnly->stresses->GetSmoothedStressResultantForce().GetMy();
    EXPECT_GT(std::fabs(qtMoment), 0.1);
    for (const bool includeQtInMy : {true, false}) {
        auto strip = SmoothStrip();
        Smooth(*strip, false, includeQtInMy);
        EXPECT_NEAR(strip->stresses->GetSmoothedStressResultantForce().GetMy(),
                    strip->stresses->GetBalanceResultantForce().GetMy() - (includeQtInMy ? 0.0 : qtMoment),
                    kBalanceTol)
            << includeQtInMy;
    }
}

TEST(Smoothing, QuantitySetChoosesWhatIsReported) {
    struct Case {
        std::set<CLStressType> types;
        std::array<bool, 5> reported;  // St, Sts, Qt, Mts, Mt
    };
    const Case cases[] = {
        {{}, {true, true, true, true, true}},
        {{CL_STRESS_ST}, {true, false, false, false, false}},
        {{CL_STRESS_MTS}, {false, false, true, true, false}},
        {{CL_STRESS_STS, CL_STRESS_MT}, {false, true, false, false, true}},
        {{static_cast<CLStressType>(9)}, {false, false, false, false, false}},  // names no quantity
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.types.size());
        auto strip = SmoothStrip();
        const Points out = strip->stresses->SmoothBalanceCutlineStress(1, c.types, false, true);
        ASSERT_FALSE(out.empty());
        std::array<bool, 5> nonzero{};
        for (const auto& p : out) {
            const auto v = ValuesOf(*p);
            for (std::size_t q = 0; q < 5; ++q) nonzero[q] = nonzero[q] || v[q] != 0.0;
        }
        EXPECT_EQ(nonzero, c.reported);
        // Unreported quantities contribute exactly nothing to the smoothed resultant.
        const Six r = Components(strip->stresses->GetSmoothedStressResultantForce());
        const bool fed[6] = {c.reported[1], c.reported[0], c.reported[2], c.reported[4],
                             c.reported[2] || c.reported[3], c.reported[0]};
        for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(r[i] != 0.0, fed[i]) << "component " << i;
    }
}

TEST(Smoothing, SignsOfTheSharedRowsAreCorrectedInPlace) {
    StripShape shape;
    shape.reversedElement = 1;
    auto strip = SmoothStrip(shape);
    // An element without an alignment entry counts as misaligned and gets the entry.
    auto& aligned = Access::elementNormalAligned(*strip->stresses);
    ASSERT_TRUE(aligned.at(strip->rows[2]->GetElemID()));
    aligned.erase(strip->rows[2]->GetElemID());
    std::vector<std::vector<Stress>> before;
    for (const auto& row : strip->rows) {
        before.emplace_back();
        for (const StressPoint& p : row->GetStressPoints()) before.back().push_back(p.GetStress());
    }
    Smooth(*strip);
    EXPECT_FALSE(aligned.at(strip->rows[1]->GetElemID()));
    EXPECT_FALSE(aligned.at(strip->rows[2]->GetElemID()));
    for (std::size_t k = 0; k < strip->rows.size(); ++k) {
        const bool reversed = k == 1 || k == 2;
        const auto& points = strip->rows[k]->GetStressPoints();
        for (std::size_t i = 0; i < points.size(); ++i) {
            for (std::size_t c = 0; c < 8; ++c) {
                // Misaligned elements negate 2, 4, 6, 7; every point then negates 4 again.
                const bool negated = reversed ? (c == 2 || c == 6 || c == 7) : c == 4;
                EXPECT_EQ(points[i].GetStress()[c], negated ? -before[k][i][c] : before[k][i][c])
                    << "row " << k << " point " << i << " component " << c;
            }
        }
    }
}

TEST(Smoothing, EachFormReportsItsOwnPositions) {
    auto strip = SmoothStrip();  // rows from s0 = 0.5 to sN = 4.7 over four elements
    const double s0 = 0.5, sN = 4.7, mid = 2.6;
    auto expectList = [](const Points& out, const std::vector<double>& want, const char* what) {
        ASSERT_EQ(out.size(), want.size()) << what;
        // Coordinates come from a few additions of numbers of order one.
        for (std::size_t i = 0; i < out.size(); ++i) EXPECT_NEAR(out[i]->GetCLCoor(), want[i], 1e-12) << what << i;
    };
    expectList(Smooth(*strip), {s0, (s0 + mid) / 2, mid, (mid + sN) / 2, sN}, "no positions");
    expectList(strip->stresses->SmoothBalanceCutlineStress(1, 0.5, {}, false, true),
               {0.5, 1.0, 1.5, 2.0, 2.5, 3.0, 3.5, 4.0, 4.5}, "spacing 0.5");
    std::vector<double> byDefault;
    for (int i = 0; i <= 12; ++i) byDefault.push_back(s0 + i * (sN - s0) / 3.0 / 4.0);
    expectList(strip->stresses->SmoothBalanceCutlineStress(1, 0.0, {}, false, true), byDefault, "default spacing");
    // Four rows of five sample points, neighbours sharing their boundary points.
    const Points samples = strip->stresses->SmoothBalanceCutlineStress(1, {}, false, true);
    ASSERT_EQ(samples.size(), 17u);
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_NEAR(samples[4 * k]->GetCLCoor(), strip->rows[k]->GetStressPoints().front().Get1DCoor(), 1e-12);
}

TEST(Smoothing, RefusalsLeaveRowsAndResultantsUntouched) {
    using Rows = std::vector<std::shared_ptr<ElemStressPoints>>;
    struct Case {
        const char* name;
        void (*spoil)(Strip&);
        std::int32_t status;
    };
    const Case cases[] = {
        {"no rows", [](Strip& s) { Access::elementStressPoints(*s.stresses).clear(); }, CS_NO_STRESS_INPUT_POINTS},
        {"a row emptied by the host", [](Strip& s) { s.rows[2]->GetStressPoints().clear(); },
         CS_NO_STRESS_INPUT_POINTS},
        {"no thickness",
         [](Strip& s) {
             Rows& rows = Access::elementStressPoints(*s.stresses);
             auto fresh = std::make_shared<ElemStressPoints>(rows[1]->GetElemID(), rows[1]->GetFaceThirdPoint());
             fresh->GetStressPoints() = rows[1]->GetStressPoints();
             rows[1] = fresh;
         },
         CS_NO_THICKNESS},
        {"zero thickness", [](Strip& s) { s.rows[1]->SetAvgThickness(0.0); }, CS_NONPOSITIVE_THICKNESS},
        {"thickness not a number", [](Strip& s) { s.rows[3]->SetAvgThickness(std::nan("")); },
         CS_NONPOSITIVE_THICKNESS},
        {"negative thickness before an unset point of its row",
         [](Strip& s) {
             s.rows[3]->SetAvgThickness(-0.2);
             CsType(s, 3, 0) = STRESS_CS_NONE;
         },
         CS_NONPOSITIVE_THICKNESS},
        {"point of unknown kind", [](Strip& s) { CsType(s, 2, 1) = static_cast<StressCSType>(5); },
         CS_STRESS_CS_INVALID},
        {"unset point before a later row's bad thickness",
         [](Strip& s) {
             CsType(s, 0, 3) = STRESS_CS_NONE;
             s.rows[1]->SetAvgThickness(-1.0);
         },
         CS_STRESS_NOT_SET},
        {"no force calculator", [](Strip& s) { Access::forceCalculator(*s.stresses) = nullptr; },
         CS_PLANE_NOT_DEFINED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto strip = SmoothStrip();
        Smooth(*strip, true);
        const Six balance = Components(strip->stresses->GetBalanceResultantForce());
        const Six smoothed = Components(strip->stresses->GetSmoothedStressResultantForce());
        c.spoil(*strip);
        auto components = [&strip] {
            std::vector<std::array<double, 8>> all;
            for (const auto& row : Access::elementStressPoints(*strip->stresses)) {
                if (row) {
                    for (const StressPoint& p : row->GetStressPoints()) all.push_back(p.GetStress().components);
                }
            }
            return all;
        };
        const auto before = components();
        for (int form = 0; form < 3; ++form) {
            strip->stresses->ResetStatus();
            const Points out = form == 0   ? Smooth(*strip, true)
                               : form == 1 ? strip->stresses->SmoothBalanceCutlineStress(1, {}, true, true)
                                           : strip->stresses->SmoothBalanceCutlineStress(1, 0.5, {}, true, true);
            EXPECT_TRUE(out.empty()) << "form " << form;
            EXPECT_EQ(strip->stresses->GetStatus(), c.status) << "form " << form;
        }
        EXPECT_EQ(components(), before);
        EXPECT_EQ(Components(strip->stresses->GetBalanceResultantForce()), balance);
        EXPECT_EQ(Components(strip->stresses->GetSmoothedStressResultantForce()), smoothed);
    }
}

TEST(Smoothing, MissingBalanceResultantBalancesToZero) {
    struct Case {
        const char* name;
        bool planeRows;  // rows left in plane coordinates are taken as global: off the tilted plane
        std::int32_t loadCase, status;
    };
    for (const Case& c : {Case{"load case missing", false, 99, CS_SUCCESS},
                         Case{"response-spectrum load case", false, 7, CS_SUCCESS},
                         Case{"ends off the plane", true, 1, CS_CUT_LINE_OFF_PLANE}}) {
        SCOPED_TRACE(c.name);
        StripShape shape;
        shape.tilted = true;
        auto strip = BuildStrip(shape, SmoothFields());
        CCrossSectionForcesPostTestAccess::loadCases(*strip->forces)[7].caseType = LOAD_CASE_RESPONSE_SPECTRUM;
        if (c.planeRows)
            strip->rows = strip->stresses->GetCutlineStressInputPoints(strip->CutStart(), strip->CutEnd(),
                                                                       strip->FacePoint(), 4, 0.0, true);
        FillRows(*strip, SmoothFields());
        EXPECT_FALSE(Smooth(*strip, false, true, c.loadCase).empty());
        // The alternative's refusal stays in the status word after the list is returned.
        EXPECT_EQ(strip->stresses->GetStatus(), c.status);
        const Six balance = Components(strip->stresses->GetBalanceResultantForce());
        const Six smoothed = Components(strip->stresses->GetSmoothedStressResultantForce());
        EXPECT_EQ(balance, Six{});
        for (std::size_t i = 0; i < 5; ++i) EXPECT_NEAR(smoothed[i], 0.0, kBalanceTol) << "component " << i;
    }
}

}  // namespace
}  // namespace xsect
