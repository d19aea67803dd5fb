// End to end: a cantilever strip in a tilted plane, loaded at its tip through an exact
// equilibrium field, cut in every direction; each answer is the free body's resultant.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "support/forces_access.h"
#include "support/strip_model.h"

using namespace xsect;
using namespace xsect::strip_model;

namespace {

struct Cut {
    const char* name;
    double sx, sy, ex, ey;  // strip coordinates
    std::int32_t side;
};

struct Outputs {
    std::vector<double> F1, F2, F3, M1, M2, M3;
    std::array<double, 6> Values() const { return {F1.at(0), F2.at(0), F3.at(0), M1.at(0), M2.at(0), M3.at(0)}; }
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

std::array<double, 6> inCutAxes(const Wrench& w, const std::array<Vec3, 3>& axes) {
    return {Dot(axes[0], w.force),  Dot(axes[1], w.force),  Dot(axes[2], w.force),
            Dot(axes[0], w.moment), Dot(axes[1], w.moment), Dot(axes[2], w.moment)};
}

void expectValues(const std::array<double, 6>& got, const std::array<double, 6>& want, double scale,
                  const std::string& what) {
    static const char* names[] = {"F1", "F2", "F3", "M1", "M2", "M3"};
    for (int i = 0; i < 6; ++i)
        // Sums of a few dozen nodal terms of size ~scale: rounding stays far below 1e-9 of it.
        EXPECT_NEAR(got[i], want[i], 1e-9 * scale) << what << " " << names[i];
}

class Statics : public ::testing::Test {
protected:
    Statics() : strip(TiltedStrip()) {
        strip.AddStaticCase(1, combined);
        strip.AddStaticCase(2, pureShear);
    }

    Outputs run(CCrossSectionForcesPost& calc, std::int32_t lc, const Cut& c, bool globalAxes = false,
                CVertex* momentPoint = nullptr) {
        CVertex a = strip.GlobalVertex(c.sx, c.sy);
        CVertex b = strip.GlobalVertex(c.ex, c.ey);
        Outputs o;
        const std::int32_t rc = calc.GetForcesOnSection(lc, &a, &b, o.F1, o.F2, o.F3, o.M1, o.M2, o.M3, c.side,
                                                        globalAxes, momentPoint == nullptr, momentPoint);
        EXPECT_EQ(rc, 1) << c.name << " status " << calc.GetCurrentStatus();
        if (rc != 1) o.F1 = o.F2 = o.F3 = o.M1 = o.M2 = o.M3 = {0.0};
        return o;
    }

    // What the gathered part carries: the tip part, or the root part, which balances it.
    Wrench expectedWrench(const TipLoad& load, const Cut& c, double mx, double my) const {
        const Wrench tip = strip.TipPartWrench(load, mx, my);
        return inGatheredPart(c, strip.Spec().length, 0.0) ? tip : -tip;
    }

