#include <cstdio>
#include <ostream>

#include <nlohmann/json.hpp>

#include "commands/arguments.h"
#include "commands/commands.h"
#include "commands/model_loading.h"
#include "compute/combination.h"
#include "compute/plan.h"
#include "present/plan_svg.h"
#include "present/progress.h"
#include "present/text.h"
#include "present/units.h"
#include "xsect/io/cuts_file.h"
#include "xsect/io/model_file.h"

namespace xsect::cli {

namespace {

using Json = nlohmann::json;

// One line of output: a cut with a load case or a combination.
struct Row {
    CutSpec cut;
    std::int32_t loadCase = 0;
    const io::Combination* combination = nullptr;
    HostSection result;
};

const char* kCutLabels[6] = {"F1", "F2", "F3", "M1", "M2", "M3"};
const char* kGlobalLabels[6] = {"Fx", "Fy", "Fz", "Mx", "My", "Mz"};

bool ReadCuts(const ForcesOptions& o, std::vector<CutSpec>& cuts, Streams& io) {
    std::string error;
    if (o.cut) {
        CutSpec c;
        c.name = "1";
        c.side = o.side;
        if (!ParseCut(*o.cut, c.start, c.end, error)) return PrintBadInput(io, "--cut " + error), false;
        cuts.push_back(c);
        return true;
    }
    std::vector<io::CutRow> rows;
    if (!io::ReadCutsFile(*o.cutsCsv, o.side, rows, error)) return PrintBadInput(io, error), false;
    for (const io::CutRow& r : rows)
        cuts.push_back(CutSpec{r.name, {r.start[0], r.start[1], r.start[2]}, {r.end[0], r.end[1], r.end[2]}, r.side});
    return true;
}

// The load cases and combinations to report, in that order.
bool Selection(const ForcesOptions& o, const Model& model, std::vector<std::int32_t>& cases,
               std::vector<const io::Combination*>& combinations, Streams& io) {
    if (o.allCases) {
        for (const auto& [id, lc] : model.loadCases) cases.push_back(id);
        for (const io::Combination& c : model.combinations) combinations.push_back(&c);
        if (cases.empty()) return PrintBadInput(io, o.model + ": the model has no load cases"), false;
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

std::string RowName(const Row& r) { return r.combination ? r.combination->name : std::to_string(r.loadCase); }

}  // namespace

int RunForces(const ForcesOptions& o, Streams io) {
    std::string error;
    if (o.side != 0 && o.side != 1) return PrintBadInput(io, "--side must be 0 or 1"), kExitBadInput;
    if (o.cut.has_value() == o.cutsCsv.has_value())
        return PrintBadInput(io, "give either --cut X1,Y1,Z1:X2,Y2,Z2 or --cuts FILE.csv"), kExitBadInput;
    if (o.plan && !o.cut) return PrintBadInput(io, "--plan draws a single --cut"), kExitBadInput;
    std::vector<CutSpec> cuts;
    if (!ReadCuts(o, cuts, io)) return kExitBadInput;
    std::optional<Vec3> momentPoint;
    if (o.momentPoint) {
        Vec3 p;
        if (!ParsePoint(*o.momentPoint, p, error)) return PrintBadInput(io, "--moment-point " + error), kExitBadInput;
        momentPoint = p;
    }
    Model model;
    if (!LoadModel(o.model, o.combinationsFile, model, io)) return kExitBadInput;
    const Extent extent = ExtentOf(model);
    for (const CutSpec& c : cuts) {
        const std::string problem = CutProblem(extent, model.tolerance, c.start, c.end);
        if (!problem.empty())
            return PrintBadInput(io, (o.cut ? "--cut: " : *o.cutsCsv + ": cut " + c.name + ": ") + problem),
                   kExitBadInput;
    }
    std::vector<std::int32_t> cases;
    std::vector<const io::Combination*> combinations;
    if (!Selection(o, model, cases, combinations, io)) return kExitBadInput;
    auto calc = io::MakeForceCalculator(model);
    if (calc->GetCurrentStatus() != CS_SUCCESS) {
        PrintRefusal(io, o.model + ": plane set-up", calc->GetCurrentStatus());
        return kExitRefused;
    }

    std::vector<Row> rows;
    ProgressBar bar(io.err, io.terminal && cuts.size() * (cases.size() + combinations.size()) > 1, "sections");
    const std::size_t total = cuts.size() * (cases.size() + combinations.size());
    for (const CutSpec& cut : cuts) {
        for (std::int32_t lc : cases) {
            rows.push_back(Row{cut, lc, nullptr, ComputeSection(*calc, model, cut, lc, o.globalAxes, momentPoint)});
            bar.Update(rows.size(), total);
        }
        for (const io::Combination* c : combinations) {
            rows.push_back(Row{cut, 0, c, CombineSection(*calc, model, cut, *c, o.globalAxes, momentPoint)});
            bar.Update(rows.size(), total);
        }
    }
    bar.Finish();

    bool anyRefused = false;
    for (const Row& r : rows) anyRefused = anyRefused || !r.result.ok;
    auto statusText = [](const Row& r) {
        return r.result.ok ? std::string("ok")
                           : r.result.status ? std::string(StatusName(r.result.status)) : std::string("no values");
    };
    auto isGlobal = [&](const Row& r) {
        // The library gives response-spectrum results in the cut's axes whatever is asked.
        return o.globalAxes && (r.combination || model.loadCases.at(r.loadCase).info.caseType == LOAD_CASE_STATIC);
    };

    if (o.format == Format::Csv) {
        io.out << "cut,case,axes,F1,F2,F3,M1,M2,M3,status\n";
        for (const Row& r : rows) {
            io.out << r.cut.name << "," << RowName(r) << "," << (isGlobal(r) ? "global" : "cut");
            for (double v : r.result.values) {
                char buf[40];
                std::snprintf(buf, sizeof buf, "%.10g", v);
                io.out << "," << (r.result.ok ? buf : "");
            }
            io.out << "," << statusText(r) << "\n";
        }
    } else if (o.format == Format::Json) {
        Json doc;
        doc["model"] = o.model;
        if (!model.units.length.empty()) doc["units"] = {{"length", model.units.length}, {"force", model.units.force}};
        doc["results"] = Json::array();
        for (const Row& r : rows) {
            Json j;
            j["cut"] = r.cut.name;
            j["start"] = {r.cut.start.x, r.cut.start.y, r.cut.start.z};
            j["end"] = {r.cut.end.x, r.cut.end.y, r.cut.end.z};
            j["side"] = r.cut.side;
            if (r.combination) j["combination"] = r.combination->name;
            else j["case"] = r.loadCase;
            j["status"] = r.result.ok ? "CS_SUCCESS" : StatusName(r.result.status);
            if (!r.result.ok) {
                j["message"] = r.result.status ? StatusMessage(r.result.status) : r.result.note;
            } else {
                const char** labels = isGlobal(r) ? kGlobalLabels : kCutLabels;
                j["axes"] = isGlobal(r) ? "global" : "cut";
                for (std::size_t k = 0; k < 6; ++k) j["values"][labels[k]] = r.result.values[k];
                for (int k = 0; k < 3; ++k)
                    j["cut_axes"].push_back({r.result.axes[k].x, r.result.axes[k].y, r.result.axes[k].z});
            }
            doc["results"].push_back(j);
        }
        io.out << doc.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
    } else {
        std::string lastCut;
        const bool withUnits = !model.units.length.empty();
        const int width = withUnits ? 14 : 12;
        for (const Row& r : rows) {
            if (r.cut.name != lastCut) {
                lastCut = r.cut.name;
                io.out << "cut " << r.cut.name << ": " << VecText(r.cut.start) << " -> " << VecText(r.cut.end)
                       << ", side " << r.cut.side << ", moments about "
                       << (momentPoint ? VecText(*momentPoint) : std::string("the cut's midpoint")) << "\n";
                for (const Row& s : rows)
                    if (s.cut.name == r.cut.name && s.result.ok) {
                        io.out << "  cut axes: 1 = " << VecText(s.result.axes[0]) << "  2 = "
                               << VecText(s.result.axes[1]) << "  3 = " << VecText(s.result.axes[2]) << "\n";
                        break;
                    }
                io.out << "  case name                 ";
                const char** labels = o.globalAxes ? kGlobalLabels : kCutLabels;
                for (std::size_t k = 0; k < 6; ++k) {
                    char b[40];
                    std::snprintf(b, sizeof b, "%*s ", width,
                                  Labeled(labels[k], model.units, DimensionOfComponent(k)).c_str());
                    io.out << b;
                }
                io.out << "\n";
            }
            char line[80];
            if (r.combination)
                std::snprintf(line, sizeof line, "  %-4s %-20.20s ", "comb", r.combination->name.c_str());
            else
                std::snprintf(line, sizeof line, "  %-4d %-20.20s ", r.loadCase,
                              model.loadCases.at(r.loadCase).name.c_str());
            io.out << line;
            if (r.result.ok) {
                for (double v : r.result.values) {
                    char b[40];
                    std::snprintf(b, sizeof b, "%*s ", width, Fmt(v, 3).c_str());
                    io.out << b;
                }
                if (o.globalAxes && !isGlobal(r)) io.out << " (cut axes: response spectrum)";
            } else {
                io.out << (r.result.status ? std::string("refused: ") + StatusName(r.result.status) + " - " +
                                                 StatusMessage(r.result.status)
                                           : r.result.note);
            }
            io.out << "\n";
        }
    }
    for (const Row& r : rows) {
        const std::string what = r.combination ? "combination " + r.combination->name
                                               : "load case " + std::to_string(r.loadCase);
        if (!r.result.ok && r.result.status) PrintRefusal(io, "cut " + r.cut.name + ", " + what, r.result.status);
        else if (!r.result.ok) io.err << "xsect: cut " << r.cut.name << ": " << r.result.note << "\n";
    }
    if (o.plan) {
        PlanPicture plan = MakePlan(model, *calc, cuts.front(), "Cut " + *o.cut);
        plan.numbers = o.numbers;
        for (const Row& r : rows)
            if (r.result.ok) {
                SetCutAxes(plan, *calc, cuts.front(), r.result);
                break;
            }
        if (!io::WriteTextFile(*o.plan, PlanSvg(plan), error)) return PrintBadInput(io, error), kExitBadInput;
    }
    return anyRefused ? kExitRefused : kExitOk;
}

}  // namespace xsect::cli
