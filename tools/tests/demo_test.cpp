#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "tool_test_support.h"

namespace xsect::cli {
namespace {

using testing_support::RunXsect;
using testing_support::TempPath;

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
    auto read = [&](const std::string& name) { return testing_support::ReadText(dir + "/" + name); };
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
