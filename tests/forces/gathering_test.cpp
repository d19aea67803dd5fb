#include <gtest/gtest.h>

#include <vector>

#include "support/forces_access.h"
#include "support/strip_model.h"

using namespace xsect;
using Access = CCrossSectionForcesPostTestAccess;
using strip_model::SmallModel;

namespace {

CNodeResults results(double fx, double fy, double fz, double mx = 0, double my = 0, double mz = 0) {
    return {fx, fy, fz, mx, my, mz};
}

// Across the cut y = 0: two squares side by side sharing nodes 2 and 5, a triangle with node 9
// exactly on the cut, frame 1 from node 7 (below) to node 8 (above), and frame 2 whose second
// end is node 5.
struct Fixture {
    SmallModel m;
    Fixture() {
        m.AddNode(1, 0, -1);
        m.AddNode(2, 1, -1);
        m.AddNode(3, 2, -1);
        m.AddNode(4, 0, 1);
        m.AddNode(5, 1, 1);
        m.AddNode(6, 2, 1);
        m.AddNode(7, 3, -1);
        m.AddNode(8, 3, 1);
        m.AddNode(9, 4, 0);  // on the cut
        CShellElement& left = m.AddShell(1, {1, 2, 5, 4});
        CShellElement& right = m.AddShell(2, {2, 3, 6, 5});
        CShellElement& onLine = m.AddShell(3, {9, 7, 8});
        for (std::int32_t n : {1, 2, 5, 4}) left.StoreStaticCaseResults(1, n, results(n, 10 * n, 0));
        for (std::int32_t n : {2, 3, 6, 5}) right.StoreStaticCaseResults(1, n, results(100 * n, 0, 1));
        onLine.StoreStaticCaseResults(1, 9, results(0, 0, 0, 1, 2, 3));
        left.StoreResponseSpectraCaseResults(2, 5, 1, results(1, 2, 3));
        left.StoreResponseSpectraCaseResults(2, 5, 2, results(4, 5, 6));
        left.StoreResponseSpectraCaseResults(2, 1, 2, results(7, 8, 9));
        CFrameElement& f = m.AddFrame(1, 7, 8);
        f.staticResultsA[1] = results(0.5, 0, 0);
        f.staticResultsB[1] = results(0, 0.5, 0);
        f.spectrumResultsA[2][1] = results(-1, 0, 0);
        f.spectrumResultsB[2][2] = results(0, -1, 0);
        CFrameElement& g = m.AddFrame(2, 8, 5);  // nodeA above, nodeB shares node 5
        g.staticResultsB[1] = results(0, 0, 1000);
    }
};

struct Gather {
    CCrossSectionForcesPost calc;
    std::map<std::int32_t, CShellElement*> shells;
    std::map<std::int32_t, CFrameElement*> frames;
    std::map<std::int32_t, std::vector<CEdge>> edges;
    std::map<std::int32_t, CNodeResults> gathered;

    explicit Gather(SmallModel& m) : calc(m.Build()) {
        for (auto& [n, s] : Access::shells(calc)) shells[n] = &s;
        for (auto& [n, f] : Access::frames(calc)) frames[n] = &f;
    }
    void statics(std::int32_t lc, CVertex a, CVertex b, std::int32_t side) {
        Access::FillInAnalysisResults(calc, lc, &a, &b, shells, edges, side, gathered);
        Access::FillInAnalysisResults(calc, lc, &a, &b, frames, edges, side, gathered);
    }
    void spectrum(std::int32_t lc, CVertex a, CVertex b, std::int32_t side, std::int32_t mode) {
        Access::FillInRSPAnalysisResults(calc, lc, &a, &b, shells, side, mode, gathered);
        Access::FillInRSPAnalysisResults(calc, lc, &a, &b, frames, side, mode, gathered);
    }
    std::vector<std::int32_t> keys() const {
        std::vector<std::int32_t> k;
        for (const auto& [n, r] : gathered) k.push_back(n);
        return k;
    }
};

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
    Fixture f;
    const std::vector<std::int32_t> below{1, 2, 3, 7, 9};  // right of the rightward cut, and 9 on it
    const std::vector<std::int32_t> above{4, 5, 6, 8};
    {
        Gather r(f.m);
        r.statics(1, CVertex(-1, 0, 0), CVertex(10, 0, 0), 1);
        EXPECT_EQ(r.keys(), below);
    }
    {
        Gather r(f.m);
        r.statics(1, CVertex(-1, 0, 0), CVertex(10, 0, 0), 0);
        EXPECT_EQ(r.keys(), above);
    }
    // Reversed cut with the side inverted: the same nodes off the line, and node 9 on it now
    // goes with the side-1 setting, which is the other half.
    {
        Gather r(f.m);
        r.statics(1, CVertex(10, 0, 0), CVertex(-1, 0, 0), 0);
        EXPECT_EQ(r.keys(), (std::vector<std::int32_t>{1, 2, 3, 7}));
    }
    {
        Gather r(f.m);
        r.statics(1, CVertex(10, 0, 0), CVertex(-1, 0, 0), 7);  // any non-zero side
        EXPECT_EQ(r.keys(), (std::vector<std::int32_t>{4, 5, 6, 8, 9}));
    }
}

