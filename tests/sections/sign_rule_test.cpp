// The sign rule on the tilted cantilever strip, whose element forces come from an exact equilibrium
// state: every section value is known from statics, whichever way the cut is drawn.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "sections/section_checks.h"

using namespace xsect;
using namespace xsect::section_checks;
using strip_model::TipLoad;

namespace {

// Each component is non-zero for some cut, so a lost sign or a swapped axis shows.
const TipLoad kCombined{3.0, -5.0, 2.0, 1.5};
const TipLoad kTension{4.0, 0.0, 0.0, 0.0};
const double kScale = 60.0;  // the largest moment of the combined load

struct DrawnCut {
    const char* name;
    double sx, sy, ex, ey;  // strip coordinates; the strip spans y in [-1, 1]
};

const DrawnCut kCuts[] = {
    {"across, upwards", 3.3, -1.5, 3.3, 1.5},
    {"across, downwards", 3.3, 1.5, 3.3, -1.5},
    {"inclined", 4.1, -1.5, 6.2, 1.5},
    {"inclined, backwards", 6.2, 1.5, 4.1, -1.5},
    {"along a node column", 3.0, -1.2, 3.0, 1.4},
    {"drawn far past an edge", 7.6, -1.1, 7.6, 3.0},
    {"steep", 8.45, -1.1, 8.95, 1.9},
};

Strip loadedStrip() {
    Strip s(strip_model::TiltedStrip());
    s.AddStaticCase(1, kCombined);
    s.AddStaticCase(2, kTension);
    return s;
}

SectionTable cutAll(const Strip& s, const SectionCutter& cutter, const std::vector<ResultRequest>& requests = {}) {
    std::vector<std::pair<CVertex, CVertex>> cuts;
    for (const DrawnCut& c : kCuts) cuts.push_back(StripCut(s, c.sx, c.sy, c.ex, c.ey));
    SectionTable table = cutter.Cut(cuts, requests);
    EXPECT_EQ(table.error, "");
    EXPECT_EQ(table.sections.size(), std::size(kCuts));
    return table;
}

}  // namespace

TEST(SectionSignRule, EveryCutGivesTheStaticsAboutTheCentreOfItsCoveredPart) {
    Strip strip = loadedStrip();
    CCrossSectionForcesPost calc = strip.Calculator();
    const SectionTable table = cutAll(strip, SectionCutter(calc));
    for (std::size_t i = 0; i < table.sections.size(); ++i) {
        const SectionResult& r = table.sections[i];
        ASSERT_EQ(r.status, CS_SUCCESS) << kCuts[i].name;
        ExpectValues(Six(r.values[0].max), Statics(strip, kCombined, r), kScale, kCuts[i].name);
        EXPECT_EQ(Six(r.values[0].max), Six(r.values[0].min)) << "a static case has no range";
        // The moment point lies on the strip's centre line however far the cut overhangs.
        const auto [cx, cy] = StripXY(strip, r.centroid);
        const auto& c = kCuts[i];
        EXPECT_NEAR(cy, 0.0, 1e-12 * 10) << c.name;
        EXPECT_NEAR(r.coveredLength, 2.0 * std::hypot(c.ex - c.sx, c.ey - c.sy) / std::fabs(c.ey - c.sy), 1e-12 * 10)
            << c.name;
        EXPECT_FALSE(r.endsInside) << c.name;
        // A strip in tension shows N > 0 whichever way it is cut and drawn.
        EXPECT_GT(r.values[1].max.N, 1.0) << c.name;
    }
}

TEST(SectionSignRule, ReversingACutTurnsOnlyVkAndMk) {
    Strip strip = loadedStrip();
    CCrossSectionForcesPost calc = strip.Calculator();
    const SectionTable table = cutAll(strip, SectionCutter(calc));
    const double turned[6] = {1, 1, -1, 1, 1, -1};
    for (std::size_t pair : {0u, 2u}) {
        const Values forward = Six(table.sections[pair].values[0].max);
        const Values backward = Six(table.sections[pair + 1].values[0].max);
        for (int i = 0; i < 6; ++i) {
            EXPECT_NEAR(backward[i], turned[i] * forward[i], 1e-9 * kScale) << kCuts[pair].name << " " << i;
            if (i != 3) {
                EXPECT_GT(std::fabs(forward[i]), 1.0) << "component " << i << " must be tested";
            }
        }
    }
}

