#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <limits>
#include <memory>
#include <vector>

#include <xsect/xsect.h>

#include "stresses/smoothing_steps.h"

namespace xsect {
namespace {

using detail::RowSpan;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

QuadraticFit Poly(double a, double b, double c) { return {a, b, c, true}; }

TEST(OutputPositions, RequestedListsAreSortedTrimmedAndGrown) {
    struct Case {
        const char* name;
        std::vector<double> in;
        double s0, sN;
        std::vector<double> out;
    };
    const Case cases[] = {
        {"empty gives the ends, the middle and the quarter points", {}, 0.0, 4.0, {0.0, 1.0, 2.0, 3.0, 4.0}},
        {"duplicates go, then s0 and sN are added", {1.0, 1.0, 2.0}, 0.0, 4.0, {0.0, 1.0, 2.0, 4.0}},
        {"a position within the slack below s0 stays", {-0.00005, 1.0, 2.0, 3.0}, 0.0, 4.0,
         {-0.00005, 1.0, 2.0, 3.0}},
        {"a position beyond the slack below s0 goes", {-0.0002, 1.0, 2.0, 3.0}, 0.0, 4.0, {0.0, 1.0, 2.0, 3.0}},
        {"unsorted input beyond sN", {3.0, 9.0, 2.0, 1.0, 4.00009}, 0.0, 4.0, {1.0, 2.0, 3.0, 4.00009}},
        {"ends already present get midpoints", {1.0, 3.0}, 1.0, 3.0, {1.0, 1.5, 2.0, 2.5, 3.0}},
        {"not-a-number is no position", {kNaN, 1.0, kNaN}, 0.0, 2.0, {0.0, 0.5, 1.0, 1.5, 2.0}},
        {"rows of 0.02 still grow", {0.0, 0.02}, 0.0, 0.02, {0.0, 0.005, 0.01, 0.015, 0.02}},
        {"rows shorter than 0.02 keep the one middle position", {}, 0.0, 0.015, {0.0075}},
        {"zero-length rows keep their one position", {5.0}, 5.0, 5.0, {5.0}},
    };
    for (const Case& c : cases) {
        const std::vector<double> got = detail::PrepareOutputPositions(c.in, c.s0, c.sN);
        ASSERT_EQ(got.size(), c.out.size()) << c.name;
        for (std::size_t i = 0; i < got.size(); ++i) EXPECT_DOUBLE_EQ(got[i], c.out[i]) << c.name << " at " << i;
    }
}

TEST(OutputPositions, SpacedPositionsFollowTheStepRule) {
    struct Case {
        const char* name;
        double s0, sN;
        std::size_t elements;
        double spacing;
        std::vector<double> out;
    };
    const Case cases[] = {
        {"spacing 0.5", 0.0, 3.0, 2, 0.5, {0.0, 0.5, 1.0, 1.5, 2.0, 2.5, 3.0}},
        {"no spacing over two elements steps a sixth", 0.0, 3.0, 2, 0.0, {0.0, 0.5, 1.0, 1.5, 2.0, 2.5, 3.0}},
        {"spacing at the threshold counts as none", 0.0, 3.0, 1, 0.0001, {0.0, 1.0, 2.0, 3.0}},
        {"a line starting before 0 is walked from 0", -1.0, 2.0, 1, 0.5, {0.0, 0.5, 1.0, 1.5, 2.0}},
        {"a line starting after 0 is walked from its start", 1.0, 4.0, 3, 0.0, {1.0, 4.0 / 3.0, 5.0 / 3.0, 2.0,
                                                                               7.0 / 3.0, 8.0 / 3.0, 3.0,
                                                                               10.0 / 3.0, 11.0 / 3.0, 4.0}},
        {"not-a-number spacing takes the default step", 0.0, 3.0, 1, kNaN, {0.0, 1.0, 2.0, 3.0}},
        {"a zero-length line gives its one position", 2.0, 2.0, 1, 0.5, {2.0}},
    };
    for (const Case& c : cases) {
        const std::vector<double> got = detail::SpacedPositions(c.s0, c.sN, c.elements, c.spacing);
        ASSERT_EQ(got.size(), c.out.size()) << c.name;
        // Positions are accumulated step by step, so allow the rounding of a dozen additions.
        for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], c.out[i], 1e-14 * 16) << c.name;
    }
}

TEST(OutputPositions, SpacedPositionsEndForAnySpacing) {
    // Just above the threshold: many positions, ascending, none beyond the end.
    const std::vector<double> fine = detail::SpacedPositions(0.0, 3.0, 1, 0.00011);
    EXPECT_GT(fine.size(), 27000u);
    for (std::size_t i = 1; i < fine.size(); ++i) ASSERT_LT(fine[i - 1], fine[i]);
    EXPECT_LE(fine.back(), 3.0 + 0.0001);

    // A line so long that the spacing would need billions of positions is capped.
    EXPECT_EQ(detail::SpacedPositions(0.0, 1e9, 1, 0.001).size(), detail::kMaxSpacedPositions);

    // Far from the origin a step is lost in the rounding of s: the walk stops instead of spinning.
    EXPECT_EQ(detail::SpacedPositions(1e17, 1e17 + 3.0, 1, 0.5).size(), 1u);

    // Huge and infinite spacings are cut to a third of the line.
    EXPECT_EQ(detail::SpacedPositions(0.0, 3.0, 1, 1e300).size(), 4u);
    EXPECT_EQ(detail::SpacedPositions(0.0, 3.0, 1, std::numeric_limits<double>::infinity()).size(), 4u);
}

TEST(OutputPositions, SamplePointsGiveTheirDistinctCoordinates) {
    detail::Rows rows;
    const std::vector<std::vector<double>> coords{{0.0, 0.5, 1.0}, {1.0, 1.0005, 1.5, 2.0}, {2.0009, 2.5}};
    for (const auto& row : coords) {
        rows.push_back(std::make_shared<ElemStressPoints>(1, CVertex()));
        for (const double s : row) rows.back()->GetStressPoints().emplace_back(CVertex(), s);
    }
    // 1.0 repeats, 1.0005 and 2.0009 lie closer than 0.001 to the last coordinate taken.
    const std::vector<double> expected{0.0, 0.5, 1.0, 1.5, 2.0, 2.5};
    EXPECT_EQ(detail::SamplePointPositions(rows), expected);
}

// The public smoothing tests show the joins and the balance; here the singular case.
TEST(Balancing, ZeroLengthRowsKeepTheirFits) {
    // The resultant row is all zeros and the line has no second moment: nothing to solve or tilt.
    const std::vector<RowSpan> spans{{1.0, 1.0, 0.2}, {1.0, 1.0, 0.2}};
    std::vector<QuadraticFit> fits{Poly(1.0, 2.0, 3.0), Poly(0.0, 1.0, 5.0)};
    EXPECT_EQ(detail::BalancingShifts(fits, spans, true, 7.0, 0.0), (std::vector<double>{0.0, 0.0}));
    detail::TiltFirstMoment(fits, spans, 1.0, 5.0);
    EXPECT_EQ(fits[0].a, 1.0);
    EXPECT_EQ(fits[0].b, 2.0);
    EXPECT_EQ(fits[0].c, 3.0);
}

}  // namespace
}  // namespace xsect
