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

// In pairs: each cut, then the same cut drawn the other way.
const DrawnCut kCuts[] = {
    {"across, upwards", 3.3, -1.5, 3.3, 1.5},    {"across, downwards", 3.3, 1.5, 3.3, -1.5},
    {"inclined", 4.1, -1.5, 6.2, 1.5},           {"inclined, backwards", 6.2, 1.5, 4.1, -1.5},
    {"along a node column", 3.0, -1.2, 3.0, 1.4}, {"the same, downwards", 3.0, 1.4, 3.0, -1.2},
    {"far past an edge", 7.6, -1.1, 7.6, 3.0},   {"the same, downwards", 7.6, 3.0, 7.6, -1.1},
};

Strip loadedStrip() {
    Strip s(strip_model::TiltedStrip());
    s.AddStaticCase(1, kCombined);
    s.AddStaticCase(2, kTension);
    return s;
}

std::vector<SectionResult> cutAll(const Strip& s, const SectionCutter& cutter) {
    std::vector<std::pair<CVertex, CVertex>> cuts;
    for (const DrawnCut& c : kCuts) cuts.push_back(StripCut(s, c.sx, c.sy, c.ex, c.ey));
    SectionTable table = cutter.Cut(cuts, {});
    EXPECT_EQ(table.error, "");
    for (const SectionResult& r : table.sections) EXPECT_EQ(r.status, CS_SUCCESS);
    return table.sections;
}

Values firstValue(const SectionResult& r, double factor = 1.0) {
    Values v = Six(r.values.at(0).max);
    for (double& x : v) x *= factor;
    return v;
}

}  // namespace

TEST(SectionSignRule, AnyCutGivesTheStaticsAboutTheCentreOfItsCoveredPartFromEitherSide) {
    Strip strip = loadedStrip();
    CCrossSectionForcesPost calc = strip.Calculator();
    SectionCutter fromPlus(calc);
    fromPlus.SumFromPositiveSide(true);
    const std::vector<SectionResult> minus = cutAll(strip, SectionCutter(calc)), plus = cutAll(strip, fromPlus),
                                     byElement = cutAll(strip, SectionCutter(calc, NodalForceSense::ByElement));
    for (std::size_t i = 0; i < minus.size(); ++i) {
        const SectionResult& r = minus[i];
        const DrawnCut& c = kCuts[i];
        ExpectValues(firstValue(r), Statics(strip, kCombined, r), kScale, c.name);
        EXPECT_EQ(Six(r.values[0].max), Six(r.values[0].min)) << "a static case has no range";
        // A strip in tension shows N > 0 whichever way it is cut and drawn.
        EXPECT_GT(r.values[1].max.N, 1.0) << c.name;
        // The moment point lies on the centre line however far the cut overhangs.
        EXPECT_NEAR(StripXY(strip, r.centroid).second, 0.0, 1e-12 * 10) << c.name;
        EXPECT_NEAR(r.coveredLength, 2.0 * std::hypot(c.ex - c.sx, c.ey - c.sy) / std::fabs(c.ey - c.sy), 1e-12 * 10);
        EXPECT_FALSE(r.endsInside) << c.name;
        // The +n part's free body gives the same; records of the opposite sense flip every value.
        ExpectValues(firstValue(plus[i]), firstValue(r), kScale, std::string(c.name) + " from +n");
        EXPECT_EQ(firstValue(byElement[i], -1.0), firstValue(r)) << c.name;
        // Drawn the other way, exactly Vk and Mk change sign.
        if (i % 2 == 1) {
            const Values forward = firstValue(minus[i - 1]), turned = {1, 1, -1, 1, 1, -1};
            for (int j = 0; j < 6; ++j) EXPECT_NEAR(firstValue(r)[j], turned[j] * forward[j], 1e-9 * kScale) << c.name;
        }
    }
}

