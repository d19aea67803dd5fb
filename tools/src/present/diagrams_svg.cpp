#include "present/diagrams_svg.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "present/svg_text.h"
#include "present/units.h"

namespace xsect::cli {

namespace {

const char* Meaning(CLStressType t) {
    switch (t) {
        case CL_STRESS_ST: return "normal stress across the cut";
        case CL_STRESS_STS: return "in-plane shear stress";
        case CL_STRESS_QT: return "transverse shear / length";
        case CL_STRESS_MTS: return "twisting moment / length";
        case CL_STRESS_MT: return "bending moment / length";
    }
    return "";
}

}  // namespace

std::string DiagramsSvg(const std::string& title, const std::vector<DiagramSeries>& series,
                        const std::vector<double>& elementBounds, const io::Units& units) {
    const auto F = SvgNumber;
    const double W = 760, panelH = 150, gap = 34, left = 100, right = 30, top = 50;
    const double H = top + series.size() * (panelH + gap) + 20;
    double s0 = 1e300, s1 = -1e300;
    for (const auto& s : series)
        for (const auto& c : s.curve) s0 = std::min(s0, c.first), s1 = std::max(s1, c.first);
    for (double b : elementBounds) s0 = std::min(s0, b), s1 = std::max(s1, b);
    if (!(s1 > s0)) s0 = 0, s1 = 1;
    auto X = [&](double s) { return left + (s - s0) / (s1 - s0) * (W - left - right); };
    std::ostringstream o;
    o << "<svg xmlns='http://www.w3.org/2000/svg' width='" << W << "' height='" << H << "' viewBox='0 0 " << W << " "
      << H << "' font-family='sans-serif'>\n<rect width='100%' height='100%' fill='white'/>\n";
    o << "<text x='" << left << "' y='28' font-size='16' font-weight='bold'>" << SvgEscape(title) << "</text>\n";
    const std::string along = Labeled("cut-line coordinate", units, Dimension::Length);
    for (std::size_t k = 0; k < series.size(); ++k) {
        const DiagramSeries& s = series[k];
        const double y0 = top + k * (panelH + gap);
        double lo = 0, hi = 0;
        for (const auto& c : s.curve) lo = std::min(lo, c.second), hi = std::max(hi, c.second);
        for (const auto& c : s.samples) lo = std::min(lo, c.second), hi = std::max(hi, c.second);
        if (hi - lo < 1e-12 * (1 + std::fabs(hi))) hi += 1, lo -= 1;
        const double pad = 0.08 * (hi - lo);
        lo -= pad, hi += pad;
        auto Y = [&](double v) { return y0 + (hi - v) / (hi - lo) * panelH; };
        o << "<rect x='" << left << "' y='" << y0 << "' width='" << W - left - right << "' height='" << panelH
          << "' fill='#fafafa' stroke='#bbb'/>\n";
        for (double b : elementBounds)
            o << "<line x1='" << F(X(b)) << "' y1='" << y0 << "' x2='" << F(X(b)) << "' y2='" << y0 + panelH
              << "' stroke='#e2e2e2'/>\n";
        o << "<line x1='" << left << "' y1='" << F(Y(0)) << "' x2='" << W - right << "' y2='" << F(Y(0))
          << "' stroke='#888' stroke-dasharray='4 3'/>\n";
        o << "<text x='8' y='" << y0 + 18 << "' font-size='15' font-weight='bold'>" << CLStressTypeName(s.type)
          << "</text>\n";
        const std::string unit = UnitOf(units, DimensionOf(s.type));
        if (!unit.empty())
            o << "<text x='8' y='" << y0 + 34 << "' font-size='11'>[" << SvgEscape(unit) << "]</text>\n";
        o << "<text x='8' y='" << y0 + 50 << "' font-size='10' fill='#555'>" << Meaning(s.type) << "</text>\n";
        for (double v : {hi - pad, 0.0, lo + pad})
            o << "<text x='" << left - 4 << "' y='" << F(Y(v) + 4) << "' font-size='11' text-anchor='end'>"
              << SvgLabel(std::fabs(v) < 1e-12 * (hi - lo) ? 0.0 : v) << "</text>\n";
        if (!s.curve.empty()) {
            o << "<polyline fill='none' stroke='#1565c0' stroke-width='2' points='";
            for (const auto& c : s.curve) o << F(X(c.first)) << "," << F(Y(c.second)) << " ";
            o << "'/>\n";
        }
        for (const auto& c : s.samples)
            o << "<circle cx='" << F(X(c.first)) << "' cy='" << F(Y(c.second)) << "' r='3' fill='#d9480f'/>\n";
        o << "<text x='" << left << "' y='" << y0 + panelH + 14 << "' font-size='11'>" << SvgLabel(s0) << "</text>";
        o << "<text x='" << W - right << "' y='" << y0 + panelH + 14 << "' font-size='11' text-anchor='end'>"
          << SvgLabel(s1) << "</text>";
        o << "<text x='" << (left + W - right) / 2 << "' y='" << y0 + panelH + 14
          << "' font-size='11' text-anchor='middle' fill='#555'>" << SvgEscape(along) << "</text>\n";
    }
    o << "<circle cx='" << W - 250 << "' cy='" << 40 << "' r='3' fill='#d9480f'/><text x='" << W - 242
      << "' y='44' font-size='12'>samples</text>";
    o << "<line x1='" << W - 170 << "' y1='40' x2='" << W - 145 << "' y2='40' stroke='#1565c0' stroke-width='2'/>"
      << "<text x='" << W - 140 << "' y='44' font-size='12'>smoothed, balanced</text>\n";
    o << "</svg>\n";
    return o.str();
}

}  // namespace xsect::cli
