#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>

#include "present/axis_diagram.h"
#include "present/svg_text.h"
#include "present/text.h"
#include "present/units.h"

namespace xsect::cli {

namespace {

struct Component {
    std::size_t index;  // in N, Vt, Vk, Mn, Mt, Mk
    const char* name;
    const char* meaning;
};

// In-plane first, as a beam's N, V and M; the plate's and the twisting components after them.
const Component kComponents[6] = {
    {0, "N", "normal force, tension positive"},
    {1, "Vt", "shear force along t, in the plane"},
    {5, "Mk", "bending moment about k, in the plane"},
    {2, "Vk", "shear force along k, out of the plane"},
    {4, "Mt", "bending moment about t, out of the plane (plate bending)"},
    {3, "Mn", "twisting moment about n"},
};

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

std::string PointText(CVertex v) {
    auto c = [](double x) { return SvgLabel(std::fabs(x) < 5e-13 ? 0.0 : x); };
    return "(" + c(v.x) + ", " + c(v.y) + ", " + c(v.z) + ")";
}

// The drawing of one picture: its size and the pieces every panel shares.
class Drawing {
public:
    explicit Drawing(const AxisDiagram& d) : d_(d) {
        for (const SectionResult& s : d.sections)
            if (s.status == CS_SUCCESS) {
                first_ = &s;
                break;
            }
        length_ = d.sections.empty() ? 0.0 : d.sections.back().position;
        if (!(length_ > 0.0)) length_ = 1.0;
        for (std::size_t r = 0; r < d.labels.size(); ++r) ranged_.push_back(IsRange(r));
        // More than two filled ranges, or ranges over the envelope's band, would muddy each other: then
        // a range is its two lines alone.
        fillRanges_ = !d.envelope && std::count(ranged_.begin(), ranged_.end(), true) <= 2;
    }

    std::string Svg() {
        std::vector<const Component*> panels;
        for (const Component& c : kComponents)
            if (c.index == 0 || c.index == 1 || c.index == 5 || NotZero(c.index)) panels.push_back(&c);

        std::ostringstream body;
        double y = Header(body);
        for (std::size_t p = 0; p < panels.size(); ++p) y = Panel(body, *panels[p], y, p + 1 == panels.size());
        y = Caption(body, y + 8);
        std::ostringstream o;
        o << "<svg xmlns='http://www.w3.org/2000/svg' width='" << kWidth << "' height='" << SvgNumber(y + 12)
          << "' viewBox='0 0 " << kWidth << " " << SvgNumber(y + 12) << "' font-family='sans-serif'>\n"
          << "<rect width='100%' height='100%' fill='white'/>\n"
          << body.str() << "</svg>\n";
        return o.str();
    }

private:
    static constexpr double kWidth = 960, kLeft = 96, kRight = 36, kPanel = 170;

    double X(double position) const { return kLeft + position / length_ * (kWidth - kLeft - kRight); }
    bool Computed(const SectionResult& s) const { return s.status == CS_SUCCESS; }

    bool IsRange(std::size_t r) const {
        for (const SectionResult& s : d_.sections)
            if (Computed(s))
                for (std::size_t i = 0; i < 6; ++i)
                    if (Get(s.values[r].max, i) != Get(s.values[r].min, i)) return true;
        return false;
    }

    // The largest magnitude of a component, and of the three of its kind (forces or moments).
    std::pair<double, double> Magnitudes(std::size_t component) const {
        const std::size_t from = component < 3 ? 0 : 3;
        double own = 0.0, kind = 0.0;
        for (const SectionResult& s : d_.sections)
            if (Computed(s))
                for (const SectionValue& v : s.values)
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
        return own > 1e-9 * kind && own > 0.0;
    }

    std::string Unit(std::size_t component) const {
        return UnitOf(d_.units, DimensionOfComponent(component < 3 ? 0 : 3));
    }

