#include "present/text.h"

#include <cmath>
#include <cstdio>

namespace xsect::cli {

std::string Fmt(double v, int precision) {
    if (std::fabs(v) < 5e-13) v = 0.0;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", precision, v);
    std::string s = buf;
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    return s;
}

std::string VecText(CVertex v, int precision) {
    return "(" + Fmt(v.x, precision) + ", " + Fmt(v.y, precision) + ", " + Fmt(v.z, precision) + ")";
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string Significant(double v, int digits) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.*g", digits, v);
    return buf;
}

std::string CsvNumber(double v) { return Significant(v, 10); }

void PrintSixRow(std::ostream& out, const char* label, int labelWidth, const std::array<double, 6>& v, int width,
                 int precision) {
    char text[256];
    std::snprintf(text, sizeof text, "  %-*s", labelWidth, label);
    out << text;
    for (double x : v) {
        std::snprintf(text, sizeof text, "%*s", width, Fmt(x, precision).c_str());
        out << text;
    }
    out << "\n";
}

}  // namespace xsect::cli
