#include <cstdio>
#include <ostream>

#include "command_support.h"
#include "json_access.h"

namespace xsect::cli {

namespace {

bool ParseTypes(const std::string& text, std::set<CLStressType>& out, std::string& error) {
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t comma = text.find(',', pos);
        std::string item = text.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
        if (item == "St") out.insert(CL_STRESS_ST);
        else if (item == "Sts") out.insert(CL_STRESS_STS);
        else if (item == "Qt") out.insert(CL_STRESS_QT);
        else if (item == "Mts") out.insert(CL_STRESS_MTS);
        else if (item == "Mt") out.insert(CL_STRESS_MT);
        else {
            error = "--types: unknown quantity \"" + item + "\" (St, Sts, Qt, Mts, Mt)";
            return false;
        }
        if (comma == std::string::npos) break;
        pos = comma + 1;
    }
    return true;
}

void PrintResultant(std::ostream& out, const char* label, const std::array<double, 6>& v) {
    PrintSixRow(out, label, 22, v, 13, 3);
}

std::array<double, 6> Six(const ForceResultant& r) {
    return {r.GetFx(), r.GetFy(), r.GetFz(), r.GetMx(), r.GetMy(), r.GetMz()};
}

Json SixJson(const std::array<double, 6>& v) {
    return Json{{"Fx", v[0]}, {"Fy", v[1]}, {"Fz", v[2]}, {"Mx", v[3]}, {"My", v[4]}, {"Mz", v[5]}};
}

}  // namespace

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
    if (o.types && !ParseTypes(*o.types, q.types, error)) return PrintBadInput(io, error), kExitBadInput;
    q.loadCase = o.loadCase;
    q.divisions = o.divisions;
    q.spacing = o.spacing;
    q.outputSpacing = o.outputSpacing;
    q.balanceMz = o.balanceMz;
    q.qtInMy = o.qtInMy;
    q.diagrams = o.plot.has_value();

    Model model;
    if (!LoadModel(o.model, model, io)) return kExitBadInput;
    auto lc = model.loadCases.find(o.loadCase);
    if (lc == model.loadCases.end())
        return PrintBadInput(io, o.model + ": unknown load case " + std::to_string(o.loadCase)), kExitBadInput;
    if (lc->second.info.caseType != LOAD_CASE_STATIC)
        return PrintBadInput(io, o.model + ": load case " + std::to_string(o.loadCase) +
                                     " is not static; cut-line stresses are balanced against static cases only"),
               kExitBadInput;
    auto calc = MakeForceCalculator(model);
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
    const auto balance = Six(r.balance), smoothed = Six(r.smoothed);
    static const char* kNames[5] = {"St", "Sts", "Qt", "Mts", "Mt"};
    if (o.format == Format::Csv) {
        io.out << "s,x,y,z,St,Sts,Qt,Mts,Mt\n";
        for (const auto& p : r.points) {
            const CLStress& s = p->GetStress();
            const CVertex& v = p->GetPoint3D();
            char line[300];
            std::snprintf(line, sizeof line, "%.10g,%.10g,%.10g,%.10g,%.10g,%.10g,%.10g,%.10g,%.10g\n",
                          p->GetCLCoor(), v.x, v.y, v.z, s.GetSt(), s.GetSts(), s.GetQt(), s.GetMts(), s.GetMt());
            io.out << line;
        }
    } else if (o.format == Format::Json) {
        Json doc;
        doc["model"] = o.model;
        doc["case"] = o.loadCase;
        doc["points"] = Json::array();
        for (const auto& p : r.points) {
            const CLStress& s = p->GetStress();
            const CVertex& v = p->GetPoint3D();
            doc["points"].push_back({{"s", p->GetCLCoor()},
                                     {"xyz", {v.x, v.y, v.z}},
                                     {"St", s.GetSt()},
                                     {"Sts", s.GetSts()},
                                     {"Qt", s.GetQt()},
                                     {"Mts", s.GetMts()},
                                     {"Mt", s.GetMt()}});
        }
        doc["balance_resultant"] = SixJson(balance);
        doc["smoothed_resultant"] = SixJson(smoothed);
        doc["sample_resultant"] = SixJson(r.samples);
        doc["status"] = StatusName(r.status);
        io.out << doc.dump(2) << "\n";
    } else {
        io.out << "cut " << VecText(q.start) << " -> " << VecText(q.end) << ", face towards " << VecText(q.face)
               << ", load case " << o.loadCase << " " << lc->second.name << "\n";
        io.out << "  " << r.rowCount << " crossed shells, " << r.sampleCount << " samples\n";
        char head[200];
        std::snprintf(head, sizeof head, "  %9s %9s %9s %9s", "s", "x", "y", "z");
        io.out << head;
        for (const char* n : kNames) {
            char b[20];
            std::snprintf(b, sizeof b, " %12s", n);
            io.out << b;
        }
        io.out << "\n";
        for (const auto& p : r.points) {
            const CLStress& s = p->GetStress();
            const CVertex& v = p->GetPoint3D();
            char line[300];
            std::snprintf(line, sizeof line, "  %9s %9s %9s %9s %12s %12s %12s %12s %12s\n", Fmt(p->GetCLCoor(), 3).c_str(),
                          Fmt(v.x, 3).c_str(), Fmt(v.y, 3).c_str(), Fmt(v.z, 3).c_str(), Fmt(s.GetSt(), 3).c_str(),
                          Fmt(s.GetSts(), 3).c_str(), Fmt(s.GetQt(), 3).c_str(), Fmt(s.GetMts(), 3).c_str(),
                          Fmt(s.GetMt(), 3).c_str());
            io.out << line;
        }
        io.out << "  resultants in the cut's axes (x along the cut, y across it towards the face, z out of the plane)\n";
        std::snprintf(head, sizeof head, "  %-22s%13s%13s%13s%13s%13s%13s\n", "", "Fx", "Fy", "Fz", "Mx", "My", "Mz");
        io.out << head;
        PrintResultant(io.out, "balance (section)", balance);
        PrintResultant(io.out, "smoothed", smoothed);
        PrintResultant(io.out, "samples, unbalanced", r.samples);
    }
    if (o.plot) {
        std::string title = "Cut-line stresses, load case " + std::to_string(o.loadCase) + " " + lc->second.name;
        if (!WriteFile(*o.plot, DiagramsSvg(title, r.diagrams, r.bounds), error))
            return PrintBadInput(io, error), kExitBadInput;
    }
    if (r.status != CS_SUCCESS) {
        PrintRefusal(io, o.model + ": " + r.stage + " (the distribution is balanced against zero)", r.status);
        return kExitRefused;
    }
    return kExitOk;
}

}  // namespace xsect::cli
