#include <algorithm>
#include <cmath>
#include <sstream>

#include "present/axis_diagram.h"
#include "present/components.h"
#include "present/svg_text.h"
#include "present/text.h"
#include "present/units.h"

namespace xsect::cli {

namespace {

using Component = PanelComponent;

const char* kColours[8] = {"#1c5fae", "#d9480f", "#2b8a3e", "#862e9c", "#c2255c", "#0b7285", "#a66a00", "#495057"};

double Get(const SectionForces& f, std::size_t i) {
    const double v[6] = {f.N, f.Vt, f.Vk, f.Mn, f.Mt, f.Mk};
    return v[i];
}

std::string Colour(std::size_t request) { return kColours[request % 8]; }
// Past eight requests the colours repeat, dashed.
std::string Dash(std::size_t request) { return request < 8 ? "" : " stroke-dasharray='6 3'"; }

std::string VectorText(const CVertex& v) {
    auto c = [](double x) { return SvgLabel(std::fabs(x) < 5e-13 ? 0.0 : x); };
    return "(" + c(v.x) + ", " + c(v.y) + ", " + c(v.z) + ")";
}

// Where one panel draws: its box on the page and how positions and values map into it. Along the
// page, position runs to the right and values up; upright, position runs up (down for an axis
// that falls) and values to the right.
struct PanelBox {
    bool upright = false, rising = true;
    double left = 0, top = 0, width = 0, height = 0;
    double vlo = -1, vhi = 1, length = 1;
    double step = 1;  // between value ticks

    double right() const { return left + width; }
    double bottom() const { return top + height; }
    // The page coordinate of a value across the position axis, and of a position along it.
    double ValueAt(double v) const {
        return upright ? left + (v - vlo) / (vhi - vlo) * width : top + (vhi - v) / (vhi - vlo) * height;
    }
    double PositionAt(double p) const {
        if (!upright) return left + p / length * width;
        return rising ? bottom() - p / length * height : top + p / length * height;
    }
    // x and y of a (position coordinate, value coordinate) pair.
    std::string Point(double position, double value) const {
        return upright ? SvgNumber(value) + "," + SvgNumber(position) : SvgNumber(position) + "," + SvgNumber(value);
    }
};

// The drawing of one picture: its size and the pieces every panel shares.
class Drawing {
public:
    explicit Drawing(const AxisDiagram& d) : d_(d), readings_(ReadingsOf(d.stations)) {
        const std::vector<SectionResult>& after = d.stations.after;
        for (const SectionResult& s : after)
            if (Computed(s)) {
                first_ = &s;
                break;
            }
        length_ = after.empty() ? 0.0 : after.back().position;
        if (!(length_ > 0.0)) length_ = 1.0;
        for (std::size_t r = 0; r < d.labels.size(); ++r) ranged_.push_back(IsRange(r));
        // More than two filled ranges, or ranges over the envelope's band, would muddy each other: then
        // a range is its two lines alone.
        fillRanges_ = !d.envelope && std::count(ranged_.begin(), ranged_.end(), true) <= 2;
        const CVertex axis{d.axisEnd.x - d.axisStart.x, d.axisEnd.y - d.axisStart.y, d.axisEnd.z - d.axisStart.z};
        upright_ = std::fabs(axis.z) > std::hypot(axis.x, axis.y);
        rising_ = axis.z > 0.0;
    }

