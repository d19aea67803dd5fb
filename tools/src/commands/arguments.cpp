#include "commands/arguments.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <CLI/CLI.hpp>

#include "compute/geometry.h"
#include "present/text.h"

namespace xsect::cli {

namespace {

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> items;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t comma = text.find(',', pos);
        items.push_back(text.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos));
        if (comma == std::string::npos) return items;
        pos = comma + 1;
    }
}

bool ParseNumbers(const std::string& text, std::size_t count, std::vector<double>& out, std::string& error) {
    if (!ParseNumberList(text, out, error)) return false;
    if (out.size() == count) return true;
    error = "\"" + text + "\": expected " + std::to_string(count) + " numbers, found " + std::to_string(out.size());
    return false;
}

}  // namespace

bool ParseNumberList(const std::string& text, std::vector<double>& out, std::string& error) {
    out.clear();
    for (const std::string& item : Split(text)) {
        char* end = nullptr;
        const double v = std::strtod(item.c_str(), &end);
        while (end && (*end == ' ' || *end == '\t')) ++end;
        if (item.empty() || end == item.c_str() || *end != '\0' || !std::isfinite(v)) {
            error = "\"" + text + "\": \"" + item + "\" is not a number";
            return false;
        }
        out.push_back(v);
    }
    return true;
}

bool ParsePoint(const std::string& text, CVertex& out, std::string& error) {
    std::vector<double> v;
    if (!ParseNumbers(text, 3, v, error)) return false;
    out = {v[0], v[1], v[2]};
    return true;
}

bool ParseAssemblyOptions(const io::Model& model, const std::optional<std::string>& group,
                          const std::optional<std::string>& up, const std::optional<std::string>& momentPoint,
                          AssemblyOptions& out, std::string& error) {
    if (up && !ParsePoint(*up, out.up, error)) return error = "--up " + error, false;
    if (momentPoint) {
        if (!ParsePoint(*momentPoint, out.momentPoint, error)) return error = "--moment-point " + error, false;
        out.useMomentPoint = true;
    }
    if (!group) return true;
    std::string known;
    for (const io::Group& g : model.groups) {
        if (g.name == *group) {
            out.shells = g.shells;
            out.frames = g.frames;
            return true;
        }
        known += (known.empty() ? "" : ", ") + g.name;
    }
    error = "--group " + *group + ": the model has no such group" +
            (known.empty() ? std::string(" (it has none)") : " (it has " + known + ")");
    return false;
}

bool ParseCut(const std::string& text, CVertex& start, CVertex& end, std::string& error) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) {
        error = "cut \"" + text + "\": expected X1,Y1,Z1:X2,Y2,Z2";
        return false;
    }
    return ParsePoint(text.substr(0, colon), start, error) && ParsePoint(text.substr(colon + 1), end, error);
}

bool ParseStressTypes(const std::string& text, std::set<CLStressType>& out, std::string& error) {
    for (const std::string& item : Split(text)) {
        bool known = false;
        for (CLStressType t : {CL_STRESS_ST, CL_STRESS_STS, CL_STRESS_QT, CL_STRESS_MTS, CL_STRESS_MT})
            if (item == CLStressTypeName(t)) out.insert(t), known = true;
        if (!known) {
            error = "--types: unknown quantity \"" + item + "\" (St, Sts, Qt, Mts, Mt)";
            return false;
        }
    }
    return true;
}

Format FormatNamed(const std::string& name) {
    if (name == "csv") return Format::Csv;
    if (name == "json") return Format::Json;
    return Format::Table;
}

CutLimits::CutLimits(const io::Model& model) : tolerance_(model.tolerance) {
    bool first = true;
    for (const auto& [id, p] : model.nodes) {
        if (first) lo_ = hi_ = p, first = false;
        lo_ = {std::min(lo_.x, p.x), std::min(lo_.y, p.y), std::min(lo_.z, p.z)};
        hi_ = {std::max(hi_.x, p.x), std::max(hi_.y, p.y), std::max(hi_.z, p.z)};
    }
}

std::string CutLimits::Problem(const CVertex& start, const CVertex& end) const {
    const CVertex centre = 0.5 * (lo_ + hi_);
    const double size = std::max(Norm(hi_ - lo_), tolerance_);
    // A million times the model's size is far beyond any cut through it, and well before
    // squares of the coordinates overflow.
    const double reach = 1e6 * size;
    for (const CVertex& p : {start, end})
        if (!(std::fabs(p.x - centre.x) <= reach && std::fabs(p.y - centre.y) <= reach &&
              std::fabs(p.z - centre.z) <= reach))
            return "the cut reaches " + Significant(std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)}), 6) +
                   ", more than a million times the model's size (" + Significant(size, 6) + ") from it";
    const double length = Norm(end - start);
    if (!(length > tolerance_))
        return "the cut's ends are " + Significant(length, 6) + " apart, not more than the model's tolerance " +
               Significant(tolerance_, 6) + ": a cut needs a length";
    return {};
}

void AddStationPlaneOptions(CLI::App& c, StationPlaneTexts& texts) {
    c.add_option("--group", texts.group, "the model's group of elements the stations sum (station planes)");
    c.add_option("--up", texts.up, "X,Y,Z: the direction k follows, projected onto the station planes (default: "
                                   "global Z, else Y)");
    c.add_option("--moment-point", texts.momentPoint, "X,Y,Z: the moment point instead of each station's centroid");
}

}  // namespace xsect::cli
