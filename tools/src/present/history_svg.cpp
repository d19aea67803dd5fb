#include <algorithm>
#include <cmath>
#include <sstream>

#include "present/history_report.h"
#include "present/components.h"
#include "present/svg_text.h"
#include "present/units.h"

namespace xsect::cli {

namespace {

using Component = PanelComponent;

const char* kColours[8] = {"#1c5fae", "#d9480f", "#2b8a3e", "#862e9c", "#c2255c", "#0b7285", "#a66a00", "#495057"};

// Where a panel draws: its box on the page, the times along it and the values up it.
struct Box {
    double left, top, width, height, t0, t1, lo, hi;
    double X(double t) const { return left + (t1 > t0 ? (t - t0) / (t1 - t0) : 0.5) * width; }
    double Y(double v) const { return top + (hi - v) / (hi - lo) * height; }
    double Column(double t) const { return t1 > t0 ? std::floor((t - t0) / (t1 - t0) * width) : 0.0; }
};

// The series of one chosen section and component as a polyline: in each pixel column its first,
// least, greatest and last value, so that a record of many thousand steps draws every peak with a
// few points per column.
std::string Points(const History& h, std::size_t chosen, std::size_t component, const Box& b) {
    const std::size_t n = h.times.size(), stride = 6 * h.chosen.size();
    auto value = [&](std::size_t step) { return h.series[step * stride + 6 * chosen + component]; };
    std::ostringstream o;
    auto put = [&](std::size_t step) {
        if (std::isfinite(value(step))) o << SvgNumber(b.X(h.times[step])) << "," << SvgNumber(b.Y(value(step))) << " ";
    };
    for (std::size_t i = 0; i < n;) {
        const double column = b.Column(h.times[i]);
        std::size_t j = i, low = i, high = i;
        for (; j < n && b.Column(h.times[j]) == column; ++j) {
            if (value(j) < value(low)) low = j;
            if (value(j) > value(high)) high = j;
        }
        put(i);
        for (std::size_t k : {std::min(low, high), std::max(low, high)})
            if (k != i && k != j - 1) put(k);
        if (j - 1 != i) put(j - 1);
        i = j;
    }
    return o.str();
}

}  // namespace

std::string HistorySvg(const HistoryReport& r) {
    const History& h = r.history;
    const auto F = SvgNumber;
    const double W = 860, left = 96, right = 24, top = 70, panelH = 120, gap = 40;
    // The chosen series' largest magnitude of each component, and of each kind (forces, moments).
    double own[6] = {}, kind[2] = {};
    for (std::size_t i = 0; i < h.series.size(); ++i)
        if (std::isfinite(h.series[i])) {
            own[i % 6] = std::max(own[i % 6], std::fabs(h.series[i]));
            kind[i % 6 / 3] = std::max(kind[i % 6 / 3], own[i % 6]);
        }
    std::vector<const Component*> shown;
    for (const Component& c : kPanelComponents)
        if (AlwaysDrawn(c.index) || AboveRounding(own[c.index], kind[c.index / 3])) shown.push_back(&c);
    const double H = top + static_cast<double>(shown.size()) * (panelH + gap) + 10;
    std::ostringstream o;
    o << "<svg xmlns='http://www.w3.org/2000/svg' width='" << W << "' height='" << H << "' viewBox='0 0 " << W << " "
      << H << "' font-family='sans-serif'>\n<rect width='100%' height='100%' fill='white'/>\n";
    o << "<text x='" << left << "' y='26' font-size='16' font-weight='bold'>" << SvgEscape(r.title) << "</text>\n";
    o << "<text x='" << left << "' y='50' font-size='12'>" << SvgEscape(r.loadCase) << "</text>\n";
    for (std::size_t s = 0; s < h.chosen.size(); ++s) {
        const double x = left + 150.0 + 170.0 * static_cast<double>(s);
        const SectionResult& section = r.sections[h.chosen[s]];
        const std::string name = r.stations ? "station " + r.labels[h.chosen[s]] + " at " +
                                                  SvgLabel(section.position) + " " + UnitOf(r.units, Dimension::Length)
                                            : "cut " + r.labels[h.chosen[s]];
        o << "<line x1='" << x << "' y1='46' x2='" << x + 24 << "' y2='46' stroke='" << kColours[s % 8]
          << "' stroke-width='2'/><text x='" << x + 30 << "' y='50' font-size='12'>" << SvgEscape(name)
          << "</text>\n";
    }
    if (h.times.empty() || h.chosen.empty()) return o.str() + "</svg>\n";

    Box b{left, 0, W - left - right, panelH, h.times.front(), h.times.back(), 0, 0};
    const double tStep = NiceStep(b.t1 - b.t0, 8);
    for (std::size_t p = 0; p < shown.size(); ++p) {
        const Component& c = *shown[p];
        b.top = top + static_cast<double>(p) * (panelH + gap);
        double lo = 0, hi = 0;
        for (std::size_t i = c.index; i < h.series.size(); i += 6)
            if (std::isfinite(h.series[i])) lo = std::min(lo, h.series[i]), hi = std::max(hi, h.series[i]);
        if (hi - lo <= 1e-12 * std::max(std::fabs(lo), std::fabs(hi))) hi += 1, lo -= 1;
        b.lo = lo - 0.08 * (hi - lo);
        b.hi = hi + 0.08 * (hi - lo);
        o << "<rect x='" << left << "' y='" << b.top << "' width='" << b.width << "' height='" << panelH
          << "' fill='#fafafa' stroke='#bbb'/>\n";
        o << "<line x1='" << left << "' y1='" << F(b.Y(0)) << "' x2='" << left + b.width << "' y2='" << F(b.Y(0))
          << "' stroke='#888' stroke-dasharray='4 3'/>\n";
        o << "<text x='8' y='" << b.top + 18 << "' font-size='15' font-weight='bold'>" << c.name << "</text>\n";
        const std::string unit = UnitOf(r.units, DimensionOfComponent(c.index));
        if (!unit.empty()) o << "<text x='8' y='" << b.top + 34 << "' font-size='11'>[" << SvgEscape(unit) << "]</text>\n";
        o << "<text x='" << left + 6 << "' y='" << b.top + 14 << "' font-size='10' fill='#555'>" << (r.planes ? c.planeMeaning : c.meaning) << "</text>\n";
        for (double v : {hi, lo})
            o << "<text x='" << left - 4 << "' y='" << F(b.Y(v) + 4) << "' font-size='11' text-anchor='end'>"
              << SvgLabel(v) << "</text>\n";
        for (double t = std::ceil(b.t0 / tStep) * tStep; t <= b.t1 + 1e-9 * tStep; t += tStep)
            o << "<text x='" << F(b.X(t)) << "' y='" << b.top + panelH + 14
              << "' font-size='10' text-anchor='middle'>" << SvgLabel(std::fabs(t) < 1e-9 * tStep ? 0.0 : t) << "</text>\n";
        for (std::size_t s = 0; s < h.chosen.size(); ++s) {
            o << "<polyline fill='none' stroke='" << kColours[s % 8] << "' stroke-width='1.2' points='"
              << Points(h, s, c.index, b) << "'/>\n";
            // The extremes of this section over the record, as the envelope table gives them.
            const StepEnvelope& e = h.envelope;
            const std::size_t i = 6 * h.chosen[s] + c.index;
            for (const auto& [step, value] : {std::pair{e.MaxStep()[i], e.Max()[i]}, std::pair{e.MinStep()[i], e.Min()[i]}})
                if (step >= 0)
                    o << "<circle cx='" << F(b.X(h.times[static_cast<std::size_t>(step)])) << "' cy='"
                      << F(b.Y(value)) << "' r='3' fill='" << kColours[s % 8] << "'/>\n";
        }
    }
    o << "<text x='" << left + b.width / 2 << "' y='" << H - 8 << "' font-size='11' text-anchor='middle' fill='#555'>time"
      << " (dots: each station's greatest and least value)</text>\n</svg>\n";
    return o.str();
}

}  // namespace xsect::cli
