#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "command_support.h"
#include "csv.h"
#include "json_access.h"
#include "model_io.h"

namespace xsect::cli {

namespace {

bool ParseNumbers(const std::string& text, std::size_t count, std::vector<double>& out, std::string& error) {
    if (!ParseNumberList(text, out, error)) return false;
    if (out.size() != count) {
        error = "\"" + text + "\": expected " + std::to_string(count) + " numbers, found " + std::to_string(out.size());
        return false;
    }
    return true;
}

struct Row {
    CutSpec cut;
    std::int32_t loadCase = 0;
    SectionResult result;
};

bool ReadCutsCsv(const std::string& path, std::int32_t defaultSide, std::vector<CutSpec>& cuts, std::string& error) {
    std::string text;
    CsvTable t;
    if (!ReadTextFile(path, text, error) || !t.Parse(text, path, error)) return false;
    const char* names[6] = {"x1", "y1", "z1", "x2", "y2", "z2"};
    int cols[6];
    for (int k = 0; k < 6; ++k) {
        cols[k] = t.Column(names[k]);
        if (cols[k] < 0) {
            error = path + ":" + std::to_string(t.HeaderLine()) + ": the header has no column \"" + names[k] + "\"";
            return false;
        }
    }
    int cname = t.Column("name"), cside = t.Column("side");
    for (const CsvRow& row : t.Rows()) {
        double v[6];
        for (int k = 0; k < 6; ++k)
            if (!t.Number(row, cols[k], v[k], error)) return false;
        CutSpec c;
        c.start = {v[0], v[1], v[2]};
        c.end = {v[3], v[4], v[5]};
        c.side = defaultSide;
        if (cside >= 0 && !t.Empty(row, cside)) {
            if (!t.Int32(row, cside, c.side, error)) return false;
            if (c.side != 0 && c.side != 1) {
                error = t.Place(row, cside) + ": side must be 0 or 1";
                return false;
            }
        }
        c.name = cname >= 0 && !t.Empty(row, cname) ? row.fields[static_cast<std::size_t>(cname)]
                                                     : std::to_string(cuts.size() + 1);
        cuts.push_back(c);
    }
    if (cuts.empty()) {
        error = path + ": the table lists no cuts";
        return false;
    }
    return true;
}

void DrawProgress(Streams& io, std::size_t done, std::size_t total) {
    if (!io.progress || total < 2) return;
    // Redraw about a hundred times in all: a terminal redrawn per section slows a large batch.
    const std::size_t step = total / 100 + 1;
    if (done % step != 0 && done != total && done != 1) return;
    const int width = 30;
    int filled = static_cast<int>(width * done / total);
    io.err << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
           << std::string(static_cast<std::size_t>(width - filled), ' ') << "] " << done << "/" << total << " sections";
    if (done == total) io.err << "\n";
    io.err.flush();
}

const char* kCutLabels[6] = {"F1", "F2", "F3", "M1", "M2", "M3"};
const char* kGlobalLabels[6] = {"Fx", "Fy", "Fz", "Mx", "My", "Mz"};

}  // namespace

bool ParseNumberList(const std::string& text, std::vector<double>& out, std::string& error) {
    out.clear();
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t comma = text.find(',', pos);
        std::string item = text.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
        char* end = nullptr;
        double v = std::strtod(item.c_str(), &end);
        while (end && (*end == ' ' || *end == '\t')) ++end;
        if (item.empty() || end == item.c_str() || *end != '\0' || !std::isfinite(v)) {
            error = "\"" + text + "\": \"" + item + "\" is not a number";
            return false;
        }
        out.push_back(v);
        if (comma == std::string::npos) break;
        pos = comma + 1;
    }
    return true;
}

bool ParsePoint(const std::string& text, Vec3& out, std::string& error) {
    std::vector<double> v;
    if (!ParseNumbers(text, 3, v, error)) return false;
    out = {v[0], v[1], v[2]};
    return true;
}

bool ParseCut(const std::string& text, Vec3& start, Vec3& end, std::string& error) {
    std::size_t colon = text.find(':');
    if (colon == std::string::npos) {
        error = "cut \"" + text + "\": expected X1,Y1,Z1:X2,Y2,Z2";
        return false;
    }
    return ParsePoint(text.substr(0, colon), start, error) && ParsePoint(text.substr(colon + 1), end, error);
}

