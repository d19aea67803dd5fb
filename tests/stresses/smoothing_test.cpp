#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <memory>
#include <set>
#include <vector>

#include <xsect/xsect.h>

#include "support/smoothing_models.h"
#include "support/forces_access.h"
#include "support/stresses_access.h"

namespace xsect {
namespace {

using smoothing_models::BuildStrip;
using smoothing_models::Fields;
using smoothing_models::FillRows;
using smoothing_models::Strip;
using smoothing_models::StripSpec;
using Access = CCrossSectionStressesPostTestAccess;
using Points = std::vector<std::shared_ptr<CLStressPoint>>;

// Resultants are sums of a few dozen terms of order one: allow a few hundred ulps of that scale.
constexpr double kBalanceTol = 1e-10;

Fields SmoothFields() {
    Fields f;
    f.St = [](double s) { return 2.0 + 0.8 * s - 0.3 * s * s; };
    f.Sts = [](double s) { return 0.5 * std::cos(1.3 * s); };
    f.Qt = [](double s) { return 0.2 + 0.05 * s * s * s; };
    f.Mts = [](double s) { return std::sin(0.7 * s); };
    f.Mt = [](double s) { return s * s - 2.0 * s + 0.5 * std::sin(2.0 * s); };
    return f;
}

// A strip whose rows are filled from smooth fields that the nodal loads only roughly match, so
// the balancing has real work to do.
std::unique_ptr<Strip> SmoothStrip(StripSpec spec = {}) {
    auto strip = BuildStrip(spec, SmoothFields());
    EXPECT_EQ(strip->forces->GetCurrentStatus(), CS_SUCCESS);
    EXPECT_EQ(strip->rows.size(), spec.columns.size() - 1);
    FillRows(*strip, SmoothFields());
    return strip;
}

// The specs the end-to-end properties are checked on.
std::vector<StripSpec> Variants() {
    StripSpec flat;
    StripSpec tilted;
    tilted.tilted = true;
    StripSpec mixed;
    mixed.reversedElement = 1;
    mixed.divisions = 6;
    return {flat, tilted, mixed};
}

struct Span {
    double sa, sb, t;
};

std::vector<Span> SpansOf(const Strip& strip) {
    std::vector<Span> spans;
    for (std::size_t k = 0; k < strip.rows.size(); ++k) {
        const auto& points = strip.rows[k]->GetStressPoints();
        spans.push_back({points.front().Get1DCoor(), points.back().Get1DCoor(), strip.spec.thickness[k]});
    }
    return spans;
}

std::array<double, 5> ValuesOf(const CLStressPoint& p) {
    const CLStress& s = p.GetStress();
    return {s.GetSt(), s.GetSts(), s.GetQt(), s.GetMts(), s.GetMt()};
}

// Values at the given positions (which must survive position preparation unchanged).
std::vector<std::array<double, 5>> At(Strip& strip, const std::vector<double>& positions, bool balanceMz = false,
                                      bool includeQtInMy = true) {
    const Points out = strip.stresses->SmoothBalanceCutlineStress(strip.spec.loadCase, positions, {}, balanceMz,
                                                                  includeQtInMy);
    EXPECT_EQ(out.size(), positions.size());
    std::vector<std::array<double, 5>> values;
    for (const auto& p : out) values.push_back(ValuesOf(*p));
    return values;
}

std::array<double, 6> Components(const ForceResultant& r) {
    return {r.GetFx(), r.GetFy(), r.GetFz(), r.GetMx(), r.GetMy(), r.GetMz()};
}

// Compares the components named by which (Fx, Fy, Fz, Mx, My, Mz).
void ExpectNear(const ForceResultant& a, const ForceResultant& b, bool fx, bool fy, bool fz, bool mx, bool my,
                bool mz, const char* what) {
    const bool which[6] = {fx, fy, fz, mx, my, mz};
    const auto ca = Components(a);
    const auto cb = Components(b);
    for (std::size_t i = 0; i < 6; ++i) {
        if (which[i]) {
            EXPECT_NEAR(ca[i], cb[i], kBalanceTol) << what << " component " << i;
        }
    }
}

TEST(Smoothing, SmoothedResultantEqualsTheBalanceResultant) {
    for (const StripSpec& spec : Variants()) {
        auto strip = SmoothStrip(spec);
        const Points out = strip->stresses->SmoothBalanceCutlineStress(spec.loadCase, std::vector<double>{}, {},
                                                                       false, true);
        ASSERT_FALSE(out.empty());
        EXPECT_EQ(strip->stresses->GetStatus(), CS_SUCCESS);
        const ForceResultant& balance = strip->stresses->GetBalanceResultantForce();
        const ForceResultant& smoothed = strip->stresses->GetSmoothedStressResultantForce();
        // The loads are not zero, so the comparison below is not between two zeros.
        EXPECT_GT(std::fabs(balance.GetFy()), 0.1);
        EXPECT_GT(std::fabs(balance.GetMy()), 0.1);
        ExpectNear(smoothed, balance, true, true, true, true, true, false, spec.tilted ? "tilted" : "flat");
    }
}

TEST(Smoothing, TiltMatchesTheFirstMomentOfSt) {
    for (const StripSpec& spec : Variants()) {
        auto strip = SmoothStrip(spec);
        strip->stresses->SmoothBalanceCutlineStress(spec.loadCase, std::vector<double>{}, {}, true, true);
        const ForceResultant& balance = strip->stresses->GetBalanceResultantForce();
        const ForceResultant& smoothed = strip->stresses->GetSmoothedStressResultantForce();
        // The smoothed Mz is the first moment of St about the middle of the line.
        ExpectNear(smoothed, balance, true, false, true, true, true, true, "balanceMz");
    }
}

TEST(Smoothing, BalancedValuesJoinAtEveryElementBoundary) {
    for (const StripSpec& spec : Variants()) {
        auto strip = SmoothStrip(spec);
        const std::vector<Span> spans = SpansOf(*strip);
        // At a boundary the output takes the left element; three points just inside the right
        // element (beyond the 0.0001 slack) extrapolate its quadratic back to the boundary exactly.
        const double h = 0.0002;
        std::vector<double> positions;
        for (std::size_t k = 1; k < spans.size(); ++k)
            for (const double s : {spans[k].sa, spans[k].sa + h, spans[k].sa + 2 * h, spans[k].sa + 3 * h})
                positions.push_back(s);
        for (const bool balanceMz : {false, true}) {
            const auto values = At(*strip, positions, balanceMz);
            ASSERT_EQ(values.size(), positions.size());
            for (std::size_t b = 0; b + 1 < spans.size(); ++b) {
                for (std::size_t q = 0; q < 5; ++q) {
                    const double left = values[4 * b][q];
                    const double right = 3.0 * values[4 * b + 1][q] - 3.0 * values[4 * b + 2][q] + values[4 * b + 3][q];
                    // The extrapolation amplifies rounding of values of order ten by about eight.
                    EXPECT_NEAR(left, right, 1e-9) << "boundary " << b + 1 << " quantity " << q;
                }
            }
        }
    }
}

TEST(Smoothing, BalanceResultantIsTheUnnegatedAlternativeSums) {
    for (const StripSpec& spec : Variants()) {
        auto strip = SmoothStrip(spec);
        strip->stresses->SmoothBalanceCutlineStress(spec.loadCase, std::vector<double>{}, {}, false, true);
        CVertex first = strip->rows.front()->GetStressPoints().front().GetPoint();
        CVertex last = strip->rows.back()->GetStressPoints().back().GetPoint();
        double F[6] = {0, 0, 0, 0, 0, 0};
        EXPECT_EQ(Access::GetForcesOnSection_Alternative(*strip->stresses, spec.loadCase, &first, &last, F[0], F[1],
                                                         F[2], F[3], F[4], F[5]),
                  1);
        const ForceResultant& balance = strip->stresses->GetBalanceResultantForce();
        EXPECT_EQ(balance.GetFx(), -F[0]);
        EXPECT_EQ(balance.GetFy(), -F[1]);
        EXPECT_EQ(balance.GetFz(), -F[2]);
        EXPECT_EQ(balance.GetMx(), -F[3]);
        EXPECT_EQ(balance.GetMy(), -F[4]);
        EXPECT_EQ(balance.GetMz(), -F[5]);
    }
}

// Integrals of the reported values by Simpson's rule per element: exact for the quadratics and
// the cubic moment integrands, so they check the smoothed resultant from the outside.
struct OutputIntegrals {
    double Fx = 0, Fy = 0, Fz = 0, Mx = 0, Mts = 0, QtMoment = 0, Mz = 0;
};

OutputIntegrals IntegrateOutput(Strip& strip, bool balanceMz, bool includeQtInMy) {
    const std::vector<Span> spans = SpansOf(strip);
    const double mid = (spans.front().sa + spans.back().sb) * 0.5;
    std::vector<double> positions;
    for (const Span& e : spans) {
        positions.push_back(e.sa);
        positions.push_back((e.sa + e.sb) * 0.5);
    }
    positions.push_back(spans.back().sb);
    const auto v = At(strip, positions, balanceMz, includeQtInMy);
    OutputIntegrals r;
    for (std::size_t k = 0; k < spans.size(); ++k) {
        const Span& e = spans[k];
        const double L = e.sb - e.sa;
        const double s[3] = {e.sa, (e.sa + e.sb) * 0.5, e.sb};
        const std::array<double, 5>* at[3] = {&v[2 * k], &v[2 * k + 1], &v[2 * k + 2]};
        auto simpson = [&](std::size_t q, bool moment) {
            double sum = 0.0;
            const double w[3] = {1.0, 4.0, 1.0};
            for (int i = 0; i < 3; ++i) sum += w[i] * (*at[i])[q] * (moment ? s[i] - mid : 1.0);
            return sum * L / 6.0;
        };
        r.Fy += e.t * simpson(0, false);
        r.Mz += e.t * simpson(0, true);
        r.Fx += e.t * simpson(1, false);
        r.Fz += simpson(2, false);
        r.QtMoment += simpson(2, true);
        r.Mts += simpson(3, false);
        r.Mx += simpson(4, false);
    }
    return r;
}

TEST(Smoothing, SmoothedResultantIsTheIntegralOfTheReportedValues) {
    for (const bool balanceMz : {false, true}) {
        auto strip = SmoothStrip();
        const OutputIntegrals r = IntegrateOutput(*strip, balanceMz, true);
        const ForceResultant& smoothed = strip->stresses->GetSmoothedStressResultantForce();
        const ForceResultant expected(r.Fx, r.Fy, r.Fz, r.Mx, r.Mts - r.QtMoment, r.Mz);
        ExpectNear(smoothed, expected, true, true, true, true, true, true, "integrated output");
    }
}

TEST(Smoothing, QtMomentEntersTheBalanceOfMyOnlyWhenAsked) {
    auto with = SmoothStrip();
    IntegrateOutput(*with, false, true);
    EXPECT_NEAR(with->stresses->GetSmoothedStressResultantForce().GetMy(),
                with->stresses->GetBalanceResultantForce().GetMy(), kBalanceTol);

    auto without = SmoothStrip();
    const OutputIntegrals r = IntegrateOutput(*without, false, false);
    EXPECT_GT(std::fabs(r.QtMoment), 0.1);
    // Mts alone integrates to the balance My; the smoothed My then lacks the moment of Qt.
    EXPECT_NEAR(r.Mts, without->stresses->GetBalanceResultantForce().GetMy(), kBalanceTol);
    EXPECT_NEAR(without->stresses->GetSmoothedStressResultantForce().GetMy(),
                without->stresses->GetBalanceResultantForce().GetMy() - r.QtMoment, kBalanceTol);
}

TEST(Smoothing, LinearStThatIsAlreadyBalancedIsReproducedExactly) {
    const double alpha = 3.0, beta = -0.7;
    Fields onlySt = smoothing_models::ZeroFields();
    onlySt.St = [=](double s) { return alpha + beta * s; };
    for (StripSpec spec : Variants()) {
        auto strip = BuildStrip(spec, onlySt);
        ASSERT_FALSE(strip->rows.empty());
        FillRows(*strip, onlySt);
        const std::vector<Span> spans = SpansOf(*strip);
        const double s0 = spans.front().sa, sN = spans.back().sb, mid = (s0 + sN) * 0.5;

        // The nodal loads are consistent with the field: the balance resultant is its integral.
        double Fy = 0.0, Mz = 0.0;
        for (const Span& e : spans) {
            auto F = [&](double s) { return alpha * s + beta * s * s / 2.0; };
            auto M = [&](double s) { return alpha * (s * s / 2.0 - mid * s) + beta * (s * s * s / 3.0 - mid * s * s / 2.0); };
            Fy += e.t * (F(e.sb) - F(e.sa));
            Mz += e.t * (M(e.sb) - M(e.sa));
        }

        const Points out = strip->stresses->SmoothBalanceCutlineStress(spec.loadCase, {CL_STRESS_ST}, true, true);
        const ForceResultant& balance = strip->stresses->GetBalanceResultantForce();
        EXPECT_NEAR(balance.GetFy(), Fy, kBalanceTol);
        EXPECT_NEAR(balance.GetMz(), Mz, kBalanceTol);
        ASSERT_GE(out.size(), 4u);
        for (const auto& p : out) EXPECT_NEAR(p->GetStress().GetSt(), alpha + beta * p->GetCLCoor(), 1e-11);
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
    };
    for (const Case& c : cases) {
        auto strip = SmoothStrip();
        const Points out = strip->stresses->SmoothBalanceCutlineStress(1, c.types, false, true);
        ASSERT_FALSE(out.empty());
        std::array<bool, 5> nonzero{};
        for (const auto& p : out) {
            const auto v = ValuesOf(*p);
            for (std::size_t q = 0; q < 5; ++q) nonzero[q] = nonzero[q] || v[q] != 0.0;
        }
        EXPECT_EQ(nonzero, c.reported) << c.types.size();
        // Unreported quantities contribute exactly nothing.
        const auto r = Components(strip->stresses->GetSmoothedStressResultantForce());
        const bool zero[6] = {!c.reported[1], !c.reported[0], !c.reported[2], !c.reported[4],
                              !c.reported[2] && !c.reported[3], !c.reported[0]};
        for (std::size_t i = 0; i < 6; ++i) {
            if (zero[i]) {
                EXPECT_EQ(r[i], 0.0) << "component " << i;
            } else {
                EXPECT_NE(r[i], 0.0) << "component " << i;
            }
        }
    }
}

TEST(Smoothing, SignsOfTheSharedRowsAreCorrectedInPlace) {
    StripSpec spec;
    spec.reversedElement = 1;
    auto strip = SmoothStrip(spec);
    std::vector<std::vector<Stress>> before;
    for (const auto& row : strip->rows) {
        before.emplace_back();
        for (const StressPoint& p : row->GetStressPoints()) before.back().push_back(p.GetStress());
    }
    strip->stresses->SmoothBalanceCutlineStress(spec.loadCase, std::vector<double>{}, {}, false, true);
    EXPECT_FALSE(Access::elementNormalAligned(*strip->stresses).at(strip->rows[1]->GetElemID()));
    for (std::size_t k = 0; k < strip->rows.size(); ++k) {
        const bool reversed = k == 1;
        const auto& points = strip->rows[k]->GetStressPoints();
        for (std::size_t i = 0; i < points.size(); ++i) {
            const Stress& now = points[i].GetStress();
            const Stress& was = before[k][i];
            for (std::size_t c = 0; c < 8; ++c) {
                // Misaligned elements negate 2, 4, 6, 7; every point then negates 4 again.
                const bool negated = reversed ? (c == 2 || c == 6 || c == 7) : c == 4;
                EXPECT_EQ(now[c], negated ? -was[c] : was[c]) << "row " << k << " point " << i << " component " << c;
            }
        }
    }
    // A second call applies the same negations once more, restoring the host's values.
    strip->stresses->SmoothBalanceCutlineStress(spec.loadCase, std::vector<double>{}, {}, false, true);
    for (std::size_t k = 0; k < strip->rows.size(); ++k)
        for (std::size_t i = 0; i < before[k].size(); ++i)
            EXPECT_EQ(strip->rows[k]->GetStressPoints()[i].GetStress().components, before[k][i].components);
}

TEST(Smoothing, ElementWithoutAlignmentEntryCountsAsMisaligned) {
    auto strip = SmoothStrip();
    auto& aligned = Access::elementNormalAligned(*strip->stresses);
    const std::int32_t id = strip->rows[2]->GetElemID();
    ASSERT_TRUE(aligned.at(id));
    aligned.erase(id);
    const Stress before = strip->rows[2]->GetStressPoints()[1].GetStress();
    strip->stresses->SmoothBalanceCutlineStress(1, std::vector<double>{}, {}, false, true);
    EXPECT_EQ(aligned.count(id), 1u);
    EXPECT_FALSE(aligned.at(id));
    const Stress& now = strip->rows[2]->GetStressPoints()[1].GetStress();
    EXPECT_EQ(now[2], -before[2]);
    EXPECT_EQ(now[4], before[4]);
    EXPECT_EQ(now[7], -before[7]);
}

TEST(Smoothing, EachFormReportsItsDocumentedPositions) {
    auto strip = SmoothStrip();  // rows from s0 = 0.5 to sN = 4.7 over four elements
    const double s0 = 0.5, sN = 4.7, mid = 2.6;
    auto coordinates = [](const Points& out) {
        std::vector<double> s;
        for (const auto& p : out) s.push_back(p->GetCLCoor());
        return s;
    };
    auto expectList = [](const std::vector<double>& got, const std::vector<double>& want, const char* what) {
        ASSERT_EQ(got.size(), want.size()) << what;
        // Coordinates come from a few additions of numbers of order one.
        for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-12) << what << " at " << i;
    };

