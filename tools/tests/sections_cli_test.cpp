// The sign rule's commands end to end on the cantilever wall (X-Z plane, 4 m wide, fixed at z = 0):
// case 1 wind 120 kN along X and 15 kN along Y at the top z = 6, case 2 gravity -800 kN along Z at the
// top, and two spectrum cases whose modes load the top (180; -70 kN along X) and mid-height (130 kN).

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <tuple>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "compute/demo_model.h"
#include "compute/stations.h"
#include "tool_test_support.h"
#include "xsect/io/model_file.h"

namespace xsect::cli {
namespace {

using testing_support::CsvLines;
using testing_support::ReadText;
using testing_support::RunXsect;
using testing_support::TempPath;
using testing_support::WriteTemp;

const std::string kWall = std::string(XSECT_SOURCE_DIR) + "/examples/cantilever_wall.json";
// Rounding of sums over ~100 element forces of size ~100 kN.
constexpr double kRoundoff = 1e-9 * 1e3;

// Stations on a loaded node line (the base's reactions, the second mode's load at mid-height, the loads
// at the top) read twice: before, from the reversed axis turned round, and after. The station values
// are the library's (its sign rule and station tests); here how the program lays out and turns round
// its readings, and the envelope it adds.
TEST(Diagram, StationsOnLoadedLinesReadTwiceTurnedRoundWithTheEnvelopeOverAll) {
    const std::string dir = TempPath("diagram");
    std::filesystem::remove_all(dir);
    auto r = RunXsect({"diagram", kWall, "--axis", "2,0,0:2,0,6", "--stations", "25", "--envelope", "--out", dir});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto rows = CsvLines(ReadText(dir + "/diagram.csv"));
    std::string header;
    for (const std::string& f : rows[0]) header += (header.empty() ? "" : ",") + f;
    EXPECT_EQ(header, "station,position,covered_length,request,bound,N,Vt,Vk,Mn,Mt,Mk");
    // Each reading by station, before (0) or after (1), request and bound.
    std::map<std::tuple<int, int, std::string, std::string>, std::array<double, 6>> at;
    for (std::size_t row = 1; row < rows.size(); ++row) {
        const auto& f = rows[row];
        const int i = std::atoi(f[0].c_str()) - 1;
        const bool after = at.count({i, 0, f[3], f[4]}) > 0;
        std::array<double, 6>& v = at[{i, after ? 1 : 0, f[3], f[4]}];
        for (std::size_t k = 0; k < 6; ++k) v[k] = std::strtod(f[5 + k].c_str(), nullptr);
        EXPECT_NEAR(std::strtod(f[1].c_str(), nullptr), 0.25 * i, 1e-12);
        // Nothing lies before the base or past the top: nothing is covered there.
        EXPECT_NEAR(std::strtod(f[2].c_str(), nullptr), (i == 0 && !after) || (i == 24 && after) ? 0.0 : 4.0, 1e-12);
    }
    std::set<int> twice;
    for (const auto& [key, v] : at)
        if (std::get<1>(key) == 1) twice.insert(std::get<0>(key) + 1);
    EXPECT_EQ(twice, (std::set<int>{1, 13, 25}));
    EXPECT_EQ(at.size(), (25 + 3) * 6 * 2u);  // four cases, the model's combination and the envelope
    // Turned round, a range's bounds, the envelope's too, swap where the component turns (Vk, Mk).
    for (const auto& [key, v] : at) {
        const auto& [i, after, request, bound] = key;
        for (std::size_t k = 0; k < 6 && bound == "max"; ++k)
            EXPECT_GE(v[k], at.at({i, after, request, "min"})[k] - kRoundoff) << i << " " << request << " " << k;
    }
    // At mid-height only the second mode is loaded: the static requests read the same either side.
    for (const char* request : {"wind", "gravity", "1.35G+1.5W"})
        for (const char* bound : {"max", "min"})
            for (std::size_t k = 0; k < 6; ++k)
                EXPECT_NEAR(at.at({12, 0, request, bound})[k], at.at({12, 1, request, bound})[k], kRoundoff) << request;
    // The wind above mid-height, 120 kN along X and 15 kN along Y 3 m up; at the top itself, no lever.
    const std::array<double, 6> midWind{0, 120, 15, 0, -45, 360}, topWind{0, 120, 15, 0, 0, 0};
    for (std::size_t k = 0; k < 6; ++k) {
        EXPECT_NEAR(at.at({12, 1, "wind", "max"})[k], midWind[k], kRoundoff) << k;
        EXPECT_NEAR(at.at({24, 0, "wind", "max"})[k], topWind[k], kRoundoff) << k;
        EXPECT_EQ(at.at({0, 0, "envelope", "max"})[k], 0.0) << k;
    }
    // The picture names the governing request at the extremes, in the model's units, with the sign rule.
    const std::string svg = ReadText(dir + "/diagram.svg");
    // A wall's axis runs up the page, labelled along it.
    for (const char* part : {"max 196.4 kN, earthquake CQC", "min -1080 kN, 1.35G+1.5W", "max 1080 kN m, earthquake SRSS",
                             "Mk [kN m]", "Sign rule (docs/sections.md)", "n = (0, 0, 1), t = (1, 0, 0), k = (0, 1, 0)",
                             "transform='rotate(-90"})
        EXPECT_NE(svg.find(part), std::string::npos) << part;
    EXPECT_EQ(r.out, "wrote " + dir + "/diagram.csv\nwrote " + dir + "/diagram.svg\n");
}

// --keep picks the part in both conventions: the sign rule gives the forces acting on the kept part
// across the cut, the host interface the loads on it, so their global vectors are opposite. How each
// value follows from the part is the library's (the section and statics tests).
TEST(Forces, SignRuleAndHostConventionKeepTheSamePart) {
    const char* inclined = "-0.25,0,1.1:4.25,0,2.6";
    for (const char* keep : {"2,0,0", "2,0,6"}) {
        auto s = RunXsect({"forces", kWall, "--cut", inclined, "--case", "1", "--keep", keep, "--format", "json"});
        auto h = RunXsect({"forces", kWall, "--cut", inclined, "--case", "1", "--keep", keep, "--convention", "host",
                           "--global-axes", "--format", "json"});
        ASSERT_EQ(s.code, 0) << s.err;
        ASSERT_EQ(h.code, 0) << h.err;
        const auto a = nlohmann::json::parse(s.out)["results"][0], b = nlohmann::json::parse(h.out)["results"][0];
        // The cut rises to the right in plane coordinates (x' = X, y' = Z): its left, side 0, is above.
        EXPECT_EQ(b["side"].get<int>(), keep[4] == '0' ? 1 : 0) << keep;
        EXPECT_EQ(b["axes"], "global");  // the rotation is the library's; the program hands the flag on
        // Kept below, the part receives the wind from above: 120 along X and 15 along Y.
        const double sign = keep[4] == '0' ? 1.0 : -1.0, windFromAbove[3] = {120, 15, 0};
        const char *names[3] = {"N", "Vt", "Vk"}, *global[3] = {"Fx", "Fy", "Fz"};
        for (int g = 0; g < 3; ++g) {
            double fromSignRule = 0.0;
            for (int k = 0; k < 3; ++k)
                fromSignRule += a["axes"][std::string(1, "ntk"[k])][g].get<double>() * a["max"][names[k]].get<double>();
            EXPECT_NEAR(fromSignRule, sign * windFromAbove[g], kRoundoff) << keep << " axis " << g;
            EXPECT_NEAR(b["values"][global[g]].get<double>(), -fromSignRule, kRoundoff) << keep << " axis " << g;
        }
    }
}

TEST(Sections, WarnOfAnOpenEndAndOfCasesWithoutResultsWhereTheyAreCut) {
    auto inside = RunXsect({"forces", kWall, "--cut", "1,0,3:3,0,3"});
    EXPECT_EQ(inside.code, 0);
    EXPECT_NE(inside.err.find("warning: cut 1 ends inside a shell"), std::string::npos) << inside.err;
    EXPECT_EQ(RunXsect({"forces", kWall, "--cut", "-0.25,0,3:4.25,0,3"}).err, "");

    // Gravity's results taken off the shells below mid-height: stations there read zeros.
    Demo demo = MakeDemo();
    for (auto& [id, shell] : demo.model.shells) {
        double z = 0.0;
        for (std::int32_t n : shell.nodes) z += demo.model.nodes.at(n).z / static_cast<double>(shell.nodes.size());
        if (z < 3.0) shell.staticResults.erase(2);
    }
    const std::string model = WriteTemp("half_gravity.json", io::WriteModelJson(demo.model));
    auto d = RunXsect({"diagram", model, "--axis", "2,0,0:2,0,6", "--stations", "25", "--cases", "1,2"});
    EXPECT_EQ(d.code, 0);
    EXPECT_EQ(d.err, "xsect: warning: load case 2 (gravity) has no results on any element crossed at stations 1-12 "
                     "of 25: its values there are zeros\n");
    for (const char* convention : {"sign", "host"}) {
        auto f = RunXsect({"forces", model, "--cut", "-0.25,0,0.75:4.25,0,0.75", "--all-cases", "--convention", convention});
        EXPECT_NE(f.err.find("warning: cut 1: load case 2 (gravity) has no results on any element the cut crosses"),
                  std::string::npos) << convention << f.err;
        EXPECT_EQ(f.err.find("load case 1"), std::string::npos) << convention << f.err;
    }
}

// Every reading of a diagram, the ones just before a loaded node line turned round included, names
// as governing, per component, the request whose value its envelope shows.
TEST(Diagram, EachReadingsEnvelopeNamesTheRequestItShows) {
    io::Model model;
    std::string error;
    ASSERT_TRUE(io::ReadModelFile(std::string(XSECT_SOURCE_DIR) + "/examples/cantilever_wall.json", model, error));
    auto calc = io::MakeForceCalculator(model);
    const SectionCutter cutter = io::MakeSectionCutter(*calc, model.thickness);
    const AxisStations s = StationsWithJumps(cutter, CVertex(2, 0, 0), CVertex(2, 0, 6), 25, cutter.DefaultRequests());
    ASSERT_FALSE(s.before.empty());
    std::vector<const SectionResult*> readings;
    for (const SectionResult& r : s.after) readings.push_back(&r);
    for (const auto& [station, r] : s.before) readings.push_back(&r);
    const double SectionForces::*c[6] = {&SectionForces::N,  &SectionForces::Vt, &SectionForces::Vk,
                                         &SectionForces::Mn, &SectionForces::Mt, &SectionForces::Mk};
    for (const SectionResult* r : readings)
        for (std::size_t i = 0; i < 6 && r->status == CS_SUCCESS; ++i) {
            EXPECT_EQ(r->values.at(r->envelope.maxRequest[i]).max.*c[i], r->envelope.max.*c[i]) << r->position << " " << i;
            EXPECT_EQ(r->values.at(r->envelope.minRequest[i]).min.*c[i], r->envelope.min.*c[i]) << r->position << " " << i;
        }
}

}  // namespace
}  // namespace xsect::cli
