#include "present/svg_text.h"

#include <cmath>
#include <cstdio>

namespace xsect::cli {

std::string SvgNumber(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

std::string SvgLabel(double v) {
    char buf[32];
    const double a = std::fabs(v);
    if (a != 0.0 && (a >= 1e5 || a < 1e-3)) std::snprintf(buf, sizeof buf, "%.3g", v);
    else std::snprintf(buf, sizeof buf, "%.4g", v);
    return buf;
}

std::string SvgEscape(const std::string& s) {
    std::string o;
    for (char c : s) {
        if (c == '<') o += "&lt;";
        else if (c == '>') o += "&gt;";
        else if (c == '&') o += "&amp;";
        else if (c == '\'') o += "&apos;";
        else o += c;
    }
    return o;
}

std::vector<std::string> WrapText(const std::string& s, std::size_t width) {
    std::vector<std::string> lines;
    std::string line;
    std::size_t start = 0;
    while (start < s.size()) {
        std::size_t end = s.find(' ', start);
        if (end == std::string::npos) end = s.size();
        const std::string word = s.substr(start, end - start);
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            lines.push_back(line);
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        start = end + 1;
    }
    if (!line.empty() || lines.empty()) lines.push_back(line);
    return lines;
}

double NiceStep(double span, int count) {
    if (!(span > 0.0) || !std::isfinite(span)) return 1.0;
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * power >= raw) return m * power;
    return 10.0 * power;
}

}  // namespace xsect::cli
