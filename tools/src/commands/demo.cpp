#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <ostream>

#include <CLI/CLI.hpp>

#include "commands/commands.h"
#include "compute/cut_line_stresses.h"
#include "compute/demo_model.h"
#include "compute/plan.h"
#include "compute/section.h"
#include "present/diagrams_svg.h"
#include "present/plan_svg.h"
#include "present/text.h"
#include "xsect/io/model_file.h"

namespace xsect::cli {

namespace {

struct DemoOptions {
    std::optional<std::string> outDir;
    std::optional<std::string> writeModel;  // the demo model as a JSON model file
    std::optional<std::string> writeCsv;    // ... and as a manifest with CSV tables, in this directory
    bool numbers = false;
};

std::string Describe(const WallLoad& l) {
    std::string s;
    auto add = [&](double v, const char* what) {
        if (v == 0.0) return;
        s += (s.empty() ? "" : ", ") + Fmt(v, 0) + " kN " + what;
    };
    add(l.shear, "along X");
    add(l.axial, "along Z");
    add(l.outOfPlane, "along Y");
    return s + " at z = " + Fmt(l.h, 1);
}

// Combines modal free-body values by the load case's rule (the demo uses SRSS and CQC).
double Combine(const LoadCase& lc, const std::vector<double>& v) {
    double s = 0.0;
    if (lc.info.combinationMethod == RSP_COMBINE_CQC) {
        const std::size_t n = v.size();
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = 0; j < n; ++j) s += lc.coefficients[i * n + j] * v[i] * v[j];
    } else {
        for (double x : v) s += x * x;
    }
    return std::sqrt(s);
}

void PrintSix(std::ostream& out, const char* label, const std::array<double, 6>& v) {
    PrintSixRow(out, label, 28, v, 11, 2);
}

int RunDemo(const DemoOptions& o, Streams io) {
    Demo demo = MakeDemo();
    Model& model = demo.model;
    std::string error;
    if (o.writeModel && !io::WriteModelJsonFile(model, *o.writeModel, error))
        return PrintBadInput(io, error), kExitBadInput;
    if (o.writeCsv) {
        std::error_code ec;
        std::filesystem::create_directories(*o.writeCsv, ec);
        if (ec || !io::WriteModelCsv(model, *o.writeCsv, error))
            return PrintBadInput(io, ec ? *o.writeCsv + ": " + ec.message() : error), kExitBadInput;
    }
    if (o.outDir) {
        std::error_code ec;
        std::filesystem::create_directories(*o.outDir, ec);
        if (ec) return PrintBadInput(io, *o.outDir + ": cannot create the directory: " + ec.message()), kExitBadInput;
    }
    auto calc = io::MakeForceCalculator(model);
    if (calc->GetCurrentStatus() != CS_SUCCESS) {
        PrintRefusal(io, "demo: plane set-up", calc->GetCurrentStatus());
        return kExitRefused;
    }

    io.out << "xsect demo: " << model.title << "\n";
    io.out << "  " << model.nodes.size() << " nodes, " << model.shells.size() << " shells (" << demo.wall.nx << " x "
           << demo.wall.nz << ") in the global X-Z plane; the element nodal forces come from one exact\n"
           << "  equilibrium state, so each section force has a free-body answer: the resultant of the loads\n"
           << "  on the gathered side of the cut, moments about the cut's midpoint.\n";
    for (const auto& [id, lc] : model.loadCases) {
        io.out << "  case " << id << " " << lc.name << ": ";
        if (lc.info.caseType == LOAD_CASE_RESPONSE_SPECTRUM)
            io.out << "response spectrum, " << lc.info.modeCount << " modes combined by "
                   << io::CombinationRuleName(lc.info.combinationMethod) << "\n";
        else
            io.out << "static\n";
        for (const DemoLoading& l : demo.loadings) {
            if (l.loadCase != id) continue;
            io.out << "      " << (l.mode ? "mode " + std::to_string(l.mode) + ": " : std::string());
            for (std::size_t k = 0; k < l.loads.size(); ++k) io.out << (k ? "; " : "") << Describe(l.loads[k]);
            io.out << "\n";
        }
    }

    double worst = 0.0, scale = 1.0;
    std::vector<std::string> written;
    const SectionCutter cutter(*calc);
    // The plans show the elements each cut meets, which the section cutter tells for the cuts drawn
    // both ways; the host interface does not say.
    std::vector<std::pair<CVertex, CVertex>> both;
    for (const DemoCut& dc : demo.cuts) both.emplace_back(dc.start, dc.end);
    for (const DemoCut& dc : demo.cuts) both.emplace_back(dc.end, dc.start);
    const std::vector<SectionResult> geometry =
        o.outDir ? cutter.Cut(both, {{"geometry", {{model.loadCases.begin()->first, 1.0}}}}).sections
                 : std::vector<SectionResult>();
    for (std::size_t c = 0; c < demo.cuts.size(); ++c) {
        const DemoCut& dc = demo.cuts[c];
        CutSpec cut{dc.name, dc.start, dc.end, dc.side};
        const HostSide side(cutter, *calc, cut.start, cut.end);
        auto onGathered = [&](const CVertex& g) { return side.Of(g) == cut.side; };
        const bool above = onGathered(CVertex{demo.wall.width / 2, 0.0, demo.wall.height + 1.0});
        io.out << "\ncut " << dc.name << ", " << dc.description << ": " << VecText(cut.start, 2) << " -> "
               << VecText(cut.end, 2) << ", side " << cut.side << " (gathers the nodes " << (above ? "above" : "below")
               << " it)\n";
        const CVertex mid = 0.5 * (cut.start + cut.end);
        bool axesShown = false;
        for (const auto& [id, lc] : model.loadCases) {
            HostSection r = ComputeSection(*calc, model, cut, id, false, std::nullopt);
            if (!r.ok) {
                PrintRefusal(io, "demo: cut " + dc.name, r.status);
                return kExitRefused;
            }
            if (!axesShown) {
                io.out << "  cut axes: 1 = " << VecText(r.axes[0], 3) << ", 2 = " << VecText(r.axes[1], 3)
                       << ", 3 = " << VecText(r.axes[2], 3) << "\n";
                io.out << "  case                                 F1         F2         F3         M1         M2         M3\n";
                axesShown = true;
            }
            const CVertex axes[3] = {r.axes[0], r.axes[1], r.axes[2]};
            std::array<double, 6> expected{};
            std::vector<std::array<double, 6>> modal;
            for (const DemoLoading& l : demo.loadings)
                if (l.loadCase == id) modal.push_back(FreeBody(l.loads, demo.wall, mid, axes, onGathered));
            if (lc.info.caseType == LOAD_CASE_RESPONSE_SPECTRUM) {
                for (std::size_t k = 0; k < 6; ++k) {
                    std::vector<double> v;
                    for (const auto& m : modal) v.push_back(m[k]);
                    expected[k] = Combine(lc, v);
                }
            } else {
                expected = modal.front();
            }
            std::string label = std::to_string(id) + " " + lc.name;
            PrintSix(io.out, label.c_str(), r.values);
            PrintSix(io.out, "    free body", expected);
            for (std::size_t k = 0; k < 6; ++k) {
                worst = std::max(worst, std::fabs(r.values[k] - expected[k]));
                scale = std::max(scale, std::fabs(expected[k]));
            }
        }
        if (o.outDir) {
            std::string file = *o.outDir + "/plan_" + dc.name + ".svg";
            PlanPicture plan = MakeHostPlan(model, *calc, cutter, cut,
                                            Met(geometry.at(c), geometry.at(demo.cuts.size() + c)),
                                            "Cut " + dc.name + ": " + dc.description + " (x' = X, y' = Z)");
            plan.numbers = o.numbers;
            SetCutAxes(plan, *calc, cut, ComputeSection(*calc, model, cut, model.loadCases.begin()->first, false, std::nullopt));
            if (!io::WriteTextFile(file, PlanSvg(plan), error)) return PrintBadInput(io, error), kExitBadInput;
            written.push_back(file);
        }
    }

    // Cut-line stresses of two cuts, balanced against the same section forces.
    struct StressCut {
        const char* cut;
        std::int32_t loadCase;
    };
    for (StressCut sc : {StressCut{"A", 1}, StressCut{"C", 2}}) {
        const DemoCut& dc = *std::find_if(demo.cuts.begin(), demo.cuts.end(),
                                          [&](const DemoCut& c) { return c.name == sc.cut; });
        StressRequest q;
        q.start = dc.start;
        q.end = dc.end;
        q.face = 0.5 * (dc.start + dc.end) + CVertex{0.0, 0.0, 1.0};
        q.loadCase = sc.loadCase;
        q.divisions = 4;
        q.diagrams = o.outDir.has_value();
        StressOutcome r = ComputeStresses(model, *calc, q);
        if (r.points.empty() || r.status != CS_SUCCESS) {
            PrintRefusal(io, "demo: stresses on cut " + dc.name, r.status);
            return kExitRefused;
        }
        io.out << "\ncut-line stresses on cut " << dc.name << ", case " << sc.loadCase << " "
               << model.loadCases.at(sc.loadCase).name << " (face above the cut; " << r.rowCount << " shells, "
               << r.sampleCount << " samples)\n";
        io.out << "  resultant in cut axes (x along, y across towards the face)  Fx         Fy         Fz         Mx         My         Mz\n";
        PrintSix(io.out, "balance (section force)", {r.balance.GetFx(), r.balance.GetFy(), r.balance.GetFz(),
                                                     r.balance.GetMx(), r.balance.GetMy(), r.balance.GetMz()});
        PrintSix(io.out, "samples before balancing", r.samples);
        PrintSix(io.out, "smoothed and balanced", {r.smoothed.GetFx(), r.smoothed.GetFy(), r.smoothed.GetFz(),
                                                   r.smoothed.GetMx(), r.smoothed.GetMy(), r.smoothed.GetMz()});
        const auto& first = *r.points.front();
        const auto& last = *r.points.back();
        io.out << "  St from " << Fmt(first.GetStress().GetSt(), 1) << " at s = " << Fmt(first.GetCLCoor(), 2) << " to "
               << Fmt(last.GetStress().GetSt(), 1) << " at s = " << Fmt(last.GetCLCoor(), 2) << " (kN/m2)\n";
        if (o.outDir) {
            std::string file = *o.outDir + "/stresses_" + dc.name + "_case" + std::to_string(sc.loadCase) + ".svg";
            std::string title = "Cut " + dc.name + ", case " + std::to_string(sc.loadCase) + " " +
                                model.loadCases.at(sc.loadCase).name + ": cut-line stresses";
            if (!io::WriteTextFile(file, DiagramsSvg(title, r.diagrams, r.bounds, model.units), error))
                return PrintBadInput(io, error), kExitBadInput;
            written.push_back(file);
        }
    }

    const bool agrees = worst <= 1e-9 * scale;
    io.out << "\nlargest difference between xsect and the free body: " << worst << " (loads up to " << Fmt(scale, 0)
           << "): " << (agrees ? "agrees" : "DOES NOT AGREE") << "\n";
    if (o.outDir)
        for (const std::string& f : written) io.out << "wrote " << f << "\n";
    else
        io.out << "(add --out DIR to write the pictures)\n";
    return agrees ? kExitOk : kExitRefused;
}

}  // namespace

Command AddDemo(CLI::App& program) {
    auto o = std::make_shared<DemoOptions>();
    CLI::App* c = program.add_subcommand("demo", "Run the built-in cantilever wall and check it against its free body");
    c->add_option("--out", o->outDir, "write SVG pictures into this directory");
    c->add_option("--write-model", o->writeModel, "write the demo model as a JSON model file");
    c->add_option("--write-csv", o->writeCsv, "write the demo model as a CSV manifest into this directory");
    c->add_flag("--numbers", o->numbers, "node and element numbers on the plans");
    return {c, [o](Streams io) { return RunDemo(*o, io); }};
}

}  // namespace xsect::cli