    std::string Svg() {
        std::vector<const Component*> panels;
        for (const Component& c : kPanelComponents)
            if (AlwaysDrawn(c.index) || NotZero(c.index)) panels.push_back(&c);

        std::ostringstream body;
        if (upright_) {
            const double count = static_cast<double>(panels.size());
            panelWidth_ = std::max(kUprightPanel, (kWidth - kUprightLeft - kRight - (count - 1) * kGap) / count);
            width_ = std::max(kWidth, kUprightLeft + count * panelWidth_ + (count - 1) * kGap + kRight);
        }
        double y = Header(body);
        if (upright_) {
            y = UprightPanels(body, panels, y);
        } else {
            for (std::size_t p = 0; p < panels.size(); ++p) y = Panel(body, *panels[p], y, p + 1 == panels.size());
        }
        y = Caption(body, y + 8, panels);
        std::ostringstream o;
        o << "<svg xmlns='http://www.w3.org/2000/svg' width='" << width_ << "' height='" << SvgNumber(y + 12)
          << "' viewBox='0 0 " << width_ << " " << SvgNumber(y + 12) << "' font-family='sans-serif'>\n"
          << "<rect width='100%' height='100%' fill='white'/>\n"
          << body.str() << "</svg>\n";
        return o.str();
    }

private:
    static constexpr double kWidth = 960, kLeft = 96, kRight = 36, kPanel = 170;
    // Upright: room for the position labels left of the first panel, panels at least this wide, the
    // gap between them and their height.
    static constexpr double kUprightLeft = 110, kUprightPanel = 200, kGap = 60, kUprightHeight = 560;

    static bool Computed(const SectionResult& s) { return s.status == CS_SUCCESS; }

    bool IsRange(std::size_t r) const {
        for (const StationReading& reading : readings_)
            if (Computed(*reading.section))
                for (std::size_t i = 0; i < 6; ++i)
                    if (Get(reading.section->values[r].max, i) != Get(reading.section->values[r].min, i)) return true;
        return false;
    }

    // The largest magnitude of a component, and of the three of its kind (forces or moments).
    std::pair<double, double> Magnitudes(std::size_t component) const {
        const std::size_t from = component < 3 ? 0 : 3;
        double own = 0.0, kind = 0.0;
        for (const StationReading& reading : readings_)
            if (Computed(*reading.section))
                for (const SectionValue& v : reading.section->values)
                    for (std::size_t i = from; i < from + 3; ++i)
                        for (double x : {Get(v.max, i), Get(v.min, i)})
                            if (std::isfinite(x)) {
                                kind = std::max(kind, std::fabs(x));
                                if (i == component) own = std::max(own, std::fabs(x));
                            }
        return {own, kind};
    }

    // Greater than rounding against the largest value of its kind.
    bool NotZero(std::size_t component) const {
        const auto [own, kind] = Magnitudes(component);
        return AboveRounding(own, kind);
    }

    std::string Unit(std::size_t component) const {
        return UnitOf(d_.units, DimensionOfComponent(component < 3 ? 0 : 3));
    }

    std::string PositionCaption() const {
        return SvgEscape(Labeled("position along the axis from " + VectorText(d_.axisStart), d_.units, Dimension::Length));
    }

    double Header(std::ostream& o) {
        o << "<text x='" << kLeft << "' y='30' font-size='18' font-weight='bold'>" << SvgEscape(d_.title) << "</text>\n";
        o << "<text x='" << kLeft << "' y='52' font-size='13'>Section forces at " << d_.stations.after.size()
          << " stations along the axis " << VectorText(d_.axisStart) << " \u2192 " << VectorText(d_.axisEnd)
          << (d_.units.length.empty() ? "" : " [" + SvgEscape(d_.units.length) + "]") << "</text>\n";
        double x = kLeft, y = 76;
        auto entry = [&](const std::string& swatch, const std::string& text) {
            const double width = 36 + 7.0 * static_cast<double>(text.size());
            if (x + width > width_ - kRight) x = kLeft, y += 20;
            o << "<g transform='translate(" << SvgNumber(x) << "," << SvgNumber(y) << ")'>" << swatch << "<text x='36' y='4' font-size='12'>"
              << SvgEscape(text) << "</text></g>\n";
            x += width + 18;
        };
        if (d_.envelope)
            entry("<rect x='0' y='-6' width='30' height='12' fill='#adb5bd' fill-opacity='0.5'/>", "envelope");
        for (std::size_t r = 0; r < d_.labels.size(); ++r) {
            auto stroke = [&](int y, const char* width) {
                return "<line x1='0' y1='" + std::to_string(y) + "' x2='30' y2='" + std::to_string(y) + "' stroke='" +
                       Colour(r) + "' stroke-width='" + width + "'" + Dash(r) + "/>";
            };
            const std::string swatch =
                ranged_[r] ? (fillRanges_ ? "<rect x='0' y='-6' width='30' height='12' fill='" + Colour(r) +
                                                "' fill-opacity='0.12'/>"
                                          : std::string()) +
                                 stroke(-6, "1.5") + stroke(6, "1.5")
                           : stroke(0, "2.5");
            entry(swatch, d_.labels[r] + (ranged_[r] ? " (max to min)" : ""));
        }
        return y + 30;
    }

