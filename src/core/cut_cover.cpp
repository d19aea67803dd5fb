#include "core/cut_cover.h"

#include <algorithm>
#include <cmath>

namespace xsect::detail {

namespace {

const CVertex& corner(const PlaneModel& m, std::size_t shell, std::size_t i) {
    return m.vertices[static_cast<std::size_t>(m.CornersOf(shell)[i % m.CornerCount(shell)])];
}

double distanceToEdge(const CVertex& p, const CVertex& q, const CVertex& v) {
    const double ex = q.x - p.x, ey = q.y - p.y;
    const double ee = ex * ex + ey * ey;
    double s = ee > 0.0 ? ((v.x - p.x) * ex + (v.y - p.y) * ey) / ee : 0.0;
    s = std::clamp(s, 0.0, 1.0);
    return std::hypot(v.x - (p.x + s * ex), v.y - (p.y + s * ey));
}

}  // namespace

bool PointInShell(const PlaneModel& m, std::size_t shell, const CVertex& p, double band) {
    if (!m.shellUsable[shell]) return false;
    const std::size_t n = m.CornerCount(shell);
    bool inside = false;
    for (std::size_t i = 0; i < n; ++i) {
        const CVertex& u = corner(m, shell, i);
        const CVertex& v = corner(m, shell, i + 1);
        if (distanceToEdge(u, v, p) <= band) return true;
        if ((u.y > p.y) != (v.y > p.y) && p.x < u.x + (p.y - u.y) * (v.x - u.x) / (v.y - u.y)) inside = !inside;
    }
    return inside;
}

void CutInsideShell(const PlaneModel& m, std::size_t shell, const CVertex& a, const CVertex& b,
                    std::vector<Interval>& out) {
    if (!m.shellUsable[shell]) return;
    // Between two successive places where the cut's line meets the boundary the cut is wholly in or
    // wholly out, so a test of each stretch's midpoint decides, for any simple polygon. Edges along
    // the line are not needed: the edges that leave them meet the line at their ends.
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double slack = 1e-12;  // on the edge parameter, so that a corner on the line is never missed
    std::vector<double> cuts{0.0, 1.0};
    const std::size_t n = m.CornerCount(shell);
    for (std::size_t i = 0; i < n; ++i) {
        const CVertex& p = corner(m, shell, i);
        const CVertex& q = corner(m, shell, i + 1);
        const double ex = q.x - p.x, ey = q.y - p.y;
        const double D = dx * ey - dy * ex;
        if (!(std::fabs(D) > 1e-14 * std::hypot(dx, dy) * std::hypot(ex, ey))) continue;
        const double px = p.x - a.x, py = p.y - a.y;
        const double s = (px * ey - py * ex) / D;
        const double u = (px * dy - py * dx) / D;
        if (u >= -slack && u <= 1.0 + slack && s > 0.0 && s < 1.0) cuts.push_back(s);
    }
    std::sort(cuts.begin(), cuts.end());
    for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
        const double s0 = cuts[i], s1 = cuts[i + 1];
        if (!(s1 > s0)) continue;
        const double s = (s0 + s1) / 2;
        const CVertex mid(a.x + s * dx, a.y + s * dy, 0.0);
        if (!PointInShell(m, shell, mid, m.tolerance)) continue;
        if (!out.empty() && out.back().to == s0)
            out.back().to = s1;
        else
            out.push_back({s0, s1});
    }
}

std::vector<Interval> UniteIntervals(std::vector<Interval> stretches) {
    std::sort(stretches.begin(), stretches.end(),
              [](const Interval& l, const Interval& r) { return l.from < r.from || (l.from == r.from && l.to < r.to); });
    std::vector<Interval> united;
    for (const Interval& s : stretches) {
        if (!united.empty() && s.from <= united.back().to)
            united.back().to = std::max(united.back().to, s.to);
        else
            united.push_back(s);
    }
    return united;
}

}  // namespace xsect::detail
