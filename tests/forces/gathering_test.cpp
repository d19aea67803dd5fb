// Rotation into plane axes, sums over shared nodes and frame ends, and the per-mode gathering
// are checked end to end by the statics tests; here the side test and what is skipped.

#include <gtest/gtest.h>

#include <vector>

#include "support/forces_access.h"
#include "support/strip_model.h"

using namespace xsect;
using Access = CCrossSectionForcesPostTestAccess;
using strip_model::SmallModel;

namespace {

using Gathered = std::map<std::int32_t, CNodeResults>;

// Across the cut y = 0: two squares side by side sharing nodes 2 and 5, a triangle with node 9
// exactly on the cut, frame 1 from node 7 (below) to node 8 (above), and frame 2 whose second
// end is node 5. Static case 1 everywhere.
SmallModel fixture() {
    SmallModel m;
    const double xy[9][2] = {{0, -1}, {1, -1}, {2, -1}, {0, 1}, {1, 1}, {2, 1}, {3, -1}, {3, 1}, {4, 0}};
    for (int i = 0; i < 9; ++i) m.AddNode(i + 1, xy[i][0], xy[i][1]);
    CShellElement& left = m.AddShell(1, {1, 2, 5, 4});
    CShellElement& right = m.AddShell(2, {2, 3, 6, 5});
    for (std::int32_t n : {1, 2, 5, 4}) left.StoreStaticCaseResults(1, n, {double(n), 10.0 * n, 0, 0, 0, 0});
    for (std::int32_t n : {2, 3, 6, 5}) right.StoreStaticCaseResults(1, n, {100.0 * n, 0, 1, 0, 0, 0});
    m.AddShell(3, {9, 7, 8}).StoreStaticCaseResults(1, 9, {0, 0, 0, 1, 2, 3});
    CFrameElement& f = m.AddFrame(1, 7, 8);
    f.staticResultsA[1] = {0.5, 0, 0, 0, 0, 0};
    f.staticResultsB[1] = {0, 0.5, 0, 0, 0, 0};
    m.AddFrame(2, 8, 5).staticResultsB[1] = {0, 0, 1000, 0, 0, 0};  // nodeA above, nodeB shares node 5
    return m;
}

// Gathers every element, the shell form first.
Gathered gather(SmallModel& m, std::int32_t lc, double ax, double bx, std::int32_t side) {
    CCrossSectionForcesPost calc = m.Build();
    std::map<std::int32_t, CShellElement*> shells;
    std::map<std::int32_t, CFrameElement*> frames;
    for (auto& [n, s] : Access::shells(calc)) shells[n] = &s;
    for (auto& [n, f] : Access::frames(calc)) frames[n] = &f;
    // Heights far off the plane must not move a node across the cut.
    Access::vertices(calc).at(4).z = -1e6;
    Access::vertices(calc).at(2).z = 1e6;
    std::map<std::int32_t, std::vector<CEdge>> edges;
    CVertex a(ax, 0, 0), b(bx, 0, 0);
    Gathered g;
    Access::FillInAnalysisResults(calc, lc, &a, &b, shells, edges, side, g);
    Access::FillInAnalysisResults(calc, lc, &a, &b, frames, edges, side, g);
    return g;
}

std::vector<std::int32_t> keys(const Gathered& g) {
    std::vector<std::int32_t> k;
    for (const auto& [n, r] : g) k.push_back(n);
    return k;
}

}  // namespace

TEST(Gathering, WindingIsClockwiseForZeroArea) {
    SmallModel m;
    CCrossSectionForcesPost calc = m.Build();
    CVertex p(0, 0, 0), q(4, 0, 0), up(1, 2, 0), down(1, -2, 0), on(9, 0, 0), far(-3, 1e-300, 0);
    struct Case {
        std::vector<CVertex*> polygon;
        POLYGON_DIRECTION want;
    } cases[] = {
        {{&p, &q, &up}, POLYGON_COUNTERCLOCKWISE},
        {{&p, &q, &down}, POLYGON_CLOCKWISE},
        {{&p, &q, &on}, POLYGON_CLOCKWISE},          // collinear: zero area
        {{&p, &q, &far}, POLYGON_COUNTERCLOCKWISE},  // left by a hair: no tolerance
        {{}, POLYGON_CLOCKWISE},                     // empty
        {{&p, &down, &q, &up}, POLYGON_COUNTERCLOCKWISE},
    };
    for (auto& k : cases) EXPECT_EQ(Access::PolygonDirection(calc, k.polygon), k.want) << k.polygon.size();
}

TEST(Gathering, SideSelectsRightOrOnVersusStrictlyLeft) {
    SmallModel m = fixture();
    struct Case {
        const char* name;
        double ax, bx;
        std::int32_t side;
        std::vector<std::int32_t> want;
    } cases[] = {
        {"rightward, side 1: below and node 9 on the cut", -1, 10, 1, {1, 2, 3, 7, 9}},
        {"rightward, side 0: strictly above", -1, 10, 0, {4, 5, 6, 8}},
        // Reversed with the side inverted: the same nodes off the line; node 9 on it goes with
        // the non-zero side, which is now the other half.
        {"leftward, side 0", 10, -1, 0, {1, 2, 3, 7}},
        {"leftward, any non-zero side", 10, -1, 7, {4, 5, 6, 8, 9}},
    };
    for (const auto& k : cases) EXPECT_EQ(keys(gather(m, 1, k.ax, k.bx, k.side)), k.want) << k.name;
}

TEST(Gathering, MissingLoadCaseOrNodeIsSkipped) {
    SmallModel m = fixture();
    m.shells.at(2).staticResults.clear();     // right shell: nothing for case 1
    m.frames.at(1).staticResultsA.erase(1);  // frame end A lacks case 1, B keeps it
    m.shells.at(1).nodes.push_back(77);       // a node that is not in the model
    const Gathered below = gather(m, 1, -1, 10, 1);
    EXPECT_EQ(keys(below), (std::vector<std::int32_t>{1, 2, 9}));
    EXPECT_EQ(below.at(2).Fx, 2.0);  // the left shell's share only
    EXPECT_EQ(gather(m, 1, -1, 10, 0).at(8).Fy, 0.5);  // end B still tested
    EXPECT_TRUE(gather(m, 42, -1, 10, 0).empty());
}