    double Header(std::ostream& o) {
        o << "<text x='" << kLeft << "' y='30' font-size='18' font-weight='bold'>" << SvgEscape(d_.title) << "</text>\n";
        o << "<text x='" << kLeft << "' y='52' font-size='13'>Section forces at " << d_.sections.size()
          << " stations along the axis " << PointText(d_.axisStart) << " \u2192 " << PointText(d_.axisEnd)
          << (d_.units.length.empty() ? "" : " [" + SvgEscape(d_.units.length) + "]") << "</text>\n";
        double x = kLeft, y = 76;
        auto entry = [&](const std::string& swatch, const std::string& text) {
            const double width = 36 + 7.0 * static_cast<double>(text.size());
            if (x + width > kWidth - kRight) x = kLeft, y += 20;
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

    // A run of stations computed one after the other: lines do not bridge a refused station.
    std::vector<std::vector<std::size_t>> Runs() const {
        std::vector<std::vector<std::size_t>> runs(1);
        for (std::size_t i = 0; i < d_.sections.size(); ++i) {
            if (Computed(d_.sections[i])) runs.back().push_back(i);
            else if (!runs.back().empty()) runs.emplace_back();
        }
        if (runs.back().empty()) runs.pop_back();
        return runs;
    }

    // The points of a run as SVG coordinates. Past a few points per pixel a column keeps its first,
    // least, greatest and last point, in order: the picture looks the same, peaks included, and a
    // million stations do not make a file of hundreds of megabytes.
    template <class Value>
    std::string Points(const std::vector<std::size_t>& run, bool backwards, Value value,
                       const std::function<double(double)>& Y) const {
        std::ostringstream o;
        const bool thin = run.size() > 4 * static_cast<std::size_t>(kWidth);
        std::vector<std::pair<double, double>> column;  // this pixel column's points
        auto flush = [&] {
            std::size_t lo = 0, hi = 0;
            for (std::size_t k = 0; k < column.size(); ++k) {
                if (column[k].second < column[lo].second) lo = k;
                if (column[k].second > column[hi].second) hi = k;
            }
            for (std::size_t k = 0; k < column.size(); ++k)
                if (!thin || k == 0 || k == lo || k == hi || k + 1 == column.size())
                    o << SvgNumber(column[k].first) << "," << SvgNumber(column[k].second) << " ";
            column.clear();
        };
        for (std::size_t k = 0; k < run.size(); ++k) {
            const std::size_t i = backwards ? run[run.size() - 1 - k] : run[k];
            const double v = value(d_.sections[i]);
            if (!std::isfinite(v)) continue;
            const double x = X(d_.sections[i].position);
            if (!column.empty() && std::floor(x) != std::floor(column.front().first)) flush();
            column.emplace_back(x, Y(v));
        }
        flush();
        return o.str();
    }

    double Panel(std::ostream& o, const Component& c, double y0, bool last) {
        const std::size_t ci = c.index;
        const std::string unit = Unit(ci);
        o << "<text x='" << kLeft << "' y='" << SvgNumber(y0) << "' font-size='14'><tspan font-weight='bold'>"
          << c.name << (unit.empty() ? "" : " [" + SvgEscape(unit) + "]") << "</tspan>  " << c.meaning << "</text>\n";
        const double top = y0 + 10, bottom = top + kPanel;

        // The value range, zero always in view.
        double lo = 0.0, hi = 0.0;
        for (const SectionResult& s : d_.sections)
            if (Computed(s))
                for (const SectionValue& v : s.values)
                    for (double x : {Get(v.max, ci), Get(v.min, ci)})
                        if (std::isfinite(x)) lo = std::min(lo, x), hi = std::max(hi, x);
        const bool zero = !NotZero(ci);
        if (zero) lo = -1.0, hi = 1.0;
        const double pad = 0.1 * (hi - lo);
        const double vlo = lo - pad, vhi = hi + pad;
        const std::function<double(double)> Y = [&](double v) { return top + (vhi - v) / (vhi - vlo) * kPanel; };

        o << "<rect x='" << kLeft << "' y='" << SvgNumber(top) << "' width='" << kWidth - kLeft - kRight
          << "' height='" << kPanel << "' fill='#fcfcfc' stroke='#adb5bd'/>\n";
        // Value ticks with grid lines; position ticks below.
        const double step = NiceStep(hi - lo, 5);
        o << "<g font-size='11' fill='#333'>\n";
        for (int k = 0; k < 40; ++k) {
            const double v = (std::ceil(vlo / step - 1e-9) + k) * step;
            if (v > vhi) break;
            const double y = Y(v);
            o << "<line x1='" << kLeft << "' y1='" << SvgNumber(y) << "' x2='" << kWidth - kRight << "' y2='"
              << SvgNumber(y) << "' stroke='#e9ecef'/><line x1='" << kLeft - 5 << "' y1='" << SvgNumber(y) << "' x2='"
              << kLeft << "' y2='" << SvgNumber(y) << "' stroke='#333'/><text x='" << kLeft - 8 << "' y='"
              << SvgNumber(y + 4) << "' text-anchor='end'>" << SvgLabel(std::fabs(v) < 1e-9 * step ? 0.0 : v)
              << "</text>\n";
        }
        const double xstep = NiceStep(length_, 10);
        for (int k = 0; k < 60; ++k) {
            const double p = k * xstep;
            if (p > length_ * (1 + 1e-9)) break;
            o << "<line x1='" << SvgNumber(X(p)) << "' y1='" << SvgNumber(bottom) << "' x2='" << SvgNumber(X(p))
              << "' y2='" << SvgNumber(bottom + 5) << "' stroke='#333'/><text x='" << SvgNumber(X(p)) << "' y='"
              << SvgNumber(bottom + 17) << "' text-anchor='middle'>" << SvgLabel(p) << "</text>\n";
        }
        o << "</g>\n<line x1='" << kLeft << "' y1='" << SvgNumber(Y(0)) << "' x2='" << kWidth - kRight << "' y2='"
          << SvgNumber(Y(0)) << "' stroke='#495057' stroke-width='1.2'/>\n";
        if (zero)
            o << "<text x='" << (kLeft + kWidth - kRight) / 2 << "' y='" << SvgNumber(Y(0) - 8)
              << "' font-size='12' fill='#666' text-anchor='middle'>zero at every station</text>\n";

        const auto runs = Runs();
        auto band = [&](const std::vector<std::size_t>& run, auto upper, auto lower, const std::string& style) {
            o << "<polygon points='" << Points(run, false, upper, Y) << Points(run, true, lower, Y) << "' " << style
              << "/>\n";
        };
        auto line = [&](const std::vector<std::size_t>& run, auto value, const std::string& style) {
            o << "<polyline fill='none' points='" << Points(run, false, value, Y) << "' " << style << "/>\n";
        };
        if (d_.envelope)
            for (const auto& run : runs) {
                auto up = [&](const SectionResult& s) { return Get(s.envelope.max, ci); };
                auto down = [&](const SectionResult& s) { return Get(s.envelope.min, ci); };
                band(run, up, down, "fill='#adb5bd' fill-opacity='0.35' stroke='none'");
                line(run, up, "stroke='#6c757d' stroke-width='1'");
                line(run, down, "stroke='#6c757d' stroke-width='1'");
            }
        const bool markers = d_.sections.size() <= 60;
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
                    for (std::size_t i : run)
                        for (double v : {up(d_.sections[i]), down(d_.sections[i])})
                            if (std::isfinite(v))
                                o << "<circle cx='" << SvgNumber(X(d_.sections[i].position)) << "' cy='"
                                  << SvgNumber(Y(v)) << "' r='2' fill='" << Colour(r) << "'/>\n";
            }
        }
        if (!zero) Extremes(o, ci, unit, top, bottom, Y);

        double y = bottom + 17;
        if (last) {
            y += 18;
            o << "<text x='" << (kLeft + kWidth - kRight) / 2 << "' y='" << SvgNumber(y)
              << "' font-size='12' text-anchor='middle'>"
              << SvgEscape(Labeled("position along the axis from " + PointText(d_.axisStart), d_.units,
                                   Dimension::Length))
              << "</text>\n";
        }
        return y + 40;
    }

