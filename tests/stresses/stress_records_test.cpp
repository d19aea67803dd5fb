#include <gtest/gtest.h>

#include <array>
#include <utility>
#include <vector>

#include <xsect/xsect.h>

namespace xsect {
namespace {

using Eight = std::array<double, 8>;

TEST(StressRecords, StressPointKeepsItsVertexAndStartsUnset) {
    CVertex v(1, 2, 3, 0.02);
    v.id = 44;
    const StressPoint p(v, 1.5);
    EXPECT_EQ(p.GetStressCSType(), STRESS_CS_NONE);
    EXPECT_EQ(p.Get1DCoor(), 1.5);
    EXPECT_EQ(p.GetPoint().tolerance, 0.02);
    EXPECT_EQ(p.GetPoint().id, 44);
}

TEST(StressRecords, SignReversalsNegateTheirComponents) {
    StressPoint p(CVertex(), 0.0);
    p.SetStressValue_ZEL(0, 1, 2, 3, 4, 5, 6, 7);
    EXPECT_EQ(p.GetStressCSType(), STRESS_CS_ZEL);
    p.ReverseStressSign_ZEL();
    EXPECT_EQ(p.GetStress().components, (Eight{0, 1, -2, 3, -4, 5, -6, -7}));
    p.ReverseStressSignMyToMt();
    EXPECT_EQ(p.GetStress().components, (Eight{0, 1, -2, 3, 4, 5, -6, -7}));
    EXPECT_EQ(p.GetStressCSType(), STRESS_CS_ZEL);
}

TEST(StressRecords, ElemStressPointsKeepsOneThicknessCopiesDeeplyAndMovesOut) {
    ElemStressPoints row(12, CVertex());
    EXPECT_TRUE(row.GetCornerThickness().empty());
    row.SetAvgThickness(0.3);
    row.GetStressPoints().emplace_back(CVertex(), 0.0);
    ElemStressPoints three = row;
    const_cast<std::vector<double>&>(three.GetCornerThickness()) = {1, 2, 3};  // as no operation could
    three.SetAvgThickness(2.5);
    EXPECT_EQ(three.GetCornerThickness(), std::vector<double>{2.5});

    ElemStressPoints copy = row;
    copy.GetStressPoints()[0].SetStressValue_ZEL(1, 1, 1, 1, 1, 1, 1, 1);
    EXPECT_EQ(row.GetStressPoints()[0].GetStressCSType(), STRESS_CS_NONE);
    ElemStressPoints moved = std::move(row);
    EXPECT_EQ(moved.GetStressPoints().size(), 1u);
    EXPECT_TRUE(row.GetStressPoints().empty());  // NOLINT(bugprone-use-after-move): promised empty
    EXPECT_TRUE(row.GetCornerThickness().empty());
}

TEST(StressRecords, CLStressListGivesTheFirstNamedQuantityOnly) {
    const CLStress s(1, 2, 3, 4, 5);  // St, Sts, Mts, Mt, Qt
    auto t = [](std::int32_t v) { return static_cast<CLStressType>(v); };
    const std::pair<std::vector<CLStressType>, std::vector<double>> cases[] = {
        {{CL_STRESS_MT, CL_STRESS_ST}, {4}}, {{t(7), CL_STRESS_QT}, {5}}, {{t(9)}, {}},           {{}, {}},
        {{t(-1), CL_STRESS_STS}, {2}},       {{CL_STRESS_MTS}, {3}},      {{CL_STRESS_ST}, {1}},
    };
    for (const auto& c : cases) EXPECT_EQ(s.GetStress(c.first), c.second);
    const CLStress zero;
    const ForceResultant none;
    EXPECT_EQ((std::array<double, 5>{zero.GetSt(), zero.GetSts(), zero.GetMts(), zero.GetMt(), zero.GetQt()}),
              (std::array<double, 5>{}));
    EXPECT_EQ((std::array<double, 6>{none.GetFx(), none.GetFy(), none.GetFz(), none.GetMx(), none.GetMy(),
                                     none.GetMz()}),
              (std::array<double, 6>{}));
}

}  // namespace
}  // namespace xsect
