#include "core/cut_cover.h"

#include <algorithm>
#include <cmath>

namespace xsect::detail {

namespace {

const CVertex& corner(const PlaneModel& m, std::size_t shell, std::size_t i) {
    return m.vertices[static_cast<std::size_t>(m.CornersOf(shell)[i % m.CornerCount(shell)])];
}

double squaredDistanceToEdge(const CVertex& p, const CVertex& q, const CVertex& v) {
    const double ex = q.x - p.x, ey = q.y - p.y;
    const double ee = ex * ex + ey * ey;
    double s = ee > 0.0 ? ((v.x - p.x) * ex + (v.y - p.y) * ey) / ee : 0.0;
    s = std::clamp(s, 0.0, 1.0);
    const double dx = v.x - (p.x + s * ex), dy = v.y - (p.y + s * ey);
    return dx * dx + dy * dy;
}

}  // namespace

bool PointInShell(const PlaneModel& m, std::size_t shell, const CVertex& p, double band) {
    if (!m.shellUsable[shell]) return false;
    const std::size_t n = m.CornerCount(shell);
    // Most points tested lie well away from the shell: its box, widened by the band, settles them.
    double x0 = HUGE_VAL, y0 = HUGE_VAL, x1 = -HUGE_VAL, y1 = -HUGE_VAL;
    for (std::size_t i = 0; i < n; ++i) {
        const CVertex& c = corner(m, shell, i);
        x0 = std::min(x0, c.x), y0 = std::min(y0, c.y), x1 = std::max(x1, c.x), y1 = std::max(y1, c.y);
    }
    if (!(p.x >= x0 - band && p.x <= x1 + band && p.y >= y0 - band && p.y <= y1 + band)) return false;
    bool inside = false;
    for (std::size_t i = 0; i < n; ++i) {
        const CVertex& u = corner(m, shell, i);
        const CVertex& v = corner(m, shell, i + 1);
        if ((u.y > p.y) != (v.y > p.y) && p.x < u.x + (p.y - u.y) * (v.x - u.x) / (v.y - u.y)) inside = !inside;
    }
    if (inside || band < 0.0) return inside;
    for (std::size_t i = 0; i < n; ++i)
        if (squaredDistanceToEdge(corner(m, shell, i), corner(m, shell, i + 1), p) <= band * band) return true;
    return false;
}

std::vector<Interval> CutInsideShells(const PlaneModel& m, const std::vector<std::int32_t>& shells, const CVertex& a,
                                      const CVertex& b) {
    // Between two successive places where the cut's line meets a polygon's boundary the cut is
    // wholly in or wholly out, so a test of each stretch's midpoint decides, for any simple polygon.
    // Edges along the line are not needed: the edges that leave them meet the line at their ends.
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double slack = 1e-12;  // on the edge parameter, so that a corner on the line is never missed
    std::vector<Interval> stretches;
    std::vector<double> cuts;
    for (const std::int32_t shell : shells) {
        const auto s = static_cast<std::size_t>(shell);
        if (!m.shellUsable[s]) continue;
        cuts.assign({0.0, 1.0});
        for (std::size_t i = 0; i < m.CornerCount(s); ++i) {
            const CVertex& p = corner(m, s, i);
            const CVertex& q = corner(m, s, i + 1);
            const double ex = q.x - p.x, ey = q.y - p.y;
            const double D = dx * ey - dy * ex;
            if (!(std::fabs(D) > 1e-14 * std::sqrt((dx * dx + dy * dy) * (ex * ex + ey * ey)))) continue;
            const double px = p.x - a.x, py = p.y - a.y;
            const double t = (px * ey - py * ex) / D;
            const double u = (px * dy - py * dx) / D;
            if (u >= -slack && u <= 1.0 + slack && t > 0.0 && t < 1.0) cuts.push_back(t);
        }
        std::sort(cuts.begin(), cuts.end());
        for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
            const double t0 = cuts[i], t1 = cuts[i + 1], t = (t0 + t1) / 2;
            if (t1 > t0 && PointInShell(m, s, CVertex(a.x + t * dx, a.y + t * dy, 0.0), m.tolerance))
                stretches.push_back({t0, t1});
        }
    }
    std::sort(stretches.begin(), stretches.end(), [](const Interval& l, const Interval& r) {
        return l.from < r.from || (l.from == r.from && l.to < r.to);
    });
    std::vector<Interval> united;
    for (const Interval& i : stretches) {
        if (!united.empty() && i.from <= united.back().to)
            united.back().to = std::max(united.back().to, i.to);
        else
            united.push_back(i);
    }
    return united;
}

}  // namespace xsect::detail
