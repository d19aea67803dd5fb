#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "compute/demo_model.h"
#include "xsect/io/model_file.h"
#include "tool_test_support.h"

namespace xsect::cli {
namespace {

using namespace io;
using testing_support::ReadText;
using testing_support::TempPath;

// Two quadrilaterals side by side in the x-y plane and a frame, one static and one
// response-spectrum case: small enough to edit by string replacement in each case below.
const char* kBase = R"({
  "format": "xsect-model", "version": 1, "tolerance": 0.001,
  "load_cases": [
    {"id": 1, "name": "dead", "type": "static"},
    {"id": 2, "name": "quake", "type": "response_spectrum", "modes": 2, "combination": "srss"}
  ],
  "nodes": [
    {"id": 1, "xyz": [0, 0, 0]}, {"id": 2, "xyz": [1, 0, 0]}, {"id": 3, "xyz": [2, 0, 0]},
    {"id": 4, "xyz": [0, 1, 0]}, {"id": 5, "xyz": [1, 1, 0]}, {"id": 6, "xyz": [2, 1, 0]}
  ],
  "shells": [
    {"id": 1, "nodes": [1, 2, 5, 4], "thickness": 0.2,
     "results": [{"case": 1, "node": 1, "f": [1, 2, 3, 4, 5, 6]},
                 {"case": 2, "node": 2, "mode": 1, "f": [1, 0, 0, 0, 0, 0]}],
     "stresses": [{"case": 1, "node": 1, "S": [1, 2, 0, 3, 0, 0]}, {"case": 1, "node": 2, "S": [1, 2, 0, 3, 0, 0]},
                  {"case": 1, "node": 5, "S": [1, 2, 0, 3, 0, 0], "M": [1, 2, 3], "Q": [4, 5]},
                  {"case": 1, "node": 4, "S": [1, 2, 0, 3, 0, 0]}]},
    {"id": 4, "nodes": [2, 3, 6, 5]}
  ],
  "frames": [{"id": 1, "nodes": [2, 5], "results": [{"case": 1, "end": "A", "f": [0, 1, 0, 0, 0, 0]}]}]
})";