    expectList(coordinates(strip->stresses->SmoothBalanceCutlineStress(1, std::vector<double>{}, {}, false, true)),
               {s0, (s0 + mid) / 2, mid, (mid + sN) / 2, sN}, "no positions");
    expectList(coordinates(strip->stresses->SmoothBalanceCutlineStress(1, std::vector<double>{1.0, 1.0, 2.0}, {},
                                                                        false, true)),
               {s0, 1.0, 2.0, sN}, "duplicates");

    std::vector<double> samples;
    for (const auto& row : strip->rows)
        for (const StressPoint& p : row->GetStressPoints())
            if (samples.empty() || std::fabs(p.Get1DCoor() - samples.back()) >= 0.001) samples.push_back(p.Get1DCoor());
    EXPECT_EQ(samples.size(), 4u * 4u + 1u);  // shared boundary points counted once
    expectList(coordinates(strip->stresses->SmoothBalanceCutlineStress(1, {}, false, true)), samples, "samples");

    expectList(coordinates(strip->stresses->SmoothBalanceCutlineStress(1, 0.5, {}, false, true)),
               {0.5, 1.0, 1.5, 2.0, 2.5, 3.0, 3.5, 4.0, 4.5}, "spacing 0.5");
    std::vector<double> byDefault;
    for (int i = 0; i <= 12; ++i) byDefault.push_back(s0 + i * (sN - s0) / 3.0 / 4.0);
    expectList(coordinates(strip->stresses->SmoothBalanceCutlineStress(1, 0.0, {}, false, true)), byDefault,
               "default spacing");
}

TEST(Smoothing, SpacingFormEndsForAnySpacing) {
    auto strip = SmoothStrip();
    for (const double spacing : {std::nan(""), 1e300, -1.0, 0.00011, HUGE_VAL}) {
        const Points out = strip->stresses->SmoothBalanceCutlineStress(1, spacing, {}, false, true);
        ASSERT_GE(out.size(), 4u) << spacing;
        for (std::size_t i = 1; i < out.size(); ++i) ASSERT_LT(out[i - 1]->GetCLCoor(), out[i]->GetCLCoor()) << spacing;
        EXPECT_LE(out.back()->GetCLCoor(), 4.7 + 0.0001) << spacing;
    }
}

TEST(Smoothing, OutputPointsLieOnTheCutInGlobalCoordinates) {
    for (const StripSpec& spec : Variants()) {
        auto strip = SmoothStrip(spec);
        const Points out = strip->stresses->SmoothBalanceCutlineStress(1, std::vector<double>{0.5, 1.7, 3.1, 4.7}, {},
                                                                       false, true);
        ASSERT_EQ(out.size(), 4u);
        for (const auto& p : out) {
            const CVertex want = strip->Global(p->GetCLCoor() - spec.overhang, spec.cutY);
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

TEST(Smoothing, RefusalsLeaveRowsAndResultantsUntouched) {
    struct Case {
        const char* name;
        void (*spoil)(Strip&);
        CROSS_SECTION_MESSAGES status;
    };
    const Case cases[] = {
        {"no rows", [](Strip& s) { Access::elementStressPoints(*s.stresses).clear(); }, CS_NO_STRESS_INPUT_POINTS},
        {"a row emptied by the host", [](Strip& s) { s.rows[2]->GetStressPoints().clear(); },
         CS_NO_STRESS_INPUT_POINTS},
        {"zero thickness", [](Strip& s) { s.rows[1]->SetAvgThickness(0.0); }, CS_NONPOSITIVE_THICKNESS},
        {"negative thickness", [](Strip& s) { s.rows[3]->SetAvgThickness(-0.2); }, CS_NONPOSITIVE_THICKNESS},
        {"point of unknown kind",
         [](Strip& s) { StressPointTestAccess::csType(s.rows[2]->GetStressPoints()[1]) = static_cast<StressCSType>(5); },
         CS_STRESS_CS_INVALID},
        {"unset point before a later bad thickness",
         [](Strip& s) {
             StressPointTestAccess::csType(s.rows[0]->GetStressPoints()[3]) = STRESS_CS_NONE;
             s.rows[1]->SetAvgThickness(-1.0);
         },
         CS_STRESS_NOT_SET},
    };
    for (const Case& c : cases) {
        auto strip = SmoothStrip();
        strip->stresses->SmoothBalanceCutlineStress(1, std::vector<double>{}, {}, true, true);
        const ForceResultant balance = strip->stresses->GetBalanceResultantForce();
        const ForceResultant smoothed = strip->stresses->GetSmoothedStressResultantForce();
        c.spoil(*strip);
        std::vector<std::array<double, 8>> before;
        for (const auto& row : strip->rows)
            for (const StressPoint& p : row->GetStressPoints()) before.push_back(p.GetStress().components);

        for (int form = 0; form < 3; ++form) {
            strip->stresses->ResetStatus();
            const Points out = form == 0   ? strip->stresses->SmoothBalanceCutlineStress(1, std::vector<double>{}, {},
                                                                                         true, true)
                               : form == 1 ? strip->stresses->SmoothBalanceCutlineStress(1, {}, true, true)
                                           : strip->stresses->SmoothBalanceCutlineStress(1, 0.5, {}, true, true);
            EXPECT_TRUE(out.empty()) << c.name << " form " << form;
            EXPECT_EQ(strip->stresses->GetStatus(), c.status) << c.name << " form " << form;
        }
        std::size_t i = 0;
        for (const auto& row : strip->rows)
            for (const StressPoint& p : row->GetStressPoints()) EXPECT_EQ(p.GetStress().components, before[i++]) << c.name;
        const ForceResultant& b = strip->stresses->GetBalanceResultantForce();
        const ForceResultant& s = strip->stresses->GetSmoothedStressResultantForce();
        EXPECT_EQ(b.GetFy(), balance.GetFy()) << c.name;
        EXPECT_EQ(b.GetMz(), balance.GetMz()) << c.name;
        EXPECT_EQ(s.GetFy(), smoothed.GetFy()) << c.name;
        EXPECT_EQ(s.GetMy(), smoothed.GetMy()) << c.name;
    }
}

TEST(Smoothing, RowsWithoutThicknessAreRefused) {
    auto strip = BuildStrip(StripSpec{}, SmoothFields());
    FillRows(*strip, SmoothFields());
    // Fresh rows from a second stage 1 have no thickness until the host sets it.
    strip->rows = strip->stresses->GetCutlineStressInputPoints(strip->CutStart(), strip->CutEnd(),
                                                               strip->FacePoint(), 4, 0.0, false);
    EXPECT_TRUE(strip->stresses->SmoothBalanceCutlineStress(1, std::vector<double>{}, {}, false, false).empty());
    EXPECT_EQ(strip->stresses->GetStatus(), CS_NO_THICKNESS);
}

TEST(Smoothing, WithoutForceCalculatorNothingIsTouched) {
    auto strip = SmoothStrip();
    const std::array<double, 8> before = strip->rows[0]->GetStressPoints()[0].GetStress().components;
    Access::forceCalculator(*strip->stresses) = nullptr;
    EXPECT_TRUE(strip->stresses->SmoothBalanceCutlineStress(1, std::vector<double>{}, {}, true, true).empty());
    EXPECT_TRUE(strip->stresses->SmoothBalanceCutlineStress(1, {}, true, true).empty());
    EXPECT_TRUE(strip->stresses->SmoothBalanceCutlineStress(1, 0.5, {}, true, true).empty());
    EXPECT_EQ(strip->rows[0]->GetStressPoints()[0].GetStress().components, before);
    EXPECT_EQ(strip->stresses->GetBalanceResultantForce().GetFy(), 0.0);
    EXPECT_EQ(strip->forces->GetCurrentStatus(), CS_SUCCESS);
}

TEST(Smoothing, MissingBalanceResultantBalancesToZero) {
    for (const bool spectrum : {false, true}) {
        StripSpec spec;
        auto strip = SmoothStrip(spec);
        std::int32_t loadCase = 99;  // not in the model
        if (spectrum) {
            loadCase = 7;
            CCrossSectionForcesPostTestAccess::loadCases(*strip->forces)[7].caseType = LOAD_CASE_RESPONSE_SPECTRUM;
        }
        const Points out = strip->stresses->SmoothBalanceCutlineStress(loadCase, std::vector<double>{}, {}, false, true);
        EXPECT_FALSE(out.empty());
        EXPECT_EQ(strip->stresses->GetStatus(), CS_SUCCESS);
        const ForceResultant zero;
        ExpectNear(strip->stresses->GetBalanceResultantForce(), zero, true, true, true, true, true, true, "balance");
        ExpectNear(strip->stresses->GetSmoothedStressResultantForce(), zero, true, true, true, true, true, false,
                   "smoothed");
    }
}

TEST(Smoothing, FailedBalanceResultantLeavesItsStatus) {
    auto strip = SmoothStrip();
    // Rows left in plane coordinates are taken as global by the balance step; on the tilted
    // plane that puts the cut's ends off the plane.
    StripSpec spec;
    spec.tilted = true;
    auto tilted = BuildStrip(spec, SmoothFields());
    tilted->rows = tilted->stresses->GetCutlineStressInputPoints(tilted->CutStart(), tilted->CutEnd(),
                                                                 tilted->FacePoint(), 4, 0.0, true);
    FillRows(*tilted, SmoothFields());
    const Points out = tilted->stresses->SmoothBalanceCutlineStress(1, std::vector<double>{}, {}, false, true);
    EXPECT_FALSE(out.empty());
    EXPECT_EQ(tilted->stresses->GetStatus(), CS_CUT_LINE_OFF_PLANE);
    EXPECT_EQ(tilted->stresses->GetBalanceResultantForce().GetFy(), 0.0);
    EXPECT_NEAR(tilted->stresses->GetSmoothedStressResultantForce().GetFy(), 0.0, kBalanceTol);
}

TEST(Smoothing, DegenerateRowsGiveFiniteValues) {
    auto strip = SmoothStrip();
    // Two rows collapsed to one coordinate each: the fits and the balancing are singular and
    // the tilt has no lever.
    auto& rows = Access::elementStressPoints(*strip->stresses);
    rows.resize(2);
    for (const auto& row : rows) {
        auto& points = row->GetStressPoints();
        const StressPoint first = points.front();
        for (StressPoint& p : points) p = StressPoint(first.GetPoint(), first.Get1DCoor());
        for (StressPoint& p : points) p.SetStressValue_ZEL(1, 2, 3, 4, 5, 6, 7, 8);
    }
    rows[1]->GetStressPoints().assign(3, rows[0]->GetStressPoints().front());
    const Points out = strip->stresses->SmoothBalanceCutlineStress(1, std::vector<double>{}, {}, true, true);
    ASSERT_FALSE(out.empty());
    for (const auto& p : out)
        for (const double v : ValuesOf(*p)) EXPECT_TRUE(std::isfinite(v));
    const ForceResultant& r = strip->stresses->GetSmoothedStressResultantForce();
    for (const double v : {r.GetFx(), r.GetFy(), r.GetFz(), r.GetMx(), r.GetMy(), r.GetMz()}) EXPECT_TRUE(std::isfinite(v));
}

}  // namespace
}  // namespace xsect
