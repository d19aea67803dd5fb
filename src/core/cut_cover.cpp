#include "core/cut_cover.h"

#include <algorithm>
#include <cmath>

#include "core/crossing.h"

namespace xsect::detail {

namespace {

// Where the edge between corners i and j meets the line; their h have opposite signs. Taken from
// the corner with the lower key, so that the two polygons sharing the edge get the same bits and
// their stretches meet without a gap.
double crossingOf(const LineCorner& i, const LineCorner& j) {
    const LineCorner& p = i.key <= j.key ? i : j;
    const LineCorner& q = i.key <= j.key ? j : i;
    return p.u + (q.u - p.u) * (p.h / (p.h - q.h));
}

// Is the point at u on the line, taken a hair towards +h, inside the polygon? u is no place where
// the boundary crosses the line. Even-odd, with a ray along the line towards -u: a corner on the
// line lies below the point, so each meeting counts once and an edge along the line not at all.
bool lineInside(const std::vector<LineCorner>& c, double u) {
    bool inside = false;
    for (std::size_t i = 0, n = c.size(); i < n; ++i) {
        const LineCorner& p = c[i];
        const LineCorner& q = c[(i + 1) % n];
        if ((p.h > 0.0) == (q.h > 0.0)) continue;
        const double x = q.h == 0.0 ? q.u : p.h == 0.0 ? p.u : crossingOf(p, q);
        if (x < u) inside = !inside;
    }
    return inside;
}

void append(std::vector<CutStretch>& out, double from, double to) {
    if (!out.empty() && from <= out.back().to)
        out.back().to = std::max(out.back().to, to);
    else
        out.push_back({from, to});
}

}  // namespace

void StretchesInPolygon(std::vector<LineCorner>& corners, double tolerance, double towards, double lo, double hi,
                        std::vector<CutStretch>& out) {
    const std::size_t n = corners.size();
    if (n < 3) return;
    for (LineCorner& c : corners) c.h = std::fabs(c.h) < tolerance ? 0.0 : towards * c.h;

    // The line is wholly in or wholly out of the polygon between two successive places where the
    // boundary meets it: a corner on it, or an edge crossing it.
    // At most two a corner; on the stack for the shells of any ordinary mesh, which a cut meets by
    // the thousand.
    double few[32];
    std::vector<double> many(2 * n > 32 ? 2 * n : 0);
    double* const events = many.empty() ? few : many.data();
    std::size_t count = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const LineCorner& p = corners[i];
        const LineCorner& q = corners[(i + 1) % n];
        if (p.h == 0.0) events[count++] = p.u;
        if ((p.h > 0.0 && q.h < 0.0) || (p.h < 0.0 && q.h > 0.0)) events[count++] = crossingOf(p, q);
    }
    std::sort(events, events + count);
    const std::size_t first = out.size();
    for (std::size_t k = 0; k + 1 < count; ++k) {
        const double e0 = events[k], e1 = events[k + 1];
        const double from = std::max(e0, lo), to = std::min(e1, hi);
        if (!(to > from) || !lineInside(corners, e0 + (e1 - e0) / 2)) continue;
        if (out.size() > first && from <= out.back().to)
            out.back().to = to;
        else
            out.push_back({from, to});
    }
}

CutLine::CutLine(const CVertex& start, const CVertex& end) : a(start) {
    length = std::hypot(end.x - start.x, end.y - start.y);
    tx = (end.x - start.x) / length;
    ty = (end.y - start.y) / length;
}

void CutLine::Corners(const PlaneModel& m, std::size_t shell, std::vector<LineCorner>& out) const {
    out.clear();
    const std::int32_t* c = m.CornersOf(shell);
    for (std::size_t i = 0, n = m.CornerCount(shell); i < n; ++i) {
        const Point& v = m.vertices[static_cast<std::size_t>(c[i])];
        const double dx = v.x - a.x, dy = v.y - a.y;
        out.push_back({dx * tx + dy * ty, dx * -ty + dy * tx, c[i]});
    }
}

bool WeighByArea(const std::vector<CoverPiece>& pieces, const std::vector<double>* thickness) {
    bool byArea = thickness != nullptr && !thickness->empty();
    for (const CoverPiece& p : pieces) byArea = byArea && (*thickness)[static_cast<std::size_t>(p.shell)] > 0.0;
    return byArea;
}