std::string Edit(std::string text, const std::string& from, const std::string& to) {
    std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

TEST(ModelJson, ReadsEveryPartOfTheBaseModel) {
    Model m;
    std::string error;
    ASSERT_TRUE(ParseModelText(kBase, "base.json", "", m, error)) << error;
    EXPECT_EQ(m.nodes.size(), 6u);
    EXPECT_EQ(m.shells.at(1).staticResults.at(1).at(1).Mz, 6.0);
    EXPECT_EQ(m.shells.at(1).spectrumResults.at(2).at(2).at(1).Fx, 1.0);
    EXPECT_EQ(m.frames.at(1).staticResultsA.at(1).Fy, 1.0);
    EXPECT_EQ(m.thickness.count(4), 0u);
    // A short moment and shear list is a plate in the global x-y plane: Mxx, Myy, Mxy and Qx, Qy.
    const NodeStress& s = m.stresses.at(1).at(1).at(5);
    EXPECT_EQ(s.M[0], 1.0);
    EXPECT_EQ(s.M[1], 2.0);
    EXPECT_EQ(s.M[3], 3.0);
    EXPECT_EQ(s.Q[1], 5.0);
    EXPECT_EQ(s.Q[2], 0.0);
    // A key is its text with the escapes undone.
    ASSERT_TRUE(ParseModelText(Edit(kBase, "\"thickness\"", "\"thick\\u006eess\""), "base.json", "", m, error)) << error;
    EXPECT_EQ(m.thickness.at(1), 0.2);
}

struct BadModel {
    const char* what;
    const char* from;
    const char* to;
    const char* message;  // the place and the fault, after "file:line:column: "
    const char* at;       // what the text holds at that line and column
};

// The byte offset of the "file:line:column: " at the head of a message.
std::size_t OffsetNamedBy(const std::string& text, const std::string& message) {
    std::size_t line = 0, column = 0;
    if (std::sscanf(message.c_str(), "%*[^:]:%zu:%zu: ", &line, &column) != 2) return std::string::npos;
    std::size_t at = 0;
    for (std::size_t l = 1; l < line && at != std::string::npos; ++l) at = text.find('\n', at) + 1;
    return at + column - 1;
}

TEST(ModelJson, BadInputNamesThePlaceAndTheFault) {
    const BadModel cases[] = {
        {"syntax", "\"version\": 1,", "\"version\": 1",
         "bad.json:2:41: top level: syntax error: expected ',' or '}' after an object member, found a string",
         "\"tolerance\""},
        {"unknown node", "\"nodes\": [2, 3, 6, 5]", "\"nodes\": [2, 3, 17, 5]", "shells[1]: unknown node 17 in shell 4",
         "{\"id\": 4"},
        {"duplicate node", "{\"id\": 6, \"xyz\"", "{\"id\": 5, \"xyz\"", "nodes[5]: duplicate node id 5",
         "{\"id\": 5, \"xyz\": [2"},
        {"duplicate shell", "{\"id\": 4, \"nodes\"", "{\"id\": 1, \"nodes\"", "shells[1]: duplicate shell id 1",
         "{\"id\": 1, \"nodes\": [2"},
        {"array length", "[1, 2, 3, 4, 5, 6]", "[1, 2, 3, 4, 5]", "shells[0].results[0].f: expected 6 numbers, found 5",
         "[1, 2, 3, 4, 5]"},
        {"coordinates", "[2, 1, 0]}", "[2, 1]}", "nodes[5].xyz: expected 3 numbers, found 2", "[2, 1]"},
        {"misspelt key", "\"thickness\": 0.2", "\"thicknes\": 0.2", "shells[0]: unknown key \"thicknes\"",
         "\"thicknes\""},
        {"type", "\"tolerance\": 0.001", "\"tolerance\": \"small\"", "tolerance: expected a number, found a string",
         "\"small\""},
        {"unknown case", "{\"case\": 1, \"node\": 1, \"f\"", "{\"case\": 9, \"node\": 1, \"f\"",
         "shells[0].results[0]: unknown load case 9", "{\"case\": 9"},
        {"node not in shell", "{\"case\": 1, \"node\": 1, \"f\"", "{\"case\": 1, \"node\": 3, \"f\"",
         "node 3 is not a node of shell 1", "{\"case\": 1, \"node\": 3"},
        {"mode out of range", "\"mode\": 1", "\"mode\": 3", "mode 3 is outside 1..2 of load case 2", "{\"case\": 2"},
        {"spectrum without mode", "{\"case\": 2, \"node\": 2, \"mode\": 1,", "{\"case\": 2, \"node\": 2,",
         "load case 2 is a response-spectrum case: give a mode", "{\"case\": 2"},
        {"static with mode", "{\"case\": 1, \"node\": 1, \"f\"", "{\"case\": 1, \"node\": 1, \"mode\": 1, \"f\"",
         "load case 1 is not a response-spectrum case: no mode", "{\"case\": 1"},
        {"cqc without coefficients", "\"combination\": \"srss\"", "\"combination\": \"cqc\"",
         "load_cases[1]: combination \"cqc\" needs \"coefficients\"", "{\"id\": 2"},
        {"coefficient count", "\"combination\": \"srss\"", "\"combination\": \"cqc\", \"coefficients\": [1, 0, 0]",
         "\"coefficients\" holds 3 values; 2 modes need 4", "{\"id\": 2"},
        {"unknown rule", "\"combination\": \"srss\"", "\"combination\": \"rms\"", "unknown combination \"rms\"",
         "\"rms\""},
        {"stress field incomplete", ",\n                  {\"case\": 1, \"node\": 4, \"S\": [1, 2, 0, 3, 0, 0]}", "",
         "shells: the stresses of load case 1 in shell 1 miss node 4", "[\n    {\"id\": 1"},
        {"thickness", "\"thickness\": 0.2", "\"thickness\": -0.2", "shell 1 has a thickness that is not positive",
         "{\"id\": 1"},
        {"plane node", "\"tolerance\": 0.001", "\"tolerance\": 0.001, \"plane_nodes\": [1, 2, 99]",
         "plane_nodes: unknown node 99", "[1, 2, 99]"},
        {"frame node", "\"nodes\": [2, 5], \"results\"", "\"nodes\": [2, 50], \"results\"",
         "frames[0]: unknown node 50 in frame 1", "{\"id\": 1, \"nodes\": [2, 50]"},
        {"frame end", "\"end\": \"A\"", "\"end\": \"C\"", "frames[0].results[0].end: expected \"A\" or \"B\"", "\"C\""},
        {"too few nodes", "\"nodes\": [2, 3, 6, 5]", "\"nodes\": [2, 3]", "shell 4 lists 2 nodes; at least 3",
         "{\"id\": 4"},
        {"id range", "{\"id\": 6, \"xyz\"", "{\"id\": 3000000000, \"xyz\"", "nodes[5].id: the integer does not fit",
         "3000000000"},
        // A number is read as a reader going token by token takes it: "0001" is 0 and then a fault of
        // syntax, but the check of the 0 comes first; "-.2" has no digit before its point.
        {"number stuck to more", "\"tolerance\": 0.001", "\"tolerance\": 0001", "tolerance: must be greater than 0",
         "0001"},
        {"number without digits", "\"thickness\": 0.2", "\"thickness\": -.2",
         "shells[0].thickness: syntax error: expected a digit, found '.'", ".2"},
        // Bytes that simdjson will not index at all are found where a reader going in order meets them.
        {"not UTF-8", "\"name\": \"quake\"", "\"name\": \"qu\xE4ke\"",
         "load_cases[1].name: syntax error: a string that is not valid UTF-8", "\xE4ke"},
        {"string not closed", "\"f\": [0, 1, 0, 0, 0, 0]}]}]\n}", "\"f",
         "frames[0].results[0]: syntax error: the text ends inside a string", ""},
    };
    for (const BadModel& c : cases) {
        Model m;
        std::string error;
        std::string text = Edit(kBase, c.from, c.to);
        EXPECT_FALSE(ParseModelText(text, "bad.json", "", m, error)) << c.what;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << c.what << ": one line";
        const std::size_t at = OffsetNamedBy(text, error);
        ASSERT_LE(at, text.size()) << c.what << ": " << error;
        EXPECT_EQ(text.compare(at, std::strlen(c.at), c.at), 0) << c.what << ": " << error;
    }
}

// simdjson refuses a text with a byte that is not UTF-8 before it reads any of it; a fault that
// stands before that byte is still the one told.
TEST(ModelJson, AFaultBeforeABadByteIsToldFirst) {
    const std::string badByte = Edit(kBase, "\"end\": \"A\"", "\"end\": \"\xFF\"");
    const std::string both = Edit(badByte, "{\"id\": 6, \"xyz\"", "{\"id\": 5, \"xyz\"");
    Model m;
    std::string error;
    EXPECT_FALSE(ParseModelText(badByte, "bad.json", "", m, error));
    EXPECT_NE(error.find("frames[0].results[0].end: syntax error: a string that is not valid UTF-8"), std::string::npos)
        << error;
    EXPECT_FALSE(ParseModelText(both, "bad.json", "", m, error));
    EXPECT_NE(error.find("nodes[5]: duplicate node id 5"), std::string::npos) << error;
}

// Writing a model and reading it back must give the same model; comparing the written texts
// compares every node, result, stress and load-case field at once.
TEST(ModelJson, WriteAndReadBackIsTheSameModel) {
    Demo demo = MakeDemo();
    std::string first = WriteModelJson(demo.model);
    Model again;
    std::string error;
    ASSERT_TRUE(ParseModelText(first, "demo.json", "", again, error)) << error;
    EXPECT_TRUE(WriteModelJson(again) == first);
    EXPECT_EQ(again.loadCases.at(4).coefficients, demo.model.loadCases.at(4).coefficients);
    EXPECT_EQ(again.shells.at(17).staticResults.at(1).at(19).Fx, demo.model.shells.at(17).staticResults.at(1).at(19).Fx);
}

TEST(ModelCsv, ManifestWithTablesReadsBackTheSameModel) {
    Demo demo = MakeDemo();
    std::string dir = TempPath("csv_round_trip");
    std::filesystem::create_directories(dir);
    std::string error;
    ASSERT_TRUE(WriteModelCsv(demo.model, dir, error)) << error;
    Model again;
    ASSERT_TRUE(ReadModelFile(dir + "/manifest.json", again, error)) << error;
    again.source = demo.model.source;
    EXPECT_TRUE(WriteModelJson(again) == WriteModelJson(demo.model));
}

TEST(ModelCsv, BadTablesNameFileLineAndColumn) {
    std::string dir = TempPath("csv_bad");
    std::filesystem::create_directories(dir);
    auto write = [&](const std::string& name, const std::string& text) {
        std::ofstream(dir + "/" + name, std::ios::trunc) << text;
    };
    write("manifest.json", R"({"format": "xsect-manifest", "nodes": "nodes.csv", "elements": "elements.csv",
      "forces": "forces.csv", "load_cases": [{"id": 1}, {"id": 2, "type": "response_spectrum", "modes": 2}]})");
    const std::string nodes = "id,x,y,z\n1,0,0,0\n2,1,0,0\n3,1,1,0\n4,0,1,0\n";
    const std::string elements = "# exported\nid,thickness,n1,n2,n3,n4\n7,0.2,1,2,3,4\n";
    const std::string forces = "element,node,case,mode,fx,fy,fz,mx,my,mz\n7,1,1,,1,0,0,0,0,0\n7,2,2,1,1,0,0,0,0,0\n";
    struct Case {
        const char* file;
        std::string text;
        const char* message;
    } cases[] = {
        {"nodes.csv", "id,x,y\n1,0,0\n", "nodes.csv:1: the header has no column \"z\""},
        {"nodes.csv", nodes + "5,0,abc,0\n", "nodes.csv:6:5: \"abc\" is not a number"},
        {"nodes.csv", nodes + "4,2,2,0\n", "nodes.csv:6:1: duplicate node id 4"},
        {"elements.csv", "id,thickness,n1,n2,n3,n4\n7,0.2,1,2,3,17\n", "elements.csv:2:1: unknown node 17 in shell 7"},
        {"forces.csv", forces + "7,9,1,,1,0,0,0,0,0\n", "forces.csv:4:1: node 9 is not a node of shell 7"},
        {"forces.csv", forces + "7,3,2,,1,0,0,0,0,0\n", "forces.csv:4:1: load case 2 is a response-spectrum case"},
        {"forces.csv", forces + "7,3,1,,1,0,0,0,0\n", "forces.csv:4:17: missing value for column \"mz\""},
        {"forces.csv", forces + "7,1,1,,2,0,0,0,0,0\n", "forces.csv:4:1: duplicate result for shell 7, node 1"},
        {"forces.csv", forces + "7,1,1,,1,0,0,0,0,0,0\n", "forces.csv:4:20: more fields than the header's 10 columns"},
    };
    for (const Case& c : cases) {
        write("nodes.csv", nodes);
        write("elements.csv", elements);
        write("forces.csv", forces);
        Model m;
        std::string error;
        ASSERT_TRUE(ReadModelFile(dir + "/manifest.json", m, error)) << error;
        write(c.file, c.text);
        EXPECT_FALSE(ReadModelFile(dir + "/manifest.json", m, error)) << c.message;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.message << " | " << error;
    }
}

