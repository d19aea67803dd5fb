// End to end: a cantilever strip in a tilted plane, loaded at its tip through an exact
// equilibrium field, cut in every direction; each answer is the free body's resultant.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "support/strip_model.h"

using namespace xsect;
using namespace xsect::strip_model;

namespace {

using Six = std::array<double, 6>;

struct Cut {
    const char* name;
    double sx, sy, ex, ey;  // strip coordinates
    std::int32_t side;
};

// The cut's axes in plane coordinates, which here are the strip's (shifted, not turned).
std::array<Vec3, 3> cutAxes(const Cut& c) {
    const double dx = c.ex - c.sx;
    const double dy = c.ey - c.sy;
    if (std::fabs(dx) < 1e-9) return {Vec3{0, 1, 0}, Vec3{-1, 0, 0}, Vec3{0, 0, 1}};
    if (std::fabs(dy) < 1e-9) return {Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}};
    const double len = std::hypot(dx, dy);
    const Vec3 a1{dx / len, dy / len, 0};
    if (dx > 0) return {a1, Vec3{-a1.y, a1.x, 0}, Vec3{0, 0, 1}};
    return {a1, Vec3{a1.y, -a1.x, 0}, Vec3{0, 0, -1}};
}

// Is strip point (x, y) gathered: right of the directed cut or on it for side non-zero,
// strictly left for side zero, once an axis-parallel cut has been turned to run in the axis'
// positive sense (which inverts the side, and so moves the nodes on the line).
bool inGatheredPart(Cut c, double x, double y) {
    const bool vertical = std::fabs(c.ex - c.sx) < 1e-9, horizontal = std::fabs(c.ey - c.sy) < 1e-9;
    if ((vertical && c.sy > c.ey) || (horizontal && c.sx > c.ex)) {
        std::swap(c.sx, c.ex);
        std::swap(c.sy, c.ey);
        c.side = c.side != 0 ? 0 : 1;
    }
    const double cz = (c.ex - c.sx) * (y - c.sy) - (c.ey - c.sy) * (x - c.sx);
    return c.side != 0 ? cz <= 0.0 : cz > 0.0;
}

Six inCutAxes(const Wrench& w, const std::array<Vec3, 3>& axes) {
    return {Dot(axes[0], w.force),  Dot(axes[1], w.force),  Dot(axes[2], w.force),
            Dot(axes[0], w.moment), Dot(axes[1], w.moment), Dot(axes[2], w.moment)};
}

Six flat(const Wrench& w) { return {w.force.x, w.force.y, w.force.z, w.moment.x, w.moment.y, w.moment.z}; }

void expectValues(const Six& got, const Six& want, double scale, const std::string& what) {
    static const char* names[] = {"F1", "F2", "F3", "M1", "M2", "M3"};
    for (int i = 0; i < 6; ++i)
        // Sums of a few dozen nodal terms of size ~scale: rounding stays far below 1e-9 of it.
        EXPECT_NEAR(got[i], want[i], 1e-9 * scale) << what << " " << names[i];
}

// One call of the driver; zeros when it fails (the failure itself is reported).
Six run(Strip& strip, CCrossSectionForcesPost& calc, std::int32_t lc, const Cut& c, bool globalAxes = false,
        CVertex* momentPoint = nullptr) {
    CVertex a = strip.GlobalVertex(c.sx, c.sy), b = strip.GlobalVertex(c.ex, c.ey);
    std::vector<double> F1, F2, F3, M1, M2, M3;
    const std::int32_t rc = calc.GetForcesOnSection(lc, &a, &b, F1, F2, F3, M1, M2, M3, c.side, globalAxes,
                                                    momentPoint == nullptr, momentPoint);
    EXPECT_EQ(rc, 1) << c.name << " status " << calc.GetCurrentStatus();
    if (rc != 1) return {};
    return {F1.at(0), F2.at(0), F3.at(0), M1.at(0), M2.at(0), M3.at(0)};
}

class Statics : public ::testing::Test {
protected:
    Statics() : strip(TiltedStrip()) { strip.AddStaticCase(1, combined); }

