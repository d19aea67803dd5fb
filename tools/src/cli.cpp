#include "cli.h"

#include <ostream>

#include <CLI/CLI.hpp>

#include "commands.h"

namespace xsect::cli {

namespace {

Format FormatOf(const std::string& s) {
    if (s == "csv") return Format::Csv;
    if (s == "json") return Format::Json;
    return Format::Table;
}

}  // namespace

int Main(int argc, const char* const* argv, std::ostream& out, std::ostream& err, bool errIsTerminal) {
    CLI::App app{"xsect: section forces and cut-line stresses of plane shell models.\n"
                 "Model files are described in docs/model-format.md."};
    app.name("xsect");
    app.require_subcommand(1);

    ForcesOptions f;
    std::string cut, cutsCsv, momentPoint, format = "table";
    std::int32_t loadCase = 0;
    auto* forces = app.add_subcommand("forces", "Section forces of one cut, or of every cut in a CSV table");
    forces->add_option("model", f.model, "model file (JSON model or CSV manifest)")->required();
    auto* cutOpt = forces->add_option("--cut", cut, "the cut, X1,Y1,Z1:X2,Y2,Z2 in global coordinates");
    auto* cutsOpt = forces->add_option("--cuts", cutsCsv, "CSV table of cuts: name,x1,y1,z1,x2,y2,z2[,side]");
    cutOpt->excludes(cutsOpt);
    auto* caseOpt = forces->add_option("--case", loadCase, "load case (default: the first)");
    auto* allOpt = forces->add_flag("--all-cases", f.allCases, "every load case");
    caseOpt->excludes(allOpt);
    forces->add_option("--side", f.side, "1: nodes right of the directed cut (and on it); 0: strictly left")
        ->check(CLI::IsMember({0, 1}));
    forces->add_flag("--global-axes", f.globalAxes, "static results along the global axes instead of the cut's");
    auto* mpOpt = forces->add_option("--moment-point", momentPoint, "X,Y,Z (default: the cut's midpoint)");
    forces->add_option("--format", format, "table, csv or json")->check(CLI::IsMember({"table", "csv", "json"}));

    StressesOptions s;
    std::string positions, types, plot, sformat = "table";
    double outputSpacing = 0.0;
    auto* stresses = app.add_subcommand("stresses", "Smoothed, balanced cut-line stresses from the model's stress fields");
    stresses->add_option("model", s.model, "model file (JSON model or CSV manifest)")->required();
    stresses->add_option("--cut", s.cut, "the cut, X1,Y1,Z1:X2,Y2,Z2 in global coordinates")->required();
    stresses->add_option("--face", s.face, "X,Y,Z: a point on the side of the cut whose face is reported")->required();
    stresses->add_option("--case", s.loadCase, "static load case")->required();
    stresses->add_option("--divisions", s.divisions, "sample intervals per crossed shell (default 4)");
    stresses->add_option("--spacing", s.spacing, "largest distance between samples");
    auto* posOpt = stresses->add_option("--positions", positions, "output cut-line coordinates, e.g. 0,0.5,1");
    auto* outSpOpt = stresses->add_option("--output-spacing", outputSpacing, "output every S along the cut");
    posOpt->excludes(outSpOpt);
    auto* typesOpt = stresses->add_option("--types", types, "quantities, e.g. St,Sts,Qt,Mts,Mt (default: all)");
    stresses->add_flag("--balance-mz", s.balanceMz, "tilt St so that its moment matches the section's Mz");
    stresses->add_flag("--qt-in-my", s.qtInMy, "balance Mts with the moment of Qt included");
    auto* plotOpt = stresses->add_option("--plot", plot, "write the diagrams to this SVG file");
    stresses->add_option("--format", sformat, "table, csv or json")->check(CLI::IsMember({"table", "csv", "json"}));

    std::string infoModel;
    auto* info = app.add_subcommand("info", "Counts, plane, origin and status of a model");
    info->add_option("model", infoModel, "model file")->required();

    DemoOptions d;
    std::string outDir, writeModel, writeCsv;
    auto* demo = app.add_subcommand("demo", "Run the built-in cantilever wall and check it against its free body");
    auto* outOpt = demo->add_option("--out", outDir, "write SVG pictures into this directory");
    auto* wmOpt = demo->add_option("--write-model", writeModel, "write the demo model as a JSON model file");
    auto* wcOpt = demo->add_option("--write-csv", writeCsv, "write the demo model as a CSV manifest into this directory");

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
    if (forces->parsed()) {
        if (cutOpt->count()) f.cut = cut;
        if (cutsOpt->count()) f.cutsCsv = cutsCsv;
        if (caseOpt->count()) f.loadCase = loadCase;
        if (mpOpt->count()) f.momentPoint = momentPoint;
        f.format = FormatOf(format);
        return RunForces(f, io);
    }
    if (stresses->parsed()) {
        if (posOpt->count()) s.positions = positions;
        if (outSpOpt->count()) s.outputSpacing = outputSpacing;
        if (typesOpt->count()) s.types = types;
        if (plotOpt->count()) s.plot = plot;
        s.format = FormatOf(sformat);
        return RunStresses(s, io);
    }
    if (info->parsed()) return RunInfo(infoModel, io);
    if (outOpt->count()) d.outDir = outDir;
    if (wmOpt->count()) d.writeModel = writeModel;
    if (wcOpt->count()) d.writeCsv = writeCsv;
    return RunDemo(d, io);
}

}  // namespace xsect::cli
