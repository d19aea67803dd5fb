// Which elements a cut crosses, on hand-placed elements along the cut (0,0)-(10,0); the exact
// segment rules themselves are in segments_test, and the index's agreement with the scan in
// index_property_test.

#include "core/crossing.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "core/plane_model.h"
#include "core/segments.h"
#include "support/strip_model.h"

namespace xsect {
namespace {

using Ids = std::vector<std::int32_t>;

TEST(Crossing, CornersCollinearEdgesAndSlackAtTheEnds) {
    strip_model::SmallModel m;
    std::int32_t next = 1;
    auto shell = [&](std::int32_t number, std::vector<std::array<double, 2>> corners) {
        std::vector<std::int32_t> ids;
        for (const auto& [x, y] : corners) m.AddNode(next, x, y), ids.push_back(next++);
        m.AddShell(number, ids);
    };
    shell(1, {{1, -1}, {2, -1}, {2, 1}, {1, 1}});                  // through two sides
    shell(2, {{3, 0}, {3.5, 0.5}, {3, 1}, {2.5, 0.5}});            // a corner on the cut
    shell(3, {{4, 0}, {5, 0}, {5, 1}, {4, 1}});                    // an edge along the cut
    shell(4, {{6, 0.5}, {7, 0.5}, {6.5, 1}});                      // wholly above
    shell(5, {{10.00012, -1}, {11, -1}, {11, 1}, {10.00012, 1}});  // the cut ends within the slack
    shell(6, {{10.01, -1}, {11, -1}, {11, 1}, {10.01, 1}});        // the cut ends short of it
    shell(7, {{8, -1}, {8, 1}});
    m.shells[7].nodes.push_back(99);  // names a missing node: left out whole
    m.AddFrame(1, 1, 4);              // across
    m.AddFrame(2, 9, 10);             // along the cut: collinear, never crossed
    m.AddFrame(3, 1, 98);             // a missing end
    m.AddNode(50, 6.2, -1), m.AddNode(51, 6.2, 0.3);
    m.AddFrame(4, 50, 51);  // numbered as shell 4, which is not crossed; the frame is
    m.AddFrame(5, 3, 3);    // both ends on one node
    CCrossSectionForcesPost calc = m.Build();
    ASSERT_EQ(calc.GetCurrentStatus(), CS_SUCCESS);
    const detail::PlaneModel& pm = *calc.Model();
    for (const bool scan : {false, true}) {
        const CVertex a(0, 0, 0), b(10, 0, 0);
        const detail::CrossedElements x =
            scan ? detail::FindCrossedElementsByScan(pm, a, b, true) : detail::FindCrossedElements(pm, a, b, true);
        Ids shells, frames;
        for (const std::int32_t s : x.shells) shells.push_back(pm.shellIds[static_cast<std::size_t>(s)]);
        for (const std::int32_t f : x.frames) frames.push_back(pm.frameIds[static_cast<std::size_t>(f)]);
        EXPECT_EQ(shells, (Ids{1, 2, 3, 5})) << scan;
        EXPECT_EQ(frames, (Ids{1, 4})) << scan;
        EXPECT_EQ(detail::FindCrossedElements(pm, a, b, false).frames, Ids{});
    }
}

TEST(Crossing, QuickRejectionMeasuresInSpace) {
    // The exact test looks at x and y only; the sphere test before it sees the height.
    const CVertex a(0, 0, 0), b(10, 0, 0);
    EXPECT_FALSE(detail::CutSegment(a, b).Crosses(CVertex(5, -1, 50), CVertex(5, 1, 50), 0.005));
    EXPECT_TRUE(detail::CutSegment(a, b).Crosses(CVertex(5, -1, 0), CVertex(5, 1, 0), 0.005));
    EXPECT_TRUE(detail::CutSegment(a, b).Crosses(CVertex(10, 0, 0), CVertex(10, 5, 0), 0.005));  // spheres just meet
}

}  // namespace
}  // namespace xsect