// The format's documentation must show a model that loads as it stands.
TEST(ModelJson, TheDocumentedExampleLoads) {
    const std::string doc = ReadText(std::string(XSECT_SOURCE_DIR) + "/docs/model-format.md");
    const std::size_t start = doc.find("```json\n");
    ASSERT_NE(start, std::string::npos);
    const std::string example = doc.substr(start + 8, doc.find("```", start + 8) - start - 8);
    io::Model m;
    std::string error;
    ASSERT_TRUE(io::ParseModelText(example, "model-format.md", "", m, error)) << error;
    EXPECT_EQ(m.units.force, "kN");
    ASSERT_EQ(m.combinations.size(), 1u);
    EXPECT_EQ(m.combinations[0].terms.size(), 2u);
}

// Sections may stand in any order; the ones that need others are read again at the end, from a
// text and from a file alike.
TEST(ModelJson, SectionsInAnyOrderGiveTheSameModel) {
    io::Model inOrder, reordered, fromFile;
    std::string error;
    ASSERT_TRUE(io::ParseModelText(kBase, "base.json", "", inOrder, error)) << error;
    std::string text = kBase;
    const std::size_t shells = text.find("  \"shells\"");
    std::string tail = text.substr(shells);  // shells and frames, then the closing brace
    text.erase(shells);
    text.erase(text.rfind(','));
    tail.erase(tail.rfind('}'));
    text = "{" + tail + ",\n" + text.substr(1) + "}";
    ASSERT_LT(text.find("\"shells\""), text.find("\"load_cases\""));
    ASSERT_TRUE(io::ParseModelText(text, "reordered.json", "", reordered, error)) << error;
    ASSERT_TRUE(io::ReadModelFile(testing_support::WriteTemp("reordered.json", text), fromFile, error)) << error;
    EXPECT_TRUE(io::WriteModelJson(reordered) == io::WriteModelJson(inOrder));
    EXPECT_TRUE(io::WriteModelJson(fromFile) == io::WriteModelJson(inOrder));
    EXPECT_FALSE(io::ReadModelFile(::testing::TempDir(), fromFile, error));
    EXPECT_NE(error.find("is a directory"), std::string::npos) << error;
}

