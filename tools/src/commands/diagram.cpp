#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <ostream>
#include <sstream>

#include <CLI/CLI.hpp>
#include <xsect/sections.h>

#include "commands/arguments.h"
#include "commands/commands.h"
#include "commands/model_loading.h"
#include "compute/requests.h"
#include "compute/result_coverage.h"
#include "compute/stations.h"
#include "present/axis_diagram.h"
#include "xsect/io/model_file.h"

namespace xsect::cli {

using io::Model;

namespace {

constexpr std::int32_t kMostStations = 1000000;

struct DiagramOptions {
    std::string model;
    std::string axis;                          // "X1,Y1,Z1:X2,Y2,Z2"
    std::int32_t stations = 0;
    std::optional<std::string> cases;          // "1,2": these load cases, no model combinations
    bool allCases = false;
    std::optional<std::string> combinationsFile;
    bool envelope = false;
    std::optional<std::string> outDir;         // diagram.csv and diagram.svg; else the CSV to out
    // Station planes through the model as an assembly: one group of elements, the up direction that
    // fixes k, a moment point instead of the centroid.
    StationPlaneTexts planeTexts;
};

// "1-12, 15" for a person reading which stations something holds at.
std::string StationList(const std::vector<std::size_t>& stations) {
    std::string text;
    for (std::size_t i = 0; i < stations.size();) {
        std::size_t j = i;
        while (j + 1 < stations.size() && stations[j + 1] == stations[j] + 1) ++j;
        text += (text.empty() ? "" : ", ") + std::to_string(stations[i] + 1) +
                (j > i ? "-" + std::to_string(stations[j] + 1) : "");
        i = j + 1;
    }
    return text;
}

std::string NumberText(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

// The requests: the cases of --cases alone, or every case and model combination with section
// values; the combinations of a --combinations file always.
bool Selection(const DiagramOptions& o, const Model& model, std::size_t fileCombinationsFrom,
               std::vector<std::int32_t>& cases, std::vector<const io::Combination*>& combinations, Streams& io) {
    if (o.cases) {
        std::vector<double> numbers;
        std::string error;
        if (!ParseNumberList(*o.cases, numbers, error)) return PrintBadInput(io, "--cases " + error), false;
        for (double v : numbers) {
            const auto id = static_cast<std::int32_t>(v);
            if (v != std::floor(v) || std::fabs(v) > 2e9 || !model.loadCases.count(id))
                return PrintBadInput(io, "--cases: the model has no load case " + NumberText(v)), false;
            if (!HasSectionValues(model.loadCases.at(id)))
                return PrintBadInput(io, "--cases: load case " + CaseText(model, id) +
                                             " is of a type without section values"),
                       false;
            // A case asked twice is one request: the library refuses two of one name.
            if (std::find(cases.begin(), cases.end(), id) == cases.end()) cases.push_back(id);
        }
    } else {
        for (const auto& [id, lc] : model.loadCases) {
            if (HasSectionValues(lc)) cases.push_back(id);
            else PrintWarning(io, "load case " + CaseText(model, id) + " is of a type without section values: left out");
        }
    }
    for (std::size_t i = o.cases ? fileCombinationsFrom : 0; i < model.combinations.size(); ++i) {
        const io::Combination& c = model.combinations[i];
        bool withValues = true;
        for (const io::Combination::Term& t : c.terms) withValues = withValues && HasSectionValues(model.loadCases.at(t.loadCase));
        if (withValues) combinations.push_back(&c);
        else PrintWarning(io, "combination \"" + c.name + "\" names a case without section values: left out");
    }
    if (cases.empty() && combinations.empty())
        return PrintBadInput(io, o.model + ": the model has no load cases with section values"), false;
    return true;
}

// Stations the library refused, and load cases without results on what a station crosses.
bool Report(const std::vector<SectionResult>& sections, const Model& model, const ResultCoverage& coverage,
            Streams& io) {
    std::map<std::int32_t, std::vector<std::size_t>> refused, missing;
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const SectionResult& s = sections[i];
        if (s.status != CS_SUCCESS) {
            refused[s.status].push_back(i);
            continue;
        }
        for (std::int32_t lc : coverage.Missing(s)) missing[lc].push_back(i);
    }
    const std::string of = " of " + std::to_string(sections.size());
    for (const auto& [status, stations] : refused)
        PrintRefusal(io, (stations.size() > 1 ? "stations " : "station ") + StationList(stations) + of, status);
    for (const auto& [lc, stations] : missing)
        PrintWarning(io, "load case " + CaseText(model, lc) + " has no results on any element crossed at " +
                             (stations.size() > 1 ? "stations " : "station ") + StationList(stations) + of +
                             ": its values there are zeros");
    return refused.empty();
}

int RunDiagram(const DiagramOptions& o, Streams io) {
    std::string error;
    CVertex a, b;
    if (!ParseCut(o.axis, a, b, error)) return PrintBadInput(io, "--axis " + error), kExitBadInput;
    if (o.stations < 1 || o.stations > kMostStations)
        return PrintBadInput(io, "--stations " + std::to_string(o.stations) + ": give 1 to " +
                                     std::to_string(kMostStations) + " stations"),
               kExitBadInput;
    Model model;
    if (!LoadModel(o.model, std::nullopt, model, io)) return kExitBadInput;
    const std::size_t modelCombinations = model.combinations.size();
    if (o.combinationsFile && !io::ReadCombinationsFile(*o.combinationsFile, model, error))
        return PrintBadInput(io, error), kExitBadInput;
    std::vector<std::int32_t> cases;
    std::vector<const io::Combination*> combinations;
    if (!Selection(o, model, modelCombinations, cases, combinations, io)) return kExitBadInput;
    auto calc = io::MakeForceCalculator(model);
    // An assembly is cut by station planes; so is a plane model asked for what only planes know.
    const bool planes = io::IsAssembly(model, *calc) || o.planeTexts.Given();
    if (!planes && calc->GetCurrentStatus() != CS_SUCCESS) {
        PrintRefusal(io, o.model + ": plane set-up", calc->GetCurrentStatus());
        return kExitRefused;
    }
    AssemblyOptions options;
    if (!ParseAssemblyOptions(model, o.planeTexts.group, o.planeTexts.up, o.planeTexts.momentPoint, options, error))
        return PrintBadInput(io, error), kExitBadInput;

    const NamedRequests q = MakeRequests(model, cases, combinations);
    const AxisStations stations =
        planes ? StationsWithJumps(AssemblyCutter(io::MakeAssembly(model)), a, b, o.stations, q.requests, options)
               : StationsWithJumps(io::MakeSectionCutter(*calc, model.thickness), a, b, o.stations, q.requests);
    if (!stations.error.empty()) return PrintBadInput(io, "--axis " + o.axis + ": " + stations.error), kExitBadInput;
    const bool allComputed = Report(stations.after, model, ResultCoverage(model, q.cases), io);

    const AxisDiagram diagram{model.title.empty() ? o.model : model.title, a, b, model.units, q.labels,
                              stations, o.envelope, planes};
    if (!o.outDir) {
        WriteAxisDiagramCsv(io.out, diagram);
        return allComputed ? kExitOk : kExitRefused;
    }
    std::ostringstream csv;
    WriteAxisDiagramCsv(csv, diagram);
    if (!WriteOutputFiles(*o.outDir, {{"/diagram.csv", csv.str()}, {"/diagram.svg", AxisDiagramSvg(diagram)}}, io))
        return kExitBadInput;
    return allComputed ? kExitOk : kExitRefused;
}

}  // namespace

Command AddDiagram(CLI::App& program) {
    auto o = std::make_shared<DiagramOptions>();
    CLI::App* c = program.add_subcommand("diagram", "N, V and M diagrams: section forces at stations along an axis, "
                                                    "as CSV and SVG");
    c->add_option("model", o->model, "model file (JSON model or CSV manifest)")->required();
    c->add_option("--axis", o->axis, "X1,Y1,Z1:X2,Y2,Z2: stations run from the first point to the second")->required();
    c->add_option("--stations", o->stations, "number of stations, ends included (1..1000000)")->required();
    c->add_option("--cases", o->cases, "these load cases only, e.g. 1,2 (no model combinations)")
        ->excludes(c->add_flag("--all-cases", o->allCases, "every load case and combination (the default)"));
    c->add_option("--combinations", o->combinationsFile, "JSON file of further load combinations");
    c->add_flag("--envelope", o->envelope, "add the envelope over the requests, naming the governing one");
    c->add_option("--out", o->outDir, "write DIR/diagram.csv and DIR/diagram.svg (else the CSV to standard output)");
    AddStationPlaneOptions(*c, o->planeTexts);
    return {c, [o](Streams io) { return RunDiagram(*o, io); }};
}

}  // namespace xsect::cli
