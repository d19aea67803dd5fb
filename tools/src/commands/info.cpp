#include <algorithm>
#include <cstdio>
#include <memory>
#include <ostream>

#include <CLI/CLI.hpp>

#include "commands/commands.h"
#include "commands/model_loading.h"
#include "compute/geometry.h"
#include "present/text.h"

namespace xsect::cli {

namespace {

int RunInfo(const std::string& path, const std::optional<std::string>& combinationsFile, Streams io) {
    io::Model model;
    if (!LoadModel(path, combinationsFile, model, io)) return kExitBadInput;
    std::size_t withStress = model.stresses.size();
    io.out << "model:       " << path << "\n";
    if (!model.title.empty()) io.out << "title:       " << model.title << "\n";
    io.out << "counts:      " << model.nodes.size() << " nodes, " << model.shells.size() << " shells ("
           << model.thickness.size() << " with thickness, " << withStress << " with stress fields), "
           << model.frames.size() << " frames, " << model.loadCases.size()
           << (model.loadCases.size() == 1 ? " load case\n" : " load cases\n");
    for (const auto& [id, lc] : model.loadCases) {
        char line[200];
        std::snprintf(line, sizeof line, "  case %-4d %-20.20s %s", id, lc.name.c_str(),
                      lc.record.empty() ? io::LoadCaseTypeName(lc.info.caseType) : "time_history");
        io.out << line;
        if (!lc.record.empty()) io.out << ", record " << lc.record;
        if (lc.info.caseType == LOAD_CASE_RESPONSE_SPECTRUM)
            io.out << ", " << lc.info.modeCount << " modes, " << io::CombinationRuleName(lc.info.combinationMethod)
                   << (lc.info.applySign ? ", signed" : "") << (lc.info.combineResidual ? ", with residual" : "");
        io.out << "\n";
    }
    for (const io::Combination& c : model.combinations) {
        io.out << "  combination " << c.name << " =";
        for (std::size_t k = 0; k < c.terms.size(); ++k)
            io.out << (k ? " + " : " ") << c.terms[k].factor << " x case " << c.terms[k].loadCase;
        io.out << "\n";
    }
    for (const io::Group& g : model.groups)
        io.out << "  group " << g.name << ": " << g.shells.size() << " shells, " << g.frames.size() << " frames\n";
    if (!model.units.length.empty())
        io.out << "units:       length " << model.units.length << ", force " << model.units.force << "\n";
    io.out << "tolerance:   " << model.tolerance << "\n";
    auto calc = io::MakeForceCalculator(model);
    if (io::IsAssembly(model, *calc)) {
        double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
        for (const auto& [id, v] : model.nodes)
            for (const auto& [k, x] : {std::pair{0, v.x}, {1, v.y}, {2, v.z}}) lo[k] = std::min(lo[k], x), hi[k] = std::max(hi[k], x);
        io.out << "assembly:    its nodes do not lie in one plane: it is cut by planes (forces --plane, diagram --axis)\n"
               << "extent:      x " << Fmt(lo[0]) << " .. " << Fmt(hi[0]) << ", y " << Fmt(lo[1]) << " .. " << Fmt(hi[1])
               << ", z " << Fmt(lo[2]) << " .. " << Fmt(hi[2]) << " (global coordinates)\n";
        return kExitOk;
    }
    if (model.planeNodes[0] > 0)
        io.out << "plane:       from nodes " << model.planeNodes[0] << ", " << model.planeNodes[1] << ", "
               << model.planeNodes[2] << "\n";
    else
        io.out << "plane:       from the model (origin nearest the lower corner of its bounding box)\n";
    const std::int32_t status = calc->GetCurrentStatus();
    io.out << "status:      " << StatusName(status) << " (" << status << "): " << StatusMessage(status) << "\n";
    if (status != CS_SUCCESS) {
        PrintRefusal(io, path + ": plane set-up", status);
        return kExitRefused;
    }
    CVertex x, y, n, origin;
    calc->GetPlaneMap(x, y, n);
    calc->GetOrigin(origin);
    const std::int32_t originNode = calc->GetOriginNodeNo();
    io.out << "origin:      node " << originNode << " at " << VecText(model.nodes.at(originNode))
           << " (global); plane offset " << VecText(origin) << "\n";
    io.out << "plane axes:  x' = " << VecText(x) << "  y' = " << VecText(y) << "  normal = " << VecText(n)
           << "\n";
    double lo[2] = {1e300, 1e300}, hi[2] = {-1e300, -1e300};
    for (const auto& [id, v] : model.nodes) {
        const CVertex p = InPlane(*calc, v);
        lo[0] = std::min(lo[0], p.x), hi[0] = std::max(hi[0], p.x);
        lo[1] = std::min(lo[1], p.y), hi[1] = std::max(hi[1], p.y);
    }
    io.out << "extent:      x' " << Fmt(lo[0]) << " .. " << Fmt(hi[0]) << ", y' " << Fmt(lo[1]) << " .. " << Fmt(hi[1])
           << " (plane coordinates)\n";
    return kExitOk;
}

}  // namespace

Command AddInfo(CLI::App& program) {
    struct InfoOptions {
        std::string model;
        std::optional<std::string> combinationsFile;
    };
    auto o = std::make_shared<InfoOptions>();
    CLI::App* c = program.add_subcommand("info", "Counts, units, combinations, plane, origin and status of a model");
    c->add_option("model", o->model, "model file")->required();
    c->add_option("--combinations", o->combinationsFile, "JSON file of further load combinations");
    return {c, [o](Streams io) { return RunInfo(o->model, o->combinationsFile, io); }};
}

}  // namespace xsect::cli