    // The greatest and least values of the panel, with the request that gives them.
    void Extremes(std::ostream& o, std::size_t ci, const std::string& unit, double top, double bottom,
                  const std::function<double(double)>& Y) const {
        std::size_t at[2] = {0, 0};
        double value[2] = {-HUGE_VAL, HUGE_VAL};
        for (std::size_t i = 0; i < d_.sections.size(); ++i) {
            const SectionResult& s = d_.sections[i];
            if (!Computed(s)) continue;
            const double hi = Get(s.envelope.max, ci), lo = Get(s.envelope.min, ci);
            if (hi > value[0]) value[0] = hi, at[0] = i;
            if (lo < value[1]) value[1] = lo, at[1] = i;
        }
        const double scale = std::max(std::fabs(value[0]), std::fabs(value[1]));
        for (int k = 0; k < 2; ++k) {
            if (!std::isfinite(value[k]) || !(std::fabs(value[k]) > 1e-9 * scale)) continue;
            if (k == 1 && at[1] == at[0] && value[1] == value[0]) continue;
            const SectionResult& s = d_.sections[at[k]];
            const std::int32_t governs = k == 0 ? s.envelope.maxRequest[ci] : s.envelope.minRequest[ci];
            std::string text = (k == 0 ? "max " : "min ") + SvgLabel(value[k]) + (unit.empty() ? "" : " " + unit);
            if (governs >= 0 && (d_.labels.size() > 1 || d_.envelope))
                text += ", " + d_.labels[static_cast<std::size_t>(governs)];
            const double x = X(s.position), y = Y(value[k]);
            const bool right = x < (kLeft + kWidth - kRight) / 2;
            const double ty = std::min(std::max(k == 0 ? y - 9 : y + 17, top + 13), bottom - 5);
            o << "<circle cx='" << SvgNumber(x) << "' cy='" << SvgNumber(y)
              << "' r='4.5' fill='white' stroke='#212529' stroke-width='1.8'/>"
              << "<text x='" << SvgNumber(x + (right ? 9 : -9)) << "' y='" << SvgNumber(ty) << "' font-size='12' "
              << "font-weight='bold' fill='#212529' text-anchor='" << (right ? "start" : "end")
              << "' stroke='white' stroke-width='3' paint-order='stroke'>" << SvgEscape(text) << "</text>\n";
        }
    }

