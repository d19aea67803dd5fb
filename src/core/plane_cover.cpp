#include "core/plane_cover.h"

#include <cmath>

#include "core/cut_cover.h"

namespace xsect::detail {

namespace {

// Below this sine of the angle between a shell and the cutting plane the shell lies along the plane:
// its trace has no direction, and it adds nothing to the cut area.
constexpr double kAlongPlane = 1e-9;

// The line one shell's trace runs along, and the stretches of the shells whose traces run along it.
struct TraceLine {
    Vec3 origin, d;  // a point of the trace and its unit direction
    std::vector<CoverPiece> pieces;
};


double dot(const Vec3& a, const Vec3& b) {
    double s = 0.0;
    s += a[0] * b[0];
    s += a[1] * b[1];
    s += a[2] * b[2];
    return s;
}

// The shell's trace line: through the point of the trace nearest the corners' centre, along the
// intersection of the shell's plane (Newell's normal, which a warped shell also has) with the
// cutting plane. False for a shell along the plane or of no area.
bool traceLineOf(const AssemblyModel& m, std::size_t shell, const CuttingPlane& plane, Vec3& origin, Vec3& d) {
    const std::int32_t* c = m.CornersOf(shell);
    const std::size_t n = m.CornerCount(shell);
    Vec3 normal{}, centre{};
    for (std::size_t i = 0; i < n; ++i) {
        const Point& a = m.vertices[static_cast<std::size_t>(c[i])];
        const Point& b = m.vertices[static_cast<std::size_t>(c[(i + 1) % n])];
        normal[0] += (a.y - b.y) * (a.z + b.z);
        normal[1] += (a.z - b.z) * (a.x + b.x);
        normal[2] += (a.x - b.x) * (a.y + b.y);
        centre = {centre[0] + a.x, centre[1] + a.y, centre[2] + a.z};
    }
    centre = scaled(centre, 1.0 / static_cast<double>(n));
    const double area = norm(normal);
    if (!(area > 0.0)) return false;
    normal = scaled(normal, 1.0 / area);
    d = cross(plane.n, normal);
    const double sine = norm(d);
    if (!(sine > kAlongPlane)) return false;
    d = scaled(d, 1.0 / sine);
    // Across the trace within the shell's plane the distance from the cutting plane grows by `sine`
    // per unit length.
    const Vec3 across = cross(normal, d);
    const double h = plane.Height(CVertex(centre[0], centre[1], centre[2]));
    origin = difference(centre, scaled(across, h / sine));
    return true;
}

// The line of `lines` that a trace (origin, d) runs along within the tolerance, or lines.size().
std::size_t lineOf(const std::vector<TraceLine>& lines, std::size_t hint, const Vec3& origin, const Vec3& d,
                   double tolerance) {
    auto along = [&](const TraceLine& l) {
        if (norm(cross(l.d, d)) > kAlongPlane) return false;
        const Vec3 off = difference(origin, l.origin);
        return norm(difference(off, scaled(l.d, dot(off, l.d)))) <= tolerance;
    };
    // Shells come in element order, which mostly keeps a wall's elements together.
    if (hint < lines.size() && along(lines[hint])) return hint;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (along(lines[i])) return i;
    return lines.size();
}

}  // namespace

PlaneCover CoveredArea(const AssemblyModel& m, const std::vector<std::int32_t>& shells, const CuttingPlane& plane) {
    std::vector<TraceLine> lines;
    std::vector<LineCorner> corners;
    std::vector<CutStretch> inShell;
    std::size_t last = 0;
    for (const std::int32_t shell : shells) {
        const auto s = static_cast<std::size_t>(shell);
        Vec3 origin, d;
        if (!m.shellUsable[s] || m.CornerCount(s) < 3 || !traceLineOf(m, s, plane, origin, d)) continue;
        last = lineOf(lines, last, origin, d, m.tolerance);
        if (last == lines.size()) lines.push_back({origin, d, {}});
        TraceLine& line = lines[last];
        corners.clear();
        const std::int32_t* c = m.CornersOf(s);
        for (std::size_t i = 0, n = m.CornerCount(s); i < n; ++i) {
            const Point& v = m.vertices[static_cast<std::size_t>(c[i])];
            corners.push_back({dot(difference(vectorOf(v), line.origin), line.d), plane.Height(v), c[i]});
        }
        inShell.clear();
        StretchesInPolygon(corners, m.tolerance, 1.0, -HUGE_VAL, HUGE_VAL, inShell);
        for (const CutStretch& piece : inShell) line.pieces.push_back({piece, shell});
    }

    // By area only when every shell that covers something has a thickness, over the whole section.
    bool byArea = m.anyThickness;
    for (const TraceLine& line : lines) byArea = byArea && WeighByArea(line.pieces, &m.thickness);
    PlaneCover cover;
    Vec3 moment{};
    for (TraceLine& line : lines) {
        const Coverage c = UnionOfPieces(line.pieces, byArea ? &m.thickness : nullptr);
        cover.length += c.length;
        cover.weight += c.weight;
        for (std::size_t k = 0; k < 3; ++k) moment[k] += c.weight * (line.origin[k] + c.centre * line.d[k]);
    }
    if (cover.weight > 0.0) cover.centre = scaled(moment, 1.0 / cover.weight);
    return cover;
}

void MeetingPoints(const AssemblyModel& m, const std::int32_t* nodes, std::size_t count, bool closed,
                   const CuttingPlane& plane, std::vector<Vec3>& out) {
    out.clear();
    const double tol = m.tolerance;
    auto height = [&](std::size_t i) { return plane.Height(m.vertices[static_cast<std::size_t>(nodes[i])]); };
    for (std::size_t i = 0; i < count; ++i) {
        const Vec3 v = vectorOf(m.vertices[static_cast<std::size_t>(nodes[i])]);
        const double h = height(i);
        if (std::fabs(h) < tol) {
            out.push_back(difference(v, scaled(plane.n, h)));
            continue;
        }
        if (i + 1 == count && !closed) break;
        const std::size_t j = (i + 1) % count;
        const double hj = height(j);
        if (std::fabs(hj) < tol || (h > 0.0) == (hj > 0.0)) continue;
        const Vec3 w = vectorOf(m.vertices[static_cast<std::size_t>(nodes[j])]);
        out.push_back(difference(v, scaled(difference(w, v), -h / (h - hj))));
    }
}

}  // namespace xsect::detail
