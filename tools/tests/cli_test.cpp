#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "compute/demo_model.h"
#include "xsect/io/model_file.h"
#include "tool_test_support.h"

namespace xsect::cli {
namespace {

using io::WriteModelJson;
using Json = nlohmann::json;
using testing_support::RunXsect;
using testing_support::CsvLines;
using testing_support::TempPath;
using testing_support::WriteTemp;

// The demo's model, as `xsect demo --write-model` writes it.
const std::string kExample = std::string(XSECT_SOURCE_DIR) + "/examples/cantilever_wall.json";
const char* kCutA = "-0.25,0,0.75:4.25,0,0.75";

TEST(Cli, UsageErrorsExitWithTwoAndOneLine) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"cut"},
        {"forces"},
        {"forces", kExample},
        {"forces", kExample, "--cut", "1,2:3,4,5"},
        {"forces", kExample, "--cut", kCutA, "--side", "3"},
        {"forces", kExample, "--cut", kCutA, "--case", "9"},
        {"forces", kExample, "--cut", kCutA, "--format", "xml"},
        {"forces", "/nonexistent/model.json", "--cut", kCutA},
        {"stresses", kExample, "--cut", kCutA, "--face", "2,0,2", "--case", "3"},
        {"stresses", kExample, "--cut", kCutA, "--face", "2,0,2", "--case", "1", "--types", "St,Sx"},
    };
    for (const auto& args : cases) {
        auto r = RunXsect(args);
        std::string joined;
        for (const auto& a : args) joined += a + " ";
        EXPECT_EQ(r.code, 2) << joined << r.err;
        EXPECT_EQ(r.err.rfind("xsect: ", 0), 0u) << joined << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << joined << r.err;
    }
}

TEST(Cli, BadModelFileIsNamedWithThePlaceOfTheFault) {
    std::string path = WriteTemp("bad_model.json", R"({"nodes": [{"id": 1, "xyz": [0, 0, 0]}],
      "shells": [{"id": 4, "nodes": [1, 17, 5]}]})");
    auto r = RunXsect({"info", path});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "xsect: " + path + ":2:18: shells[0]: unknown node 17 in shell 4\n");
}

TEST(Cli, LibraryRefusalsExitWithOneAndNameTheStatus) {
    struct Case {
        std::vector<std::string> args;
        std::int32_t status;
    } cases[] = {
        {{"forces", kExample, "--cut", "10,0,1:12,0,1"}, CS_NO_ELEMENTS_CROSSED},
        {{"forces", kExample, "--cut", kCutA, "--convention", "host", "--moment-point", "2,5,1"},
         CS_MOMENT_POINT_OFF_PLANE},
        {{"stresses", kExample, "--cut", kCutA, "--face", "3,0,0.75", "--case", "1"},
         CS_THIRD_POINT_ON_CUT_LINE},
    };
    for (const Case& c : cases) {
        auto r = RunXsect(c.args);
        const std::string expected = std::string("refused by the library: ") + StatusName(c.status) + " (" +
                                     std::to_string(c.status) + "): " + StatusMessage(c.status) + "\n";
        EXPECT_EQ(r.code, 1) << expected << r.err;
        EXPECT_NE(r.err.find(expected), std::string::npos) << r.err;
    }
    // A model off the plane its named nodes fix cannot be set up (without them it is an assembly).
    std::string tilted = WriteTemp("tilted.json", R"({"load_cases": [{"id": 1}], "plane_nodes": [1, 2, 3],
      "nodes": [{"id": 1, "xyz": [0, 0, 0]}, {"id": 2, "xyz": [1, 0, 0]}, {"id": 3, "xyz": [1, 1, 0]},
                {"id": 4, "xyz": [0, 1, 0.5]}],
      "shells": [{"id": 1, "nodes": [1, 2, 3]}, {"id": 2, "nodes": [1, 3, 4]}]})");
    auto r = RunXsect({"info", tilted});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("CS_PLANE_NOT_DEFINED (-2)"), std::string::npos) << r.err;
}