    // What the gathered part carries: the tip part, or the root part, which balances it.
    Wrench expectedWrench(const TipLoad& load, const Cut& c, double mx, double my) const {
        const Wrench tip = strip.TipPartWrench(load, mx, my);
        return inGatheredPart(c, strip.Shape().length, 0.0) ? tip : -tip;
    }

    // axial, shear (tip pushed down), out-of-plane and a tie: every component of the answer is
    // non-zero for some cut, so a lost sign or a swapped axis shows.
    TipLoad combined{3.0, -5.0, 2.0, 1.5};
    Strip strip;
    const double scale = 60.0;  // |largest moment| for the combined load
};

const Cut kCrossingCuts[] = {
    {"vertical up, right", 3.3, -1.5, 3.3, 1.5, 1},
    {"vertical up, left", 3.3, -1.5, 3.3, 1.5, 0},
    {"vertical down, side 0", 7.6, 1.5, 7.6, -1.5, 0},
    {"vertical down, side 1", 7.6, 1.5, 7.6, -1.5, 1},
    {"vertical through a node line, right", 3.0, -1.2, 3.0, 1.4, 1},
    {"vertical through a node line, left", 3.0, -1.2, 3.0, 1.4, 0},
    {"inclined rising, right", 4.1, -1.5, 6.2, 1.5, 1},
    {"inclined rising, left", 4.1, -1.5, 6.2, 1.5, 0},
    {"inclined rising given backwards, right", 6.2, 1.5, 4.1, -1.5, 1},
    {"inclined rising given backwards, left", 6.2, 1.5, 4.1, -1.5, 0},
    {"inclined falling, right", 4.2, 1.4, 6.3, -1.3, 1},
    {"inclined falling given backwards, left", 6.3, -1.3, 4.2, 1.4, 0},
    {"steep, off-centre midpoint", 8.45, -1.1, 8.95, 1.9, 1},
};

}  // namespace

TEST_F(Statics, CrossingCutsGiveTheFreeBodyResultantAboutTheMidpoint) {
    CCrossSectionForcesPost calc = strip.Calculator();
    ASSERT_EQ(calc.GetCurrentStatus(), CS_SUCCESS);
    for (const Cut& c : kCrossingCuts) {
        const double mx = (c.sx + c.ex) / 2, my = (c.sy + c.ey) / 2;
        const auto axes = cutAxes(c);
        const Six want = inCutAxes(expectedWrench(combined, c, mx, my), axes);
        expectValues(run(strip, calc, 1, c), want, scale, c.name);
        // The model's own nodal equilibrium gives the same free body: a check on the builder.
        const Wrench fromNodes =
            strip.FreeBody(1, [&](double x, double y) { return inGatheredPart(c, x, y); }, mx, my);
        expectValues(inCutAxes(fromNodes, axes), want, scale, std::string(c.name) + " (builder)");
    }
}

TEST(StaticsShear, PureShearMatchesTheBeamFormula) {
    // The textbook answer, independent of the helpers above: for an upward vertical cut at x with
    // side 1 the tip part is gathered, its shear -P runs along cut axis 1 (+y') and its moment is
    // -P (L - x).
    Strip strip(TiltedStrip());
    strip.AddStaticCase(1, TipLoad{0.0, -1.0, 0.0, 0.0});
    CCrossSectionForcesPost calc = strip.Calculator();
    const Cut c{"x = 3.3", 3.3, -1.5, 3.3, 1.5, 1};
    expectValues(run(strip, calc, 1, c), {-1.0, 0.0, 0.0, 0.0, 0.0, -(10.0 - 3.3)}, 10.0, c.name);
}

