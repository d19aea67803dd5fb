#include <gtest/gtest.h>

#include <cmath>

#include <xsect/detail/segments.h>

namespace xsect {
namespace {

constexpr double kTol = 0.005;
// Every expected point below is an input point copied or a crossing of axis-parallel segments:
// exact up to a couple of roundings.
constexpr double kExact = 1e-12;

CVertex P(double x, double y, double z = 0.0) { return CVertex(x, y, z); }

struct Case {
    const char* name;
    CVertex c, d;
    std::int32_t code;
    CVertex first, second;  // checked where the code defines them
};

TEST(ClassifySegments, EveryContactAgainstACutAlongX) {
    const CVertex a = P(0, 0);
    const CVertex b = P(10, 0);
    const Case cases[] = {
        {"far away", P(20, 20), P(21, 21), SEGMENTS_APART, {}, {}},
        {"parallel apart", P(2, 0.01), P(5, 0.01), SEGMENTS_APART, {}, {}},
        {"crossing beyond the cut's end", P(12, -1), P(12, 1), SEGMENTS_APART, {}, {}},
        {"crossing", P(2, -1), P(2, 1), SEGMENTS_CROSSING, P(2, 0), {}},
        {"edge ending on the cut", P(4, 1), P(4, 0), SEGMENTS_CROSSING, P(4, 0), {}},
        {"edge inside the cut", P(2, 0), P(5, 0), SEGMENTS_EDGE_ON_CUT, P(2, 0), P(5, 0)},
        {"edge inside the cut, reversed", P(5, 0), P(2, 0), SEGMENTS_EDGE_ON_CUT, P(5, 0), P(2, 0)},
        {"edge equal to the cut", P(10, 0), P(0, 0), SEGMENTS_EDGE_ON_CUT, P(10, 0), P(0, 0)},
        {"edge a hair off the cut line", P(2, 0.0004), P(5, 0.0004), SEGMENTS_EDGE_ON_CUT, P(2, 0.0004),
         P(5, 0.0004)},
        {"cut inside the edge", P(-1, 0), P(11, 0), SEGMENTS_CUT_ON_EDGE, a, b},
        {"cut inside the edge, reversed", P(11, 0), P(-1, 0), SEGMENTS_CUT_ON_EDGE, a, b},
        {"edge just past the end, within the gap", P(10.003, 0), P(10.004, 0), SEGMENTS_CUT_ON_EDGE, a, b},
        {"edge starts inside, leaves past the end", P(5, 0), P(12, 0), SEGMENTS_PARTIAL_OVERLAP, P(5, 0), b},
        {"edge starts inside, leaves before the start", P(5, 0), P(-2, 0), SEGMENTS_PARTIAL_OVERLAP, a, P(5, 0)},
        {"edge starts at the cut's end and leaves", P(10, 0), P(12, 0), SEGMENTS_APART, {}, {}},
        {"edge starts within the slack past the end", P(10.00001, 0), P(15, 0), SEGMENTS_APART, {}, {}},
        {"edge comes in from before the start", P(-3, 0), P(4, 0), SEGMENTS_PARTIAL_OVERLAP, a, P(4, 0)},
        {"edge comes in from past the end", P(13, 0), P(4, 0), SEGMENTS_PARTIAL_OVERLAP, P(4, 0), b},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CVertex first(0.01);
        CVertex second(0.01);
        const std::int32_t code = ClassifySegments(&a, &b, &c.c, &c.d, kTol, &first, &second);
        EXPECT_EQ(code, c.code);
        if (code == SEGMENTS_APART) continue;
        EXPECT_NEAR(first.x, c.first.x, kExact);
        EXPECT_NEAR(first.y, c.first.y, kExact);
        if (code != SEGMENTS_CROSSING) {
            EXPECT_NEAR(second.x, c.second.x, kExact);
            EXPECT_NEAR(second.y, c.second.y, kExact);
        }
        // Only positions are written: the records keep their own tolerance and id.
        EXPECT_EQ(first.tolerance, 0.01);
        EXPECT_EQ(first.id, -1);
    }
}

TEST(ClassifySegments, CrossingTakesTheCutStartsZ) {
    const CVertex a = P(0, 0, 0.002);
    const CVertex b = P(10, 0, -0.003);
    const CVertex c = P(3, -1, 0.004);
    const CVertex d = P(3, 1, 0.004);
    CVertex first;
    CVertex second;
    ASSERT_EQ(ClassifySegments(&a, &b, &c, &d, kTol, &first, &second), SEGMENTS_CROSSING);
    EXPECT_EQ(first.z, 0.002);
}

TEST(ClassifySegments, CollinearContactCopiesZOfThePointsItNames) {
    const CVertex a = P(0, 0, 0.001);
    const CVertex b = P(10, 0, 0.002);
    const CVertex c = P(2, 0, 0.003);
    const CVertex d = P(5, 0, 0.004);
    CVertex first;
    CVertex second;
    ASSERT_EQ(ClassifySegments(&a, &b, &c, &d, kTol, &first, &second), SEGMENTS_EDGE_ON_CUT);
    EXPECT_EQ(first.z, 0.003);
    EXPECT_EQ(second.z, 0.004);
    const CVertex far = P(12, 0, 0.004);
    ASSERT_EQ(ClassifySegments(&a, &b, &c, &far, kTol, &first, &second), SEGMENTS_PARTIAL_OVERLAP);
    EXPECT_EQ(first.z, 0.003);
    EXPECT_EQ(second.z, 0.002);
}

TEST(ClassifySegments, ClearsPositionButKeepsZWhenApart) {
    const CVertex a = P(0, 0);
    const CVertex b = P(10, 0);
    const CVertex c = P(50, 50);
    const CVertex d = P(51, 50);
    CVertex first(3, 4, 7);
    CVertex second(5, 6, 8);
    ASSERT_EQ(ClassifySegments(&a, &b, &c, &d, kTol, &first, &second), SEGMENTS_APART);
    EXPECT_EQ(first.x, 0.0);
    EXPECT_EQ(first.y, 0.0);
    EXPECT_EQ(first.z, 7.0);
    EXPECT_EQ(second.x, 0.0);
    EXPECT_EQ(second.y, 0.0);
    EXPECT_EQ(second.z, 8.0);
}

TEST(ClassifySegments, SlackOnTheParametersIsToleranceSquared) {
    const CVertex a = P(0, 0);
    const CVertex b = P(10, 0);
    CVertex first;
    CVertex second;
    // A cut stopping short of the edge by less than tol^2 of its length still crosses it.
    const CVertex c1 = P(10.0002, -1);
    const CVertex d1 = P(10.0002, 1);
    EXPECT_EQ(ClassifySegments(&a, &b, &c1, &d1, kTol, &first, &second), SEGMENTS_CROSSING);
    const CVertex c2 = P(10.01, -1);
    const CVertex d2 = P(10.01, 1);
    EXPECT_EQ(ClassifySegments(&a, &b, &c2, &d2, kTol, &first, &second), SEGMENTS_APART);
}

TEST(ClassifySegments, ZeroLengthCutLiesOnTheEdgeItTouches) {
    const CVertex a = P(1, 0);
    const CVertex c = P(0, 0);
    const CVertex d = P(2, 0);
    CVertex first;
    CVertex second;
    EXPECT_EQ(ClassifySegments(&a, &a, &c, &d, kTol, &first, &second), SEGMENTS_CUT_ON_EDGE);
    EXPECT_EQ(first.x, 1.0);
    EXPECT_EQ(second.x, 1.0);
}

}  // namespace
}  // namespace xsect
