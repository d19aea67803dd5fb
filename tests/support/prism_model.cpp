#include "support/prism_model.h"

#include <algorithm>
#include <array>

namespace xsect::prism_model {

Prism::Prism(const PrismShape& s) : shape(s) {
    // Section points, each once: walls that meet at a corner share its nodes.
    std::vector<std::pair<double, double>> points;
    auto point = [&](double a, double b) {
        const auto it = std::find(points.begin(), points.end(), std::make_pair(a, b));
        if (it != points.end()) return static_cast<std::int32_t>(it - points.begin());
        points.emplace_back(a, b);
        return static_cast<std::int32_t>(points.size() - 1);
    };
    std::vector<std::array<std::int32_t, 2>> pieces;
    std::vector<double> pieceThickness;
    for (const Wall& w : s.walls)
        for (std::int32_t i = 0; i < w.divisions; ++i) {
            // The wall's own ends exactly, so that walls meeting there share them.
            auto at = [&](std::int32_t k, double from, double to) {
                return k == w.divisions ? to : from + (to - from) * k / w.divisions;
            };
            pieces.push_back({point(at(i, w.a0, w.a1), at(i, w.b0, w.b1)), point(at(i + 1, w.a0, w.a1), at(i + 1, w.b0, w.b1))});
            pieceThickness.push_back(w.thickness);
        }
    std::vector<std::int32_t> columnPoints;
    for (const Column& c : s.columns) columnPoints.push_back(point(c.a, c.b));

    const auto count = static_cast<std::int32_t>(points.size());
    auto node = [&](std::int32_t p, std::int32_t row) { return 1 + row * count + p; };
    for (std::int32_t row = 0; row <= s.rows; ++row)
        for (std::int32_t p = 0; p < count; ++p) {
            const auto [a, b] = points[static_cast<std::size_t>(p)];
            const Vec3 g = Global(a, b, s.length * row / s.rows);
            nodes[node(p, row)] = CVertex(g.x, g.y, g.z);
            ab[node(p, row)] = {a, b};
        }
    for (std::int32_t row = 0; row < s.rows; ++row) {
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            const std::int32_t id = 1 + row * static_cast<std::int32_t>(pieces.size()) + static_cast<std::int32_t>(i);
            const auto [p0, p1] = pieces[i];
            shells[id].nodes = {node(p0, row), node(p1, row), node(p1, row + 1), node(p0, row + 1)};
            thickness[id] = pieceThickness[i];
        }
        for (std::size_t c = 0; c < s.columns.size(); ++c) {
            const std::int32_t id = 1 + static_cast<std::int32_t>(c) * s.rows + row;
            frames[id].nodeA = node(columnPoints[c], row);
            frames[id].nodeB = node(columnPoints[c], row + 1);
            area[id] = s.columns[c].area;
        }
    }
}

void Prism::AddStaticCase(std::int32_t loadCase, double s0, double sa, double sb) {
    loadCases[loadCase] = CLoadCaseInfo{};
    auto stress = [&](std::int32_t n) { return s0 + sa * ab.at(n).first + sb * ab.at(n).second; };
    auto along = [&](double force) {
        const Vec3 f = force * shape.axis;
        return CNodeResults{f.x, f.y, f.z, 0.0, 0.0, 0.0};
    };
    // The stress acts along the axis on the top edge and against it on the bottom edge; linear along
    // the edge, it lumps to the nodes as a linear element does: L t (2 s0 + s1) / 6 and
    // L t (s0 + 2 s1) / 6. The long edges carry nothing, so each element is in equilibrium.
    for (auto& [id, shell] : shells) {
        const std::int32_t b0 = shell.nodes[0], b1 = shell.nodes[1], t1 = shell.nodes[2], t0 = shell.nodes[3];
        const double width = std::hypot(ab.at(b1).first - ab.at(b0).first, ab.at(b1).second - ab.at(b0).second);
        const double f0 = width * thickness.at(id) * (2 * stress(b0) + stress(b1)) / 6;
        const double f1 = width * thickness.at(id) * (stress(b0) + 2 * stress(b1)) / 6;
        for (const auto& [n, f] : {std::pair{t0, f0}, {t1, f1}, {b0, -f0}, {b1, -f1}})
            shell.StoreStaticCaseResults(loadCase, n, along(f));
    }
    for (auto& [id, frame] : frames) {
        frame.staticResultsA[loadCase] = along(-stress(frame.nodeA) * area.at(id));
        frame.staticResultsB[loadCase] = along(stress(frame.nodeA) * area.at(id));
    }
}

void AddBalancedRandomCase(std::int32_t loadCase, std::int32_t mode, std::mt19937& rng,
                           const std::map<std::int32_t, CVertex>& nodes, std::map<std::int32_t, CShellElement>& shells,
                           std::map<std::int32_t, CFrameElement>& frames,
                           std::map<std::int32_t, CLoadCaseInfo>& loadCases) {
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    auto any = [&]() { return Vec3{unit(rng), unit(rng), unit(rng)}; };
    auto at = [&](std::int32_t node) { return Vec3{nodes.at(node).x, nodes.at(node).y, nodes.at(node).z}; };
    auto store = [&](auto& byMode, const Vec3& f, const Vec3& m) {
        byMode = CNodeResults{f.x, f.y, f.z, m.x, m.y, m.z};
    };
    for (auto& [number, shell] : shells) {
        // Random forces less their mean balance; random moments less the mean of what turns left over.
        const std::size_t n = shell.nodes.size();
        std::vector<Vec3> f(n), m(n);
        Vec3 mean, turning;
        for (std::size_t i = 0; i < n; ++i) f[i] = any(), m[i] = any(), mean = mean + (1.0 / n) * f[i];
        for (std::size_t i = 0; i < n; ++i)
            f[i] = f[i] - mean, turning = turning + strip_model::Cross(at(shell.nodes[i]), f[i]) + m[i];
        for (std::size_t i = 0; i < n; ++i) {
            const std::int32_t node = shell.nodes[i];
            store(mode == 0 ? shell.staticResults[loadCase][node] : shell.spectrumResults[loadCase][node][mode], f[i],
                  m[i] - (1.0 / n) * turning);
        }
    }
    for (auto& [number, frame] : frames) {
        const Vec3 f = any(), m = any();
        auto& a = mode == 0 ? frame.staticResultsA[loadCase] : frame.spectrumResultsA[loadCase][mode];
        auto& b = mode == 0 ? frame.staticResultsB[loadCase] : frame.spectrumResultsB[loadCase][mode];
        store(a, f, m);
        store(b, -1.0 * f, -1.0 * (m + strip_model::Cross(at(frame.nodeA) - at(frame.nodeB), f)));
    }
    CLoadCaseInfo& info = loadCases[loadCase];
    info.caseType = mode == 0 ? LOAD_CASE_STATIC : LOAD_CASE_RESPONSE_SPECTRUM;
    info.modeCount = std::max(info.modeCount, mode);
}

}  // namespace xsect::prism_model