int RunForces(const ForcesOptions& o, Streams io) {
    std::string error;
    std::vector<CutSpec> cuts;
    if (o.side != 0 && o.side != 1) return PrintBadInput(io, "--side must be 0 or 1"), kExitBadInput;
    if (o.cut.has_value() == o.cutsCsv.has_value())
        return PrintBadInput(io, "give either --cut X1,Y1,Z1:X2,Y2,Z2 or --cuts FILE.csv"), kExitBadInput;
    if (o.cut) {
        CutSpec c;
        c.name = "1";
        c.side = o.side;
        if (!ParseCut(*o.cut, c.start, c.end, error)) return PrintBadInput(io, "--cut " + error), kExitBadInput;
        cuts.push_back(c);
    } else if (!ReadCutsCsv(*o.cutsCsv, o.side, cuts, error)) {
        return PrintBadInput(io, error), kExitBadInput;
    }
    std::optional<Vec3> momentPoint;
    if (o.momentPoint) {
        Vec3 p;
        if (!ParsePoint(*o.momentPoint, p, error)) return PrintBadInput(io, "--moment-point " + error), kExitBadInput;
        momentPoint = p;
    }
    Model model;
    if (!LoadModel(o.model, model, io)) return kExitBadInput;
    std::vector<std::int32_t> cases;
    if (o.allCases) {
        for (const auto& [id, lc] : model.loadCases) cases.push_back(id);
        if (cases.empty()) return PrintBadInput(io, o.model + ": the model has no load cases"), kExitBadInput;
    } else {
        std::int32_t lc = o.loadCase ? *o.loadCase : (model.loadCases.empty() ? 0 : model.loadCases.begin()->first);
        if (!model.loadCases.count(lc))
            return PrintBadInput(io, o.model + ": unknown load case " + std::to_string(lc)), kExitBadInput;
        cases.push_back(lc);
    }
    auto calc = MakeForceCalculator(model);
    if (calc->GetCurrentStatus() != CS_SUCCESS) {
        PrintRefusal(io, o.model + ": plane set-up", calc->GetCurrentStatus());
        return kExitRefused;
    }

    std::vector<Row> rows;
    const std::size_t total = cuts.size() * cases.size();
    for (const CutSpec& cut : cuts)
        for (std::int32_t lc : cases) {
            Row r{cut, lc, ComputeSection(*calc, model, cut, lc, o.globalAxes, momentPoint)};
            rows.push_back(r);
            DrawProgress(io, rows.size(), total);
        }

    bool anyRefused = false;
    for (const Row& r : rows) anyRefused = anyRefused || !r.result.ok;
    auto statusText = [](const Row& r) {
        return r.result.ok ? std::string("ok")
                           : r.result.status ? std::string(StatusName(r.result.status)) : std::string("no values");
    };
    auto labelsOf = [&](const Row& r) {
        bool global = o.globalAxes && model.loadCases.at(r.loadCase).info.caseType == LOAD_CASE_STATIC;
        return global ? kGlobalLabels : kCutLabels;
    };

    if (o.format == Format::Csv) {
        io.out << "cut,case,axes,F1,F2,F3,M1,M2,M3,status\n";
        for (const Row& r : rows) {
            io.out << r.cut.name << "," << r.loadCase << "," << (labelsOf(r) == kGlobalLabels ? "global" : "cut");
            for (double v : r.result.values) {
                char buf[40];
                std::snprintf(buf, sizeof buf, "%.10g", r.result.ok ? v : 0.0);
                io.out << "," << (r.result.ok ? buf : "");
            }
            io.out << "," << statusText(r) << "\n";
        }
    } else if (o.format == Format::Json) {
        Json doc;
        doc["model"] = o.model;
        doc["results"] = Json::array();
        for (const Row& r : rows) {
            Json j;
            j["cut"] = r.cut.name;
            j["start"] = {r.cut.start.x, r.cut.start.y, r.cut.start.z};
            j["end"] = {r.cut.end.x, r.cut.end.y, r.cut.end.z};
            j["side"] = r.cut.side;
            j["case"] = r.loadCase;
            j["status"] = r.result.ok ? "CS_SUCCESS" : StatusName(r.result.status);
            if (!r.result.ok) {
                j["message"] = r.result.status ? StatusMessage(r.result.status) : r.result.note;
            } else {
                const char** labels = labelsOf(r);
                j["axes"] = labels == kGlobalLabels ? "global" : "cut";
                for (int k = 0; k < 6; ++k) j["values"][labels[k]] = r.result.values[static_cast<std::size_t>(k)];
                for (int k = 0; k < 3; ++k)
                    j["cut_axes"].push_back({r.result.axes[k].x, r.result.axes[k].y, r.result.axes[k].z});
            }
            doc["results"].push_back(j);
        }
        io.out << doc.dump(2) << "\n";
    } else {
        std::string lastCut;
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
                for (int k = 0; k < 6; ++k) {
                    char b[20];
                    std::snprintf(b, sizeof b, "%12s ", labels[k]);
                    io.out << b;
                }
                io.out << "\n";
            }
            char line[80];
            std::snprintf(line, sizeof line, "  %-4d %-20.20s ", r.loadCase, model.loadCases.at(r.loadCase).name.c_str());
            io.out << line;
            if (r.result.ok) {
                for (double v : r.result.values) {
                    char b[24];
                    std::snprintf(b, sizeof b, "%12s ", Fmt(v, 3).c_str());
                    io.out << b;
                }
                if (o.globalAxes && labelsOf(r) == kCutLabels) io.out << " (cut axes: response spectrum)";
            } else {
                io.out << (r.result.status ? std::string("refused: ") + StatusName(r.result.status) + " - " +
                                                 StatusMessage(r.result.status)
                                           : r.result.note);
            }
            io.out << "\n";
        }
    }
    for (const Row& r : rows)
        if (!r.result.ok && r.result.status)
            PrintRefusal(io, "cut " + r.cut.name + ", load case " + std::to_string(r.loadCase), r.result.status);
        else if (!r.result.ok)
            io.err << "xsect: cut " << r.cut.name << ": " << r.result.note << "\n";
    return anyRefused ? kExitRefused : kExitOk;
}

}  // namespace xsect::cli
