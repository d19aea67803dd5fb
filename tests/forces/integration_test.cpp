#include <gtest/gtest.h>

#include <array>

#include "support/forces_access.h"
#include "support/strip_model.h"

using namespace xsect;
using Access = CCrossSectionForcesPostTestAccess;
using strip_model::SmallModel;

namespace {

using Six = std::array<double, 6>;

AG_Matrix rows(std::array<std::array<double, 3>, 3> r) {
    AG_Matrix m(3, 3, 0.0);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m(i + 1, j + 1) = r[i][j];
    return m;
}

const AG_Matrix kIdentity = rows({{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}});
const AG_Matrix kVerticalCut = rows({{{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}}});

Six addOne(CCrossSectionForcesPost& calc, AG_Matrix T, std::array<double, 3> r, std::array<double, 3> f,
           std::array<double, 3> m, Six start = {}) {
    Six s = start;
    Access::AddForcesAndMoments(calc, T, r[0], r[1], r[2], f[0], f[1], f[2], m[0], m[1], m[2], s[0], s[1], s[2], s[3],
                                s[4], s[5]);
    return s;
}

}  // namespace

TEST(Integration, OneNodeTransfersItsForceThenRotates) {
    SmallModel model;
    CCrossSectionForcesPost calc = model.Build();
    struct Case {
        const char* name;
        const AG_Matrix& T;
        std::array<double, 3> r, f, m;
        Six want;
    } cases[] = {
        {"at the moment point", kVerticalCut, {0, 0, 0}, {1, 2, 3}, {4, 5, 6}, {2, -1, 3, 5, -4, 6}},
        {"unit lever arm", kIdentity, {1, 0, 0}, {0, 1, 0}, {0, 0, 0}, {0, 1, 0, 0, 0, 1}},
        // r x f = (2*6 - 3*5, 3*4 - 1*6, 1*5 - 2*4) = (-3, 6, -3), added to m = (1, 1, 1)
        {"general arm", kIdentity, {1, 2, 3}, {4, 5, 6}, {1, 1, 1}, {4, 5, 6, -2, 7, -2}},
        {"transfer before rotation", kVerticalCut, {1, 2, 3}, {4, 5, 6}, {1, 1, 1}, {5, -4, 6, 7, 2, -2}},
        {"vertical cut, force along x'", kVerticalCut, {0, 0, 0}, {1, 0, 0}, {0, 0, 0}, {0, -1, 0, 0, 0, 0}},
    };
    for (const auto& k : cases) {
        const Six got = addOne(calc, k.T, k.r, k.f, k.m);
        for (int i = 0; i < 6; ++i) EXPECT_DOUBLE_EQ(got[i], k.want[i]) << k.name << " component " << i;
    }
    // Accumulators are added to, never reset.
    const Six twice = addOne(calc, kIdentity, {1, 0, 0}, {0, 1, 0}, {0, 0, 0}, {10, 20, 30, 40, 50, 60});
    EXPECT_EQ(twice, (Six{10, 21, 30, 40, 50, 61}));
}

TEST(Integration, ResultantsWalkTheGatheredNodesAboutTheMomentPoint) {
    SmallModel model;
    model.AddNode(1, 2, 0);
    model.AddNode(2, 0, 3);
    CCrossSectionForcesPost calc = model.Build();
    std::map<std::int32_t, CNodeResults> g;
    g[1] = {0, 1, 0, 0, 0, 0};
    g[2] = {1, 0, 0, 0, 0, 0.5};
    AG_Matrix T = kIdentity;
    CVertex p1, p2;
    Six s{};
    // About (1, 1): node 1 arm (1, -1) gives 1, node 2 arm (-1, 2) gives -2, plus its 0.5.
    Access::CalculateResultants(calc, T, &p1, &p2, g, 1, 1, 0, s[0], s[1], s[2], s[3], s[4], s[5]);
    EXPECT_EQ(s, (Six{1, 1, 0, 0, 0, -0.5}));
    Access::CalculateResultants(calc, T, &p1, &p2, g, 1, 1, 0, s[0], s[1], s[2], s[3], s[4], s[5]);
    EXPECT_EQ(s, (Six{2, 2, 0, 0, 0, -1}));

    std::map<std::int32_t, CNodeResults> empty;
    Six z{};
    Access::CalculateResultants(calc, T, &p1, &p2, empty, 1, 1, 0, z[0], z[1], z[2], z[3], z[4], z[5]);
    EXPECT_EQ(z, Six{});
}

TEST(Integration, MidpointAndRotationHelpers) {
    SmallModel model;
    CCrossSectionForcesPost calc = model.Build();
    CVertex a(1, 2, 3), b(4, -6, 0.5);
    double x = 0, y = 0, z = 0;
    Access::CalculateMomentPoint(calc, &a, &b, x, y, z);
    EXPECT_EQ(x, 2.5);
    EXPECT_EQ(y, -2.0);
    EXPECT_EQ(z, 1.75);
    Access::CalculateMomentPoint(calc, &a, &a, x, y, z);
    EXPECT_EQ(x, 1.0);
    EXPECT_EQ(z, 3.0);

    double p = 9, q = 9, r = 9;
    AG_Matrix I = kIdentity;
    Access::ApplyTransformation(calc, p, q, r, 1, 2, 3, I);
    EXPECT_EQ(p, 1);
    EXPECT_EQ(q, 2);
    EXPECT_EQ(r, 3);
    AG_Matrix V = kVerticalCut;
    Access::ApplyTransformation(calc, p, q, r, 1, 2, 3, V);  // overwritten, not added to
    EXPECT_EQ(p, 2);
    EXPECT_EQ(q, -1);
    EXPECT_EQ(r, 3);
}