TEST(ModelJson, CombinationsAreCheckedWithFileAndPath) {
    const std::string good = R"({"name": "1.35G", "factors": {"1": 1.35}})";
    struct Case {
        std::string combinations;
        const char* message;
    } cases[] = {
        {good + R"(, {"name": "bad", "factors": {"7": 1}})", "combinations[1].factors[\"7\"]: unknown load case 7"},
        {R"({"name": "empty", "factors": {}})", "combinations[0].factors: a combination needs at least one load case"},
        {R"({"name": "huge", "factors": {"1": 1e400}})", "combinations[0].factors[\"1\"]: the number is not finite"},
        {R"({"name": "", "factors": {"1": 1}})", "combinations[0].name: a combination needs a name"},
        {good + ", " + good, "combinations[1].name: duplicate combination name \"1.35G\""},
        {R"({"name": "x", "factors": {"one": 1}})", "combinations[0].factors.one: \"one\" is not a load case id"},
        {R"({"name": "x", "factors": {"1": "1"}})", "combinations[0].factors[\"1\"]: expected a number, found a string"},
    };
    for (const Case& c : cases) {
        io::Model m;
        std::string error;
        ASSERT_TRUE(io::ParseModelText(kBase, "base.json", "", m, error)) << error;
        EXPECT_FALSE(io::ParseCombinationsText("{\"combinations\": [" + c.combinations + "]}", "c.json", m, error));
        EXPECT_NE(error.find(c.message), std::string::npos) << c.message << " | " << error;
        EXPECT_EQ(error.rfind("c.json:1:", 0), 0u) << error;
    }
    // The same array in the model file itself.
    io::Model m;
    std::string error;
    ASSERT_TRUE(io::ParseModelText(Edit(kBase, "\"nodes\": [\n", "\"combinations\": [" + good + "],\n  \"nodes\": [\n"),
                                   "base.json", "", m, error)) << error;
    ASSERT_EQ(m.combinations.size(), 1u);
    EXPECT_EQ(m.combinations[0].terms[0].factor, 1.35);
}

