#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include <xsect/xsect.h>

using namespace xsect;

TEST(Vertex, EqualityIsStrictAndUsesTheLeftOperandsTolerance) {
    struct Case {
        CVertex a, b;
        int equal;
    } cases[] = {
        {{0, 0, 0, 0.5}, {0.5, 0, 0, 0.5}, 0},     // exactly the tolerance apart: not equal
        {{0, 0, 0, 0.5}, {0.25, 0, 0, 0.5}, 1},
        {{0, 0, 0, 0.1}, {0.01, 0, 0, 0.001}, 1},  // a's tolerance decides
        {{0.01, 0, 0, 0.001}, {0, 0, 0, 0.1}, 0},  // b's tolerance decides the other way
        {{0, 0, 0}, {0.004, 0.004, 0.004}, 0},     // 0.0069 apart with 0.005
        {{std::nan(""), 0, 0}, {0, 0, 0}, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.a == c.b, c.equal) << c.a.x << " vs " << c.b.x;
        EXPECT_EQ(c.a != c.b, 1 - c.equal);
    }
}

TEST(Vertex, TolerantOrderComparesCoordinateByCoordinate) {
    const CVertex a(0, 0, 0), b(0.004, 0.004, 0.004);
    EXPECT_FALSE(a < b);  // unequal by distance, yet equal in every coordinate
    EXPECT_FALSE(a > b);
    const CVertex c(0, 5, 0), d(0.004, 1, 0);
    EXPECT_FALSE(c < d);  // x within tolerance, so y decides
    EXPECT_TRUE(c > d);
    const CVertex p(1, 2, 3), q(1, 2, 3.0000001);
    EXPECT_TRUE(p.LessThen(&q, 0.0));  // tolerance 0: strict lexicographic order
    EXPECT_FALSE(q.LessThen(&p, 0.0));
    EXPECT_TRUE(q.GreaterThen(&p, 0.0));
    EXPECT_FALSE(p.LessThen(&p, 0.0) || p.GreaterThen(&p, 0.0));
    EXPECT_FALSE(p.LessThen(&q, 1e-3) || p.GreaterThen(&q, 1e-3));  // within the given tolerance: neither
}

TEST(ShellElement, FilingReplacesKeepsOtherEntriesAndCopiesStayApart) {
    CShellElement s;
    EXPECT_EQ(s.GetShellNodeSize(), 0);
    s.StoreStaticCaseResults(1, 10, {1, 0, 0, 0, 0, 0});
    s.StoreStaticCaseResults(1, 11, {5, 0, 0, 0, 0, 0});
    s.StoreStaticCaseResults(1, 10, {2, 0, 0, 0, 0, 0});
    EXPECT_EQ(s.staticResults[1][10].Fx, 2.0);  // replaced, not accumulated
    EXPECT_EQ(s.staticResults[1][11].Fx, 5.0);

    for (int mode : {3, 1, 2}) s.StoreResponseSpectraCaseResults(7, 10, mode, {double(mode), 0, 0, 0, 0, 0});
    s.StoreResponseSpectraCaseResults(7, 10, 2, {20, 0, 0, 0, 0, 0});
    std::vector<int> modes;
    for (const auto& [mode, r] : s.spectrumResults[7][10]) modes.push_back(mode), (void)r;
    EXPECT_EQ(modes, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(s.spectrumResults[7][10][2].Fx, 20.0);

    CShellElement copy(s);
    copy.StoreStaticCaseResults(1, 10, {9, 0, 0, 0, 0, 0});
    EXPECT_EQ(s.staticResults[1][10].Fx, 2.0);
}
