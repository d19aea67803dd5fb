#include <gtest/gtest.h>

#include <array>
#include <utility>

#include "support/stresses_access.h"

namespace xsect {
namespace {

std::array<double, 8> components(const StressPoint& p) { return p.GetStress().components; }

TEST(StressRecords, StressPointStartsUnsetAndKeepsItsVertex) {
    CVertex v(1, 2, 3, 0.02);
    v.id = 44;
    StressPoint p(v, 1.5);
    EXPECT_EQ(p.GetStressCSType(), STRESS_CS_NONE);
    EXPECT_EQ(p.Get1DCoor(), 1.5);
    EXPECT_EQ(p.GetPoint().tolerance, 0.02);
    EXPECT_EQ(p.GetPoint().id, 44);
    double x = 0, y = 0, z = 0;
    p.GetPoint(x, y, z);
    EXPECT_EQ(x, 1.0);
    EXPECT_EQ(y, 2.0);
    EXPECT_EQ(z, 3.0);
    EXPECT_EQ(components(p), (std::array<double, 8>{}));
}

TEST(StressRecords, SignReversalsNegateTheirComponents) {
    StressPoint p(CVertex(), 0.0);
    p.SetStressValue_ZEL(0, 1, 2, 3, 4, 5, 6, 7);
    EXPECT_EQ(p.GetStressCSType(), STRESS_CS_ZEL);
    EXPECT_EQ(components(p), (std::array<double, 8>{0, 1, 2, 3, 4, 5, 6, 7}));
    p.ReverseStressSign_ZEL();
    EXPECT_EQ(components(p), (std::array<double, 8>{0, 1, -2, 3, -4, 5, -6, -7}));
    p.ReverseStressSignMyToMt();
    EXPECT_EQ(components(p), (std::array<double, 8>{0, 1, -2, 3, 4, 5, -6, -7}));
    EXPECT_EQ(p.GetStressCSType(), STRESS_CS_ZEL);
    p.ReverseStressSignMyToMt();
    p.ReverseStressSign_ZEL();
    EXPECT_EQ(components(p), (std::array<double, 8>{0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST(StressRecords, SetAvgThicknessLeavesExactlyOneValue) {
    ElemStressPoints row(3, CVertex());
    EXPECT_TRUE(row.GetCornerThickness().empty());
    row.SetAvgThickness(2.5);
    EXPECT_EQ(row.GetCornerThickness(), std::vector<double>{2.5});
    row.SetAvgThickness(1.0);
    EXPECT_EQ(row.GetCornerThickness(), std::vector<double>{1.0});

    // A list of three, as a copy made by hand could hold, shrinks to one.
    ElemStressPoints three(3, CVertex());
    three.SetAvgThickness(9.0);
    ElemStressPoints grown = three;
    const_cast<std::vector<double>&>(grown.GetCornerThickness()) = {1, 2, 3};
    grown.SetAvgThickness(2.5);
    EXPECT_EQ(grown.GetCornerThickness(), std::vector<double>{2.5});
}

TEST(StressRecords, ElemStressPointsCopiesDeeplyAndMovesOut) {
    CVertex face(1, 2, 3, 0.01);
    face.id = 5;
    ElemStressPoints row(12, face);
    row.SetAvgThickness(0.3);
    row.GetStressPoints().emplace_back(CVertex(0, 0, 0), 0.0);
    row.GetStressPoints().emplace_back(CVertex(1, 0, 0), 1.0);
    EXPECT_EQ(row.GetElemID(), 12);
    EXPECT_EQ(row.GetFaceThirdPoint().id, 5);
    EXPECT_EQ(row.GetFaceThirdPoint().tolerance, 0.01);

    ElemStressPoints copy = row;
    copy.GetStressPoints()[0].SetStressValue_ZEL(1, 1, 1, 1, 1, 1, 1, 1);
    copy.SetAvgThickness(0.9);
    EXPECT_EQ(row.GetStressPoints()[0].GetStressCSType(), STRESS_CS_NONE);
    EXPECT_EQ(row.GetCornerThickness(), std::vector<double>{0.3});

    ElemStressPoints moved = std::move(row);
    EXPECT_EQ(moved.GetStressPoints().size(), 2u);
    EXPECT_EQ(moved.GetElemID(), 12);
    EXPECT_TRUE(row.GetStressPoints().empty());  // NOLINT(bugprone-use-after-move): promised empty
    EXPECT_TRUE(row.GetCornerThickness().empty());

    ElemStressPoints target(1, CVertex());
    target = std::move(copy);
    EXPECT_EQ(target.GetCornerThickness(), std::vector<double>{0.9});
    EXPECT_TRUE(copy.GetStressPoints().empty());  // NOLINT(bugprone-use-after-move)
    EXPECT_TRUE(copy.GetCornerThickness().empty());
    ElemStressPoints& self = target;
    target = std::move(self);
    EXPECT_EQ(target.GetStressPoints().size(), 2u);
}

TEST(StressRecords, CLStressPicksTheFirstNamedQuantity) {
    const CLStress s(1, 2, 3, 4, 5);  // St, Sts, Mts, Mt, Qt
    auto t = [](std::int32_t v) { return static_cast<CLStressType>(v); };
    struct Case {
        std::vector<CLStressType> types;
        std::vector<double> expected;
    };
    const Case cases[] = {
        {{CL_STRESS_MT, CL_STRESS_ST}, {4}},
        {{t(7), CL_STRESS_QT}, {5}},
        {{t(9)}, {}},
        {{}, {}},
        {{t(-1), CL_STRESS_STS}, {2}},
        {{CL_STRESS_MTS}, {3}},
        {{CL_STRESS_ST}, {1}},
    };
    for (const Case& c : cases) EXPECT_EQ(s.GetStress(c.types), c.expected);

    double St = 0, Sts = 0, Mts = 0, Mt = 0, Qt = 0;
    s.GetStress(St, Sts, Mts, Mt, Qt);
    EXPECT_EQ((std::array<double, 5>{St, Sts, Mts, Mt, Qt}), (std::array<double, 5>{1, 2, 3, 4, 5}));
    EXPECT_EQ((std::array<double, 5>{s.GetSt(), s.GetSts(), s.GetMts(), s.GetMt(), s.GetQt()}),
              (std::array<double, 5>{1, 2, 3, 4, 5}));
}

TEST(StressRecords, OutputRecordsHoldWhatTheyAreGiven) {
    const CLStress zero;
    EXPECT_EQ((std::array<double, 5>{zero.GetSt(), zero.GetSts(), zero.GetMts(), zero.GetMt(), zero.GetQt()}),
              (std::array<double, 5>{}));
    const ForceResultant none;
    EXPECT_EQ((std::array<double, 6>{none.GetFx(), none.GetFy(), none.GetFz(), none.GetMx(), none.GetMy(),
                                     none.GetMz()}),
              (std::array<double, 6>{}));
    const ForceResultant r(1, 2, 3, 4, 5, 6);
    EXPECT_EQ((std::array<double, 6>{r.GetFx(), r.GetFy(), r.GetFz(), r.GetMx(), r.GetMy(), r.GetMz()}),
              (std::array<double, 6>{1, 2, 3, 4, 5, 6}));

    CVertex v(7, 8, 9, 0.03);
    v.id = 2;
    const CLStressPoint p(2.5, 1, 2, 3, 4, 5, v);
    EXPECT_EQ(p.GetCLCoor(), 2.5);
    EXPECT_EQ(p.GetPoint3D().z, 9.0);
    EXPECT_EQ(p.GetPoint3D().id, 2);
    EXPECT_EQ(p.GetPoint3D().tolerance, 0.03);
    EXPECT_EQ(p.GetStress().GetMts(), 3.0);
    EXPECT_EQ(p.GetStress().GetQt(), 5.0);
}

}  // namespace
}  // namespace xsect
