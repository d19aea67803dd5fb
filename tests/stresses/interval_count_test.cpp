#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "stresses/interval_count.h"

namespace xsect {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

TEST(IntervalCount, HalfUpRoundsAndNeverConvertsOutOfRange) {
    struct Case {
        double v;
        std::int32_t n;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {{3.33, 3}, {2.5, 3}, {2.49, 2}, {0.1, 0}, {0.0, 0}, {-0.7, 0}, {-1.7, -1},
                          {1e300, kMax}, {inf, kMax}, {-inf, std::numeric_limits<std::int32_t>::min()},
                          {std::nan(""), 0}, {2147483646.4, 2147483646}};
    for (const Case& c : cases) EXPECT_EQ(detail::HalfUp(c.v), c.n) << c.v;
}

TEST(IntervalCount, FinerRequestWinsAndNeverBelowTwo) {
    struct Case {
        std::int32_t divisions;
        double spacing;
        double d;
        std::int32_t n;
    };
    const double nan = std::nan("");
    const Case cases[] = {
        {0, 0.0, 1.0, 4},   {3, 0.0, 1.0, 3},     {1, 0.0, 1.0, 2},     {1, 0.3, 1.0, 3},
        {5, 0.3, 1.0, 5},   {0, 10.0, 1.0, 2},    {-5, -2.0, 1.0, 4},   {0, 0.1, nan, 2},
        {6, 0.1, nan, 6},   {0, nan, 1.0, 4},     {3, nan, 1.0, 3},     {1, 1e-300, 1.0, detail::kMaxIntervalsPerRow},
        {kMax, 0.0, 1.0, detail::kMaxIntervalsPerRow},  // capped, not an exhausted host
    };
    for (const Case& c : cases)
        EXPECT_EQ(detail::IntervalCount(c.divisions, c.spacing, c.d), c.n)
            << c.divisions << " " << c.spacing << " " << c.d;
}

}  // namespace
}  // namespace xsect
