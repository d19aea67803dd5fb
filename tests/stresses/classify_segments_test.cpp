#include <gtest/gtest.h>

#include <xsect/detail/segments.h>

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
        {"crossing past the end within tol^2", P(10.0002, -1), P(10.0002, 1), SEGMENTS_CROSSING,
         P(10.0002, 0, 0.002), {}},
        {"crossing", P(2, -1, 0.004), P(2, 1, 0.004), SEGMENTS_CROSSING, P(2, 0, 0.002), {}},
        {"edge ending on the cut", P(4, 1), P(4, 0), SEGMENTS_CROSSING, P(4, 0, 0.002), {}},
        {"edge inside the cut", P(2, 0, 0.003), P(5, 0, 0.004), SEGMENTS_EDGE_ON_CUT, P(2, 0, 0.003),
         P(5, 0, 0.004)},
        {"edge equal to the cut, reversed", P(10, 0), P(0, 0), SEGMENTS_EDGE_ON_CUT, P(10, 0), P(0, 0)},
        {"edge a hair off the cut line", P(2, 0.0004), P(5, 0.0004), SEGMENTS_EDGE_ON_CUT, P(2, 0.0004),
         P(5, 0.0004)},
        {"cut inside the edge", P(-1, 0), P(11, 0), SEGMENTS_CUT_ON_EDGE, a, b},
        {"cut inside the edge, reversed", P(11, 0), P(-1, 0), SEGMENTS_CUT_ON_EDGE, a, b},
        {"edge just past the end, within the gap", P(10.003, 0), P(10.004, 0), SEGMENTS_CUT_ON_EDGE, a, b},
        {"starts inside, leaves past the end", P(5, 0, 0.003), P(12, 0), SEGMENTS_PARTIAL_OVERLAP,
         P(5, 0, 0.003), b},
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