// A point's side is the part the values act on or come from: past the tolerance band about the cut's
// line along n it is +1, before it -1, within it 0 (with the -n part); drawing the cut the other way
// turns the side round, and a point off the plane is taken where it projects.
TEST(SectionSideOf, ThePartOfAPointByTheToleranceBandAboutTheCut) {
    Strip strip = loadedStrip();
    CCrossSectionForcesPost calc = strip.Calculator();
    const SectionCutter cutter(calc);
    const double tol = 0.005;
    for (const SectionResult& r : cutAll(strip, cutter)) {
        const struct { double past; std::int32_t side; } probes[] = {{-2.0, -1}, {-0.5, 0}, {0.0, 0}, {0.5, 0}, {2.0, 1}};
        for (const auto& probe : probes) {
            const double d = probe.past * tol, off = 10.0 * tol;
            const CVertex p(r.centroid.x + d * r.n.x + off * r.k.x, r.centroid.y + d * r.n.y + off * r.k.y,
                            r.centroid.z + d * r.n.z + off * r.k.z);
            EXPECT_EQ(cutter.SideOf(r.start, r.end, p), probe.side) << probe.past;
            EXPECT_EQ(cutter.SideOf(r.end, r.start, p), -probe.side) << probe.past;
        }
        EXPECT_EQ(cutter.SideOf(r.start, r.start, r.end), 0) << "a cut of no length has no sides";
    }
}

TEST(SectionSignRule, NoSignChangesForSmallMovesNodeOrderOrPlaneNodeOrder) {
    Strip strip = loadedStrip();
    CCrossSectionForcesPost calc = strip.Calculator();
    const std::vector<SectionResult> base = cutAll(strip, SectionCutter(calc));

    // Ends nudged by 2 mm, or tilted by less than an element: no sign changes.
    const SectionTable moved =
        SectionCutter(calc).Cut({StripCut(strip, 3.302, -1.5, 3.3, 1.5), StripCut(strip, 3.0, -1.5, 3.6, 1.5)}, {});
    const Values reference = firstValue(base[0]);
    for (const SectionResult& r : moved.sections)
        for (int j : {0, 1, 2, 4, 5}) {  // Mn is zero: the loads twist nothing about the centre line
            ASSERT_GT(std::fabs(reference[j]), 1.0) << j;
            EXPECT_EQ(std::signbit(firstValue(r)[j]), std::signbit(reference[j])) << j;
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
        const std::vector<SectionResult> again = cutAll(strip, SectionCutter(other));
        for (std::size_t i = 0; i < again.size(); ++i)
            ExpectValues(firstValue(again[i]), firstValue(base[i]), kScale, kCuts[i].name);
    }
}

TEST(SectionStations, CantileverDiagramsFollowTheStaticsFromTheRootToTheTip) {
    Strip strip = loadedStrip();
    CCrossSectionForcesPost calc = strip.Calculator();
    const SectionCutter cutter(calc);
    // 11 stations on the node columns, the root's and the tip's included, and 8 between them, along
    // an axis off the centre line: n is its direction, along the strip.
    for (std::int32_t count : {11, 8}) {
        const SectionTable table = cutter.Stations(strip.GlobalVertex(0.0, 0.4), strip.GlobalVertex(10.0, 0.4), count,
                                                   {{"combined", {{1, 1.0}}}});
        ASSERT_EQ(table.sections.size(), static_cast<std::size_t>(count)) << table.error;
        for (std::int32_t i = 0; i < count; ++i) {
            const SectionResult& r = table.sections[static_cast<std::size_t>(i)];
            const double x = 10.0 * i / (count - 1);
            ASSERT_EQ(r.status, CS_SUCCESS) << x;
            EXPECT_NEAR(r.position, x, 1e-12 * 10);
            EXPECT_NEAR(StripXY(strip, r.centroid).first, x, 1e-9 * 10);
            EXPECT_NEAR(strip_model::Dot(V(r.n), strip.Shape().e1), 1.0, 1e-12);
            // Nodes on a station count on its -n side: the root station carries the reaction, the
            // tip station what is left past the tip, nothing.
            ExpectValues(firstValue(r), Statics(strip, kCombined, r, i == count - 1), kScale,
                         "station at x = " + std::to_string(x));
        }
    }
}
