#include "commands/cli.h"

#include <ostream>

#include <CLI/CLI.hpp>

#include "commands/commands.h"

namespace xsect::cli {

namespace {

Format FormatOf(const std::string& s) {
    if (s == "csv") return Format::Csv;
    if (s == "json") return Format::Json;
    return Format::Table;
}

template <class T>
void Keep(const CLI::Option* option, const T& value, std::optional<T>& out) {
    if (option->count()) out = value;
}

}  // namespace

int Main(int argc, const char* const* argv, std::ostream& out, std::ostream& err, bool errIsTerminal) {
    CLI::App app{"xsect: section forces and cut-line stresses of plane shell models.\n"
                 "Model files are described in docs/model-format.md."};
    app.name("xsect");
    app.require_subcommand(0, 1);
    bool version = false;
    app.add_flag("--version", version, "print the program's version");

    ForcesOptions f;
    std::string cut, cutsCsv, momentPoint, combination, forceCombos, plot, keep, convention = "sign",
                format = "table";
    std::int32_t loadCase = 0, side = 0;
    auto* forces = app.add_subcommand("forces", "Section forces of one cut, or of every cut in a CSV table");
    forces->add_option("model", f.model, "model file (JSON model or CSV manifest)")->required();
    auto* cutOpt = forces->add_option("--cut", cut, "the cut, X1,Y1,Z1:X2,Y2,Z2 in global coordinates");
    auto* cutsOpt = forces->add_option("--cuts", cutsCsv, "CSV table of cuts: name,x1,y1,z1,x2,y2,z2[,side] (docs/cuts-format.md)");
    cutOpt->excludes(cutsOpt);
    auto* caseOpt = forces->add_option("--case", loadCase, "load case (default: the first)");
    auto* comboOpt = forces->add_option("--combination", combination, "one load combination, by name");
    auto* allOpt = forces->add_flag("--all-cases", f.allCases, "every load case and every combination");
    caseOpt->excludes(allOpt);
    comboOpt->excludes(allOpt);
    comboOpt->excludes(caseOpt);
    auto* fcOpt = forces->add_option("--combinations", forceCombos, "JSON file of further load combinations");
    forces->add_option("--convention", convention,
                       "sign: N, Vt, Vk, Mn, Mt, Mk on the -n part about the centroid (docs/sections.md, the "
                       "default); host: the host interface's F1..M3 of the gathered side")
        ->check(CLI::IsMember({"sign", "host"}));
    auto* keepOpt = forces->add_option("--keep", keep, "X,Y,Z: report the forces on the part holding this point");
    auto* sideOpt = forces->add_option("--side", side, "host convention: 1 gathers the nodes right of the directed "
                                                       "cut (and on it), 0 those strictly left")
                        ->check(CLI::IsMember({0, 1}));
    forces->add_flag("--global-axes", f.globalAxes, "host convention: static results along the global axes");
    auto* mpOpt = forces->add_option("--moment-point", momentPoint, "host convention: X,Y,Z (default: the cut's midpoint)");
    auto* fPlotOpt = forces->add_option("--plot", plot, "write an SVG plan of the cut");
    // The plan's first name, kept so that scripts written for it still run.
    auto* fPlanOpt = forces->add_option("--plan", plot)->group("");
    forces->add_flag("--numbers", f.numbers, "node and element numbers on the plan");
    forces->add_option("--format", format, "table, csv or json")->check(CLI::IsMember({"table", "csv", "json"}));

    DiagramOptions g;
    std::string diagramCases, diagramCombos, diagramOut;
    auto* diagram = app.add_subcommand("diagram", "N, V and M diagrams: section forces at stations along an axis, "
                                                  "as CSV and SVG");
    diagram->add_option("model", g.model, "model file (JSON model or CSV manifest)")->required();
    diagram->add_option("--axis", g.axis, "X1,Y1,Z1:X2,Y2,Z2: stations run from the first point to the second")
        ->required();
    diagram->add_option("--stations", g.stations, "number of stations, ends included (1..1000000)")->required();
    auto* dCasesOpt = diagram->add_option("--cases", diagramCases, "these load cases only, e.g. 1,2 (no model combinations)");
    auto* dAllOpt = diagram->add_flag("--all-cases", g.allCases, "every load case and combination (the default)");
    dCasesOpt->excludes(dAllOpt);
    auto* dCombosOpt = diagram->add_option("--combinations", diagramCombos, "JSON file of further load combinations");
    diagram->add_flag("--envelope", g.envelope, "add the envelope over the requests, naming the governing one");
    auto* dOutOpt = diagram->add_option("--out", diagramOut, "write DIR/diagram.csv and DIR/diagram.svg (else the CSV to standard output)");

    StressesOptions s;
    std::string positions, types, plotFile, sformat = "table";
    double outputSpacing = 0.0, spacing = 0.0;
    std::int32_t divisions = 0;
    auto* stresses = app.add_subcommand("stresses", "Smoothed, balanced cut-line stresses from the model's stress fields");
    stresses->add_option("model", s.model, "model file (JSON model or CSV manifest)")->required();
    stresses->add_option("--cut", s.cut, "the cut, X1,Y1,Z1:X2,Y2,Z2 in global coordinates")->required();
    stresses->add_option("--face", s.face, "X,Y,Z: a point on the side of the cut whose face is reported")->required();
    stresses->add_option("--case", s.loadCase, "static load case")->required();
    auto* divOpt = stresses->add_option("--divisions", divisions, "sample intervals per crossed shell, 1..1000 (default 4)");
    auto* spOpt = stresses->add_option("--spacing", spacing, "largest distance between samples");
    auto* posOpt = stresses->add_option("--positions", positions, "output cut-line coordinates, e.g. 0,0.5,1");
    auto* outSpOpt = stresses->add_option("--output-spacing", outputSpacing, "output every S along the cut");
    posOpt->excludes(outSpOpt);
    auto* typesOpt = stresses->add_option("--types", types, "quantities, e.g. St,Sts,Qt,Mts,Mt (default: all)");
    stresses->add_flag("--balance-mz", s.balanceMz, "tilt St so that its moment matches the section's Mz");
    stresses->add_flag("--qt-in-my", s.qtInMy, "balance Mts with the moment of Qt included");
    auto* plotOpt = stresses->add_option("--plot", plotFile, "write the diagrams to this SVG file");
    stresses->add_option("--format", sformat, "table, csv or json")->check(CLI::IsMember({"table", "csv", "json"}));

    std::string infoModel, infoCombos;
    auto* info = app.add_subcommand("info", "Counts, units, combinations, plane, origin and status of a model");
    info->add_option("model", infoModel, "model file")->required();
    auto* icOpt = info->add_option("--combinations", infoCombos, "JSON file of further load combinations");

    CheckOptions c;
    std::string checkCombos;
    auto* check = app.add_subcommand("check", "Look for faults in a model: element equilibrium, unused and "
                                              "coincident nodes, nodes off the plane, cases without results");
    check->add_option("model", c.model, "model file")->required();
    auto* ccOpt = check->add_option("--combinations", checkCombos, "JSON file of further load combinations");
    check->add_option("--tolerance", c.relativeTolerance, "largest residual relative to the element's forces (1e-6)");
    check->add_option("--worst", c.worst, "elements and nodes listed per finding (5)");

    DemoOptions d;
    std::string outDir, writeModel, writeCsv;
    auto* demo = app.add_subcommand("demo", "Run the built-in cantilever wall and check it against its free body");
    auto* outOpt = demo->add_option("--out", outDir, "write SVG pictures into this directory");
    auto* wmOpt = demo->add_option("--write-model", writeModel, "write the demo model as a JSON model file");
    auto* wcOpt = demo->add_option("--write-csv", writeCsv, "write the demo model as a CSV manifest into this directory");
    demo->add_flag("--numbers", d.numbers, "node and element numbers on the plans");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) {
            app.exit(e, out, err);
            return 0;
        }
        err << "xsect: " << e.what() << " (see xsect --help)\n";
        return kExitBadInput;
    }

    Streams io{out, err, errIsTerminal};
    if (version) {
        out << "xsect " << XSECT_VERSION << "\n";
        return kExitOk;
    }
    if (forces->parsed()) {
        Keep(cutOpt, cut, f.cut);
        Keep(cutsOpt, cutsCsv, f.cutsCsv);
        Keep(caseOpt, loadCase, f.loadCase);
        Keep(comboOpt, combination, f.combination);
        Keep(fcOpt, forceCombos, f.combinationsFile);
        Keep(mpOpt, momentPoint, f.momentPoint);
        Keep(keepOpt, keep, f.keep);
        Keep(sideOpt, side, f.side);
        Keep(fPlotOpt, plot, f.plot);
        Keep(fPlanOpt, plot, f.plot);
        f.convention = convention == "host" ? Convention::Host : Convention::SignRule;
        f.format = FormatOf(format);
        return RunForces(f, io);
    }
    if (diagram->parsed()) {
        Keep(dCasesOpt, diagramCases, g.cases);
        Keep(dCombosOpt, diagramCombos, g.combinationsFile);
        Keep(dOutOpt, diagramOut, g.outDir);
        return RunDiagram(g, io);
    }
    if (stresses->parsed()) {
        Keep(divOpt, divisions, s.divisions);
        Keep(spOpt, spacing, s.spacing);
        Keep(posOpt, positions, s.positions);
        Keep(outSpOpt, outputSpacing, s.outputSpacing);
        Keep(typesOpt, types, s.types);
        Keep(plotOpt, plotFile, s.plot);
        s.format = FormatOf(sformat);
        return RunStresses(s, io);
    }
    if (info->parsed()) {
        std::optional<std::string> combos;
        Keep(icOpt, infoCombos, combos);
        return RunInfo(infoModel, combos, io);
    }
    if (check->parsed()) {
        Keep(ccOpt, checkCombos, c.combinationsFile);
        return RunCheck(c, io);
    }
    if (demo->parsed()) {
        Keep(outOpt, outDir, d.outDir);
        Keep(wmOpt, writeModel, d.writeModel);
        Keep(wcOpt, writeCsv, d.writeCsv);
        return RunDemo(d, io);
    }
    err << "xsect: give a command: forces, diagram, stresses, info, check or demo (see xsect --help)\n";
    return kExitBadInput;
}

}  // namespace xsect::cli