    // Runs of readings computed one after the other: lines do not bridge a refused station.
    std::vector<std::vector<const SectionResult*>> Runs() const {
        std::vector<std::vector<const SectionResult*>> runs(1);
        for (const StationReading& reading : readings_) {
            if (Computed(*reading.section)) runs.back().push_back(reading.section);
            else if (!runs.back().empty()) runs.emplace_back();
        }
        if (runs.back().empty()) runs.pop_back();
        return runs;
    }

    // The points of a run as SVG coordinates; a station's two readings at a jump make a step. Past a
    // few points per pixel along the position axis, a pixel keeps its first, least, greatest and
    // last point, in order: the picture looks the same, peaks included, and a million stations do
    // not make a file of hundreds of megabytes.
    template <class Value>
    std::string Points(const std::vector<const SectionResult*>& run, bool backwards, Value value,
                       const PanelBox& box) const {
        std::ostringstream o;
        const bool thin = run.size() > 4 * static_cast<std::size_t>(kWidth);
        std::vector<std::pair<double, double>> column;  // this pixel's (position, value) coordinates
        auto flush = [&] {
            std::size_t lo = 0, hi = 0;
            for (std::size_t k = 0; k < column.size(); ++k) {
                if (column[k].second < column[lo].second) lo = k;
                if (column[k].second > column[hi].second) hi = k;
            }
            for (std::size_t k = 0; k < column.size(); ++k)
                if (!thin || k == 0 || k == lo || k == hi || k + 1 == column.size())
                    o << box.Point(column[k].first, column[k].second) << " ";
            column.clear();
        };
        for (std::size_t k = 0; k < run.size(); ++k) {
            const SectionResult& s = *run[backwards ? run.size() - 1 - k : k];
            const double v = value(s);
            if (!std::isfinite(v)) continue;
            const double p = box.PositionAt(s.position);
            if (!column.empty() && std::floor(p) != std::floor(column.front().first)) flush();
            column.emplace_back(p, box.ValueAt(v));
        }
        flush();
        return o.str();
    }

    // The value range of a component, zero always in view, padded a tenth either way.
    void ValueRange(std::size_t ci, PanelBox& box, bool& zero) const {
        double lo = 0.0, hi = 0.0;
        for (const StationReading& reading : readings_)
            if (Computed(*reading.section))
                for (const SectionValue& v : reading.section->values)
                    for (double x : {Get(v.max, ci), Get(v.min, ci)})
                        if (std::isfinite(x)) lo = std::min(lo, x), hi = std::max(hi, x);
        zero = !NotZero(ci);
        if (zero) lo = -1.0, hi = 1.0;
        const double pad = 0.1 * (hi - lo);
        box.vlo = lo - pad;
        box.vhi = hi + pad;
        box.step = NiceStep(hi - lo, 5);
    }

    const char* Meaning(const Component& c) const { return d_.planes ? c.planeMeaning : c.meaning; }

