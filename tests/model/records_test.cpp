#include <gtest/gtest.h>

#include <cmath>

#include <xsect/xsect.h>

using namespace xsect;

TEST(Vertex, EqualityIsStrictAndUsesTheLeftOperandsTolerance) {
    struct Case {
        CVertex a, b;
        int equal;
    } cases[] = {
        {{0, 0, 0, 0.5}, {0.5, 0, 0, 0.5}, 0},     // exactly the tolerance apart: not equal
        {{0, 0, 0, 0.1}, {0.01, 0, 0, 0.001}, 1},  // a's tolerance decides
        {{0.01, 0, 0, 0.001}, {0, 0, 0, 0.1}, 0},  // b's tolerance decides the other way
        {{0, 0, 0}, {0.004, 0.004, 0.004}, 0},     // 0.0069 apart with 0.005
        {{std::nan(""), 0, 0}, {0, 0, 0}, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.a == c.b, c.equal) << c.a.x << " vs " << c.b.x;
        EXPECT_EQ(c.a != c.b, 1 - c.equal);
    }
    // The order compares coordinate by coordinate within the tolerance: unequal by distance, yet
    // neither below nor above; with x within tolerance, y decides.
    const CVertex a(0, 0, 0), b(0.004, 0.004, 0.004), c(0, 5, 0), d(0.004, 1, 0), q(0, 0, 1e-7);
    EXPECT_FALSE(a < b || a > b);
    EXPECT_TRUE(c > d && !(c < d));
    EXPECT_TRUE(a.LessThen(&q, 0.0) && q.GreaterThen(&a, 0.0));  // tolerance 0: strict lexicographic order
    EXPECT_FALSE(a.LessThen(&q, 1e-3) || a.GreaterThen(&q, 1e-3) || a.LessThen(&a, 0.0));
}