TEST(StaticsFlat, LengthwiseCutsAndNodesOnTheCutGoWithSideOne) {
    // Lengthwise cuts split the clamped and loaded faces, so their free body is the sum of the
    // nodal loads on the gathered nodes, from the builder's node equilibrium. In the global
    // xy-plane the plane coordinates are exact, so nodes on the cut really have a zero signed
    // area; along the node row y = 0 the root and tip nodes carry end loads, so the answer shows
    // whether they were taken.
    Strip strip{StripShape{}};
    strip.AddStaticCase(1, TipLoad{3.0, -5.0, 2.0, 1.5});
    CCrossSectionForcesPost calc = strip.Calculator();
    const Cut cuts[] = {
        {"along a node row, right", -1.0, 0.0, 11.0, 0.0, 1},
        {"along a node row, left", -1.0, 0.0, 11.0, 0.0, 0},
        {"along a node row backwards, right", 11.0, 0.0, -1.0, 0.0, 1},
        {"along a node row backwards, left", 11.0, 0.0, -1.0, 0.0, 0},
        {"along a node column, right", 3.0, -1.2, 3.0, 1.4, 1},
        {"along a node column, left", 3.0, -1.2, 3.0, 1.4, 0},
        {"horizontal rightward, below", -1.0, 0.37, 11.0, 0.37, 1},
        {"horizontal rightward, above", -1.0, 0.37, 11.0, 0.37, 0},
        {"horizontal leftward, side 0 (below)", 11.0, -0.2, -1.0, -0.2, 0},
        {"horizontal leftward, side 1 (above)", 11.0, -0.2, -1.0, -0.2, 1},
    };
    for (const Cut& c : cuts) {
        const double mx = (c.sx + c.ex) / 2, my = (c.sy + c.ey) / 2;
        const Wrench want = strip.FreeBody(1, [&](double x, double y) { return inGatheredPart(c, x, y); }, mx, my);
        ASSERT_GT(Norm(want.moment), 1.0) << c.name << ": the free body must carry something";
        expectValues(run(strip, calc, 1, c), inCutAxes(want, cutAxes(c)), 60.0, c.name);
    }
    // The row's end nodes decide: taking them or not moves the answer by their end loads.
    const Wrench withLine = strip.FreeBody(1, [&](double x, double y) { return inGatheredPart(cuts[0], x, y); }, 5, 0);
    const Wrench offLine = strip.FreeBody(1, [](double, double y) { return y < 0.0; }, 5, 0);
    EXPECT_GT(Norm(withLine.moment - offLine.moment), 1.0);
}

TEST_F(Statics, ExplicitMomentPointGlobalAxesAndTheCutAxesHandedOut) {
    CCrossSectionForcesPost calc = strip.Calculator();
    const Cut c{"inclined falling", 4.2, 1.4, 6.3, -1.3, 1};
    CVertex point = strip.GlobalVertex(7.0, 0.6);
    expectValues(run(strip, calc, 1, c, false, &point), inCutAxes(expectedWrench(combined, c, 7.0, 0.6), cutAxes(c)),
                 scale, "about (7, 0.6)");
    // The moment point comes back in plane coordinates; the plane origin is strip (0, -1).
    EXPECT_NEAR(point.x, 7.0, 1e-12 * 10);
    EXPECT_NEAR(point.y, 1.6, 1e-12 * 10);
    EXPECT_NEAR(point.z, 0.0, 1e-12 * 10);

    const Wrench global = strip.GlobalWrench(expectedWrench(combined, c, 5.25, 0.05));
    expectValues(run(strip, calc, 1, c, true), flat(global), scale, "global axes");

    CVertex a1, a2, a3;
    calc.GetCrossSectionMap(a1, a2, a3);
    const auto axes = cutAxes(c);
    const CVertex* got[] = {&a1, &a2, &a3};
    for (int i = 0; i < 3; ++i) {
        const Vec3 want = strip.GlobalVector(axes[i]);
        expectValues({got[i]->x, got[i]->y, got[i]->z}, {want.x, want.y, want.z}, 1e-3, "cut axis");
    }
}

TEST_F(Statics, APlaneFoundFromTheModelGivesTheSameGlobalResultant) {
    // Whatever origin and in-plane axes the model's own plane has, global resultants do not
    // change; only left and right swap when its normal opposes the strip's.
    CCrossSectionForcesPost calc = strip.CalculatorWithOwnPlane();
    ASSERT_EQ(calc.GetCurrentStatus(), CS_SUCCESS);
    CVertex xAxis, yAxis, normal;
    calc.GetPlaneMap(xAxis, yAxis, normal);
    const bool sameSense = Dot({normal.x, normal.y, normal.z}, strip.Normal()) > 0;
    for (const Cut& c : kCrossingCuts) {
        Cut asSeen = c;
        if (!sameSense) asSeen.side = c.side != 0 ? 0 : 1;
        const double mx = (c.sx + c.ex) / 2, my = (c.sy + c.ey) / 2;
        expectValues(run(strip, calc, 1, c, true), flat(strip.GlobalWrench(expectedWrench(combined, asSeen, mx, my))),
                     scale, c.name);
    }
}

