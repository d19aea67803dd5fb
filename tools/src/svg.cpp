#include "svg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace xsect::cli {

namespace {

std::string F(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

std::string Label(double v) {
    char buf[32];
    double a = std::fabs(v);
    if (a != 0.0 && (a >= 1e5 || a < 1e-3)) std::snprintf(buf, sizeof buf, "%.3g", v);
    else std::snprintf(buf, sizeof buf, "%.4g", v);
    return buf;
}

std::string Escape(const std::string& s) {
    std::string o;
    for (char c : s) {
        if (c == '<') o += "&lt;";
        else if (c == '>') o += "&gt;";
        else if (c == '&') o += "&amp;";
        else o += c;
    }
    return o;
}

}  // namespace

std::string PlanSvg(const PlanPicture& p) {
    double minX = std::min(p.cutStart.x, p.cutEnd.x), maxX = std::max(p.cutStart.x, p.cutEnd.x);
    double minY = std::min(p.cutStart.y, p.cutEnd.y), maxY = std::max(p.cutStart.y, p.cutEnd.y);
    for (const auto& s : p.shells)
        for (const Pt& q : s.second) {
            minX = std::min(minX, q.x), maxX = std::max(maxX, q.x);
            minY = std::min(minY, q.y), maxY = std::max(maxY, q.y);
        }
    const double W = 760, H = 620, margin = 50, top = 60;
    const double spanX = std::max(maxX - minX, 1e-9), spanY = std::max(maxY - minY, 1e-9);
    const double scale = std::min((W - 2 * margin) / spanX, (H - top - margin - 40) / spanY);
    auto X = [&](double x) { return margin + (x - minX) * scale; };
    auto Y = [&](double y) { return top + (maxY - y) * scale; };
    std::ostringstream o;
    o << "<svg xmlns='http://www.w3.org/2000/svg' width='" << W << "' height='" << H << "' viewBox='0 0 " << W << " "
      << H << "' font-family='sans-serif'>\n";
    o << "<rect width='100%' height='100%' fill='white'/>\n";
    o << "<text x='" << margin << "' y='28' font-size='17' font-weight='bold'>" << Escape(p.title) << "</text>\n";
    // The gathered side: a band along the cut, the width of the model, on that side.
    double dx = p.cutEnd.x - p.cutStart.x, dy = p.cutEnd.y - p.cutStart.y, len = std::hypot(dx, dy);
    if (len > 0) {
        double nx = -dy / len, ny = dx / len;  // left of the directed cut
        if (!p.gatherLeft) nx = -nx, ny = -ny;
        double reach = std::max(spanX, spanY) * 2;
        o << "<clipPath id='model'><rect x='" << F(X(minX)) << "' y='" << F(Y(maxY)) << "' width='"
          << F(spanX * scale) << "' height='" << F(spanY * scale) << "'/></clipPath>\n";
        o << "<polygon clip-path='url(#model)' fill='#fde8c8' points='" << F(X(p.cutStart.x - dx)) << ","
          << F(Y(p.cutStart.y - dy)) << " " << F(X(p.cutEnd.x + dx)) << "," << F(Y(p.cutEnd.y + dy)) << " "
          << F(X(p.cutEnd.x + dx + nx * reach)) << "," << F(Y(p.cutEnd.y + dy + ny * reach)) << " "
          << F(X(p.cutStart.x - dx + nx * reach)) << "," << F(Y(p.cutStart.y - dy + ny * reach)) << "'/>\n";
    }
    for (const auto& [id, poly] : p.shells) {
        bool crossed = p.crossed.count(id) > 0;
        o << "<polygon points='";
        for (const Pt& q : poly) o << F(X(q.x)) << "," << F(Y(q.y)) << " ";
        o << "' fill='" << (crossed ? "#7fb8e6" : "none") << "' fill-opacity='" << (crossed ? "0.75" : "0")
          << "' stroke='#555' stroke-width='0.8'/>\n";
    }
    for (const auto& f : p.frames)
        o << "<line x1='" << F(X(f.first.x)) << "' y1='" << F(Y(f.first.y)) << "' x2='" << F(X(f.second.x))
          << "' y2='" << F(Y(f.second.y)) << "' stroke='#2a7' stroke-width='3'/>\n";
    for (const Pt& q : p.gathered)
        o << "<circle cx='" << F(X(q.x)) << "' cy='" << F(Y(q.y)) << "' r='4.5' fill='#d9480f'/>\n";
    o << "<defs><marker id='arrow' markerWidth='10' markerHeight='8' refX='9' refY='4' orient='auto'>"
         "<path d='M0,0 L10,4 L0,8 z' fill='#c00'/></marker></defs>\n";
    o << "<line x1='" << F(X(p.cutStart.x)) << "' y1='" << F(Y(p.cutStart.y)) << "' x2='" << F(X(p.cutEnd.x))
      << "' y2='" << F(Y(p.cutEnd.y)) << "' stroke='#c00' stroke-width='2.5' marker-end='url(#arrow)'/>\n";
    o << "<text x='" << F(X(p.cutStart.x)) << "' y='" << F(Y(p.cutStart.y) - 8)
      << "' font-size='13' fill='#c00'>start</text>\n";
    // legend
    double ly = H - 22;
    o << "<rect x='" << margin << "' y='" << ly - 11 << "' width='14' height='12' fill='#7fb8e6'/>"
      << "<text x='" << margin + 20 << "' y='" << ly << "' font-size='13'>crossed element</text>\n";
    o << "<circle cx='" << margin + 160 << "' cy='" << ly - 5 << "' r='5' fill='#d9480f'/>"
      << "<text x='" << margin + 170 << "' y='" << ly << "' font-size='13'>node gathered</text>\n";
    o << "<rect x='" << margin + 290 << "' y='" << ly - 11 << "' width='14' height='12' fill='#fde8c8'/>"
      << "<text x='" << margin + 310 << "' y='" << ly << "' font-size='13'>gathered side</text>\n";
    o << "<line x1='" << margin + 420 << "' y1='" << ly - 5 << "' x2='" << margin + 450 << "' y2='" << ly - 5
      << "' stroke='#c00' stroke-width='2.5' marker-end='url(#arrow)'/>"
      << "<text x='" << margin + 458 << "' y='" << ly << "' font-size='13'>cut, start to end</text>\n";
    o << "</svg>\n";
    return o.str();
}

std::string DiagramsSvg(const std::string& title, const std::vector<DiagramSeries>& series,
                        const std::vector<double>& elementBounds) {
    const double W = 760, panelH = 150, gap = 34, left = 90, right = 30, top = 50;
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
    o << "<text x='" << left << "' y='28' font-size='16' font-weight='bold'>" << Escape(title) << "</text>\n";
    for (std::size_t k = 0; k < series.size(); ++k) {
        const DiagramSeries& s = series[k];
        const double y0 = top + k * (panelH + gap);
        double lo = 0, hi = 0;
        for (const auto& c : s.curve) lo = std::min(lo, c.second), hi = std::max(hi, c.second);
        for (const auto& c : s.samples) lo = std::min(lo, c.second), hi = std::max(hi, c.second);
        if (hi - lo < 1e-12 * (1 + std::fabs(hi))) hi += 1, lo -= 1;
        double pad = 0.08 * (hi - lo);
        lo -= pad, hi += pad;
        auto Y = [&](double v) { return y0 + (hi - v) / (hi - lo) * panelH; };
        o << "<rect x='" << left << "' y='" << y0 << "' width='" << W - left - right << "' height='" << panelH
          << "' fill='#fafafa' stroke='#bbb'/>\n";
        for (double b : elementBounds)
            o << "<line x1='" << F(X(b)) << "' y1='" << y0 << "' x2='" << F(X(b)) << "' y2='" << y0 + panelH
              << "' stroke='#e2e2e2'/>\n";
        o << "<line x1='" << left << "' y1='" << F(Y(0)) << "' x2='" << W - right << "' y2='" << F(Y(0))
          << "' stroke='#888' stroke-dasharray='4 3'/>\n";
        o << "<text x='8' y='" << y0 + 18 << "' font-size='15' font-weight='bold'>" << Escape(s.name) << "</text>\n";
        o << "<text x='8' y='" << y0 + 34 << "' font-size='10' fill='#555'>" << Escape(s.meaning) << "</text>\n";
        for (double v : {hi - pad, 0.0, lo + pad})
            o << "<text x='" << left - 4 << "' y='" << F(Y(v) + 4) << "' font-size='11' text-anchor='end'>"
              << Label(std::fabs(v) < 1e-12 * (hi - lo) ? 0.0 : v) << "</text>\n";
        if (!s.curve.empty()) {
            o << "<polyline fill='none' stroke='#1565c0' stroke-width='2' points='";
            for (const auto& c : s.curve) o << F(X(c.first)) << "," << F(Y(c.second)) << " ";
            o << "'/>\n";
        }
        for (const auto& c : s.samples)
            o << "<circle cx='" << F(X(c.first)) << "' cy='" << F(Y(c.second)) << "' r='3' fill='#d9480f'/>\n";
        o << "<text x='" << left << "' y='" << y0 + panelH + 14 << "' font-size='11'>" << Label(s0) << "</text>";
        o << "<text x='" << W - right << "' y='" << y0 + panelH + 14 << "' font-size='11' text-anchor='end'>"
          << Label(s1) << "</text>";
        o << "<text x='" << (left + W - right) / 2 << "' y='" << y0 + panelH + 14
          << "' font-size='11' text-anchor='middle' fill='#555'>cut-line coordinate</text>\n";
    }
    o << "<circle cx='" << W - 250 << "' cy='" << 40 << "' r='3' fill='#d9480f'/><text x='" << W - 242
      << "' y='44' font-size='12'>samples</text>";
    o << "<line x1='" << W - 170 << "' y1='40' x2='" << W - 145 << "' y2='40' stroke='#1565c0' stroke-width='2'/>"
      << "<text x='" << W - 140 << "' y='44' font-size='12'>smoothed, balanced</text>\n";
    o << "</svg>\n";
    return o.str();
}

bool WriteFile(const std::string& path, const std::string& text, std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        error = path + ": cannot write the file";
        return false;
    }
    out << text;
    if (!out) {
        error = path + ": writing failed";
        return false;
    }
    return true;
}

}  // namespace xsect::cli