TEST(Cli, StressesWithoutThicknessAreRefusedNamingTheShell) {
    Demo demo = MakeDemo();
    demo.model.thickness.erase(11);  // in the row cut A crosses
    std::string path = WriteTemp("no_thickness.json", WriteModelJson(demo.model));
    auto r = RunXsect({"stresses", path, "--cut", kCutA, "--face", "2,0,2", "--case", "1"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("CS_NO_THICKNESS"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("shell 11 is crossed but has no thickness"), std::string::npos) << r.err;
}

TEST(Cli, TableCsvAndJsonCarryTheSameNumbers) {
    auto host = [](std::vector<std::string> format) {
        std::vector<std::string> args = {"forces", kExample, "--cut", kCutA, "--all-cases", "--convention", "host"};
        args.insert(args.end(), format.begin(), format.end());
        return RunXsect(args);
    };
    auto csv = host({"--format", "csv"});
    auto json = host({"--format", "json"});
    auto table = host({});
    ASSERT_EQ(csv.code, 0) << csv.err;
    ASSERT_EQ(json.code, 0) << json.err;
    ASSERT_EQ(table.code, 0) << table.err;
    auto rows = CsvLines(csv.out);
    ASSERT_EQ(rows.size(), 6u);  // four load cases and the model's combination
    EXPECT_EQ(rows[0][3], "F1");
    const Json doc = Json::parse(json.out);
    ASSERT_EQ(doc["results"].size(), 5u);
    const char* names[6] = {"F1", "F2", "F3", "M1", "M2", "M3"};
    for (std::size_t i = 0; i < 4; ++i) {
        const Json& res = doc["results"][i];
        EXPECT_EQ(std::to_string(res["case"].get<int>()), rows[i + 1][1]);
        for (std::size_t k = 0; k < 6; ++k) {
            double fromCsv = std::strtod(rows[i + 1][3 + k].c_str(), nullptr);
            double fromJson = res["values"][names[k]].get<double>();
            // The CSV carries ten significant digits.
            EXPECT_NEAR(fromCsv, fromJson, 1e-9 * std::max(1.0, std::fabs(fromJson)));
        }
    }
    EXPECT_NE(table.out.find("-630.000"), std::string::npos) << table.out;
}

TEST(Cli, BatchOfCutsKeepsGoingAfterARefusal) {
    std::string cuts = WriteTemp("cuts.csv",
                                 "name,x1,y1,z1,x2,y2,z2,side\n"
                                 "low,-0.25,0,0.75,4.25,0,0.75,0\n"
                                 "outside,10,0,1,12,0,1,0\n"
                                 "high,4.25,0,4.75,-0.25,0,4.75,1\n");
    auto r = RunXsect({"forces", kExample, "--cuts", cuts, "--all-cases", "--convention", "host", "--format", "csv"});
    EXPECT_EQ(r.code, 1);
    auto rows = CsvLines(r.out);
    ASSERT_EQ(rows.size(), 1u + 3u * 5u);
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const std::string& name = rows[i][0];
        const std::string& status = rows[i].back();
        EXPECT_EQ(status, name == "outside" ? "CS_NO_ELEMENTS_CROSSED" : "ok") << name;
    }
    EXPECT_NE(r.err.find("cut outside, load case 1: refused by the library: CS_NO_ELEMENTS_CROSSED"),
              std::string::npos);
    auto bad = RunXsect({"forces", kExample, "--cuts",
                    WriteTemp("bad_cuts.csv", "x1,y1,z1,x2,y2,z2\n0,0,1,4,0,one\n")});
    EXPECT_EQ(bad.code, 2);
    EXPECT_NE(bad.err.find("bad_cuts.csv:2:11: \"one\" is not a number"), std::string::npos) << bad.err << bad.out;
}


// Input that would give numbers nobody asked for, or none, is refused with a message saying why.
TEST(Cli, RequestsThatCannotBeMeantAreRefused) {
    const std::vector<std::string> stresses = {"stresses", kExample, "--cut", kCutA, "--face", "2,0,2", "--case", "1"};
    auto with = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = stresses;
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    };
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {with({"--divisions", "-3"}), "--divisions -3: give 1 to 1000"},
        {with({"--spacing", "0"}), "--spacing 0.000000: the spacing must be greater than 0"},
        {with({"--output-spacing", "1e-9"}), "at most 100000"},
        {with({"--positions", "0,1,99"}), "--positions: 99.000000 is outside the cut"},
        {with({"--positions", "0.25,1,4.4"}), "--positions: 4.400000 lies beyond the crossed elements, 0.250000 to 4.250000"},
        {{"stresses", kExample, "--cut", "1,0,1:1,0,1", "--face", "2,0,2", "--case", "1"}, "--cut: the cut's ends are 0 apart"},
        {{"forces", kExample, "--cut", "1,0,1:1,0,1.0005"}, "not more than the model's tolerance 0.001"},
        {{"forces", kExample, "--cut", "-1e300,0,1:1e300,0,1"}, "more than a million times the model's size"},
        {{"forces", ::testing::TempDir(), "--cut", kCutA}, "is a directory, not a file"},
        {{"forces", kExample, "--cut", kCutA, "--combinations", WriteTemp("c.json", R"({"combinations": [{"name": "x", "factors": {"9": 1}}]})")},
         "c.json:1:45: combinations[0].factors[\"9\"]: unknown load case 9"},
        {{"forces", kExample, "--cut", kCutA, "--keep", "2,0,0.75"}, "--keep: the point lies on the line of cut 1"},
        {{"forces", kExample, "--cut", kCutA, "--side", "1"}, "--side belongs to --convention host"},
        {{"diagram", kExample, "--axis", "1,2:3,4,5", "--stations", "3"}, "--axis \"1,2\": expected 3 numbers, found 2"},
        {{"diagram", kExample, "--axis", "2,-1,1:2,5,1", "--stations", "3"}, "The axis has no length in the plane"},
        {{"diagram", kExample, "--axis", "2,0,0:2,0,6", "--stations", "0"}, "--stations 0: give 1 to 1000000 stations"},
        {{"diagram", kExample, "--axis", "2,0,0:2,0,6", "--stations", "3", "--cases", "1,9"},
         "--cases: the model has no load case 9"},
    };
    for (const auto& c : cases) {
        auto r = RunXsect(c.args);
        EXPECT_EQ(r.code, 2) << c.message << r.out;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.message << " | " << r.err;
    }
}

