#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <ostream>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "commands/arguments.h"
#include "commands/commands.h"
#include "commands/model_loading.h"
#include "compute/cut_line_stresses.h"
#include "present/diagrams_svg.h"
#include "present/text.h"
#include "present/units.h"
#include "xsect/io/model_file.h"

namespace xsect::cli {

namespace {

using Json = nlohmann::json;

// More positions than anyone reads: a larger count comes from a spacing typed wrongly.
constexpr double kMaxPositions = 100000;
constexpr std::int32_t kMaxDivisions = 1000;

struct StressesOptions {
    std::string model;
    std::string cut;
    std::string face;
    std::int32_t loadCase = 0;
    std::optional<std::int32_t> divisions;
    std::optional<double> spacing;
    std::optional<std::string> positions;
    std::optional<double> outputSpacing;
    std::optional<std::string> types;
    bool balanceMz = false;
    bool qtInMy = false;
    std::optional<std::string> plot;
    std::string format = "table";
};

std::array<double, 6> Six(const ForceResultant& r) {
    return {r.GetFx(), r.GetFy(), r.GetFz(), r.GetMx(), r.GetMy(), r.GetMz()};
}

const char* kResultantNames[6] = {"Fx", "Fy", "Fz", "Mx", "My", "Mz"};

// The request's numbers checked against the cut before the library sees them.
bool CheckSampling(const StressesOptions& o, double length, StressRequest& q, Streams& io) {
    auto bad = [&](const std::string& m) { return PrintBadInput(io, m), false; };
    if (o.divisions) {
        if (*o.divisions < 1 || *o.divisions > kMaxDivisions)
            return bad("--divisions " + std::to_string(*o.divisions) + ": give 1 to " + std::to_string(kMaxDivisions) +
                       " intervals per crossed shell");
        q.divisions = *o.divisions;
    }
    auto count = [&](double spacing) { return length / spacing; };
    if (o.spacing) {
        if (!(*o.spacing > 0.0) || !std::isfinite(*o.spacing))
            return bad("--spacing " + Fmt(*o.spacing, 6) + ": the spacing must be greater than 0");
        if (count(*o.spacing) > kMaxPositions)
            return bad("--spacing " + Fmt(*o.spacing, 9) + " puts " + Fmt(count(*o.spacing), 0) +
                       " samples on a cut " + Fmt(length, 3) + " long; at most " + Fmt(kMaxPositions, 0));
        q.spacing = *o.spacing;
    }
    if (o.outputSpacing) {
        if (!(*o.outputSpacing > 0.0) || !std::isfinite(*o.outputSpacing))
            return bad("--output-spacing " + Fmt(*o.outputSpacing, 6) + ": the spacing must be greater than 0");
        if (count(*o.outputSpacing) > kMaxPositions)
            return bad("--output-spacing " + Fmt(*o.outputSpacing, 9) + " asks for " +
                       Fmt(count(*o.outputSpacing), 0) + " positions on a cut " + Fmt(length, 3) + " long; at most " +
                       Fmt(kMaxPositions, 0));
        q.outputSpacing = *o.outputSpacing;
    }
    if (q.positions) {
        if (q.positions->size() > kMaxPositions) return bad("--positions: at most " + Fmt(kMaxPositions, 0));
        for (double p : *q.positions)
            if (p < 0.0 || p > length)
                return bad("--positions: " + Fmt(p, 6) + " is outside the cut, whose coordinates run from 0 to " +
                           Fmt(length, 6));
    }
    return true;
}

// The smoothing adds the ends (and midpoints) to a short list of positions; a person who gave
// positions reads only those.
void KeepRequested(StressOutcome& r, const std::vector<double>& positions, double length) {
    const double slack = 1e-9 * (1.0 + length);
    auto asked = [&](double s) {
        return std::any_of(positions.begin(), positions.end(), [&](double p) { return std::fabs(p - s) <= slack; });
    };
    r.points.erase(std::remove_if(r.points.begin(), r.points.end(), [&](const auto& p) { return !asked(p->GetCLCoor()); }),
                   r.points.end());
}

int RunStresses(const StressesOptions& o, Streams io) {
    std::string error;
    StressRequest q;
    if (!ParseCut(o.cut, q.start, q.end, error)) return PrintBadInput(io, "--cut " + error), kExitBadInput;
    if (!ParsePoint(o.face, q.face, error)) return PrintBadInput(io, "--face " + error), kExitBadInput;
    if (o.positions) {
        std::vector<double> p;
        if (!ParseNumberList(*o.positions, p, error)) return PrintBadInput(io, "--positions " + error), kExitBadInput;
        q.positions = p;
    }
    if (o.positions && o.outputSpacing)
        return PrintBadInput(io, "give --positions or --output-spacing, not both"), kExitBadInput;
    if (o.types && !ParseStressTypes(*o.types, q.types, error)) return PrintBadInput(io, error), kExitBadInput;
    const double length = Norm(q.end - q.start);
    if (!CheckSampling(o, length, q, io)) return kExitBadInput;
    q.loadCase = o.loadCase;
    q.balanceMz = o.balanceMz;
    q.qtInMy = o.qtInMy;
    q.diagrams = o.plot.has_value();

    Model model;
    if (!LoadModel(o.model, std::nullopt, model, io)) return kExitBadInput;
    const std::string problem = CutLimits(model).Problem(q.start, q.end);
    if (!problem.empty()) return PrintBadInput(io, "--cut: " + problem), kExitBadInput;
    auto lc = model.loadCases.find(o.loadCase);
    if (lc == model.loadCases.end())
        return PrintBadInput(io, o.model + ": unknown load case " + std::to_string(o.loadCase)), kExitBadInput;
    if (lc->second.info.caseType != LOAD_CASE_STATIC)
        return PrintBadInput(io, o.model + ": load case " + std::to_string(o.loadCase) +
                                     " is not static; cut-line stresses are balanced against static cases only"),
               kExitBadInput;
    auto calc = io::MakeForceCalculator(model);
    if (io::IsAssembly(model, *calc)) return RefuseAssembly(io, o.model, "stresses"), kExitBadInput;
    if (calc->GetCurrentStatus() != CS_SUCCESS) {
        PrintRefusal(io, o.model + ": plane set-up", calc->GetCurrentStatus());
        return kExitRefused;
    }
    StressOutcome r = ComputeStresses(model, *calc, q);
    if (r.points.empty()) {
        PrintRefusal(io, o.model + ": " + r.stage, r.status);
        for (std::int32_t s : r.report.withoutStress)
            io.err << "xsect: shell " << s << " is crossed but has no stress field for load case " << o.loadCase << "\n";
        for (std::int32_t s : r.report.withoutThickness)
            io.err << "xsect: shell " << s << " is crossed but has no thickness\n";
        return kExitRefused;
    }
    if (q.positions) {
        // Positions on the cut but beyond the crossed elements would be dropped without a word.
        const double s0 = r.bounds.front(), sN = r.bounds.back(), slack = 1e-4;
        for (double p : *q.positions)
            if (p < s0 - slack || p > sN + slack)
                return PrintBadInput(io, "--positions: " + Fmt(p, 6) + " lies beyond the crossed elements, " +
                                             Fmt(s0, 6) + " to " + Fmt(sN, 6)),
                       kExitBadInput;
        KeepRequested(r, *q.positions, length);
    }
    const std::set<CLStressType> types = RequestedTypes(q.types);
    // The resultant components the asked quantities are balanced to: each one's integral, and St's
    // first moment, which --balance-mz balances (Qt's only adds to Mts's My).
    std::set<std::size_t> components;
    for (CLStressType t : types) {
        const CLStressResultantPart part = CLStressResultantOf(t);
        components.insert(part.integral);
        if (t == CL_STRESS_ST) components.insert(part.moment);
    }
    const auto balance = Six(r.balance), smoothed = Six(r.smoothed);
    const Format format = FormatNamed(o.format);
    if (format == Format::Csv) {
        io.out << "s,x,y,z";
        for (CLStressType t : types) io.out << "," << CLStressTypeName(t);
        io.out << "\n";
        for (const auto& p : r.points) {
            const CVertex& v = p->GetPoint3D();
            io.out << CsvNumber(p->GetCLCoor()) << "," << CsvNumber(v.x) << "," << CsvNumber(v.y) << "," << CsvNumber(v.z);
            for (CLStressType t : types) io.out << "," << CsvNumber(ValueOf(p->GetStress(), t));
            io.out << "\n";
        }
    } else if (format == Format::Json) {
        Json doc;
        doc["model"] = o.model;
        doc["case"] = o.loadCase;
        if (!model.units.length.empty()) doc["units"] = {{"length", model.units.length}, {"force", model.units.force}};
        doc["points"] = Json::array();
        for (const auto& p : r.points) {
            const CVertex& v = p->GetPoint3D();
            Json j{{"s", p->GetCLCoor()}, {"xyz", {v.x, v.y, v.z}}};
            for (CLStressType t : types) j[CLStressTypeName(t)] = ValueOf(p->GetStress(), t);
            doc["points"].push_back(j);
        }
        auto six = [&](const std::array<double, 6>& v) {
            Json j = Json::object();
            for (std::size_t k : components) j[kResultantNames[k]] = v[k];
            return j;
        };
        doc["balance_resultant"] = six(balance);
        doc["smoothed_resultant"] = six(smoothed);
        doc["sample_resultant"] = six(r.samples);
        doc["status"] = StatusName(r.status);
        io.out << doc.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
    } else {
        const io::Units& u = model.units;
        io.out << "cut " << VecText(q.start) << " -> " << VecText(q.end) << ", face towards " << VecText(q.face)
               << ", load case " << o.loadCase << " " << lc->second.name << "\n";
        io.out << "  " << r.rowCount << " crossed shells, " << r.sampleCount << " samples\n";
        char cell[64];
        io.out << "  ";
        for (const char* n : {"s", "x", "y", "z"}) {
            std::snprintf(cell, sizeof cell, "%9s ", Labeled(n, u, Dimension::Length).c_str());
            io.out << cell;
        }
        for (CLStressType t : types) {
            std::snprintf(cell, sizeof cell, " %14s", Labeled(CLStressTypeName(t), u, DimensionOf(t)).c_str());
            io.out << cell;
        }
        io.out << "\n";
        for (const auto& p : r.points) {
            const CVertex& v = p->GetPoint3D();
            io.out << "  ";
            for (double c : {p->GetCLCoor(), v.x, v.y, v.z}) {
                std::snprintf(cell, sizeof cell, "%9s ", Fmt(c, 3).c_str());
                io.out << cell;
            }
            for (CLStressType t : types) {
                std::snprintf(cell, sizeof cell, " %14s", Fmt(ValueOf(p->GetStress(), t), 3).c_str());
                io.out << cell;
            }
            io.out << "\n";
        }
        io.out << "  resultants in the cut's axes (x along the cut, y across it towards the face, z out of the plane)\n";
        std::snprintf(cell, sizeof cell, "  %-22s", "");
        io.out << cell;
        for (std::size_t k : components) {
            std::snprintf(cell, sizeof cell, "%15s",
                          Labeled(kResultantNames[k], u, k < 3 ? Dimension::Force : Dimension::Moment).c_str());
            io.out << cell;
        }
        io.out << "\n";
        for (const auto& [label, values] : {std::pair{"balance (section)", balance}, {"smoothed", smoothed},
                                            {"samples, unbalanced", r.samples}}) {
            std::snprintf(cell, sizeof cell, "  %-22s", label);
            io.out << cell;
            for (std::size_t k : components) {
                std::snprintf(cell, sizeof cell, "%15s", Fmt(values[k], 3).c_str());
                io.out << cell;
            }
            io.out << "\n";
        }
    }
    if (o.plot) {
        std::string title = "Cut-line stresses, load case " + std::to_string(o.loadCase) + " " + lc->second.name;
        if (!io::WriteTextFile(*o.plot, DiagramsSvg(title, r.diagrams, r.bounds, model.units), error))
            return PrintBadInput(io, error), kExitBadInput;
    }
    if (r.status != CS_SUCCESS) {
        PrintRefusal(io, o.model + ": " + r.stage + " (the distribution is balanced against zero)", r.status);
        return kExitRefused;
    }
    return kExitOk;
}

}  // namespace

Command AddStresses(CLI::App& program) {
    auto o = std::make_shared<StressesOptions>();
    CLI::App* c = program.add_subcommand("stresses", "Smoothed, balanced cut-line stresses from the model's stress fields");
    c->add_option("model", o->model, "model file (JSON model or CSV manifest)")->required();
    c->add_option("--cut", o->cut, "the cut, X1,Y1,Z1:X2,Y2,Z2 in global coordinates")->required();
    c->add_option("--face", o->face, "X,Y,Z: a point on the side of the cut whose face is reported")->required();
    c->add_option("--case", o->loadCase, "static load case")->required();
    c->add_option("--divisions", o->divisions, "sample intervals per crossed shell, 1..1000 (default 4)");
    c->add_option("--spacing", o->spacing, "largest distance between samples");
    c->add_option("--positions", o->positions, "output cut-line coordinates, e.g. 0,0.5,1")
        ->excludes(c->add_option("--output-spacing", o->outputSpacing, "output every S along the cut"));
    c->add_option("--types", o->types, "quantities, e.g. St,Sts,Qt,Mts,Mt (default: all)");
    c->add_flag("--balance-mz", o->balanceMz, "tilt St so that its moment matches the section's Mz");
    c->add_flag("--qt-in-my", o->qtInMy, "balance Mts with the moment of Qt included");
    c->add_option("--plot", o->plot, "write the diagrams to this SVG file");
    c->add_option("--format", o->format, "table, csv or json")->check(CLI::IsMember({"table", "csv", "json"}));
    return {c, [o](Streams io) { return RunStresses(*o, io); }};
}

}  // namespace xsect::cli