    double Caption(std::ostream& o, double y) const {
        std::vector<std::string> lines;
        lines.push_back("Sign rule (docs/sections.md): n runs along the axis, k is the plane's normal and t = k \u00d7 n" +
                        (first_ ? "; here n = " + VectorText(first_->n) + ", t = " + VectorText(first_->t) + ", k = " +
                                      VectorText(first_->k) + "."
                                : std::string(".")));
        lines.push_back("Values: the forces the part beyond a station (+n) exerts on the part before it (\u2212n), "
                        "about the section's centroid; N > 0: tension.");
        lines.push_back("A station reads the values just past it along n, so one with nothing of the model beyond it "
                        "reads zero; lines join the stations.");
        if (std::find(ranged_.begin(), ranged_.end(), true) != ranged_.end())
            lines.push_back("Two lines of one colour: the range of a request with a response-spectrum term, from its "
                            "min to its max.");
        if (d_.envelope)
            lines.push_back("Grey band: the envelope over the requests; its extremes name the governing request.");
        if (!d_.units.length.empty())
            lines.push_back("Units: forces in " + d_.units.force + ", moments in " + d_.units.force + " " +
                            d_.units.length + ", lengths in " + d_.units.length + ".");
        for (const std::string& line : lines) {
            o << "<text x='" << kLeft << "' y='" << SvgNumber(y) << "' font-size='12' fill='#333'>" << SvgEscape(line)
              << "</text>\n";
            y += 16;
        }
        return y;
    }

    const AxisDiagram& d_;
    const SectionResult* first_ = nullptr;
    double length_ = 1.0;
    std::vector<bool> ranged_;
    bool fillRanges_ = true;
};

}  // namespace

std::string AxisDiagramSvg(const AxisDiagram& diagram) { return Drawing(diagram).Svg(); }

}  // namespace xsect::cli
