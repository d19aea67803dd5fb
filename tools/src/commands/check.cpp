#include <memory>
#include <ostream>

#include <CLI/CLI.hpp>

#include "commands/commands.h"
#include "commands/model_loading.h"
#include "compute/model_check.h"
#include "present/text.h"

namespace xsect::cli {

namespace {

struct CheckOptions {
    std::string model;
    std::optional<std::string> combinationsFile;
    double relativeTolerance = 1e-6;  // of an element's residual against its force scale
    int worst = 5;                    // elements listed per load case
};

template <class List, class Print>
void PrintSome(std::ostream& out, const List& list, std::size_t limit, Print print) {
    for (std::size_t i = 0; i < list.size() && i < limit; ++i) out << (i ? ", " : "") << print(list[i]);
    if (list.size() > limit) out << ", ... (" << list.size() - limit << " more)";
    out << "\n";
}

int RunCheck(const CheckOptions& o, Streams io) {
    if (!(o.relativeTolerance > 0.0) || o.worst < 1)
        return PrintBadInput(io, "--tolerance must be greater than 0 and --worst at least 1"), kExitBadInput;
    io::Model model;
    if (!LoadModel(o.model, o.combinationsFile, model, io)) return kExitBadInput;
    const std::size_t worst = static_cast<std::size_t>(o.worst);
    const CheckReport r = CheckModel(model, o.relativeTolerance, worst);
    std::ostream& out = io.out;
    out << "check " << o.model << ": " << model.nodes.size() << " nodes, " << model.shells.size() << " shells, "
        << model.frames.size() << " frames, " << model.loadCases.size() << " load cases\n";
    out << "equilibrium of each element's nodal forces (residual relative to the element's largest nodal force, "
           "moments also to its size; tolerance "
        << Significant(o.relativeTolerance, 3) << "):\n";
    for (const CaseEquilibrium& c : r.equilibrium) {
        const io::LoadCase& lc = model.loadCases.at(c.loadCase);
        out << "  case " << c.loadCase << (lc.name.empty() ? "" : " " + lc.name) << ": ";
        if (c.elements == 0) {
            out << "no element has results\n";
            continue;
        }
        if (c.failing == 0) {
            out << c.elements << " elements in equilibrium\n";
            continue;
        }
        out << c.failing << (c.failing == 1 ? " state" : " states") << " out of equilibrium among " << c.elements
            << " elements; the worst:\n";
        for (const ElementResidual& e : c.worst)
            out << "      " << (e.frame ? "frame " : "shell ") << e.id << (e.mode ? ", mode " + std::to_string(e.mode) : "")
                << ": force " << Significant(e.force, 3) << ", moment " << Significant(e.moment, 3) << " (relative " << Significant(e.relative, 3)
                << "; largest nodal force " << Significant(e.scale, 3) << ")\n";
    }
    if (!r.unusedNodes.empty()) {
        out << r.unusedNodes.size() << " nodes that no element uses: ";
        PrintSome(out, r.unusedNodes, worst, [](std::int32_t id) { return std::to_string(id); });
    }
    const std::string unit = model.units.length.empty() ? "" : " " + model.units.length;
    const std::string plane = "the plane of nodes " + std::to_string(r.plane.nodes[0]) + ", " +
                              std::to_string(r.plane.nodes[1]) + ", " + std::to_string(r.plane.nodes[2]);
    if (r.assembly) {
        // A plane model with a stray node is an assembly too: the farthest node tells which it is.
        out << "an assembly: its nodes do not lie in one plane, so it is cut by planes (forces --plane, diagram --axis)";
        if (r.offPlane)
            out << "; " << r.offPlane << " nodes lie farther than the tolerance from " << plane << ", node "
                << r.plane.offPlane[0].node << " " << Significant(r.plane.offPlane[0].distance, 3) << unit << " off";
        out << "\n";
    } else if (r.plane.status != CS_SUCCESS)
        out << "plane set-up refused: " << StatusName(r.plane.status) << ": " << StatusMessage(r.plane.status) << "\n";
    if (r.offPlane && !r.assembly) {
        out << r.offPlane << " nodes farther from " << plane << " than the tolerance "
            << Significant(model.tolerance, 3) << unit << ":\n";
        for (const NodeOffPlane& n : r.plane.offPlane)
            out << "  node " << n.node << " lies " << Significant(n.distance, 3) << unit << " off " << plane << "\n";
        if (r.offPlane > r.plane.offPlane.size()) out << "  ... (" << r.offPlane - r.plane.offPlane.size() << " more)\n";
    }
    if (!r.duplicates.empty()) {
        out << r.duplicates.size() << " pairs of nodes within the tolerance of each other: ";
        PrintSome(out, r.duplicates, worst,
                  [](const auto& p) { return std::to_string(p.first) + " and " + std::to_string(p.second); });
    }
    out << (r.Clean() ? "no findings\n" : "findings above\n");
    return r.Clean() ? kExitOk : kExitRefused;
}

}  // namespace

Command AddCheck(CLI::App& program) {
    auto o = std::make_shared<CheckOptions>();
    CLI::App* c = program.add_subcommand("check", "Look for faults in a model: element equilibrium, unused and "
                                                  "coincident nodes, nodes off the plane, cases without results");
    c->add_option("model", o->model, "model file")->required();
    c->add_option("--combinations", o->combinationsFile, "JSON file of further load combinations");
    c->add_option("--tolerance", o->relativeTolerance, "largest residual relative to the element's forces (1e-6)");
    c->add_option("--worst", o->worst, "elements and nodes listed per finding (5)");
    return {c, [o](Streams io) { return RunCheck(*o, io); }};
}

}  // namespace xsect::cli