    // axial, shear (tip pushed down), out-of-plane and a tie: every component of the answer is
    // non-zero for some cut, so a lost sign or a swapped axis shows.
    TipLoad combined{3.0, -5.0, 2.0, 1.5};
    TipLoad pureShear{0.0, -1.0, 0.0, 0.0};
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

TEST(StripModel, EveryElementIsInEquilibrium) {
    Strip strip(TiltedStrip());
    const TipLoad load{3.0, -5.0, 2.0, 0.0};
    for (const auto& [number, shell] : strip.shells) {
        Wrench sum;
        for (const auto& [node, w] : strip.ElementLoads(number, load)) {
            const auto& [x, y] = strip.stripXY.at(node);
            sum.force = sum.force + w.force;
            sum.moment = sum.moment + w.moment + Cross({x, y, 0}, w.force);
        }
        EXPECT_LT(Norm(sum.force), 1e-12 * 60) << "shell " << number;
        EXPECT_LT(Norm(sum.moment), 1e-12 * 600) << "shell " << number;
    }
}

TEST_F(Statics, CrossingCutsGiveTheFreeBodyResultantAboutTheMidpoint) {
    CCrossSectionForcesPost calc = strip.Calculator();
    ASSERT_EQ(calc.GetCurrentStatus(), CS_SUCCESS);
    for (const Cut& c : kCrossingCuts) {
        const double mx = (c.sx + c.ex) / 2, my = (c.sy + c.ey) / 2;
        const auto axes = cutAxes(c);
        expectValues(run(calc, 1, c).Values(), inCutAxes(expectedWrench(combined, c, mx, my), axes), scale,
                     c.name);
        expectValues(run(calc, 2, c).Values(), inCutAxes(expectedWrench(pureShear, c, mx, my), axes), 10.0,
                     std::string(c.name) + " (pure shear)");
        // The model's own nodal equilibrium gives the same free body: a check on the builder.
        const Wrench fromNodes =
            strip.FreeBody(1, [&](double x, double y) { return inGatheredPart(c, x, y); }, mx, my);
        expectValues(inCutAxes(fromNodes, axes), inCutAxes(expectedWrench(combined, c, mx, my), axes), scale,
                     std::string(c.name) + " (builder)");
    }
}

TEST_F(Statics, PureShearMatchesTheBeamFormula) {
    // The textbook answer, written out: for an upward vertical cut at x with side 1 the tip part
    // is gathered, its shear -P runs along cut axis 1 (+y') and its moment is -P (L - x).
    CCrossSectionForcesPost calc = strip.Calculator();
    const Cut c{"x = 3.3", 3.3, -1.5, 3.3, 1.5, 1};
    expectValues(run(calc, 2, c).Values(), {-1.0, 0.0, 0.0, 0.0, 0.0, -(10.0 - 3.3)}, 10.0, c.name);
}

TEST_F(Statics, BothSidesOfACutAreEqualAndOpposite) {
    CCrossSectionForcesPost calc = strip.Calculator();
    for (const Cut& c : kCrossingCuts) {
        Cut other = c;
        other.side = c.side != 0 ? 0 : 1;
        const auto one = run(calc, 1, c).Values();
        const auto two = run(calc, 1, other).Values();
        for (int i = 0; i < 6; ++i) EXPECT_NEAR(one[i], -two[i], 1e-9 * scale) << c.name << " component " << i;
    }
}

TEST_F(Statics, HorizontalCutsGiveTheFreeBodyOfTheirNodes) {
    // A lengthwise cut splits the clamped and the loaded faces, so its free body is the sum of the
    // lumped end loads on its own nodes, which the builder's node equilibrium provides.
    CCrossSectionForcesPost calc = strip.Calculator();
    const Cut cuts[] = {
        {"horizontal rightward, below", -1.0, 0.37, 11.0, 0.37, 1},
        {"horizontal rightward, above", -1.0, 0.37, 11.0, 0.37, 0},
        {"horizontal leftward, side 0 (below)", 11.0, -0.2, -1.0, -0.2, 0},
        {"horizontal leftward, side 1 (above)", 11.0, -0.2, -1.0, -0.2, 1},
    };
    for (const Cut& c : cuts) {
        const double mx = (c.sx + c.ex) / 2, my = (c.sy + c.ey) / 2;
        const Wrench want = strip.FreeBody(1, [&](double x, double y) { return inGatheredPart(c, x, y); }, mx, my);
        ASSERT_GT(Norm(want.moment), 1.0) << c.name << ": the free body must carry something";
        expectValues(run(calc, 1, c).Values(), inCutAxes(want, cutAxes(c)), scale, c.name);
    }
}

TEST(StaticsFlat, NodesOnTheCutGoWithSideOne) {
    // In the global xy-plane the plane coordinates are exact, so nodes on the cut really have a
    // zero signed area. Along the node row y = 0 the root and tip nodes on the line carry end
    // loads, so the answer shows whether they were taken.
    Strip strip{StripSpec{}};
    strip.AddStaticCase(1, TipLoad{3.0, -5.0, 2.0, 1.5});
    CCrossSectionForcesPost calc = strip.Calculator();
    const Cut cuts[] = {
        {"along a node row, right", -1.0, 0.0, 11.0, 0.0, 1},
        {"along a node row, left", -1.0, 0.0, 11.0, 0.0, 0},
        {"along a node row backwards, right", 11.0, 0.0, -1.0, 0.0, 1},
        {"along a node row backwards, left", 11.0, 0.0, -1.0, 0.0, 0},
        {"along a node column, right", 3.0, -1.2, 3.0, 1.4, 1},
        {"along a node column, left", 3.0, -1.2, 3.0, 1.4, 0},
    };
    for (const Cut& c : cuts) {
        const double mx = (c.sx + c.ex) / 2, my = (c.sy + c.ey) / 2;
        const Wrench want = strip.FreeBody(1, [&](double x, double y) { return inGatheredPart(c, x, y); }, mx, my);
        CVertex a = strip.GlobalVertex(c.sx, c.sy), b = strip.GlobalVertex(c.ex, c.ey);
        Outputs o;
        ASSERT_EQ(calc.GetForcesOnSection(1, &a, &b, o.F1, o.F2, o.F3, o.M1, o.M2, o.M3, c.side, false, true, nullptr),
                  1);
        expectValues(o.Values(), inCutAxes(want, cutAxes(c)), 60.0, c.name);
    }
    // The row's end nodes decide: taking them or not moves the answer by their end loads.
    const Cut right = cuts[0];
    const Wrench withLine = strip.FreeBody(1, [&](double x, double y) { return inGatheredPart(right, x, y); }, 5, 0);
    const Wrench offLine = strip.FreeBody(1, [](double, double y) { return y < 0.0; }, 5, 0);
    EXPECT_GT(Norm(withLine.moment - offLine.moment), 1.0);
}

TEST_F(Statics, ExplicitMomentPointAndGlobalAxes) {
    CCrossSectionForcesPost calc = strip.Calculator();
    const Cut c{"inclined", 4.1, -1.5, 6.2, 1.5, 1};

    CVertex point = strip.GlobalVertex(7.0, 0.6);
    const auto got = run(calc, 1, c, false, &point).Values();
    expectValues(got, inCutAxes(expectedWrench(combined, c, 7.0, 0.6), cutAxes(c)), scale, "about (7, 0.6)");
    // The moment point comes back in plane coordinates; the plane origin is strip (0, -1).
    EXPECT_NEAR(point.x, 7.0, 1e-12 * 10);
    EXPECT_NEAR(point.y, 1.6, 1e-12 * 10);
    EXPECT_NEAR(point.z, 0.0, 1e-12 * 10);

    const Wrench global = strip.GlobalWrench(expectedWrench(combined, c, 5.15, 0.0));
    const auto inGlobal = run(calc, 1, c, true).Values();
    expectValues(inGlobal,
                 {global.force.x, global.force.y, global.force.z, global.moment.x, global.moment.y,
                  global.moment.z},
                 scale, "global axes");
}

TEST_F(Statics, CutAxesAreHandedOutInGlobalCoordinates) {
    CCrossSectionForcesPost calc = strip.Calculator();
    const Cut c{"inclined falling", 4.2, 1.4, 6.3, -1.3, 1};
    run(calc, 1, c);
    CVertex a1, a2, a3;
    calc.GetCrossSectionMap(a1, a2, a3);
    const auto axes = cutAxes(c);
    const CVertex* got[] = {&a1, &a2, &a3};
    for (int i = 0; i < 3; ++i) {
        const Vec3 want = strip.GlobalVector(axes[i]);
        EXPECT_NEAR(got[i]->x, want.x, 1e-12) << "axis " << i + 1;
        EXPECT_NEAR(got[i]->y, want.y, 1e-12) << "axis " << i + 1;
        EXPECT_NEAR(got[i]->z, want.z, 1e-12) << "axis " << i + 1;
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
        const Wrench global = strip.GlobalWrench(expectedWrench(combined, asSeen, mx, my));
        expectValues(run(calc, 1, c, true).Values(),
                     {global.force.x, global.force.y, global.force.z, global.moment.x, global.moment.y,
                      global.moment.z},
                     scale, c.name);
    }
}

// Response spectrum: three modes, each a scaled static state of its own, under every rule.
namespace {

const TipLoad kModes[] = {
    {1.0, -2.0, 0.5, 0.3},
    {-0.4, 1.5, 1.2, -0.2},
    {0.7, 0.25, -0.9, 0.5},
};

double combine(const CLoadCaseInfo& lc, const std::vector<double>& r) {
    const std::size_t n = r.size();
    double s = 0.0;
    switch (lc.combinationMethod) {
    case RSP_COMBINE_SUM:
        for (double v : r) s += v;
        break;
    case RSP_COMBINE_SRSS:
        for (double v : r) s += v * v;
        s = std::sqrt(s);
        break;
    case RSP_COMBINE_ABS:
        for (double v : r) s += std::fabs(v);
        break;
    case RSP_COMBINE_CQC:
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = 0; j < n; ++j) s += r[i] * lc.crossModalCoefficients[i * n + j] * r[j];
        s = std::sqrt(s);
        break;
    case RSP_COMBINE_CLOSE_MODES:
        for (double v : r) s += v * v;
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = i + 1; j < n; ++j)
                if ((lc.modeFrequencies[j] - lc.modeFrequencies[i]) / lc.modeFrequencies[i] < 0.1)
                    s += 2.0 * std::fabs(r[i] * r[j]);
        s = std::sqrt(s);
        break;
    }
    if (lc.applySign) {
        if (lc.signMethod == RSP_SIGN_FROM_SUM) {
            double w = 0.0;
            for (double v : r) w += std::fabs(v) * v;
            if (w < 0) s = -s;
        } else if (r[lc.signMode - 1] < 0) {
            s = -s;
        }
    }
    return s;
}

}  // namespace

TEST(StaticsSpectrum, EveryRuleCombinesTheModalFreeBodies) {
    Strip strip(TiltedStrip());
    for (int k = 0; k < 3; ++k) strip.AddSpectrumMode(7, k + 1, kModes[k]);

    double rho[9] = {1.0, 0.3, 0.1, 0.3, 1.0, 0.2, 0.1, 0.2, 1.0};
    double freq[3] = {1.0, 1.05, 2.0};  // modes 1 and 2 are close, 3 is apart
    struct Rule {
        const char* name;
        std::int32_t method;
        bool applySign;
        std::int32_t signMethod;
        std::int32_t signMode;
    } rules[] = {
        {"SUM", RSP_COMBINE_SUM, false, 0, 0},
        {"SRSS", RSP_COMBINE_SRSS, false, 0, 0},
        {"ABS", RSP_COMBINE_ABS, false, 0, 0},
        {"CQC", RSP_COMBINE_CQC, false, 0, 0},
        {"CLOSE", RSP_COMBINE_CLOSE_MODES, false, 0, 0},
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
            const auto axes = cutAxes(c);
            std::array<std::vector<double>, 6> modal;
            for (const TipLoad& mode : kModes) {
                const Wrench tip = strip.TipPartWrench(mode, mx, my);
                const auto v = inCutAxes(inGatheredPart(c, 10.0, 0.0) ? tip : -tip, axes);
                for (int i = 0; i < 6; ++i) modal[i].push_back(v[i]);
            }
            std::array<double, 6> want;
            for (int i = 0; i < 6; ++i) want[i] = combine(info, modal[i]);
            negativeSeen += static_cast<int>(std::count_if(want.begin(), want.end(), [](double v) { return v < 0; }));

            CVertex a = strip.GlobalVertex(c.sx, c.sy), b = strip.GlobalVertex(c.ex, c.ey);
            Outputs o;
            ASSERT_EQ(calc.GetForcesOnSection(7, &a, &b, o.F1, o.F2, o.F3, o.M1, o.M2, o.M3, c.side, false, true,
                                              nullptr),
                      1);
            expectValues(o.Values(), want, 20.0, std::string(rule.name) + ", " + c.name);

            // Combined values stay in the cut's axes: asking for global axes changes nothing.
            CVertex a2 = strip.GlobalVertex(c.sx, c.sy), b2 = strip.GlobalVertex(c.ex, c.ey);
            Outputs g;
            ASSERT_EQ(calc.GetForcesOnSection(7, &a2, &b2, g.F1, g.F2, g.F3, g.M1, g.M2, g.M3, c.side, true, true,
                                              nullptr),
                      1);
            EXPECT_EQ(g.Values(), o.Values()) << rule.name << ", " << c.name;
        }
    }
    EXPECT_GT(negativeSeen, 0) << "the sign options were never exercised";
}
