// The program on an assembly, the example lift core (examples/lift_core.py): a box core of four
// walls and four columns, 30 m high, case 1 G (-18000 kN in the core, -1500 kN in each column) and
// case 2 W (800 kN along X at the top, carried by the core), cut by station planes and by one plane.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "tool_test_support.h"
#include "xsect/io/model_file.h"

namespace xsect::cli {
namespace {

using testing_support::CsvLines;
using testing_support::RunXsect;

const std::string kCore = std::string(XSECT_SOURCE_DIR) + "/examples/lift_core.json";
const std::string kHeader = "station,position,covered_length,request,bound,N,Vt,Vk,Mn,Mt,Mk\n";

// Column c of one request's max rows, reading by reading.
std::vector<double> Column(const std::string& csv, const std::string& request, int c) {
    EXPECT_EQ(csv.substr(0, kHeader.size()), kHeader);
    std::vector<double> values;
    for (const auto& row : CsvLines(csv))
        if (row.size() == 11 && row[3] == request && row[4] == "max") values.push_back(std::atof(row[c].c_str()));
    return values;
}

TEST(AssemblyDiagram, StationsUpTheCoreReadBothJumpsAndAGroupItsShare) {
    for (const auto& [group, dead] : {std::pair{std::string("core"), -18000.0}, std::pair{std::string(), -24000.0}}) {
        std::vector<std::string> args{"diagram", kCore, "--axis", "0,0,0:0,0,30", "--stations", "7", "--cases", "1,2"};
        if (!group.empty()) args.insert(args.end(), {"--group", group});
        const auto r = RunXsect(args);
        ASSERT_EQ(r.code, 0) << r.err;
        // Readings: before the base (nothing), the base and 5 stations up, just before the top
        // (everything), past the top (nothing). The statics are the library's; here the group's share.
        const auto n = Column(r.out, "G", 5);
        ASSERT_EQ(n.size(), 9u);
        EXPECT_NEAR(n[4], dead, 1e-9 * 24000);
        EXPECT_EQ(std::fabs(n.front()) + std::fabs(n.back()), 0.0);
    }
}

TEST(AssemblyForces, OnePlaneGivesTheDiagramsTableAboutItsCentroidOrAPointGiven) {
    auto r = RunXsect({"forces", kCore, "--plane", "0,0,12:0,0,2", "--all-cases"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NEAR(Column(r.out, "G", 5).at(0), -24000, 1e-9 * 24000);
    EXPECT_NEAR(Column(r.out, "1.35G+1.5W", 10).at(0), 1.5 * 800 * 18, 1e-9 * 24000);
    // About a point 1 m along X from the centroid, G's -24000 kN turns about Y.
    r = RunXsect({"forces", kCore, "--plane", "0,0,12:0,0,2", "--case", "1", "--moment-point", "1,0,12"});
    EXPECT_NEAR(Column(r.out, "G", 10).at(0), -24000, 1e-9 * 24000);
}

TEST(AssemblyRefusals, PlaneModelCommandsRefuseAnAssemblyInOneSentence) {
    const std::vector<std::vector<std::string>> refused = {
        {"forces", kCore, "--cut", "-4,0,3:4,0,3", "--convention", "host"},
        {"forces", kCore, "--cut", "-4,0,3:4,0,3"},
        {"stresses", kCore, "--cut", "-4,0,3:4,0,3", "--face", "0,0,6", "--case", "1"},
        {"diagram", kCore, "--axis", "0,0,0:0,0,30", "--stations", "3", "--group", "lift"},
        {"forces", kCore, "--plane", "0,0,12:0,0,0"},
        {"forces", kCore, "--plane", "0,0,40:0,0,1"},  // meets nothing: the library's refusal
    };
    for (std::size_t i = 0; i < refused.size(); ++i) {
        const auto r = RunXsect(refused[i]);
        EXPECT_EQ(r.code, i + 1 < refused.size() ? 2 : 1) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(r.err.find("is an assembly") != std::string::npos, i < 3) << r.err;
    }
}

TEST(AssemblyModelFile, GroupsAreReadCheckedAndWrittenBack) {
    io::Model model, again;
    std::string error;
    ASSERT_TRUE(io::ReadModelFile(kCore, model, error)) << error;
    ASSERT_TRUE(io::ParseModelText(io::WriteModelJson(model), "again", "", again, error)) << error;
    ASSERT_EQ(again.groups.size(), 2u);
    EXPECT_EQ(again.groups[0].shells, model.groups[0].shells);
    EXPECT_EQ(again.groups[1].frames.size(), 40u);
    // A group must name elements the model has, once each, under a name of its own.
    const std::string base = R"({"load_cases": [], "nodes": [{"id": 1, "xyz": [0, 0, 0]}, {"id": 2, "xyz": [1, 0, 0]},
        {"id": 3, "xyz": [0, 1, 0]}], "shells": [{"id": 1, "nodes": [1, 2, 3]}], "groups": [)";
    for (const std::string groups : {R"({"name": "a", "shells": [2]})", R"({"name": "a", "shells": [1, 1]})",
                                     R"({"name": "a", "shells": [1]}, {"name": "a", "shells": [1]})",
                                     R"({"shells": [1]})", R"({"name": "a"})"}) {
        io::Model m;
        EXPECT_FALSE(io::ParseModelText(base + groups + "]}", "groups.json", "", m, error)) << groups;
        EXPECT_NE(error.find("groups["), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace xsect::cli