Coverage UnionOfPieces(std::vector<CoverPiece>& pieces, const std::vector<double>* thickness) {
    std::sort(pieces.begin(), pieces.end(), [](const CoverPiece& l, const CoverPiece& r) {
        if (l.stretch.from != r.stretch.from) return l.stretch.from < r.stretch.from;
        if (l.stretch.to != r.stretch.to) return l.stretch.to < r.stretch.to;
        return l.shell < r.shell;
    });
    Coverage cover;
    double frontier = -HUGE_VAL, moment = 0.0;
    for (const CoverPiece& p : pieces) {
        const double w = thickness != nullptr ? (*thickness)[static_cast<std::size_t>(p.shell)] : 1.0;
        const double from = std::max(p.stretch.from, frontier);
        if (p.stretch.to > from) {
            const double len = p.stretch.to - from;
            cover.weight += w * len;
            moment += w * len * (from + (p.stretch.to - from) / 2);
        }
        append(cover.stretches, p.stretch.from, p.stretch.to);
        frontier = std::max(frontier, p.stretch.to);
    }
    for (const CutStretch& s : cover.stretches) cover.length += s.to - s.from;
    cover.centre = cover.weight > 0.0 ? moment / cover.weight : 0.0;
    return cover;
}

Coverage CoveredPart(const PlaneModel& m, const std::vector<std::int32_t>& shells, const CutLine& cut,
                     double towards, const std::vector<double>* thickness) {
    std::vector<CoverPiece> pieces;
    std::vector<LineCorner> corners;
    std::vector<CutStretch> inShell;
    for (const std::int32_t shell : shells) {
        const auto s = static_cast<std::size_t>(shell);
        if (!m.shellUsable[s]) continue;
        cut.Corners(m, s, corners);
        inShell.clear();
        StretchesInPolygon(corners, m.tolerance, towards, 0.0, cut.length, inShell);
        for (const CutStretch& i : inShell) pieces.push_back({i, shell});
    }
    return UnionOfPieces(pieces, WeighByArea(pieces, thickness) ? thickness : nullptr);
}

namespace {

// The usable shells near the stretch [from, to] of the cut's line, from the index or, when it
// cannot answer, all of them; in index order.
std::vector<std::size_t> shellsNear(const PlaneModel& m, const CutLine& cut, double from, double to) {
    std::vector<std::int32_t> items;
    const double reach = std::max(m.tolerance, 1e-12 * cut.length);
    from -= reach;
    to += reach;
    if (UsingFullScan() || !m.index.Query(cut.a.x + from * cut.tx, cut.a.y + from * cut.ty, cut.a.x + to * cut.tx,
                                          cut.a.y + to * cut.ty, 0.0, m.tolerance, items)) {
        items.resize(m.ShellCount());
        for (std::size_t s = 0; s < items.size(); ++s) items[s] = static_cast<std::int32_t>(s);
    } else {
        // The index's items are the shells' places.
        for (std::int32_t& item : items)
            if (item < static_cast<std::int32_t>(m.ShellCount()))
                item = static_cast<std::int32_t>(m.ShellAt(static_cast<std::size_t>(item)));
    }
    std::sort(items.begin(), items.end());
    items.erase(std::unique(items.begin(), items.end()), items.end());
    std::vector<std::size_t> shells;
    for (const std::int32_t item : items)
        if (item < static_cast<std::int32_t>(m.ShellCount()) && m.shellUsable[static_cast<std::size_t>(item)])
            shells.push_back(static_cast<std::size_t>(item));
    return shells;
}

}  // namespace

bool MeetsShells(const PlaneModel& m, const CutLine& cut) {
    std::vector<LineCorner> corners;
    for (const std::size_t shell : shellsNear(m, cut, 0.0, cut.length)) {
        cut.Corners(m, shell, corners);
        for (std::size_t i = 0, n = corners.size(); i < n; ++i) {
            const LineCorner& p = corners[i];
            const LineCorner& q = corners[(i + 1) % n];
            if (std::fabs(p.h) < m.tolerance && p.u > -m.tolerance && p.u < cut.length + m.tolerance) return true;
            if ((p.h >= m.tolerance && q.h <= -m.tolerance) || (p.h <= -m.tolerance && q.h >= m.tolerance)) {
                const double u = crossingOf(p, q);
                if (u >= 0.0 && u <= cut.length) return true;
            }
        }
    }
    return false;
}

bool LineInMesh(const PlaneModel& m, const CutLine& cut, double u, double towards) {
    std::vector<LineCorner> corners;
    std::vector<CutStretch> inShell;
    for (const std::size_t shell : shellsNear(m, cut, u, u)) {
        cut.Corners(m, shell, corners);
        inShell.clear();
        StretchesInPolygon(corners, m.tolerance, towards, -HUGE_VAL, HUGE_VAL, inShell);
        for (const CutStretch& s : inShell)
            if (s.from <= u && u <= s.to) return true;
    }
    return false;
}

}  // namespace xsect::detail