// A spreadsheet saves a byte-order mark, and in some locales semicolons and decimal commas.
TEST(ModelCsv, SpreadsheetTablesRead) {
    const std::string dir = testing_support::TempPath("csv_spreadsheet");
    std::filesystem::create_directories(dir);
    auto write = [&](const std::string& name, const std::string& text) {
        std::ofstream(dir + "/" + name, std::ios::binary | std::ios::trunc) << text;
    };
    write("manifest.json", R"({"format": "xsect-manifest", "nodes": "nodes.csv", "elements": "elements.csv",
      "forces": "forces.csv", "load_cases": [{"id": 1}]})");
    write("nodes.csv", "\xEF\xBB\xBFid;x;y;z\r\n1;0;0;0\r\n2;1,5;0;0\r\n3;1,5;1;0\r\n4;0;1;0\r\n");
    write("elements.csv", "\xEF\xBB\xBF\"element\",id,n1,n2,n3,n4\r\nx,7,1,2,3,4\r\n");
    write("forces.csv", "\xEF\xBB\xBF" "element;node;case;fx;fy;fz;mx;my;mz\n7;1;1;-2,5;0;0;0;0;0\n7;2;1;2.5;0;0;0;0;0\n");
    io::Model m;
    std::string error;
    ASSERT_TRUE(io::ReadModelFile(dir + "/manifest.json", m, error)) << error;
    EXPECT_EQ(m.nodes.at(2).x, 1.5);
    EXPECT_EQ(m.shells.at(7).staticResults.at(1).at(1).Fx, -2.5);
    EXPECT_EQ(m.shells.at(7).staticResults.at(1).at(2).Fx, 2.5);
}

}  // namespace
}  // namespace xsect::cli
