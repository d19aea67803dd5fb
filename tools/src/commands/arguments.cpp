#include "commands/arguments.h"

#include <cmath>
#include <cstdlib>

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

bool ParsePoint(const std::string& text, Vec3& out, std::string& error) {
    std::vector<double> v;
    if (!ParseNumbers(text, 3, v, error)) return false;
    out = {v[0], v[1], v[2]};
    return true;
}

bool ParseCut(const std::string& text, Vec3& start, Vec3& end, std::string& error) {
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

}  // namespace xsect::cli
