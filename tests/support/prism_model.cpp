#include "support/prism_model.h"

#include <algorithm>
#include <utility>

namespace xsect::prism_model {

namespace {

// The index of section point (a, b) among points, added when new: walls that meet at a corner
// share its nodes.
std::int32_t pointIndex(std::vector<std::pair<double, double>>& points, double a, double b) {
    const auto it = std::find(points.begin(), points.end(), std::make_pair(a, b));
    if (it != points.end()) return static_cast<std::int32_t>(it - points.begin());
    points.emplace_back(a, b);
    return static_cast<std::int32_t>(points.size() - 1);
}

}  // namespace

Prism::Prism(const PrismShape& shape) : shape_(shape) {
    std::vector<std::pair<double, double>> points;
    struct Strip {
        double a0, b0, a1, b1, thickness;
        std::int32_t p0, p1;
    };
    std::vector<Strip> strips;
    for (const Wall& w : shape.walls)
        for (std::int32_t i = 0; i < w.divisions; ++i) {
            // The wall's own ends exactly, so that walls meeting there share them.
            auto at = [&](std::int32_t k, double from, double to) {
                return k == w.divisions ? to : from + (to - from) * k / w.divisions;
            };
            Strip s{at(i, w.a0, w.a1), at(i, w.b0, w.b1), at(i + 1, w.a0, w.a1), at(i + 1, w.b0, w.b1), w.thickness, 0, 0};
            s.p0 = pointIndex(points, s.a0, s.b0);
            s.p1 = pointIndex(points, s.a1, s.b1);
            strips.push_back(s);
        }
    std::vector<std::int32_t> columnPoints;
    for (const Column& c : shape.columns) columnPoints.push_back(pointIndex(points, c.a, c.b));

    const auto count = static_cast<std::int32_t>(points.size());
    auto node = [&](std::int32_t p, std::int32_t row) { return 1 + row * count + p; };
    for (std::int32_t row = 0; row <= shape.rows; ++row)
        for (std::int32_t p = 0; p < count; ++p) {
            const Vec3 g = Global(points[static_cast<std::size_t>(p)].first, points[static_cast<std::size_t>(p)].second,
                                  shape.length * row / shape.rows);
            nodes[node(p, row)] = CVertex(g.x, g.y, g.z);
        }
    std::int32_t shellId = 0;
    for (std::int32_t row = 0; row < shape.rows; ++row)
        for (const Strip& s : strips) {
            Panel panel{++shellId, s.a0, s.b0, s.a1, s.b1, s.thickness,
                        node(s.p0, row), node(s.p1, row), node(s.p0, row + 1), node(s.p1, row + 1)};
            shells[panel.shell].nodes = {panel.bottom0, panel.bottom1, panel.top1, panel.top0};
            thickness[panel.shell] = s.thickness;
            panels_.push_back(panel);
        }
    std::int32_t frameId = 0;
    for (std::size_t c = 0; c < shape.columns.size(); ++c)
        for (std::int32_t row = 0; row < shape.rows; ++row) {
            CFrameElement& f = frames[++frameId];
            f.nodeA = node(columnPoints[c], row);
            f.nodeB = node(columnPoints[c], row + 1);
        }
}

Vec3 Prism::Global(double a, double b, double along) const {
    return shape_.origin + along * shape_.axis + a * shape_.ea + b * shape_.eb;
}

void Prism::AddStaticCase(std::int32_t loadCase, const AxialStress& stress) {
    loadCases[loadCase] = CLoadCaseInfo{};
    auto results = [&](double force) {
        const Vec3 f = force * shape_.axis;
        return CNodeResults{f.x, f.y, f.z, 0.0, 0.0, 0.0};
    };
    // The stress acts along the axis on the top edge, against it on the bottom edge; its linear
    // variation along the edge lumps to the nodes as a linear element does: L t (2 s0 + s1) / 6 and
    // L t (s0 + 2 s1) / 6. The long edges carry nothing, so each panel is in equilibrium.
    for (const Panel& p : panels_) {
        const double width = std::hypot(p.a1 - p.a0, p.b1 - p.b0);
        const double s0 = stress.At(p.a0, p.b0), s1 = stress.At(p.a1, p.b1);
        const double at0 = width * p.thickness * (2 * s0 + s1) / 6, at1 = width * p.thickness * (s0 + 2 * s1) / 6;
        CShellElement& shell = shells[p.shell];
        shell.StoreStaticCaseResults(loadCase, p.top0, results(at0));
        shell.StoreStaticCaseResults(loadCase, p.top1, results(at1));
        shell.StoreStaticCaseResults(loadCase, p.bottom0, results(-at0));
        shell.StoreStaticCaseResults(loadCase, p.bottom1, results(-at1));
    }
    std::int32_t frameId = 0;
    for (const Column& c : shape_.columns)
        for (std::int32_t row = 0; row < shape_.rows; ++row) {
            CFrameElement& f = frames[++frameId];
            const double force = stress.At(c.a, c.b) * c.area;
            f.staticResultsA[loadCase] = results(-force);
            f.staticResultsB[loadCase] = results(force);
        }
}

void AddBalancedRandomCase(std::int32_t loadCase, std::int32_t mode, std::mt19937& rng,
                           const std::map<std::int32_t, CVertex>& nodes, std::map<std::int32_t, CShellElement>& shells,
                           std::map<std::int32_t, CFrameElement>& frames,
                           std::map<std::int32_t, CLoadCaseInfo>& loadCases) {
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    auto any = [&]() { return Vec3{unit(rng), unit(rng), unit(rng)}; };
    auto at = [&](std::int32_t node) {
        const CVertex& v = nodes.at(node);
        return Vec3{v.x, v.y, v.z};
    };
    auto file = [&](const Vec3& f, const Vec3& m) { return CNodeResults{f.x, f.y, f.z, m.x, m.y, m.z}; };
    for (auto& [number, shell] : shells) {
        // Random forces less their mean balance; random moments less the mean of what is left over.
        const double n = static_cast<double>(shell.nodes.size());
        std::vector<Vec3> f, m;
        Vec3 mean, turning;
        for (std::size_t i = 0; i < shell.nodes.size(); ++i) {
            f.push_back(any());
            m.push_back(any());
            mean = mean + (1.0 / n) * f.back();
        }
        for (std::size_t i = 0; i < f.size(); ++i) {
            f[i] = f[i] - mean;
            turning = turning + strip_model::Cross(at(shell.nodes[i]), f[i]) + m[i];
        }
        for (std::size_t i = 0; i < f.size(); ++i) {
            const CNodeResults r = file(f[i], m[i] - (1.0 / n) * turning);
            if (mode == 0)
                shell.StoreStaticCaseResults(loadCase, shell.nodes[i], r);
            else
                shell.StoreResponseSpectraCaseResults(loadCase, shell.nodes[i], mode, r);
        }
    }
    for (auto& [number, frame] : frames) {
        const Vec3 f = any(), m = any();
        const CNodeResults a = file(f, m);
        const CNodeResults b = file(-1.0 * f, -1.0 * (m + strip_model::Cross(at(frame.nodeA) - at(frame.nodeB), f)));
        if (mode == 0) {
            frame.staticResultsA[loadCase] = a;
            frame.staticResultsB[loadCase] = b;
        } else {
            frame.spectrumResultsA[loadCase][mode] = a;
            frame.spectrumResultsB[loadCase][mode] = b;
        }
    }
    CLoadCaseInfo& info = loadCases[loadCase];
    info.caseType = mode == 0 ? LOAD_CASE_STATIC : LOAD_CASE_RESPONSE_SPECTRUM;
    info.modeCount = std::max(info.modeCount, mode);
}

}  // namespace xsect::prism_model
