#include <cstdio>

#include <nlohmann/json.hpp>

#include "present/forces_report.h"
#include "present/text.h"
#include "present/units.h"

namespace xsect::cli {

namespace {

using Json = nlohmann::json;

const char* kCutLabels[6] = {"F1", "F2", "F3", "M1", "M2", "M3"};
const char* kGlobalLabels[6] = {"Fx", "Fy", "Fz", "Mx", "My", "Mz"};

}  // namespace

void PrintHostForces(std::ostream& out, Format format, const Model& model, const std::vector<HostRow>& rows,
                     bool globalAxes, const std::optional<CVertex>& momentPoint) {
    auto RowName = [](const HostRow& r) { return r.combination ? r.combination->name : std::to_string(r.loadCase); };
    auto statusText = [](const HostRow& r) {
        return r.result.ok ? std::string("ok")
                           : r.result.status ? std::string(StatusName(r.result.status)) : std::string("no values");
    };
    auto isGlobal = [&](const HostRow& r) {
        // The library gives response-spectrum results in the cut's axes whatever is asked.
        return globalAxes && (r.combination || model.loadCases.at(r.loadCase).info.caseType == LOAD_CASE_STATIC);
    };

    if (format == Format::Csv) {
        out << "cut,case,axes,F1,F2,F3,M1,M2,M3,status\n";
        for (const HostRow& r : rows) {
            out << r.cut.name << "," << RowName(r) << "," << (isGlobal(r) ? "global" : "cut");
            for (double v : r.result.values) out << "," << (r.result.ok ? CsvNumber(v) : "");
            out << "," << statusText(r) << "\n";
        }
    } else if (format == Format::Json) {
        Json doc;
        doc["model"] = model.source;
        if (!model.units.length.empty()) doc["units"] = {{"length", model.units.length}, {"force", model.units.force}};
        doc["results"] = Json::array();
        for (const HostRow& r : rows) {
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
        out << doc.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
    } else {
        std::string lastCut;
        const bool withUnits = !model.units.length.empty();
        const int width = withUnits ? 14 : 12;
        for (const HostRow& r : rows) {
            if (r.cut.name != lastCut) {
                lastCut = r.cut.name;
                out << "cut " << r.cut.name << ": " << VecText(r.cut.start) << " -> " << VecText(r.cut.end)
                       << ", side " << r.cut.side << ", moments about "
                       << (momentPoint ? VecText(*momentPoint) : std::string("the cut's midpoint")) << "\n";
                for (const HostRow& s : rows)
                    if (s.cut.name == r.cut.name && s.result.ok) {
                        out << "  cut axes: 1 = " << VecText(s.result.axes[0]) << "  2 = "
                               << VecText(s.result.axes[1]) << "  3 = " << VecText(s.result.axes[2]) << "\n";
                        break;
                    }
                out << "  case name                 ";
                const char** labels = globalAxes ? kGlobalLabels : kCutLabels;
                for (std::size_t k = 0; k < 6; ++k) {
                    char b[40];
                    std::snprintf(b, sizeof b, "%*s ", width,
                                  Labeled(labels[k], model.units, DimensionOfComponent(k)).c_str());
                    out << b;
                }
                out << "\n";
            }
            char line[80];
            if (r.combination)
                std::snprintf(line, sizeof line, "  %-4s %-20.20s ", "comb", r.combination->name.c_str());
            else
                std::snprintf(line, sizeof line, "  %-4d %-20.20s ", r.loadCase,
                              model.loadCases.at(r.loadCase).name.c_str());
            out << line;
            if (r.result.ok) {
                for (double v : r.result.values) {
                    char b[40];
                    std::snprintf(b, sizeof b, "%*s ", width, Fmt(v, 3).c_str());
                    out << b;
                }
                if (globalAxes && !isGlobal(r)) out << " (cut axes: response spectrum)";
            } else {
                out << (r.result.status ? std::string("refused: ") + StatusName(r.result.status) + " - " +
                                                 StatusMessage(r.result.status)
                                           : r.result.note);
            }
            out << "\n";
        }
    }
}

}  // namespace xsect::cli