TEST(SectionSignRule, NoSignChangesForSmallMovesNodeOrderOrPlaneNodeOrder) {
    Strip strip = loadedStrip();
    CCrossSectionForcesPost calc = strip.Calculator();
    const SectionTable base = cutAll(strip, SectionCutter(calc));

    // Ends nudged by 2 mm or tilted by less than an element: a cut that leaves the axis' direction
    // keeps every sign.
    const std::vector<std::pair<CVertex, CVertex>> moved = {StripCut(strip, 3.302, -1.5, 3.3, 1.5),
                                                            StripCut(strip, 3.0, -1.5, 3.6, 1.5)};
    const SectionTable nudged = SectionCutter(calc).Cut(moved, {});
    const Values reference = Six(base.sections[0].values[0].max);
    for (const SectionResult& r : nudged.sections)
        for (int i = 0; i < 6; ++i)
            if (std::fabs(reference[i]) > 1e-3 * kScale) {
                EXPECT_EQ(std::signbit(Six(r.values[0].max)[i]), std::signbit(reference[i])) << i;
            }

    // Shells listed the other way round, with the named plane or the model's own; the plane's nodes
    // given in the other order (its normal turns round): the same values.
    Strip reversed = loadedStrip();
    for (auto& [number, shell] : reversed.shells) std::reverse(shell.nodes.begin(), shell.nodes.end());
    CCrossSectionForcesPost others[] = {
        reversed.Calculator(), reversed.CalculatorWithOwnPlane(), strip.CalculatorWithOwnPlane(),
        CCrossSectionForcesPost(strip.nodes, strip.shells, strip.frames, strip.loadCases, 0.005, strip.NodeAt(0, 0),
                                strip.NodeAt(0, 4), strip.NodeAt(10, 0))};
    for (const CCrossSectionForcesPost& other : others) {
        const SectionTable table = cutAll(strip, SectionCutter(other));
        for (std::size_t i = 0; i < table.sections.size(); ++i)
            ExpectValues(Six(table.sections[i].values[0].max), Six(base.sections[i].values[0].max), kScale,
                         kCuts[i].name);
    }
}

TEST(SectionSignRule, BothFreeBodiesAgreeAndByElementRecordsFlipTheSign) {
    Strip strip = loadedStrip();
    CCrossSectionForcesPost calc = strip.Calculator();
    const SectionTable minus = cutAll(strip, SectionCutter(calc));
    SectionCutter fromPlus(calc);
    fromPlus.SumFromPositiveSide(true);
    const SectionTable plus = cutAll(strip, fromPlus);
    const SectionTable byElement = cutAll(strip, SectionCutter(calc, NodalForceSense::ByElement));
    for (std::size_t i = 0; i < minus.sections.size(); ++i) {
        const Values v = Six(minus.sections[i].values[0].max);
        ExpectValues(Six(plus.sections[i].values[0].max), v, kScale, kCuts[i].name);
        Values flipped = Six(byElement.sections[i].values[0].max);
        for (double& x : flipped) x = -x;
        EXPECT_EQ(flipped, v) << kCuts[i].name;
    }
}

TEST(SectionStations, CantileverDiagramsFollowTheStaticsFromTheRootToTheTip) {
    Strip strip = loadedStrip();
    CCrossSectionForcesPost calc = strip.Calculator();
    const SectionCutter cutter(calc);
    // 11 stations on the node columns, the root's and the tip's included, and 8 between them; the
    // axis drawn off the centre line and past nothing: n is its direction, along the strip.
    for (std::int32_t count : {11, 8}) {
        const SectionTable table =
            cutter.Stations(strip.GlobalVertex(0.0, 0.4), strip.GlobalVertex(10.0, 0.4), count, {{"combined", {{1, 1.0}}}});
        ASSERT_EQ(table.error, "");
        ASSERT_EQ(table.sections.size(), static_cast<std::size_t>(count));
        for (std::int32_t i = 0; i < count; ++i) {
            const SectionResult& r = table.sections[static_cast<std::size_t>(i)];
            const double x = 10.0 * i / (count - 1);
            ASSERT_EQ(r.status, CS_SUCCESS) << x;
            EXPECT_NEAR(r.position, x, 1e-12 * 10);
            EXPECT_NEAR(StripXY(strip, r.centroid).first, x, 1e-9 * 10);
            EXPECT_NEAR(strip_model::Dot(V(r.n), strip.Shape().e1), 1.0, 1e-12);
            // Nodes on a station count on its -n side: the root station carries the reaction, the
            // tip station what is left past the tip, nothing.
            ExpectValues(Six(r.values[0].max), Statics(strip, kCombined, r, i == count - 1), kScale,
                         "station at x = " + std::to_string(x));
        }
    }
}
