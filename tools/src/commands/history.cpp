#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>

#include <CLI/CLI.hpp>
#include <xsect/plan.h>

#include "commands/arguments.h"
#include "commands/commands.h"
#include "commands/model_loading.h"
#include "compute/history.h"
#include "present/history_report.h"
#include "present/progress.h"
#include "xsect/io/cuts_file.h"
#include "xsect/io/model_file.h"
#include "xsect/io/record_file.h"

namespace xsect::cli {

using io::Model;

namespace {

// Shorter records read in a moment: a bar would only flicker.
constexpr std::uint64_t kProgressFrom = 1000;

struct HistoryOptions {
    std::string model;
    std::int32_t loadCase = 0;
    std::optional<std::string> axis;     // "X1,Y1,Z1:X2,Y2,Z2" with stations
    std::int32_t stations = 0;
    std::optional<std::string> cut;      // one cut
    std::optional<std::string> cutsCsv;  // a table of cuts
    std::optional<std::string> series;   // "1,5": the stations (or cut names) whose series is written
    std::optional<std::string> outDir;
    // Station planes through the model as an assembly, as diagram takes them.
    StationPlaneTexts planeTexts;
};

// The sections' plan and their labels (station numbers from 1, or the cuts' names), or the exit code
// of what refused it. An assembly is cut by station planes; so is a plane model asked for what only
// planes know.
int MakePlan(const HistoryOptions& o, Model& model, SectionPlan& plan, std::vector<std::string>& labels, bool& planes,
             Streams& io) {
    std::string error;
    CVertex a, b;
    if (o.axis) {
        if (!ParseCut(*o.axis, a, b, error)) return PrintBadInput(io, "--axis " + error), kExitBadInput;
        for (std::int32_t i = 1; i <= o.stations; ++i) labels.push_back(std::to_string(i));
    }
    auto calc = io::MakeForceCalculator(model);
    planes = io::IsAssembly(model, *calc) || o.planeTexts.Given();
    if (planes) {
        if (!o.axis)
            return PrintBadInput(io, o.model + " is cut by station planes here (an assembly, or --group, --up or "
                                               "--moment-point given): give --axis with --stations, not --cut or --cuts"),
                   kExitBadInput;
        AssemblyOptions options;
        if (!ParseAssemblyOptions(model, o.planeTexts.group, o.planeTexts.up, o.planeTexts.momentPoint, options, error))
            return PrintBadInput(io, error), kExitBadInput;
        plan = AssemblyCutter(io::MakeAssembly(model)).StationPlan(a, b, o.stations, options);
    } else if (calc->GetCurrentStatus() != CS_SUCCESS) {
        PrintRefusal(io, o.model + ": plane set-up", calc->GetCurrentStatus());
        return kExitRefused;
    } else if (o.axis) {
        plan = io::MakeSectionCutter(*calc, model.thickness).StationPlan(a, b, o.stations);
    } else {
        std::vector<std::pair<CVertex, CVertex>> cuts;
        if (o.cut) {
            if (!ParseCut(*o.cut, a, b, error)) return PrintBadInput(io, "--cut " + error), kExitBadInput;
            cuts.emplace_back(a, b);
            labels.push_back("1");
        } else {
            std::vector<io::CutRow> rows;
            if (!io::ReadCutsFile(*o.cutsCsv, 0, rows, error)) return PrintBadInput(io, error), kExitBadInput;
            for (const io::CutRow& r : rows) {
                cuts.emplace_back(CVertex(r.start[0], r.start[1], r.start[2]), CVertex(r.end[0], r.end[1], r.end[2]));
                labels.push_back(r.name);
            }
        }
        const CutLimits limits(model);
        for (std::size_t i = 0; i < cuts.size(); ++i)
            if (const std::string problem = limits.Problem(cuts[i].first, cuts[i].second); !problem.empty())
                return PrintBadInput(io, "cut " + labels[i] + ": " + problem), kExitBadInput;
        plan = io::MakeSectionCutter(*calc, model.thickness).Plan(cuts);
    }
    if (!plan.Error().empty()) return PrintBadInput(io, (o.axis ? "--axis " + *o.axis + ": " : "") + plan.Error()), kExitBadInput;
    return kExitOk;
}

// The sections of --series, by their labels.
bool Chosen(const HistoryOptions& o, const std::vector<std::string>& labels, std::vector<std::size_t>& chosen,
            Streams& io) {
    if (!o.series) return true;
    std::stringstream list(*o.series);
    for (std::string item; std::getline(list, item, ',');) {
        const auto it = std::find(labels.begin(), labels.end(), item);
        if (it == labels.end())
            return PrintBadInput(io, "--series: no station or cut \"" + item + "\" (stations are numbered 1 to " +
                                         std::to_string(labels.size()) + ")"),
                   false;
        chosen.push_back(static_cast<std::size_t>(it - labels.begin()));
    }
    return true;
}

bool ReportRefused(const std::vector<SectionResult>& sections, const std::vector<std::string>& labels, bool stations,
                   Streams& io) {
    bool all = true;
    for (std::size_t i = 0; i < sections.size(); ++i)
        if (sections[i].status != CS_SUCCESS) {
            PrintRefusal(io, (stations ? "station " : "cut ") + labels[i], sections[i].status);
            all = false;
        }
    return all;
}

int RunHistoryCommand(const HistoryOptions& o, Streams io) {
    if (!!o.axis + !!o.cut + !!o.cutsCsv != 1)
        return PrintBadInput(io, "give --axis X1,Y1,Z1:X2,Y2,Z2 with --stations N, or --cut, or --cuts FILE.csv"),
               kExitBadInput;
    if (o.axis && o.stations == 0) return PrintBadInput(io, "--axis needs --stations N"), kExitBadInput;
    if (o.series && !o.outDir) return PrintBadInput(io, "--series writes files: give --out DIR"), kExitBadInput;
    Model model;
    if (!LoadModel(o.model, std::nullopt, model, io)) return kExitBadInput;
    const auto lc = model.loadCases.find(o.loadCase);
    if (lc == model.loadCases.end())
        return PrintBadInput(io, o.model + ": unknown load case " + std::to_string(o.loadCase)), kExitBadInput;
    if (lc->second.record.empty())
        return PrintBadInput(io, o.model + ": load case " + std::to_string(o.loadCase) +
                                     " is not a time history: it names no record file"),
               kExitBadInput;
    SectionPlan plan;
    std::vector<std::string> labels;
    std::vector<std::size_t> chosen;
    bool planes = false;
    if (const int exit = MakePlan(o, model, plan, labels, planes, io); exit != kExitOk) return exit;
    if (!Chosen(o, labels, chosen, io)) return kExitBadInput;
    const std::string& record = lc->second.recordPath;
    plan = io::PlanInFileOrder(plan, model.shellOrder, model.frameOrder);

    std::string error;
    History history;
    ProgressBar bar(io.err, io.terminal, "reading " + record);
    const bool read = RunHistory(plan, record, chosen, [&](std::uint64_t done, std::uint64_t total) {
        if (total >= kProgressFrom) bar.Update(done, total);
    }, history, error);
    bar.Finish();
    if (!read) return PrintBadInput(io, error), kExitBadInput;
    if (!plan.Frames().empty()) {
        io::RecordFile file;
        if (file.Open(record, plan.ShellRows(), plan.Corners(), plan.FrameRows(), error) && !file.HasFrames())
            PrintWarning(io, record + " has no /frames: the frames the sections cross add nothing");
    }
    const bool allComputed = ReportRefused(plan.Sections(), labels, o.axis.has_value(), io);

    const HistoryReport report{model.title.empty() ? o.model : model.title,
                               "load case " + std::to_string(o.loadCase) +
                                   (lc->second.name.empty() ? "" : " " + lc->second.name),
                               model.units, o.axis.has_value(), planes, labels, plan.Sections(), history};
    if (!o.outDir) {
        WriteHistoryEnvelopeCsv(io.out, report);
        return allComputed ? kExitOk : kExitRefused;
    }
    std::vector<std::pair<std::string, std::string>> files;
    std::ostringstream envelope;
    WriteHistoryEnvelopeCsv(envelope, report);
    files.emplace_back("/history_envelope.csv", envelope.str());
    if (o.series) {
        std::ostringstream series;
        WriteHistorySeriesCsv(series, report);
        files.emplace_back("/history_series.csv", series.str());
        files.emplace_back("/history.svg", HistorySvg(report));
    }
    if (!WriteOutputFiles(*o.outDir, files, io)) return kExitBadInput;
    return allComputed ? kExitOk : kExitRefused;
}

}  // namespace

Command AddHistory(CLI::App& program) {
    auto o = std::make_shared<HistoryOptions>();
    CLI::App* c = program.add_subcommand("history", "Section forces over a time-history record: every section's "
                                                    "envelope with its steps, and chosen sections' series");
    c->add_option("model", o->model, "model file (JSON model or CSV manifest)")->required();
    c->add_option("--case", o->loadCase, "the time-history load case, which names its record file")->required();
    CLI::Option* axis = c->add_option("--axis", o->axis, "X1,Y1,Z1:X2,Y2,Z2: stations from the first point to the second");
    c->add_option("--stations", o->stations, "number of stations, ends included (1..1000000)")->needs(axis);
    CLI::Option* cut = c->add_option("--cut", o->cut, "one cut, X1,Y1,Z1:X2,Y2,Z2 in global coordinates");
    CLI::Option* cuts = c->add_option("--cuts", o->cutsCsv, "CSV table of cuts (docs/cuts-format.md)");
    axis->excludes(cut)->excludes(cuts);
    cut->excludes(cuts);
    c->add_option("--series", o->series, "these stations (numbers) or cuts (names), e.g. 1,13: write their series and "
                                         "an SVG of them");
    c->add_option("--out", o->outDir, "write DIR/history_envelope.csv (else to standard output), and with --series "
                                      "DIR/history_series.csv and DIR/history.svg");
    AddStationPlaneOptions(*c, o->planeTexts);
    return {c, [o](Streams io) { return RunHistoryCommand(*o, io); }};
}

}  // namespace xsect::cli
