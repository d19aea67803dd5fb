#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "compute/cut_line_stresses.h"
#include "compute/demo_model.h"
#include "compute/section.h"
#include "tool_test_support.h"

namespace xsect::cli {
namespace {

using testing_support::RunXsect;
using testing_support::TempPath;

// Rounding of sums over ~100 element forces of size ~100 kN.
constexpr double kRoundoff = 1e-9;

struct Section {
    const char* cut;
    double height;  // of the horizontal cut
};

// Statics of the wall's top part: a horizontal cut at height z carries the top loads V (along X,
// cut axis 1), Q (along Y, cut axis 3 = -Y) and N (along Z, axis 2), with the lever H - z.
TEST(Demo, HorizontalCutsCarryTheLoadsAboveThem) {
    Demo demo = MakeDemo();
    auto calc = io::MakeForceCalculator(demo.model);
    ASSERT_EQ(calc->GetCurrentStatus(), CS_SUCCESS);
    const double H = demo.wall.height;
    for (Section s : {Section{"A", 0.75}, Section{"B", 3.25}, Section{"D", 4.75}}) {
        const DemoCut& dc = *std::find_if(demo.cuts.begin(), demo.cuts.end(),
                                          [&](const DemoCut& c) { return std::string(c.name) == s.cut; });
        CutSpec cut{dc.name, dc.start, dc.end, dc.side};
        HostSection wind = ComputeSection(*calc, demo.model, cut, 1, false, std::nullopt);
        ASSERT_TRUE(wind.ok) << s.cut;
        const double V = 120, Q = 15, lever = H - s.height;
        const double expected[6] = {V, 0, -Q, -lever * Q, 0, -lever * V};
        for (int k = 0; k < 6; ++k) EXPECT_NEAR(wind.values[static_cast<std::size_t>(k)], expected[k], kRoundoff * 1e3) << s.cut << k;
        HostSection gravity = ComputeSection(*calc, demo.model, cut, 2, false, std::nullopt);
        ASSERT_TRUE(gravity.ok);
        EXPECT_NEAR(gravity.values[1], -800.0, kRoundoff * 1e3) << s.cut;

        // Mode 1: 180 at the top; mode 2: -70 at the top and 130 at mid-height, below cuts B and D.
        const double v1 = 180, v2 = s.height < 3.0 ? -70 + 130 : -70;
        const double m1 = -lever * 180, m2 = s.height < 3.0 ? -lever * -70 - (3.0 - s.height) * 130 : -lever * -70;
        HostSection srss = ComputeSection(*calc, demo.model, cut, 3, false, std::nullopt);
        ASSERT_TRUE(srss.ok);
        EXPECT_NEAR(srss.values[0], std::hypot(v1, v2), kRoundoff * 1e3) << s.cut;
        EXPECT_NEAR(srss.values[5], std::hypot(m1, m2), kRoundoff * 1e3) << s.cut;
        HostSection cqc = ComputeSection(*calc, demo.model, cut, 4, false, std::nullopt);
        ASSERT_TRUE(cqc.ok);
        EXPECT_NEAR(cqc.values[0], std::sqrt(v1 * v1 + v2 * v2 + 2 * 0.12 * v1 * v2), kRoundoff * 1e3) << s.cut;
        EXPECT_NEAR(cqc.values[5], std::sqrt(m1 * m1 + m2 * m2 + 2 * 0.12 * m1 * m2), kRoundoff * 1e3) << s.cut;
    }
}

TEST(Demo, AgreesWithItsFreeBodyAndSaysSo) {
    auto r = RunXsect({"demo"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("agrees"), std::string::npos);
    EXPECT_EQ(r.out.find("DOES NOT AGREE"), std::string::npos);
    for (const char* cut : {"cut A", "cut B", "cut C", "cut D"}) EXPECT_NE(r.out.find(cut), std::string::npos) << cut;
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(Demo, PicturesShowTheCrossedRowAndTheNodesGathered) {
    std::string dir = TempPath("demo_pictures");
    std::filesystem::remove_all(dir);
    auto r = RunXsect({"demo", "--out", dir});
    ASSERT_EQ(r.code, 0) << r.err;
    auto read = [&](const std::string& name) {
        std::ifstream in(dir + "/" + name);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    };
    // Cut A runs through one row of 8 shells and gathers the 9 nodes on that row's upper edge.
    std::string plan = read("plan_A.svg");
    EXPECT_EQ(Count(plan, "fill='#7fb8e6' fill-opacity='0.75'"), 8u);
    EXPECT_EQ(Count(plan, "r='4.5'"), 9u);
    EXPECT_EQ(Count(plan, "<polygon points="), 96u);
    // Five diagrams, each with the smoothed curve and the 40 samples of 8 shells x 5 points.
    std::string diagrams = read("stresses_A_case1.svg");
    for (const char* name : {">St<", ">Sts<", ">Qt<", ">Mts<", ">Mt<"}) EXPECT_EQ(Count(diagrams, name), 1u) << name;
    EXPECT_EQ(Count(diagrams, "<polyline"), 5u);
    EXPECT_EQ(Count(diagrams, "r='3' fill='#d9480f'"), 5u * 40u + 1u);  // and the legend's dot
}

}  // namespace
}  // namespace xsect::cli
