#include <memory>
#include <ostream>

#include <CLI/CLI.hpp>
#include <xsect/sections.h>

#include "commands/arguments.h"
#include "commands/commands.h"
#include "commands/model_loading.h"
#include "compute/combination.h"
#include "compute/plan.h"
#include "compute/requests.h"
#include "compute/result_coverage.h"
#include "present/axis_diagram.h"
#include "present/forces_report.h"
#include "present/plan_svg.h"
#include "present/progress.h"
#include "present/text.h"
#include "xsect/io/cuts_file.h"
#include "xsect/io/model_file.h"

namespace xsect::cli {

namespace {

struct ForcesOptions {
    std::string model;
    std::optional<std::string> cut;      // "X1,Y1,Z1:X2,Y2,Z2"
    std::optional<std::string> cutsCsv;  // a table of cuts
    std::optional<std::string> plane;    // "PX,PY,PZ:NX,NY,NZ": a cutting plane through the model as an assembly
    std::optional<std::string> group, up;  // the plane's section: one group of elements, the direction k follows
    std::optional<std::int32_t> loadCase;
    std::optional<std::string> combination;   // one combination by name
    std::optional<std::string> combinationsFile;
    bool allCases = false;                    // every load case and every combination
    std::string convention = "sign";          // the sign rule (docs/sections.md), or "host": the host interface's own
    std::optional<std::string> keep;          // "X,Y,Z": a point of the part whose forces are reported
    std::optional<std::int32_t> side;         // the host convention's side
    bool globalAxes = false;                  // host convention
    std::optional<std::string> momentPoint;   // host convention
    std::optional<std::string> plot;          // SVG plan of the (single) cut
    bool numbers = false;                     // node and element numbers on the plan
    std::string format = "table";
};

bool ReadCuts(const ForcesOptions& o, std::vector<CutSpec>& cuts, Streams& io) {
    std::string error;
    const std::int32_t side = o.side.value_or(0);
    if (o.cut) {
        CutSpec c;
        c.name = "1";
        c.side = side;
        if (!ParseCut(*o.cut, c.start, c.end, error)) return PrintBadInput(io, "--cut " + error), false;
        cuts.push_back(c);
        return true;
    }
    std::vector<io::CutRow> rows;
    if (!io::ReadCutsFile(*o.cutsCsv, side, rows, error)) return PrintBadInput(io, error), false;
    for (const io::CutRow& r : rows)
        cuts.push_back(CutSpec{r.name, CVertex(r.start[0], r.start[1], r.start[2]), CVertex(r.end[0], r.end[1], r.end[2]),
                               r.side});
    return true;
}

// The load cases and combinations to report, in that order. In the sign rule every case of --all-cases
// without section values (an unsupported type) is left out, with the combinations that name one.
bool Selection(const ForcesOptions& o, const Model& model, bool onlyWithValues, std::vector<std::int32_t>& cases,
               std::vector<const io::Combination*>& combinations, Streams& io) {
    if (o.allCases) {
        for (const auto& [id, lc] : model.loadCases) {
            if (!onlyWithValues || HasSectionValues(lc)) cases.push_back(id);
            else PrintWarning(io, "load case " + CaseText(model, id) + " is of a type without section values: left out");
        }
        for (const io::Combination& c : model.combinations) {
            bool withValues = true;
            for (const io::Combination::Term& t : c.terms) withValues = withValues && HasSectionValues(model.loadCases.at(t.loadCase));
            if (!onlyWithValues || withValues) combinations.push_back(&c);
            else PrintWarning(io, "combination \"" + c.name + "\" names a case without section values: left out");
        }
        if (cases.empty() && combinations.empty())
            return PrintBadInput(io, o.model + ": the model has no load cases with section values"), false;
        return true;
    }
    if (o.combination) {
        for (const io::Combination& c : model.combinations)
            if (c.name == *o.combination) combinations.push_back(&c);
        if (combinations.empty())
            return PrintBadInput(io, o.model + ": no combination named \"" + *o.combination + "\""), false;
        return true;
    }
    const std::int32_t lc = o.loadCase ? *o.loadCase : (model.loadCases.empty() ? 0 : model.loadCases.begin()->first);
    if (!model.loadCases.count(lc))
        return PrintBadInput(io, o.model + ": unknown load case " + std::to_string(lc)), false;
    cases.push_back(lc);
    return true;
}

// The kept point must lie off every cut's line: on it, it names neither side.
bool CheckKeptPoint(const SectionCutter& cutter, const std::vector<CutSpec>& cuts, const CVertex& keep, Streams& io) {
    for (const CutSpec& c : cuts)
        if (cutter.SideOf(c.start, c.end, keep) == 0)
            return PrintBadInput(io, "--keep: the point lies on the line of cut " + c.name +
                                         " (within the tolerance), so it keeps neither side"),
                   false;
    return true;
}

void WarnEndsInside(Streams& io, const std::string& cut, const SectionResult& s) {
    if (s.status == CS_SUCCESS && s.endsInside)
        PrintWarning(io, "cut " + cut + " ends inside a shell: the section is incomplete, so its values miss "
                                        "what passes beside its open end");
}

void WarnMissingResults(Streams& io, const Model& model, const std::string& cut, const std::vector<std::int32_t>& cases) {
    for (std::int32_t lc : cases)
        PrintWarning(io, "cut " + cut + ": load case " + CaseText(model, lc) +
                             " has no results on any element the cut crosses: its values there are zeros");
}

std::vector<std::pair<CVertex, CVertex>> Pairs(const std::vector<CutSpec>& cuts) {
    std::vector<std::pair<CVertex, CVertex>> pairs;
    for (const CutSpec& c : cuts) pairs.emplace_back(c.start, c.end);
    return pairs;
}

std::vector<std::string> Names(const std::vector<CutSpec>& cuts) {
    std::vector<std::string> names;
    for (const CutSpec& c : cuts) names.push_back(c.name);
    return names;
}

// The sign rule: every cut and request in one call of the section cutter.
int SignRuleForces(const ForcesOptions& o, const Model& model, CCrossSectionForcesPost& calc, std::vector<CutSpec>& cuts,
                   const std::optional<CVertex>& keep, const NamedRequests& q, Streams& io) {
    const SectionCutter cutter = io::MakeSectionCutter(calc, model.thickness);
    // The values act on the -n part: each cut whose +n part holds the kept point is turned round.
    std::vector<bool> turned(cuts.size(), false);
    if (keep)
        for (std::size_t i = 0; i < cuts.size(); ++i)
            if (cutter.SideOf(cuts[i].start, cuts[i].end, *keep) > 0) {
                std::swap(cuts[i].start, cuts[i].end);
                turned[i] = true;
            }
    SectionTable table = cutter.Cut(Pairs(cuts), q.requests);
    if (!table.error.empty()) return PrintBadInput(io, model.source + ": " + table.error), kExitBadInput;
    // A cut the library refuses has no part to keep: it is reported as it was given.
    for (std::size_t i = 0; i < cuts.size(); ++i)
        if (turned[i] && table.sections[i].status != CS_SUCCESS) {
            std::swap(cuts[i].start, cuts[i].end);
            std::swap(table.sections[i].start, table.sections[i].end);
        }
    PrintSectionForces(io.out, FormatNamed(o.format), model, Names(cuts), table.sections, q);

    bool anyRefused = false;
    const ResultCoverage coverage(model, q.cases);
    for (std::size_t i = 0; i < cuts.size(); ++i) {
        const SectionResult& s = table.sections[i];
        if (s.status != CS_SUCCESS) {
            PrintRefusal(io, "cut " + cuts[i].name, s.status);
            anyRefused = true;
            continue;
        }
        WarnEndsInside(io, cuts[i].name, s);
        WarnMissingResults(io, model, cuts[i].name, coverage.Missing(s));
    }
    if (o.plot) {
        std::string error;
        const std::string title = "Cut " + VecText(cuts[0].start, 2) + " -> " + VecText(cuts[0].end, 2) +
                                  ": the forces on the -n part";
        PlanPicture plan = MakeSectionPlan(model, calc, cutter, table.sections[0], title);
        plan.numbers = o.numbers;
        if (!io::WriteTextFile(*o.plot, PlanSvg(plan), error))
            return PrintBadInput(io, error), kExitBadInput;
    }
    return anyRefused ? kExitRefused : kExitOk;
}

// The host interface's output: one call per cut and load case, each cut on its own side.
int HostForces(const ForcesOptions& o, const Model& model, CCrossSectionForcesPost& calc, std::vector<CutSpec>& cuts,
               const std::optional<CVertex>& keep, const std::vector<std::int32_t>& cases,
               const std::vector<const io::Combination*>& combinations, Streams& io) {
    std::optional<CVertex> momentPoint;
    if (o.momentPoint) {
        CVertex p;
        std::string error;
        if (!ParsePoint(*o.momentPoint, p, error)) return PrintBadInput(io, "--moment-point " + error), kExitBadInput;
        momentPoint = p;
    }
    const SectionCutter cutter(calc);
    if (keep)
        for (CutSpec& c : cuts) c.side = HostSide(cutter, calc, c.start, c.end).Of(*keep);

    std::vector<HostRow> rows;
    ProgressBar bar(io.err, io.terminal && cuts.size() * (cases.size() + combinations.size()) > 1, "sections");
    const std::size_t total = cuts.size() * (cases.size() + combinations.size());
    for (const CutSpec& cut : cuts) {
        for (std::int32_t lc : cases) {
            rows.push_back(HostRow{cut, lc, nullptr, ComputeSection(calc, model, cut, lc, o.globalAxes, momentPoint)});
            bar.Update(rows.size(), total);
        }
        for (const io::Combination* c : combinations) {
            rows.push_back(HostRow{cut, 0, c, CombineSection(calc, model, cut, *c, o.globalAxes, momentPoint)});
            bar.Update(rows.size(), total);
        }
    }
    bar.Finish();
    PrintHostForces(io.out, FormatNamed(o.format), model, rows, o.globalAxes, momentPoint);

    bool anyRefused = false;
    for (const HostRow& r : rows) {
        anyRefused = anyRefused || !r.result.ok;
        const std::string what = r.combination ? "combination " + r.combination->name
                                               : "load case " + std::to_string(r.loadCase);
        if (!r.result.ok && r.result.status) PrintRefusal(io, "cut " + r.cut.name + ", " + what, r.result.status);
        else if (!r.result.ok) io.err << "xsect: cut " << r.cut.name << ": " << r.result.note << "\n";
    }
    // The host interface says neither where a cut ends nor which elements it meets; the section
    // cutter does, for the cuts drawn both ways, for any case it computes.
    std::vector<std::pair<CVertex, CVertex>> both = Pairs(cuts);
    for (const CutSpec& c : cuts) both.emplace_back(c.end, c.start);
    std::vector<SectionResult> geometry;
    for (const auto& [id, lc] : model.loadCases)
        if (HasSectionValues(lc)) {
            geometry = cutter.Cut(both, {{"geometry", {{id, 1.0}}}}).sections;
            break;
        }
    std::vector<MetElements> met(cuts.size());
    if (!geometry.empty()) {
        for (std::size_t i = 0; i < cuts.size(); ++i) {
            WarnEndsInside(io, cuts[i].name, geometry[i]);
            met[i] = Met(geometry[i], geometry[cuts.size() + i]);
        }
        const ResultCoverage coverage(model, MakeRequests(model, cases, combinations).cases);
        for (std::size_t i = 0; i < cuts.size(); ++i)
            WarnMissingResults(io, model, cuts[i].name, coverage.Missing(met[i].shells, met[i].frames));
    }

    if (o.plot) {
        std::string error;
        PlanPicture plan = MakeHostPlan(model, calc, cutter, cuts.front(), met.front(), "Cut " + *o.cut);
        plan.numbers = o.numbers;
        for (const HostRow& r : rows)
            if (r.result.ok) {
                SetCutAxes(plan, calc, cuts.front(), r.result);
                break;
            }
        if (!io::WriteTextFile(*o.plot, PlanSvg(plan), error)) return PrintBadInput(io, error), kExitBadInput;
    }
    return anyRefused ? kExitRefused : kExitOk;
}

// The requested load cases all have section values, or a sentence naming the first that has none.
bool AllHaveSectionValues(const std::string& path, const Model& model, const NamedRequests& q, Streams& io) {
    for (std::int32_t lc : q.cases)
        if (!HasSectionValues(model.loadCases.at(lc)))
            return PrintBadInput(io, path + ": load case " + CaseText(model, lc) + " is of a type without section values"),
                   false;
    return true;
}

// A cutting plane through the model taken as an assembly, in the sign rule, as the diagram's table
// of one station.
int PlaneForces(const ForcesOptions& o, Streams io) {
    std::string error;
    if (o.convention == "host" || o.keep || o.side || o.globalAxes || o.plot || o.format == "json")
        return PrintBadInput(io, "--plane gives the sign rule's values about the centroid as the diagram's CSV table: "
                                 "leave out --convention host, --keep, --side, --global-axes, --plot and --format json"),
               kExitBadInput;
    CVertex point, normal;
    if (!ParseCut(*o.plane, point, normal, error)) return PrintBadInput(io, "--plane " + error), kExitBadInput;
    if (normal.x == 0.0 && normal.y == 0.0 && normal.z == 0.0)
        return PrintBadInput(io, "--plane " + *o.plane + ": the normal (after the colon) has no length"), kExitBadInput;
    Model model;
    if (!LoadModel(o.model, o.combinationsFile, model, io)) return kExitBadInput;
    std::vector<std::int32_t> cases;
    std::vector<const io::Combination*> combinations;
    if (!Selection(o, model, true, cases, combinations, io)) return kExitBadInput;
    AssemblyOptions options;
    if (!ParseAssemblyOptions(model, o.group, o.up, o.momentPoint, options, error))
        return PrintBadInput(io, error), kExitBadInput;
    const NamedRequests q = MakeRequests(model, cases, combinations);
    if (!AllHaveSectionValues(o.model, model, q, io)) return kExitBadInput;
    SectionTable table = AssemblyCutter(io::MakeAssembly(model)).Cut({{point, normal}}, q.requests, options);
    if (!table.error.empty()) return PrintBadInput(io, "--plane " + *o.plane + ": " + table.error), kExitBadInput;
    AxisStations stations;
    stations.after = std::move(table.sections);
    WriteAxisDiagramCsv(io.out, AxisDiagram{model.title, point, point, model.units, q.labels, stations, false, true});
    const SectionResult& s = stations.after.front();
    if (s.status != CS_SUCCESS) return PrintRefusal(io, "plane " + *o.plane, s.status), kExitRefused;
    WarnMissingResults(io, model, "plane", ResultCoverage(model, q.cases).Missing(s));
    return kExitOk;
}

int RunForces(const ForcesOptions& o, Streams io) {
    if (o.plane) return PlaneForces(o, io);
    std::string error;
    const bool host = o.convention == "host";
    if (!host)
        for (const auto& [given, name] : {std::pair{o.side.has_value(), "--side"}, {o.globalAxes, "--global-axes"},
                                          {o.momentPoint.has_value(), "--moment-point"}})
            if (given)
                return PrintBadInput(io, std::string(name) +
                                             " belongs to --convention host: the sign rule gives the forces on the -n "
                                             "part, in the section axes, about the centroid (choose the part with "
                                             "--keep X,Y,Z)"),
                       kExitBadInput;
    if (o.side && o.keep) return PrintBadInput(io, "give --side or --keep, not both"), kExitBadInput;
    if (o.side && *o.side != 0 && *o.side != 1) return PrintBadInput(io, "--side must be 0 or 1"), kExitBadInput;
    if (o.cut.has_value() == o.cutsCsv.has_value())
        return PrintBadInput(io, "give either --cut X1,Y1,Z1:X2,Y2,Z2, --cuts FILE.csv or --plane "
                                 "PX,PY,PZ:NX,NY,NZ"),
               kExitBadInput;
    if (o.group || o.up) return PrintBadInput(io, "--group and --up belong to --plane"), kExitBadInput;
    if (o.plot && !o.cut) return PrintBadInput(io, "--plot draws a single --cut"), kExitBadInput;
    std::vector<CutSpec> cuts;
    if (!ReadCuts(o, cuts, io)) return kExitBadInput;
    std::optional<CVertex> keep;
    if (o.keep) {
        CVertex p;
        if (!ParsePoint(*o.keep, p, error)) return PrintBadInput(io, "--keep " + error), kExitBadInput;
        keep = p;
    }
    Model model;
    if (!LoadModel(o.model, o.combinationsFile, model, io)) return kExitBadInput;
    const CutLimits limits(model);
    for (const CutSpec& c : cuts) {
        const std::string problem = limits.Problem(c.start, c.end);
        if (!problem.empty())
            return PrintBadInput(io, (o.cut ? "--cut: " : *o.cutsCsv + ": cut " + c.name + ": ") + problem),
                   kExitBadInput;
    }
    std::vector<std::int32_t> cases;
    std::vector<const io::Combination*> combinations;
    if (!Selection(o, model, !host, cases, combinations, io)) return kExitBadInput;
    auto calc = io::MakeForceCalculator(model);
    if (io::IsAssembly(model, *calc))
        return RefuseAssembly(io, o.model, host ? "the host interface (--convention host)" : "a straight --cut"),
               kExitBadInput;
    if (calc->GetCurrentStatus() != CS_SUCCESS) {
        PrintRefusal(io, o.model + ": plane set-up", calc->GetCurrentStatus());
        return kExitRefused;
    }
    if (keep && !CheckKeptPoint(SectionCutter(*calc), cuts, *keep, io)) return kExitBadInput;
    if (host) return HostForces(o, model, *calc, cuts, keep, cases, combinations, io);

    const NamedRequests q = MakeRequests(model, cases, combinations);
    if (!AllHaveSectionValues(o.model, model, q, io)) return kExitBadInput;
    return SignRuleForces(o, model, *calc, cuts, keep, q, io);
}

}  // namespace

Command AddForces(CLI::App& program) {
    auto o = std::make_shared<ForcesOptions>();
    CLI::App* c = program.add_subcommand("forces", "Section forces of one cut, or of every cut in a CSV table");
    c->add_option("model", o->model, "model file (JSON model or CSV manifest)")->required();
    CLI::Option* cut = c->add_option("--cut", o->cut, "the cut, X1,Y1,Z1:X2,Y2,Z2 in global coordinates");
    CLI::Option* cuts = c->add_option("--cuts", o->cutsCsv,
                                      "CSV table of cuts: name,x1,y1,z1,x2,y2,z2[,side] (docs/cuts-format.md)");
    cut->excludes(cuts);
    c->add_option("--plane", o->plane,
                  "PX,PY,PZ:NX,NY,NZ: a cutting plane through the model as an assembly (its point and normal); "
                  "writes the diagram's CSV table")
        ->excludes(cut)
        ->excludes(cuts);
    c->add_option("--group", o->group, "with --plane: the model's group of elements the section sums");
    c->add_option("--up", o->up, "with --plane: X,Y,Z, the direction k follows, projected onto the plane");
    CLI::Option* loadCase = c->add_option("--case", o->loadCase, "load case (default: the first)");
    CLI::Option* combination = c->add_option("--combination", o->combination, "one load combination, by name");
    CLI::Option* all = c->add_flag("--all-cases", o->allCases, "every load case and every combination");
    loadCase->excludes(all);
    combination->excludes(all);
    combination->excludes(loadCase);
    c->add_option("--combinations", o->combinationsFile, "JSON file of further load combinations");
    c->add_option("--convention", o->convention,
                  "sign: N, Vt, Vk, Mn, Mt, Mk on the -n part about the centroid (docs/sections.md, the default); "
                  "host: the host interface's F1..M3 of the gathered side")
        ->check(CLI::IsMember({"sign", "host"}));
    c->add_option("--keep", o->keep, "X,Y,Z: report the forces on the part holding this point");
    c->add_option("--side", o->side, "host convention: 1 gathers the nodes right of the directed cut (and on it), "
                                     "0 those strictly left")
        ->check(CLI::IsMember({0, 1}));
    c->add_flag("--global-axes", o->globalAxes, "host convention: static results along the global axes");
    c->add_option("--moment-point", o->momentPoint,
                  "host convention or --plane: X,Y,Z (default: the cut's midpoint, or the plane section's centroid)");
    c->add_option("--plot", o->plot, "write an SVG plan of the cut");
    // The plan's first name, kept so that scripts written for it still run.
    c->add_option("--plan", o->plot)->group("");
    c->add_flag("--numbers", o->numbers, "node and element numbers on the plan");
    c->add_option("--format", o->format, "table, csv or json")->check(CLI::IsMember({"table", "csv", "json"}));
    return {c, [o](Streams io) { return RunForces(*o, io); }};
}

}  // namespace xsect::cli