TEST(Cli, StressesPrintOnlyTheQuantitiesAskedAndWriteThePlot) {
    const std::string plot = TempPath("stresses.svg");
    std::filesystem::remove(plot);
    auto r = RunXsect({"stresses", kExample, "--cut", kCutA, "--face", "2,0,2", "--case", "2", "--types", "St,Sts",
                       "--positions", "0.25,2.25", "--plot", plot});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(std::filesystem::exists(plot));
    EXPECT_NE(r.out.find("St [kN/m2]"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Sts [kN/m2]"), std::string::npos);
    for (const char* absent : {"Qt", "Mts", "Mt ", "Fz", "Mx", "My"}) EXPECT_EQ(r.out.find(absent), std::string::npos) << absent << r.out;
    // Two positions asked, two rows printed: the smoothing's own additions stay out. Gravity: 800 kN
    // down over 4 m x 0.25 m is a uniform -800 kN/m2.
    auto csv = RunXsect({"stresses", kExample, "--cut", kCutA, "--face", "2,0,2", "--case", "2", "--types", "St",
                         "--positions", "0.25,2.25", "--format", "csv"});
    EXPECT_EQ(csv.out, "s,x,y,z,St\n0.25,0,0,0.75,-800\n2.25,2,0,0.75,-800\n");
}

// A combinations file becomes requests beside the model's own, each term with its case and factor.
// How a request combines (a spectrum term spans a range) is the library's (the section tests).
TEST(Cli, CombinationsFromAFileBecomeRequestsWithTheirFactors) {
    auto r = RunXsect({"forces", kExample, "--cut", kCutA, "--all-cases", "--combinations",
                       std::string(XSECT_SOURCE_DIR) + "/examples/seismic_combinations.json", "--format", "json"});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto doc = nlohmann::json::parse(r.out);
    std::map<std::string, nlohmann::json> rows;
    for (const auto& res : doc["results"]) rows[res["request"]] = res;
    ASSERT_EQ(rows.size(), 7u);  // four cases, the model's combination and the file's two
    for (const char* k : {"N", "Vt", "Vk", "Mn", "Mt", "Mk"}) {
        auto at = [&](const char* request, const char* bound) { return rows.at(request)[bound][k].get<double>(); };
        const double G = at("gravity", "max"), W = at("wind", "max");
        EXPECT_NEAR(at("1.35G+1.5W", "max"), 1.35 * G + 1.5 * W, 1e-9 * 1e3) << k;
        EXPECT_NEAR(at("G+E", "min"), G - at("earthquake SRSS", "max"), 1e-9 * 1e3) << k;
        EXPECT_NEAR(at("G+0.3W+E", "max"), G + 0.3 * W + at("earthquake CQC", "max"), 1e-9 * 1e3) << k;
    }
}

TEST(Cli, CheckFindsWhatIsWrongWithAModel) {
    auto clean = RunXsect({"check", kExample});
    EXPECT_EQ(clean.code, 0) << clean.out << clean.err;
    EXPECT_NE(clean.out.find("no findings"), std::string::npos);
    // Shell 2's forces do not balance, node 9 is unused and off the plane (so the model is an
    // assembly), node 8 sits on node 2, case 2 has no results.
    const std::string broken = WriteTemp("broken.json", R"({"load_cases": [{"id": 1}, {"id": 2}],
      "nodes": [{"id": 1, "xyz": [0, 0, 0]}, {"id": 2, "xyz": [1, 0, 0]}, {"id": 3, "xyz": [1, 1, 0]},
                {"id": 4, "xyz": [0, 1, 0]}, {"id": 8, "xyz": [1, 0.0001, 0]}, {"id": 9, "xyz": [5, 5, 0.002]}],
      "shells": [{"id": 1, "nodes": [1, 2, 3], "results": [{"case": 1, "node": 1, "f": [1, 0, 0, 0, 0, 0]},
                                                           {"case": 1, "node": 2, "f": [-1, 0, 0, 0, 0, 0]}]},
                 {"id": 2, "nodes": [1, 3, 4, 8], "results": [{"case": 1, "node": 1, "f": [1, 0, 0, 0, 0, 0]},
                                                              {"case": 1, "node": 4, "f": [-0.5, 0, 0, 0, 0, 0]}]}]})");
    auto r = RunXsect({"check", broken});
    EXPECT_EQ(r.code, 1) << r.out << r.err;
    for (const char* finding : {"1 state out of equilibrium among 2 elements", "shell 2: force 0.5",
                                "case 2: no element has results", "1 nodes that no element uses: 9",
                                "1 pairs of nodes within the tolerance of each other: 2 and 8",
                                "an assembly: its nodes do not lie in one plane",
                                "1 nodes lie farther than the tolerance from the plane of nodes 1, 2, 3, node 9 0.002 off"})
        EXPECT_NE(r.out.find(finding), std::string::npos) << finding << "\n" << r.out;
}

TEST(Cli, VersionAndPlan) {
    EXPECT_EQ(RunXsect({"--version"}).out, std::string("xsect ") + XSECT_VERSION + "\n");
    const std::string plan = TempPath("plan.svg");
    auto r = RunXsect({"forces", kExample, "--cut", kCutA, "--plot", plan, "--numbers"});
    ASSERT_EQ(r.code, 0) << r.err;
    // Ticked plane axes in the model's unit, a scale bar, the section axes, the centroid and the numbers.
    std::string svg = testing_support::ReadText(plan);
    for (const char* part : {"x' [m]", "y' [m]", ">1 m</text>", "'middle'>n</text>", "'middle'>t</text>",
                             "centroid (moment point)", ">117</text>", ">96</text>"})
        EXPECT_NE(svg.find(part), std::string::npos) << part;
    EXPECT_NE(r.out.find("Mk [kN m]"), std::string::npos) << r.out;
    // The host convention draws the cut's axes 1 and 2; --plan is the option's first name.
    r = RunXsect({"forces", kExample, "--cut", kCutA, "--convention", "host", "--plan", plan});
    ASSERT_EQ(r.code, 0) << r.err;
    svg = testing_support::ReadText(plan);
    for (const char* part : {"'middle'>1</text>", "'middle'>2</text>"}) EXPECT_NE(svg.find(part), std::string::npos) << part;
    EXPECT_NE(r.out.find("F1 [kN]"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace xsect::cli
