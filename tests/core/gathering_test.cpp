// Which element nodes a side takes, in which order, and what the sums skip. The sums themselves
// are checked end to end by the statics tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include "core/gathering.h"
#include "support/random.h"
#include "support/strip_model.h"

namespace xsect {
namespace {

using Ids = std::vector<std::int32_t>;

TEST(Gathering, WindingIsClockwiseForZeroAreaWithNoTolerance) {
    const CVertex p(0, 0, 0), q(4, 0, 0);
    EXPECT_EQ(detail::windingOf(p, q, CVertex(1, 2, 0)), POLYGON_COUNTERCLOCKWISE);
    EXPECT_EQ(detail::windingOf(p, q, CVertex(1, -2, 0)), POLYGON_CLOCKWISE);
    EXPECT_EQ(detail::windingOf(p, q, CVertex(9, 0, 0)), POLYGON_CLOCKWISE);  // on the line, past its end
    EXPECT_EQ(detail::windingOf(p, q, CVertex(-3, 1e-300, 0)), POLYGON_COUNTERCLOCKWISE);  // left by a hair
}

// Across the cut y = 0: squares 1 and 2 sharing nodes 2 and 5, triangle 3 with node 9 on the cut,
// frame 1 from node 7 (below) to 8 (above), frame 2 from 8 to 5 (both above). Static case 1: shell 1
// files Fx = node number but for node 1, shell 2 Fx = 100 x node number, frame 1 Fx = 0.5 at each
// end, shell 3 nothing.
TEST(Gathering, SideOneTakesTheRightAndTheLineInElementOrder) {
    strip_model::SmallModel m;
    const double xy[9][2] = {{0, -1}, {1, -1}, {2, -1}, {0, 1}, {1, 1}, {2, 1}, {3, -1}, {3, 1}, {4, 0}};
    for (int i = 0; i < 9; ++i) m.AddNode(i + 1, xy[i][0], xy[i][1]);
    auto fx = [](double v) { return CNodeResults{v, 0, 0, 0, 0, 0}; };
    for (const std::int32_t n : {2, 5, 4}) m.AddShell(1, {1, 2, 5, 4}).StoreStaticCaseResults(1, n, fx(n));
    for (const std::int32_t n : {2, 3, 6, 5}) m.AddShell(2, {2, 3, 6, 5}).StoreStaticCaseResults(1, n, fx(100.0 * n));
    m.AddShell(3, {9, 7, 8});
    m.AddFrame(1, 7, 8).staticResultsA[1] = m.frames[1].staticResultsB[1] = fx(0.5);
    m.AddFrame(2, 8, 5);
    m.loadCases[1] = CLoadCaseInfo{};
    CCrossSectionForcesPost calc = m.Build();
    const detail::PlaneModel& pm = *calc.Model();
    const detail::CrossedElements all{{0, 1, 2}, {0, 1}, {}};
    auto nodes = [&](const CVertex& a, const CVertex& b, std::int32_t side) {
        Ids ids;
        for (const auto& s : detail::SelectSide(pm, all, detail::WindingSide(a, b, side)))
            ids.push_back(pm.nodeIds[static_cast<std::size_t>(s.node)]);
        return ids;
    };
    const CVertex west(-1, 0, 0), east(10, 0, 0);
    // Shells in number order, each node in the shell's own order, then frames, end A before end B.
    EXPECT_EQ(nodes(west, east, 1), (Ids{1, 2, 2, 3, 9, 7, 7}));
    EXPECT_EQ(nodes(west, east, 0), (Ids{5, 4, 6, 5, 8, 8, 8, 5}));
    // Walked the other way: node 9 on the line still goes with the non-zero side.
    EXPECT_EQ(nodes(east, west, 0), (Ids{1, 2, 2, 3, 7, 7}));
    EXPECT_EQ(nodes(east, west, 7), (Ids{5, 4, 6, 5, 9, 8, 8, 8, 5}));

    // Elements without results for the case, and nodes without a record, add nothing.
    const detail::Mat3 identity{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    const auto below = detail::SelectSide(pm, all, detail::WindingSide(west, east, 1));
    EXPECT_EQ(detail::IntegrateStatic(pm, pm.CaseIndex(1), below, identity, {0, 0, 0})[0], 2 + 200 + 300 + 0.5);
    EXPECT_EQ(detail::IntegrateStatic(pm, 5, below, identity, {0, 0, 0}), detail::Six{});
}

// The sums take the nodes in ascending number and each node's records in gathering order, so a side
// gathered in any other order of its nodes has the same sums to the bit: nearly in order (the strip
// cut along, from above), reversed, or shuffled, against the side as gathered.
TEST(Gathering, StaticSumsDoNotDependOnTheOrderTheNodesWereGatheredIn) {
    using namespace strip_model;
    StripShape shape = TiltedStrip();
    shape.nx = 24;
    shape.ny = 6;
    Strip strip(shape);
    strip.AddStaticCase(1, TipLoad{3.0, -5.0, 2.0, 1.5});
    CCrossSectionForcesPost calc = strip.Calculator();
    const detail::PlaneModel& pm = *calc.Model();
    const detail::Mat3 T{{{0.6, 0.8, 0}, {-0.8, 0.6, 0}, {0, 0, 1}}};
    auto bits = [](const detail::Six& s) {
        std::array<unsigned char, sizeof(detail::Six)> b;
        std::memcpy(b.data(), s.data(), b.size());
        return b;
    };
    test_support::Rng rng{7};
    const CVertex cuts[][2] = {{strip.GlobalVertex(3.3, -2), strip.GlobalVertex(3.7, 2)},
                               {strip.GlobalVertex(-1, -0.3), strip.GlobalVertex(11, 0.1)},
                               {strip.GlobalVertex(0.2, -1.1), strip.GlobalVertex(9.9, 1.1)}};
    for (const auto& cut : cuts)
        for (const std::int32_t side : {0, 1}) {
            CVertex a = cut[0], b = cut[1];
            pm.frame.CutIntoPlane(a, b, pm.tolerance);
            const auto crossed = detail::FindCrossedElements(pm, a, b, true);
            const auto gathered = detail::SelectSide(pm, crossed, detail::WindingSide(a, b, side));
            ASSERT_GT(gathered.size(), 8u);
            const detail::Vec3 point{a.x, a.y, 0.25};
            const auto expected = bits(detail::IntegrateStatic(pm, 0, gathered, T, point));

            // Each node's slots keep their order; the nodes' turns are reversed, then shuffled.
            std::vector<std::int32_t> turns;
            for (const auto& s : gathered) turns.push_back(s.node);
            std::reverse(turns.begin(), turns.end());
            for (int round = 0; round < 2; ++round) {
                std::map<std::int32_t, std::vector<detail::SideSlot>> slotsOf;
                for (const auto& s : gathered) slotsOf[s.node].push_back(s);
                std::map<std::int32_t, std::size_t> used;
                std::vector<detail::SideSlot> reordered;
                for (const std::int32_t node : turns) reordered.push_back(slotsOf[node][used[node]++]);
                EXPECT_EQ(bits(detail::IntegrateStatic(pm, 0, reordered, T, point)), expected);
                for (std::size_t k = turns.size(); k > 1; --k)
                    std::swap(turns[k - 1], turns[static_cast<std::size_t>(rng.Next() % k)]);
            }
        }
}

}  // namespace
}  // namespace xsect
