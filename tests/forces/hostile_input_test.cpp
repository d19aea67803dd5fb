#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/strip_model.h"

using namespace xsect;
using namespace xsect::strip_model;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// A flat two-shell model with one static case, every node exactly in z = 0.
SmallModel twoShells() {
    SmallModel m;
    m.AddNode(1, 0, 0);
    m.AddNode(2, 1, 0);
    m.AddNode(3, 2, 0);
    m.AddNode(4, 0, 1);
    m.AddNode(5, 1, 1);
    m.AddNode(6, 2, 1);
    m.AddShell(1, {1, 2, 5, 4}).StoreStaticCaseResults(1, 1, {1, 0, 0, 0, 0, 0});
    m.AddShell(2, {2, 3, 6, 5});
    m.loadCases[1] = CLoadCaseInfo{};
    return m;
}

}  // namespace

TEST(HostileInput, ToleranceThatIsNotAUsableNumberFailsThePlaneSetUp) {
    for (double tol : {-1.0, kNaN, kInf, -kInf}) {
        SmallModel m = twoShells();
        CCrossSectionForcesPost c = m.Build(tol);
        EXPECT_EQ(c.GetCurrentStatus(), CS_PLANE_NOT_DEFINED) << tol;
        // A reset does not bring a plane that was never set up back to life.
        c.ResetCurrentStatus();
        CVertex a(0.5, -1, 0), b(0.5, 2, 0);
        std::vector<double> F1, F2, F3, M1, M2, M3;
        EXPECT_EQ(c.GetForcesOnSection(1, &a, &b, F1, F2, F3, M1, M2, M3, 0, false, true, nullptr), -1);
        EXPECT_EQ(c.GetCurrentStatus(), CS_PLANE_NOT_DEFINED);
        EXPECT_TRUE(F1.empty());
    }
    // Zero asks for exact arithmetic, which a model lying exactly in its plane satisfies.
    SmallModel exact = twoShells();
    EXPECT_EQ(exact.Build(0.0).GetCurrentStatus(), CS_SUCCESS);
}

TEST(HostileInput, NonFiniteCoordinatesGiveAStatusNotACrash) {
    for (double bad : {kNaN, kInf}) {
        SmallModel m = twoShells();
        m.nodes[5].z = bad;
        EXPECT_EQ(m.Build().GetCurrentStatus(), CS_PLANE_NOT_DEFINED) << bad;
    }
    SmallModel m = twoShells();
    CCrossSectionForcesPost c = m.Build();
    ASSERT_EQ(c.GetCurrentStatus(), CS_SUCCESS);
    std::vector<double> F1, F2, F3, M1, M2, M3;
    CVertex a(kNaN, 0, 0), b(0.5, 2, 0);
    EXPECT_EQ(c.GetForcesOnSection(1, &a, &b, F1, F2, F3, M1, M2, M3, 0, false, true, nullptr), -1);
    EXPECT_EQ(c.GetCurrentStatus(), CS_NO_ELEMENTS_CROSSED);  // a NaN end crosses nothing
    c.ResetCurrentStatus();
    CVertex far(0.5, -1, kInf), end(0.5, 2, 0);
    EXPECT_EQ(c.GetForcesOnSection(1, &far, &end, F1, F2, F3, M1, M2, M3, 0, false, true, nullptr), -1);
    EXPECT_EQ(c.GetCurrentStatus(), CS_CUT_LINE_OFF_PLANE);

    CCrossSectionStressesPost s(&c);
    s.ResetStatus();
    EXPECT_TRUE(s.GetCutlineStressInputPoints(CVertex(kNaN, 0, 0), CVertex(0.5, 2, 0), CVertex(3, 3, 0), 2, 0.0,
                                              true)
                    .empty());
    EXPECT_EQ(s.GetStatus(), CS_NO_ELEMENTS_CROSSED);
}

TEST(HostileInput, ElementsNamingMissingNodesAreLeftOut) {
    SmallModel m = twoShells();
    m.AddShell(3, {1, 99, 4}).StoreStaticCaseResults(1, 1, {10, 0, 0, 0, 0, 0});  // names a missing node
    m.AddFrame(1, 1, 98).staticResultsA[1] = {100, 0, 0, 0, 0, 0};
    m.AddFrame(2, 4, 4);                       // both ends on one node: parallel to nothing, crosses nothing
    CCrossSectionForcesPost c = m.Build();
    ASSERT_EQ(c.GetCurrentStatus(), CS_SUCCESS);
    CVertex a(0.5, -1, 0), b(0.5, 2, 0);
    std::vector<double> F1, F2, F3, M1, M2, M3;
    ASSERT_EQ(c.GetForcesOnSection(1, &a, &b, F1, F2, F3, M1, M2, M3, 0, true, true, nullptr), 1);
    EXPECT_EQ(F1[0], 1.0);  // node 1 through shell 1 only
}