    // One panel along the page, below y0: title, box, ticks and the values.
    double Panel(std::ostream& o, const Component& c, double y0, bool last) {
        const std::size_t ci = c.index;
        const std::string unit = Unit(ci);
        o << "<text x='" << kLeft << "' y='" << SvgNumber(y0) << "' font-size='14'><tspan font-weight='bold'>"
          << c.name << (unit.empty() ? "" : " [" + SvgEscape(unit) + "]") << "</tspan>  " << Meaning(c) << "</text>\n";
        PanelBox box;
        box.left = kLeft, box.top = y0 + 10, box.width = kWidth - kLeft - kRight, box.height = kPanel;
        box.length = length_;
        bool zero = false;
        ValueRange(ci, box, zero);
        o << "<rect x='" << kLeft << "' y='" << SvgNumber(box.top) << "' width='" << kWidth - kLeft - kRight
          << "' height='" << kPanel << "' fill='#fcfcfc' stroke='#adb5bd'/>\n";
        // Value ticks with grid lines; position ticks below.
        o << "<g font-size='11' fill='#333'>\n";
        for (double v : ValueTicks(box)) {
            const double y = box.ValueAt(v);
            o << "<line x1='" << kLeft << "' y1='" << SvgNumber(y) << "' x2='" << kWidth - kRight << "' y2='"
              << SvgNumber(y) << "' stroke='#e9ecef'/><line x1='" << kLeft - 5 << "' y1='" << SvgNumber(y) << "' x2='"
              << kLeft << "' y2='" << SvgNumber(y) << "' stroke='#333'/><text x='" << kLeft - 8 << "' y='"
              << SvgNumber(y + 4) << "' text-anchor='end'>" << SvgLabel(std::fabs(v) < 1e-9 * box.step ? 0.0 : v)
              << "</text>\n";
        }
        for (double p : PositionTicks()) {
            const double x = box.PositionAt(p);
            o << "<line x1='" << SvgNumber(x) << "' y1='" << SvgNumber(box.bottom()) << "' x2='" << SvgNumber(x)
              << "' y2='" << SvgNumber(box.bottom() + 5) << "' stroke='#333'/><text x='" << SvgNumber(x) << "' y='"
              << SvgNumber(box.bottom() + 17) << "' text-anchor='middle'>" << SvgLabel(p) << "</text>\n";
        }
        o << "</g>\n<line x1='" << kLeft << "' y1='" << SvgNumber(box.ValueAt(0)) << "' x2='" << kWidth - kRight
          << "' y2='" << SvgNumber(box.ValueAt(0)) << "' stroke='#495057' stroke-width='1.2'/>\n";
        if (zero)
            o << "<text x='" << (kLeft + kWidth - kRight) / 2 << "' y='" << SvgNumber(box.ValueAt(0) - 8)
              << "' font-size='12' fill='#666' text-anchor='middle'>zero at every station</text>\n";
        Values(o, ci, box);
        if (!zero) Extremes(o, ci, unit, box);

        double y = box.bottom() + 17;
        if (last) {
            y += 18;
            o << "<text x='" << (kLeft + kWidth - kRight) / 2 << "' y='" << SvgNumber(y)
              << "' font-size='12' text-anchor='middle'>" << PositionCaption() << "</text>\n";
        }
        return y + 40;
    }

