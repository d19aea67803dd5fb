#include <cstdio>

#include <nlohmann/json.hpp>

#include "present/forces_report.h"
#include "present/units.h"

namespace xsect::cli {

namespace {

using Json = nlohmann::json;

const char* kNames[6] = {"N", "Vt", "Vk", "Mn", "Mt", "Mk"};

std::array<double, 6> Values(const SectionForces& f) { return {f.N, f.Vt, f.Vk, f.Mn, f.Mt, f.Mk}; }

bool IsRange(const SectionValue& v) {
    const std::array<double, 6> hi = Values(v.max), lo = Values(v.min);
    for (std::size_t k = 0; k < 6; ++k)
        if (!(hi[k] == lo[k])) return true;
    return false;
}

Json Point(const CVertex& v) { return {v.x, v.y, v.z}; }

void Table(std::ostream& out, const Model& model, const std::vector<std::string>& cutNames,
           const std::vector<SectionResult>& sections, const NamedRequests& q) {
    const int width = model.units.length.empty() ? 12 : 14;
    for (std::size_t c = 0; c < sections.size(); ++c) {
        const SectionResult& s = sections[c];
        out << "cut " << cutNames[c] << ": " << VecText(s.start) << " -> " << VecText(s.end)
            << "; the forces on its -n part, about the centroid (sign rule: docs/sections.md)\n";
        if (s.status != CS_SUCCESS) {
            out << "  refused: " << StatusName(s.status) << " - " << StatusMessage(s.status) << "\n";
            continue;
        }
        out << "  axes: n = " << VecText(s.n) << "  t = " << VecText(s.t) << "  k = " << VecText(s.k)
            << "\n  centroid " << VecText(s.centroid) << ", covered length " << Fmt(s.coveredLength)
            << (model.units.length.empty() ? "" : " " + model.units.length) << "\n";
        out << "  case name                 bound";
        for (std::size_t k = 0; k < 6; ++k) {
            char b[48];
            std::snprintf(b, sizeof b, " %*s", width, Labeled(kNames[k], model.units, DimensionOfComponent(k)).c_str());
            out << b;
        }
        out << "\n";
        for (std::size_t r = 0; r < q.requests.size(); ++r) {
            const SectionValue& v = s.values[r];
            const bool range = IsRange(v);
            char lead[80];
            if (q.combinations[r])
                std::snprintf(lead, sizeof lead, "  %-4s %-20.20s", "comb", q.labels[r].c_str());
            else
                std::snprintf(lead, sizeof lead, "  %-4d %-20.20s", q.requests[r].terms[0].loadCase, q.labels[r].c_str());
            for (int bound = 0; bound < (range ? 2 : 1); ++bound) {
                out << (bound == 0 ? lead : "                           ") << (range ? (bound ? " min " : " max ") : "     ");
                for (double x : Values(bound ? v.min : v.max)) {
                    char b[48];
                    std::snprintf(b, sizeof b, " %*s", width, Fmt(x, 3).c_str());
                    out << b;
                }
                out << "\n";
            }
        }
    }
}

void Csv(std::ostream& out, const std::vector<std::string>& cutNames, const std::vector<SectionResult>& sections,
         const NamedRequests& q) {
    out << "cut,request,bound,N,Vt,Vk,Mn,Mt,Mk,covered_length,centroid_x,centroid_y,centroid_z,status\n";
    for (std::size_t c = 0; c < sections.size(); ++c) {
        const SectionResult& s = sections[c];
        const bool ok = s.status == CS_SUCCESS;
        for (std::size_t r = 0; r < q.requests.size(); ++r)
            for (int bound = 0; bound < 2; ++bound) {
                out << CsvField(cutNames[c]) << "," << CsvField(q.labels[r]) << "," << (bound ? "min" : "max");
                if (ok) {
                    for (double x : Values(bound ? s.values[r].min : s.values[r].max)) out << "," << CsvNumber(x);
                    out << "," << CsvNumber(s.coveredLength) << "," << CsvNumber(s.centroid.x) << ","
                        << CsvNumber(s.centroid.y) << "," << CsvNumber(s.centroid.z) << ",ok\n";
                } else {
                    out << ",,,,,,,,,,," << StatusName(s.status) << "\n";
                }
            }
    }
}

void JsonDoc(std::ostream& out, const Model& model, const std::vector<std::string>& cutNames,
             const std::vector<SectionResult>& sections, const NamedRequests& q) {
    Json doc;
    doc["model"] = model.source;
    doc["convention"] = "sign rule";
    if (!model.units.length.empty()) doc["units"] = {{"length", model.units.length}, {"force", model.units.force}};
    doc["results"] = Json::array();
    for (std::size_t c = 0; c < sections.size(); ++c) {
        const SectionResult& s = sections[c];
        for (std::size_t r = 0; r < q.requests.size(); ++r) {
            Json j;
            j["cut"] = cutNames[c];
            j["start"] = Point(s.start);
            j["end"] = Point(s.end);
            j["request"] = q.labels[r];
            if (q.combinations[r]) j["combination"] = q.combinations[r]->name;
            else j["case"] = q.requests[r].terms[0].loadCase;
            j["status"] = StatusName(s.status);
            if (s.status != CS_SUCCESS) {
                j["message"] = StatusMessage(s.status);
            } else {
                j["centroid"] = Point(s.centroid);
                j["covered_length"] = s.coveredLength;
                j["ends_inside"] = s.endsInside;
                j["axes"] = {{"n", Point(s.n)}, {"t", Point(s.t)}, {"k", Point(s.k)}};
                for (std::size_t k = 0; k < 6; ++k) {
                    j["max"][kNames[k]] = Values(s.values[r].max)[k];
                    j["min"][kNames[k]] = Values(s.values[r].min)[k];
                }
            }
            doc["results"].push_back(j);
        }
    }
    out << doc.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
}

}  // namespace

void PrintSectionForces(std::ostream& out, Format format, const Model& model, const std::vector<std::string>& cutNames,
                        const std::vector<SectionResult>& sections, const NamedRequests& requests) {
    if (format == Format::Csv) Csv(out, cutNames, sections, requests);
    else if (format == Format::Json) JsonDoc(out, model, cutNames, sections, requests);
    else Table(out, model, cutNames, sections, requests);
}

}  // namespace xsect::cli
