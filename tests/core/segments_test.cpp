#include <gtest/gtest.h>
#include "core/segments.h"

#include <limits>

namespace xsect {
namespace {

constexpr double kTol = 0.005;
// Every expected point is an input point copied or a crossing of axis-parallel segments: exact
// up to a couple of roundings.
constexpr double kExact = 1e-12;

CVertex P(double x, double y, double z = 0.0) { return CVertex(x, y, z); }

void ExpectAt(const CVertex& got, const CVertex& want) {
    EXPECT_NEAR(got.x, want.x, kExact);
    EXPECT_NEAR(got.y, want.y, kExact);
    EXPECT_NEAR(got.z, want.z, kExact);
}

// Against the cut (0,0)-(10,0) with tolerance 0.005, the slack on both parameters is tol^2 = 2.5e-5.
// The crossing tests show the same rules on whole elements.
TEST(IntersectSegments, BoundsAreInclusiveWithASquaredToleranceSlack) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        double cx, cy, dx, dy;
        bool crosses;
    } cases[] = {
        {"edge ending on the cut", 2, -1, 2, 0, true},
        {"cut ending on the edge", 10, -1, 10, 1, true},
        {"cut short of the edge within the slack (t = 1 + 1.2e-5)", 10.00012, -1, 10.00012, 1, true},
        {"cut starting just past the edge", -0.00012, -1, -0.00012, 1, true},
        {"edge short of the cut within the slack (u = -1e-5)", 2, 0.00001, 2, 1.00001, true},
        {"edge short of the cut beyond the slack (u = -1e-4)", 2, 0.0001, 2, 1.0001, false},
        {"collinear overlap", 2, 0, 4, 0, false},
        // |D| = cut length x edge length: 10 x 4e-4 is below the tolerance, 10 x 6e-4 is not.
        {"edge too short for the determinant", 2, -0.0002, 2, 0.0002, false},
        {"edge just long enough", 2, -0.0003, 2, 0.0003, true},
        {"NaN coordinate", 2, nan, 2, 1, false},
    };
    const CVertex a = P(0, 0), b = P(10, 0);
    for (const auto& k : cases) {
        const CVertex c = P(k.cx, k.cy), d = P(k.dx, k.dy);
        CVertex out = P(-7, -7, -7);
        EXPECT_EQ(IntersectSegments2D(&a, &b, &c, &d, kTol, &out), k.crosses) << k.name;
        EXPECT_TRUE(k.crosses || out.x == -7) << k.name << ": written on false";
    }
    // The point lies on the cut and takes the cut's height, not the edge's.
    const CVertex p = P(0, 0, 0.25), q = P(10, 5, 0.25), c = P(4, -1, 3), d = P(4, 9, 3);
    CVertex out;
    ASSERT_TRUE(IntersectSegments2D(&p, &q, &c, &d, kTol, &out));
    ExpectAt(out, P(4, 2, 0.25));
    // A determinant exactly equal to the tolerance (1 x 0.5, exact in binary) is not parallel.
    const CVertex e = P(0.5, -0.25), f = P(0.5, 0.25), unit = P(1, 0);
    EXPECT_TRUE(IntersectSegments2D(&a, &unit, &e, &f, 0.5, &out));
}

// The collinear sub-cases are listed in the order they are tried: an edge starting within the
// slack of the cut's end is apart only because "starts inside" is tried before "ends inside".
TEST(ClassifySegments, EveryContactAgainstACutAlongX) {
    const CVertex a = P(0, 0, 0.002);  // a crossing point takes the cut start's z
    const CVertex b = P(10, 0, -0.003);
    struct Case {
        const char* name;
        CVertex c, d;
        std::int32_t code;
        CVertex first, second;  // as far as the code defines them
    };
    const Case cases[] = {
        {"parallel apart", P(2, 0.01), P(5, 0.01), SEGMENTS_APART, {}, {}},
        {"crossing past the end beyond the slack", P(10.01, -1), P(10.01, 1), SEGMENTS_APART, {}, {}},
        {"crossing past the end within tol^2",
         P(10.0002, -1),
         P(10.0002, 1),
         SEGMENTS_CROSSING,
         P(10.0002, 0, 0.002),
         {}},
        {"crossing", P(2, -1, 0.004), P(2, 1, 0.004), SEGMENTS_CROSSING, P(2, 0, 0.002), {}},
        {"edge ending on the cut", P(4, 1), P(4, 0), SEGMENTS_CROSSING, P(4, 0, 0.002), {}},
        {"edge inside the cut", P(2, 0, 0.003), P(5, 0, 0.004), SEGMENTS_EDGE_ON_CUT, P(2, 0, 0.003), P(5, 0, 0.004)},
        {"edge equal to the cut, reversed", P(10, 0), P(0, 0), SEGMENTS_EDGE_ON_CUT, P(10, 0), P(0, 0)},
        {"edge a hair off the cut line", P(2, 0.0004), P(5, 0.0004), SEGMENTS_EDGE_ON_CUT, P(2, 0.0004), P(5, 0.0004)},
        {"cut inside the edge", P(-1, 0), P(11, 0), SEGMENTS_CUT_ON_EDGE, a, b},
        {"cut inside the edge, reversed", P(11, 0), P(-1, 0), SEGMENTS_CUT_ON_EDGE, a, b},
        {"edge just past the end, within the gap", P(10.003, 0), P(10.004, 0), SEGMENTS_CUT_ON_EDGE, a, b},
        {"starts inside, leaves past the end", P(5, 0, 0.003), P(12, 0), SEGMENTS_PARTIAL_OVERLAP, P(5, 0, 0.003), b},
        {"starts inside, leaves before the start", P(5, 0), P(-2, 0), SEGMENTS_PARTIAL_OVERLAP, a, P(5, 0)},
        {"starts at the cut's end and leaves", P(10, 0), P(12, 0), SEGMENTS_APART, {}, {}},
        {"starts within the slack past the end", P(10.00001, 0), P(15, 0), SEGMENTS_APART, {}, {}},
        {"comes in from before the start", P(-3, 0), P(4, 0), SEGMENTS_PARTIAL_OVERLAP, a, P(4, 0)},
        {"comes in from past the end", P(13, 0), P(4, 0), SEGMENTS_PARTIAL_OVERLAP, P(4, 0), b},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CVertex first(3, 4, 7, 0.01);
        CVertex second(5, 6, 8, 0.01);
        const std::int32_t code = ClassifySegments(&a, &b, &c.c, &c.d, kTol, &first, &second);
        EXPECT_EQ(code, c.code);
        // Apart, the positions are cleared and z is left.
        ExpectAt(first, code == SEGMENTS_APART ? P(0, 0, 7) : c.first);
        if (code != SEGMENTS_CROSSING) ExpectAt(second, code == SEGMENTS_APART ? P(0, 0, 8) : c.second);
        EXPECT_EQ(first.tolerance, 0.01);
        EXPECT_EQ(first.id, -1);
    }
}

}  // namespace
}  // namespace xsect