// Response spectrum: three modes, each a scaled static state of its own, under every rule. The
// rules' arithmetic has its own tests; here the modal free bodies must reach it intact.
TEST(StaticsSpectrum, EveryRuleCombinesTheModalFreeBodies) {
    const TipLoad kModes[] = {{1.0, -2.0, 0.5, 0.3}, {-0.4, 1.5, 1.2, -0.2}, {0.7, 0.25, -0.9, 0.5}};
    Strip strip(TiltedStrip());
    for (int k = 0; k < 3; ++k) strip.AddSpectrumMode(7, k + 1, kModes[k]);
    double rho[9] = {1.0, 0.3, 0.1, 0.3, 1.0, 0.2, 0.1, 0.2, 1.0};
    double freq[3] = {1.0, 1.05, 2.0};  // modes 1 and 2 are close, 3 is apart
    struct Rule {
        const char* name;
        std::int32_t method;
        bool applySign = false;
        std::int32_t signMethod = 0, signMode = 0;
    } rules[] = {
        {"SUM", RSP_COMBINE_SUM},
        {"SRSS", RSP_COMBINE_SRSS},
        {"ABS", RSP_COMBINE_ABS},
        {"CQC", RSP_COMBINE_CQC},
        {"CLOSE", RSP_COMBINE_CLOSE_MODES},
        {"SRSS signed by sum", RSP_COMBINE_SRSS, true, RSP_SIGN_FROM_SUM, 0},
        {"CQC signed by mode 2", RSP_COMBINE_CQC, true, RSP_SIGN_FROM_MODE, 2},
        {"CLOSE signed by mode 3", RSP_COMBINE_CLOSE_MODES, true, RSP_SIGN_FROM_MODE, 3},
    };
    const Cut cuts[] = {
        {"vertical down", 7.6, 1.5, 7.6, -1.5, 0},
        {"inclined backwards", 6.2, 1.5, 4.1, -1.5, 1},
    };
    int negativeSeen = 0;
    for (const Rule& rule : rules) {
        CLoadCaseInfo& info = strip.loadCases[7];
        info.combinationMethod = rule.method;
        info.applySign = rule.applySign;
        info.signMethod = rule.signMethod;
        info.signMode = rule.signMode;
        info.crossModalCoefficients = rho;
        info.modeFrequencies = freq;
        CCrossSectionForcesPost calc = strip.Calculator();
        for (const Cut& c : cuts) {
            const double mx = (c.sx + c.ex) / 2, my = (c.sy + c.ey) / 2;
            std::array<std::vector<double>, 6> modal;
            for (const TipLoad& mode : kModes) {
                const Wrench tip = strip.TipPartWrench(mode, mx, my);
                const Six v = inCutAxes(inGatheredPart(c, 10.0, 0.0) ? tip : -tip, cutAxes(c));
                for (int i = 0; i < 6; ++i) modal[i].push_back(v[i]);
            }
            Six want;
            for (int i = 0; i < 6; ++i) want[i] = CCrossSectionForcesPost::ComputeRSPCombination(&info, modal[i]);
            negativeSeen += static_cast<int>(std::count_if(want.begin(), want.end(), [](double v) { return v < 0; }));
            const std::string what = std::string(rule.name) + ", " + c.name;
            const Six got = run(strip, calc, 7, c);
            expectValues(got, want, 20.0, what);
            // Combined values stay in the cut's axes: asking for global axes changes nothing.
            EXPECT_EQ(run(strip, calc, 7, c, true), got) << what;
            if (rule.method == RSP_COMBINE_CQC) continue;  // its coefficients hold three modes only
            // A mode count far above the filed modes neither changes the answer nor costs in proportion.
            info.modeCount = std::numeric_limits<std::int32_t>::max();
            CCrossSectionForcesPost huge = strip.Calculator();
            EXPECT_EQ(run(strip, huge, 7, c), got) << what;
            info.modeCount = 3;
        }
    }
    EXPECT_GT(negativeSeen, 0) << "the sign options were never exercised";
}