    // The panels side by side below y0, position running up (or down) each, labelled at the left.
    double UprightPanels(std::ostream& o, const std::vector<const Component*>& panels, double y0) {
        const double top = y0 + 24, bottom = top + kUprightHeight;
        for (std::size_t p = 0; p < panels.size(); ++p) {
            const std::size_t ci = panels[p]->index;
            const std::string unit = Unit(ci);
            PanelBox box;
            box.upright = true, box.rising = rising_;
            box.left = kUprightLeft + static_cast<double>(p) * (panelWidth_ + kGap), box.top = top;
            box.width = panelWidth_, box.height = kUprightHeight, box.length = length_;
            bool zero = false;
            ValueRange(ci, box, zero);
            o << "<text x='" << SvgNumber(box.left + box.width / 2) << "' y='" << SvgNumber(y0)
              << "' font-size='14' text-anchor='middle'><tspan font-weight='bold'>" << panels[p]->name
              << (unit.empty() ? "" : " [" + SvgEscape(unit) + "]") << "</tspan></text>\n";
            o << "<rect x='" << SvgNumber(box.left) << "' y='" << SvgNumber(top) << "' width='" << SvgNumber(box.width)
              << "' height='" << kUprightHeight << "' fill='#fcfcfc' stroke='#adb5bd'/>\n";
            // Value ticks below with grid lines up the panel; position ticks at its left, labelled at
            // the first panel only.
            o << "<g font-size='11' fill='#333'>\n";
            for (double v : ValueTicks(box)) {
                const double x = box.ValueAt(v);
                o << "<line x1='" << SvgNumber(x) << "' y1='" << SvgNumber(top) << "' x2='" << SvgNumber(x) << "' y2='"
                  << SvgNumber(bottom) << "' stroke='#e9ecef'/><line x1='" << SvgNumber(x) << "' y1='"
                  << SvgNumber(bottom) << "' x2='" << SvgNumber(x) << "' y2='" << SvgNumber(bottom + 5)
                  << "' stroke='#333'/><text x='" << SvgNumber(x) << "' y='" << SvgNumber(bottom + 17)
                  << "' text-anchor='middle'>" << SvgLabel(std::fabs(v) < 1e-9 * box.step ? 0.0 : v) << "</text>\n";
            }
            for (double pos : PositionTicks()) {
                const double y = box.PositionAt(pos);
                o << "<line x1='" << SvgNumber(box.left - 5) << "' y1='" << SvgNumber(y) << "' x2='"
                  << SvgNumber(box.left) << "' y2='" << SvgNumber(y) << "' stroke='#333'/>";
                if (p == 0)
                    o << "<text x='" << SvgNumber(box.left - 8) << "' y='" << SvgNumber(y + 4)
                      << "' text-anchor='end'>" << SvgLabel(pos) << "</text>";
                o << "\n";
            }
            o << "</g>\n<line x1='" << SvgNumber(box.ValueAt(0)) << "' y1='" << SvgNumber(top) << "' x2='"
              << SvgNumber(box.ValueAt(0)) << "' y2='" << SvgNumber(bottom) << "' stroke='#495057' stroke-width='1.2'/>\n";
            if (zero)
                o << "<text x='" << SvgNumber(box.left + box.width / 2) << "' y='" << SvgNumber(top + 20)
                  << "' font-size='12' fill='#666' text-anchor='middle'>zero at every station</text>\n";
            Values(o, ci, box);
            if (!zero) Extremes(o, ci, unit, box);
        }
        const double x = kUprightLeft - 62, y = top + kUprightHeight / 2;
        o << "<text x='" << SvgNumber(x) << "' y='" << SvgNumber(y) << "' font-size='12' text-anchor='middle' "
          << "transform='rotate(-90 " << SvgNumber(x) << " " << SvgNumber(y) << ")'>" << PositionCaption()
          << (rising_ ? " \u2192" : " \u2190") << "</text>\n";
        return bottom + 17 + 40;
    }

    std::vector<double> ValueTicks(const PanelBox& box) const {
        std::vector<double> ticks;
        for (int k = 0; k < 40; ++k) {
            const double v = (std::ceil(box.vlo / box.step - 1e-9) + k) * box.step;
            if (v > box.vhi) break;
            ticks.push_back(v);
        }
        return ticks;
    }

    std::vector<double> PositionTicks() const {
        std::vector<double> ticks;
        const double step = NiceStep(length_, 10);
        for (int k = 0; k < 60; ++k) {
            const double p = k * step;
            if (p > length_ * (1 + 1e-9)) break;
            ticks.push_back(p);
        }
        return ticks;
    }

