// The index's own promise, against an independent geometry library: every box within the query's
// half width of the (extended) segment comes back, once. Boxes of many sizes (so that several grid
// levels are filed, and some go to every query), numbered by the caller or in the index's order,
// segments steep, flat and axis-parallel, most ending just short of a box's edge, where the cells'
// reach and pads decide.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "core/spatial_index.h"
#include "support/geometry_reference.h"
#include "support/random.h"

namespace xsect {
namespace {

namespace bg = test_support::bg;
using test_support::P2;
using test_support::Rng;

TEST(SpatialIndex, EveryBoxWithinTheHalfWidthComesBackOnce) {
    int queries = 0, expected = 0;
    for (std::uint64_t seed = 1; seed <= 12; ++seed) {
        Rng r{seed};
        const double size = std::pow(10.0, r.Uniform(-2, 3));  // of the typical box
        std::vector<detail::Box> boxes;
        for (int k = 0; k < 400; ++k) {
            const double side = size * (r.Chance(0.1) ? r.Uniform(2, 12) : r.Chance(0.01) ? 200 : r.Uniform(0.2, 1));
            const double x = r.Uniform(0, 20 * size), y = r.Uniform(0, 20 * size);
            boxes.push_back({x, y, x + side * r.Uniform(0.1, 1), y + side * r.Uniform(0.1, 1)});
        }
        boxes.push_back({1.0, 1.0, 0.0, 0.0});  // empty: never a candidate
        detail::SpatialIndex index;
        index.Build(boxes);
        // Half the seeds number the items in the index's own order, as the plane model does.
        std::vector<std::int32_t> number(boxes.size());
        for (std::size_t k = 0; k < number.size(); ++k) number[k] = static_cast<std::int32_t>(k);
        if (seed % 2 == 0) {
            const std::vector<std::int32_t> inOrder = index.ItemsInOrder();
            for (std::size_t k = 0; k < inOrder.size(); ++k) number[static_cast<std::size_t>(inOrder[k])] = static_cast<std::int32_t>(k);
            index.Renumber(number);
        }

        for (int q = 0; q < 300; ++q, ++queries) {
            // One end a fraction of the half width outside a box's edge or corner, the other anywhere,
            // in a direction that is often exactly along an axis.
            const double halfWidth = size * std::pow(10.0, r.Uniform(-4, -0.5));
            const double extension = r.Chance(0.5) ? 0.0 : halfWidth * r.Uniform(0, 3);
            const detail::Box& near = boxes[static_cast<std::size_t>(r.Int(0, 399))];
            const double gap = halfWidth * r.Uniform(0.2, 0.99);
            const double ax = r.Chance(0.5) ? near.x0 - gap : near.x1 + gap;
            const double ay = r.Chance(0.5) ? near.y0 - gap : near.y1 + gap;
            const double length = size * std::pow(10.0, r.Uniform(-1, 1.5)), t = r.Uniform(0, 6.3);
            const int axis = r.Int(0, 4);
            const double bx = ax + (axis == 0 ? 0.0 : length * std::cos(t)), by = ay + (axis == 1 ? 0.0 : length * std::sin(t));
            std::vector<std::int32_t> out;
            ASSERT_TRUE(index.Query(ax, ay, bx, by, extension, halfWidth, out));

            std::vector<std::int32_t> sorted = out;
            std::sort(sorted.begin(), sorted.end());
            EXPECT_TRUE(std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end()) << "seed " << seed << " query " << q;
            const double d = std::hypot(bx - ax, by - ay), ux = (bx - ax) / d, uy = (by - ay) / d;
            const bg::model::segment<P2> segment(P2(ax - extension * ux, ay - extension * uy),
                                                 P2(bx + extension * ux, by + extension * uy));
            for (std::size_t k = 0; k + 1 < boxes.size(); ++k) {
                const detail::Box& b = boxes[k];
                if (bg::distance(segment, bg::model::box<P2>(P2(b.x0, b.y0), P2(b.x1, b.y1))) > halfWidth * (1 - 1e-9))
                    continue;
                ++expected;
                EXPECT_TRUE(std::binary_search(sorted.begin(), sorted.end(), number[k]))
                    << "seed " << seed << " query " << q << ": box " << k << " missed";
            }
            EXPECT_FALSE(std::binary_search(sorted.begin(), sorted.end(), number.back()));
        }
    }
    EXPECT_GT(expected, queries);  // most queries are owed boxes
}

}  // namespace
}  // namespace xsect
