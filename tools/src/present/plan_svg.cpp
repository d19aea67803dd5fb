#include "present/plan_svg.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "present/svg_text.h"

namespace xsect::cli {

std::string PlanSvg(const PlanPicture& p) {
    using F = std::string (*)(double);
    const F N = SvgNumber;
    double minX = std::min(p.cutStart.x, p.cutEnd.x), maxX = std::max(p.cutStart.x, p.cutEnd.x);
    double minY = std::min(p.cutStart.y, p.cutEnd.y), maxY = std::max(p.cutStart.y, p.cutEnd.y);
    for (const auto& s : p.shells)
        for (const CVertex& q : s.second) {
            minX = std::min(minX, q.x), maxX = std::max(maxX, q.x);
            minY = std::min(minY, q.y), maxY = std::max(maxY, q.y);
        }
    const double W = 780, H = 660, left = 80, right = 30, top = 60, bottom = 130;
    const double spanX = std::max(maxX - minX, 1e-9), spanY = std::max(maxY - minY, 1e-9);
    const double scale = std::min((W - left - right) / spanX, (H - top - bottom) / spanY);
    auto X = [&](double x) { return left + (x - minX) * scale; };
    auto Y = [&](double y) { return top + (maxY - y) * scale; };
    const std::string unit = p.lengthUnit.empty() ? std::string() : " [" + SvgEscape(p.lengthUnit) + "]";
    std::ostringstream o;
    o << "<svg xmlns='http://www.w3.org/2000/svg' width='" << W << "' height='" << H << "' viewBox='0 0 " << W << " "
      << H << "' font-family='sans-serif'>\n";
    o << "<rect width='100%' height='100%' fill='white'/>\n";
    o << "<text x='" << left << "' y='28' font-size='17' font-weight='bold'>" << SvgEscape(p.title) << "</text>\n";
    // The side whose nodes are summed: a band along the cut, the width of the model, on that side.
    const double dx = p.cutEnd.x - p.cutStart.x, dy = p.cutEnd.y - p.cutStart.y, len = std::hypot(dx, dy);
    if (len > 0 && (p.towardsSummed.x != 0.0 || p.towardsSummed.y != 0.0)) {
        const double nx = p.towardsSummed.x, ny = p.towardsSummed.y;
        const double reach = std::max(spanX, spanY) * 2;
        o << "<clipPath id='model'><rect x='" << N(X(minX)) << "' y='" << N(Y(maxY)) << "' width='"
          << N(spanX * scale) << "' height='" << N(spanY * scale) << "'/></clipPath>\n";
        o << "<polygon clip-path='url(#model)' fill='#fde8c8' points='" << N(X(p.cutStart.x - dx)) << ","
          << N(Y(p.cutStart.y - dy)) << " " << N(X(p.cutEnd.x + dx)) << "," << N(Y(p.cutEnd.y + dy)) << " "
          << N(X(p.cutEnd.x + dx + nx * reach)) << "," << N(Y(p.cutEnd.y + dy + ny * reach)) << " "
          << N(X(p.cutStart.x - dx + nx * reach)) << "," << N(Y(p.cutStart.y - dy + ny * reach)) << "'/>\n";
    }
    for (const auto& [id, poly] : p.shells) {
        const bool crossed = p.crossed.count(id) > 0;
        o << "<polygon points='";
        for (const CVertex& q : poly) o << N(X(q.x)) << "," << N(Y(q.y)) << " ";
        o << "' fill='" << (crossed ? "#7fb8e6" : "none") << "' fill-opacity='" << (crossed ? "0.75" : "0")
          << "' stroke='#555' stroke-width='0.8'/>\n";
    }
    for (const auto& [id, f] : p.frames)
        o << "<line x1='" << N(X(f.first.x)) << "' y1='" << N(Y(f.first.y)) << "' x2='" << N(X(f.second.x))
          << "' y2='" << N(Y(f.second.y)) << "' stroke='#2a7' stroke-width='3'/>\n";
    for (const CVertex& q : p.gathered)
        o << "<circle cx='" << N(X(q.x)) << "' cy='" << N(Y(q.y)) << "' r='4.5' fill='#d9480f'/>\n";
    if (p.numbers) {
        o << "<g font-size='9' fill='#1b4f8a' text-anchor='middle'>\n";
        for (const auto& [id, poly] : p.shells) {
            CVertex c;
            for (const CVertex& q : poly) c.x += q.x / poly.size(), c.y += q.y / poly.size();
            o << "<text x='" << N(X(c.x)) << "' y='" << N(Y(c.y) + 3) << "'>" << id << "</text>\n";
        }
        for (const auto& [id, f] : p.frames)
            o << "<text x='" << N(X((f.first.x + f.second.x) / 2)) << "' y='" << N(Y((f.first.y + f.second.y) / 2) - 4)
              << "' fill='#176'>" << id << "</text>\n";
        o << "</g>\n<g font-size='8' fill='#666'>\n";
        for (const auto& [id, q] : p.nodes)
            o << "<text x='" << N(X(q.x) + 2) << "' y='" << N(Y(q.y) - 2) << "'>" << id << "</text>\n";
        o << "</g>\n";
    }
    o << "<defs><marker id='arrow' markerWidth='10' markerHeight='8' refX='9' refY='4' orient='auto'>"
         "<path d='M0,0 L10,4 L0,8 z' fill='#c00'/></marker>"
         "<marker id='axis' markerWidth='10' markerHeight='8' refX='9' refY='4' orient='auto'>"
         "<path d='M0,0 L10,4 L0,8 z' fill='#222'/></marker></defs>\n";
    o << "<line x1='" << N(X(p.cutStart.x)) << "' y1='" << N(Y(p.cutStart.y)) << "' x2='" << N(X(p.cutEnd.x))
      << "' y2='" << N(Y(p.cutEnd.y)) << "' stroke='#c00' stroke-width='2.5' marker-end='url(#arrow)'/>\n";
    o << "<text x='" << N(X(p.cutStart.x)) << "' y='" << N(Y(p.cutStart.y) - 8)
      << "' font-size='13' fill='#c00'>start</text>\n";
    // The axes from their origin, 55 px long whatever the model's size.
    const double ox = X(p.axesOrigin.x), oy = Y(p.axesOrigin.y);
    for (const PlanArrow& a : p.axes) {
        const double n = std::hypot(a.direction.x, a.direction.y);
        if (!(n > 0)) continue;
        // On screen y runs down; the label sits past the tip and off to the arrow's left, clear of a
        // cut the arrow may lie along.
        const double sx = a.direction.x / n, sy = -a.direction.y / n, ex = ox + 55 * sx, ey = oy + 55 * sy;
        o << "<line x1='" << N(ox) << "' y1='" << N(oy) << "' x2='" << N(ex) << "' y2='" << N(ey)
          << "' stroke='#222' stroke-width='2' marker-end='url(#axis)'/><text x='" << N(ex + 6 * sx + 11 * sy)
          << "' y='" << N(ey + 6 * sy - 11 * sx + 5) << "' font-size='14' font-weight='bold' text-anchor='middle'>"
          << SvgEscape(a.label) << "</text>\n";
    }
    if (p.centroid)
        o << "<circle cx='" << N(X(p.centroid->x)) << "' cy='" << N(Y(p.centroid->y))
          << "' r='6' fill='white' stroke='#222' stroke-width='2'/><circle cx='" << N(X(p.centroid->x)) << "' cy='"
          << N(Y(p.centroid->y)) << "' r='2' fill='#222'/>\n";
    // Plane coordinates: ticks along the bottom and left of the model, and a scale bar.
    const double step = NiceStep(std::max(spanX, spanY), 6);
    const double axisY = Y(minY) + 12, axisX = X(minX) - 12;
    o << "<g font-size='11' fill='#333' stroke='#333'>\n";
    o << "<line x1='" << N(X(minX)) << "' y1='" << N(axisY) << "' x2='" << N(X(maxX)) << "' y2='" << N(axisY) << "'/>\n";
    o << "<line x1='" << N(axisX) << "' y1='" << N(Y(minY)) << "' x2='" << N(axisX) << "' y2='" << N(Y(maxY)) << "'/>\n";
    // At most a few dozen ticks, whatever the coordinates (a model far from its origin, say).
    for (int i = 0; i < 40; ++i) {
        const double t = (std::ceil(minX / step - 1e-9) + i) * step;
        if (!(t <= maxX + 1e-9 * step)) break;
        o << "<line x1='" << N(X(t)) << "' y1='" << N(axisY) << "' x2='" << N(X(t)) << "' y2='" << N(axisY + 5)
          << "'/><text stroke='none' x='" << N(X(t)) << "' y='" << N(axisY + 17) << "' text-anchor='middle'>"
          << SvgLabel(std::fabs(t) < 1e-9 * step ? 0.0 : t) << "</text>\n";
    }
    for (int i = 0; i < 40; ++i) {
        const double t = (std::ceil(minY / step - 1e-9) + i) * step;
        if (!(t <= maxY + 1e-9 * step)) break;
        o << "<line x1='" << N(axisX - 5) << "' y1='" << N(Y(t)) << "' x2='" << N(axisX) << "' y2='" << N(Y(t))
          << "'/><text stroke='none' x='" << N(axisX - 8) << "' y='" << N(Y(t) + 4) << "' text-anchor='end'>"
          << SvgLabel(std::fabs(t) < 1e-9 * step ? 0.0 : t) << "</text>\n";
    }
    o << "<text stroke='none' x='" << N((X(minX) + X(maxX)) / 2) << "' y='" << N(axisY + 32)
      << "' text-anchor='middle'>x'" << unit << "</text>\n";
    o << "<text stroke='none' x='" << N(axisX - 8) << "' y='" << N(Y(maxY) - 10) << "' text-anchor='end'>y'" << unit
      << "</text>\n";
    const double barX = W - right - step * scale, barY = H - 68;
    o << "<line x1='" << N(barX) << "' y1='" << N(barY) << "' x2='" << N(W - right) << "' y2='" << N(barY)
      << "' stroke-width='3'/><text stroke='none' x='" << N(W - right) << "' y='" << N(barY - 6)
      << "' text-anchor='end'>" << SvgLabel(step) << (p.lengthUnit.empty() ? "" : " " + SvgEscape(p.lengthUnit))
      << "</text>\n</g>\n";
    // The legend, in rows that wrap at the picture's width.
    double lx = left, ly = H - 40;
    auto entry = [&](const std::string& swatch, double swatchWidth, const std::string& text) {
        const double width = swatchWidth + 6 + 7.2 * text.size();
        if (lx + width > W - right) lx = left, ly += 22;
        o << "<g transform='translate(" << N(lx) << "," << N(ly) << ")'>" << swatch << "<text x='"
          << N(swatchWidth + 6) << "' y='0' font-size='13'>" << SvgEscape(text) << "</text></g>\n";
        lx += width + 22;
    };
    entry("<rect x='0' y='-11' width='14' height='12' fill='#7fb8e6'/>", 14, "crossed element");
    entry("<circle cx='6' cy='-5' r='5' fill='#d9480f'/>", 12, "node summed");
    entry("<rect x='0' y='-11' width='14' height='12' fill='#fde8c8'/>", 14, p.sideLabel);
    entry("<line x1='0' y1='-5' x2='30' y2='-5' stroke='#c00' stroke-width='2.5' marker-end='url(#arrow)'/>", 34,
          "cut, start to end");
    if (p.centroid)
        entry("<circle cx='7' cy='-5' r='6' fill='white' stroke='#222' stroke-width='2'/>"
              "<circle cx='7' cy='-5' r='2' fill='#222'/>",
              14, "centroid (moment point)");
    o << "</svg>\n";
    return o.str();
}

}  // namespace xsect::cli