    // The envelope's band, each request's line (two for a range) and, for a few stations, markers.
    void Values(std::ostream& o, std::size_t ci, const PanelBox& box) const {
        const auto runs = Runs();
        auto band = [&](const std::vector<const SectionResult*>& run, auto upper, auto lower, const std::string& style) {
            o << "<polygon points='" << Points(run, false, upper, box) << Points(run, true, lower, box) << "' " << style
              << "/>\n";
        };
        auto line = [&](const std::vector<const SectionResult*>& run, auto value, const std::string& style) {
            o << "<polyline fill='none' points='" << Points(run, false, value, box) << "' " << style << "/>\n";
        };
        if (d_.envelope)
            for (const auto& run : runs) {
                auto up = [&](const SectionResult& s) { return Get(s.envelope.max, ci); };
                auto down = [&](const SectionResult& s) { return Get(s.envelope.min, ci); };
                band(run, up, down, "fill='#adb5bd' fill-opacity='0.35' stroke='none'");
                line(run, up, "stroke='#6c757d' stroke-width='1'");
                line(run, down, "stroke='#6c757d' stroke-width='1'");
            }
        const bool markers = d_.stations.after.size() <= 60;
        for (std::size_t r = 0; r < d_.labels.size(); ++r) {
            auto up = [&](const SectionResult& s) { return Get(s.values[r].max, ci); };
            auto down = [&](const SectionResult& s) { return Get(s.values[r].min, ci); };
            const std::string stroke = "stroke='" + Colour(r) + "'" + Dash(r);
            for (const auto& run : runs) {
                if (ranged_[r]) {
                    if (fillRanges_) band(run, up, down, "fill='" + Colour(r) + "' fill-opacity='0.12' stroke='none'");
                    line(run, down, stroke + " stroke-width='1.5'");
                }
                line(run, up, stroke + (ranged_[r] ? " stroke-width='1.5'" : " stroke-width='2.2'"));
                if (markers)
                    for (const SectionResult* s : run)
                        for (double v : {up(*s), down(*s)})
                            if (std::isfinite(v)) {
                                const double p = box.PositionAt(s->position), w = box.ValueAt(v);
                                o << "<circle cx='" << SvgNumber(box.upright ? w : p) << "' cy='"
                                  << SvgNumber(box.upright ? p : w) << "' r='2' fill='" << Colour(r) << "'/>\n";
                            }
            }
        }
    }

    // The greatest and least values of the panel, with the request that gives them.
    void Extremes(std::ostream& o, std::size_t ci, const std::string& unit, const PanelBox& box) const {
        const SectionResult* at[2] = {nullptr, nullptr};
        double value[2] = {-HUGE_VAL, HUGE_VAL};
        for (const StationReading& reading : readings_) {
            const SectionResult& s = *reading.section;
            if (!Computed(s)) continue;
            const double hi = Get(s.envelope.max, ci), lo = Get(s.envelope.min, ci);
            if (hi > value[0]) value[0] = hi, at[0] = &s;
            if (lo < value[1]) value[1] = lo, at[1] = &s;
        }
        const double scale = std::max(std::fabs(value[0]), std::fabs(value[1]));
        double maxLabelY = 0.0;
        for (int k = 0; k < 2; ++k) {
            if (!at[k] || !std::isfinite(value[k]) || !(std::fabs(value[k]) > 1e-9 * scale)) continue;
            // One label for a panel whose values all read the same (a constant line, up to rounding).
            if (k == 1 && at[0] && SvgLabel(value[1]) == SvgLabel(value[0])) continue;
            const SectionResult& s = *at[k];
            const std::int32_t governs = k == 0 ? s.envelope.maxRequest[ci] : s.envelope.minRequest[ci];
            std::string text = (k == 0 ? "max " : "min ") + SvgLabel(value[k]) + (unit.empty() ? "" : " " + unit);
            if (governs >= 0 && (d_.labels.size() > 1 || d_.envelope))
                text += ", " + d_.labels[static_cast<std::size_t>(governs)];
            double x, y, tx, ty;
            bool right;
            if (box.upright) {
                x = box.ValueAt(value[k]), y = box.PositionAt(s.position);
                right = x < box.left + box.width / 2;
                tx = x + (right ? 9 : -9);
                ty = std::min(std::max(k == 0 ? y - 9 : y + 17, box.top + 13), box.bottom() - 5);
                // Both extremes often stand at one station (a support's step): the labels take two lines.
                if (k == 0) maxLabelY = ty;
                else if (at[0] && std::fabs(ty - maxLabelY) < 15)
                    ty = maxLabelY - 15 >= box.top + 13 ? maxLabelY - 15 : maxLabelY + 15;
            } else {
                x = box.PositionAt(s.position), y = box.ValueAt(value[k]);
                right = x < (kLeft + kWidth - kRight) / 2;
                tx = x + (right ? 9 : -9);
                ty = std::min(std::max(k == 0 ? y - 9 : y + 17, box.top + 13), box.bottom() - 5);
            }
            o << "<circle cx='" << SvgNumber(x) << "' cy='" << SvgNumber(y)
              << "' r='4.5' fill='white' stroke='#212529' stroke-width='1.8'/>"
              << "<text x='" << SvgNumber(tx) << "' y='" << SvgNumber(ty) << "' font-size='12' "
              << "font-weight='bold' fill='#212529' text-anchor='" << (right ? "start" : "end")
              << "' stroke='white' stroke-width='3' paint-order='stroke'>" << SvgEscape(text) << "</text>\n";
        }
    }

