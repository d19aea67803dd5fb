#include <gtest/gtest.h>

#include <xsect/xsect.h>

#include "core/plane_frame.h"

namespace xsect {
namespace {

// The first axis is the edge divided by its length; multiplying by the reciprocal instead gave
// 0.60000000000000009 for the edge (3, 4, 0).
TEST(PlaneFrame, FirstAxisIsTheEdgeDividedByItsLength) {
    detail::Mat3 frame{};
    ASSERT_TRUE(detail::planeFrameFrom(CVertex(0, 0, 0), CVertex(3, 4, 0), CVertex(-4, 3, 0), 0.001, frame));
    EXPECT_EQ(frame[0][0], 0.6);
    EXPECT_EQ(frame[0][1], 0.8);
    EXPECT_EQ(frame[0][2], 0.0);

    std::map<std::int32_t, CVertex> nodes{{1, {0, 0, 0}}, {2, {3, 4, 0}}, {3, {-4, 3, 0}}};
    std::map<std::int32_t, CShellElement> shells;
    shells[1].nodes = {1, 2, 3};
    std::map<std::int32_t, CFrameElement> frames;
    std::map<std::int32_t, CLoadCaseInfo> cases;
    CCrossSectionForcesPost calc(nodes, shells, frames, cases, 0.001, 1, 2, 3);
    CVertex x, y, n;
    calc.GetPlaneMap(x, y, n);
    EXPECT_EQ(x.x, 0.6);
    EXPECT_EQ(x.y, 0.8);
}

}  // namespace
}  // namespace xsect