TEST(Gathering, SharedNodesSumAcrossShellsAndFrames) {
    Fixture f;
    Gather r(f.m);
    r.statics(1, CVertex(-1, 0, 0), CVertex(10, 0, 0), 0);
    // Node 5: left shell (5, 50, 0), right shell (500, 0, 1), frame 2's second end (0, 0, 1000).
    EXPECT_EQ(r.gathered.at(5).Fx, 505.0);
    EXPECT_EQ(r.gathered.at(5).Fy, 50.0);
    EXPECT_EQ(r.gathered.at(5).Fz, 1001.0);
    // Frame 1 from below (A) to above (B): only the end on the chosen side.
    EXPECT_EQ(r.gathered.at(8).Fy, 0.5);
    EXPECT_EQ(r.gathered.at(8).Fx, 0.0);
    Gather below(f.m);
    below.statics(1, CVertex(-1, 0, 0), CVertex(10, 0, 0), 1);
    EXPECT_EQ(below.gathered.at(7).Fx, 0.5);
    EXPECT_EQ(below.gathered.at(9).Mz, 3.0);  // moments are gathered too
}

TEST(Gathering, MissingLoadCaseModeOrNodeIsSkipped) {
    Fixture f;
    f.m.shells.at(2).staticResults.clear();           // right shell: nothing for case 1
    f.m.frames.at(1).staticResultsA.erase(1);        // frame end A lacks case 1, B keeps it
    f.m.shells.at(1).nodes.push_back(77);            // a node that is not in the model
    Gather r(f.m);
    r.statics(1, CVertex(-1, 0, 0), CVertex(10, 0, 0), 1);
    EXPECT_EQ(r.keys(), (std::vector<std::int32_t>{1, 2, 9}));
    EXPECT_EQ(r.gathered.at(2).Fx, 2.0);  // the left shell's share only
    Gather top(f.m);
    top.statics(1, CVertex(-1, 0, 0), CVertex(10, 0, 0), 0);
    EXPECT_EQ(top.gathered.at(8).Fy, 0.5);  // end B still tested
    Gather none(f.m);
    none.statics(42, CVertex(-1, 0, 0), CVertex(10, 0, 0), 0);
    EXPECT_TRUE(none.gathered.empty());
}

TEST(Gathering, SpectrumGathersOneModeAtATime) {
    Fixture f;
    Gather mode1(f.m);
    mode1.spectrum(2, CVertex(-1, 0, 0), CVertex(10, 0, 0), 0, 1);
    EXPECT_EQ(mode1.keys(), std::vector<std::int32_t>{5});  // node 1 has mode 2 only and lies below
    EXPECT_EQ(mode1.gathered.at(5).Fz, 3.0);
    Gather mode2(f.m);
    mode2.spectrum(2, CVertex(-1, 0, 0), CVertex(10, 0, 0), 0, 2);
    EXPECT_EQ(mode2.gathered.at(5).Fx, 4.0);
    EXPECT_EQ(mode2.gathered.at(8).Fy, -1.0);  // frame end B, mode 2
    Gather below(f.m);
    below.spectrum(2, CVertex(-1, 0, 0), CVertex(10, 0, 0), 1, 1);
    EXPECT_EQ(below.keys(), std::vector<std::int32_t>{7});  // frame end A, mode 1
    Gather absent(f.m);
    absent.spectrum(2, CVertex(-1, 0, 0), CVertex(10, 0, 0), 0, 3);
    EXPECT_TRUE(absent.gathered.empty());
}

TEST(Gathering, HeightPlaysNoPartInTheSideTest) {
    Fixture f;
    Gather r(f.m);
    Access::vertices(r.calc).at(4).z = -1e6;
    Access::vertices(r.calc).at(2).z = 1e6;
    r.statics(1, CVertex(-1, 0, 0), CVertex(10, 0, 0), 0);
    EXPECT_EQ(r.keys(), (std::vector<std::int32_t>{4, 5, 6, 8}));
}

TEST(Gathering, ResultsAreRotatedIntoPlaneAxesWithoutMomentTransfer) {
    // A plane through the origin with x' = (0, 0, 1), y' = (1, 0, 0), so normal = (0, 1, 0).
    std::map<std::int32_t, CVertex> nodes{{1, {0, 0, 0}}, {2, {0, 0, 1}}, {3, {1, 0, 0}}, {4, {5, 0, 5}}};
    std::map<std::int32_t, CShellElement> shells;
    shells[1].nodes = {1, 2, 3};
    std::map<std::int32_t, CFrameElement> frames;
    std::map<std::int32_t, CLoadCaseInfo> cases;
    CCrossSectionForcesPost calc(nodes, shells, frames, cases, 0.005, 1, 2, 3);
    ASSERT_EQ(calc.GetCurrentStatus(), CS_SUCCESS);
    std::map<std::int32_t, CNodeResults> g;
    CNodeResults r = results(1, 2, 3, 4, 5, 6);
    Access::AddResults(calc, &r, 4, g);
    // Components along x', y', normal: (Fz, Fx, Fy) and (Mz, Mx, My).
    EXPECT_NEAR(g.at(4).Fx, 3, 1e-15);
    EXPECT_NEAR(g.at(4).Fy, 1, 1e-15);
    EXPECT_NEAR(g.at(4).Fz, 2, 1e-15);
    EXPECT_NEAR(g.at(4).Mx, 6, 1e-15);
    EXPECT_NEAR(g.at(4).My, 4, 1e-15);
    EXPECT_NEAR(g.at(4).Mz, 5, 1e-15);
    Access::AddResults(calc, &r, 4, g);  // a second contribution adds
    EXPECT_NEAR(g.at(4).Mz, 10, 1e-15);
}