    double Caption(std::ostream& o, double y, const std::vector<const Component*>& panels) const {
        std::vector<std::string> lines;
        lines.push_back((d_.planes ? "Sign rule (docs/assemblies.md): n along the axis, k = up projected on the "
                                     "stations, t = k \u00d7 n"
                                   : "Sign rule (docs/sections.md): n runs along the axis, k is the plane's normal and "
                                     "t = k \u00d7 n") +
                        (first_ ? "; here n = " + VectorText(first_->n) + ", t = " + VectorText(first_->t) + ", k = " +
                                      VectorText(first_->k) + "."
                                : std::string(".")));
        lines.push_back("Values: the forces the part beyond a station (+n) exerts on the part before it (\u2212n), "
                        "about the section's centroid; N > 0: tension.");
        lines.push_back("A station reads the values just past it along n, so one with nothing of the model beyond it "
                        "reads zero; lines join the stations.");
        if (!d_.stations.before.empty())
            lines.push_back("A step at a station: the values just before and just after a node line that carries a "
                            "load, or the head of an opening.");
        if (std::find(ranged_.begin(), ranged_.end(), true) != ranged_.end())
            lines.push_back("Two lines of one colour: the range of a request with a response-spectrum term, from its "
                            "min to its max.");
        if (d_.envelope)
            lines.push_back("Grey band: the envelope over the requests; its extremes name the governing request.");
        const std::size_t fits = static_cast<std::size_t>((width_ - kLeft - kRight) / 6.5);
        if (upright_) {
            // The panels' names with their meanings, in lines that fit the picture.
            std::string meanings;
            for (const Component* c : panels) {
                const std::string item = std::string(c->name) + ": " + Meaning(*c);
                if (!meanings.empty() && meanings.size() + item.size() + 2 > fits) {
                    lines.push_back(meanings + ";");
                    meanings.clear();
                }
                meanings += (meanings.empty() ? "" : "; ") + item;
            }
            lines.push_back(meanings + ".");
        }
        if (!d_.units.length.empty())
            lines.push_back("Units: forces in " + d_.units.force + ", moments in " + d_.units.force + " " +
                            d_.units.length + ", lengths in " + d_.units.length + ".");
        // Each line broken where it would run past the picture's right edge.
        for (const std::string& line : lines)
            for (const std::string& part : WrapText(line, fits)) {
                o << "<text x='" << kLeft << "' y='" << SvgNumber(y) << "' font-size='12' fill='#333'>"
                  << SvgEscape(part) << "</text>\n";
                y += 16;
            }
        return y;
    }

    const AxisDiagram& d_;
    const std::vector<StationReading> readings_;
    const SectionResult* first_ = nullptr;
    double length_ = 1.0;
    std::vector<bool> ranged_;
    bool fillRanges_ = true;
    bool upright_ = false, rising_ = true;
    double width_ = kWidth, panelWidth_ = kUprightPanel;
};

}  // namespace

std::string AxisDiagramSvg(const AxisDiagram& diagram) { return Drawing(diagram).Svg(); }

}  // namespace xsect::cli
