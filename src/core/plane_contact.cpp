#include "core/plane_contact.h"

#include <algorithm>
#include <cmath>

#include "core/crossing.h"

namespace xsect::detail {

namespace {

enum class Contact { None, Met, Divided };

Contact contactOf(const AssemblyModel& m, const CuttingPlane& plane, const std::int32_t* nodes, std::size_t count) {
    const double tol = m.tolerance;
    bool near = false, below = false, past = false, farBelow = false;
    for (std::size_t i = 0; i < count; ++i) {
        const double h = plane.Height(m.vertices[static_cast<std::size_t>(nodes[i])]);
        near = near || std::fabs(h) < tol;
        below = below || h < tol;
        past = past || h >= tol;
        farBelow = farBelow || h <= -tol;
    }
    if (below && past) return Contact::Divided;
    return near || (past && farBelow) ? Contact::Met : Contact::None;
}

void addShell(const AssemblyModel& m, const CuttingPlane& plane, std::size_t s, PlaneContacts& out) {
    if (!m.shellUsable[s]) return;
    const Contact c = contactOf(m, plane, m.CornersOf(s), m.CornerCount(s));
    if (c == Contact::None) return;
    out.shells.push_back(static_cast<std::int32_t>(s));
    out.shellDivided.push_back(c == Contact::Divided);
}

void addFrame(const AssemblyModel& m, const CuttingPlane& plane, std::size_t f, PlaneContacts& out) {
    if (!m.FrameUsable(f)) return;
    const Contact c = contactOf(m, plane, m.frameEnds[f].data(), 2);
    if (c == Contact::None) return;
    out.frames.push_back(static_cast<std::int32_t>(f));
    out.frameDivided.push_back(c == Contact::Divided);
}

}  // namespace

PlaneContacts FindPlaneContactsByScan(const AssemblyModel& m, const CuttingPlane& plane) {
    PlaneContacts out;
    for (std::size_t s = 0; s < m.ShellCount(); ++s) addShell(m, plane, s, out);
    for (std::size_t f = 0; f < m.FrameCount(); ++f) addFrame(m, plane, f, out);
    return out;
}

PlaneContacts FindPlaneContacts(const AssemblyModel& m, const CuttingPlane& plane) {
    if (UsingFullScan()) return FindPlaneContactsByScan(m, plane);
    // A node's distance computed from its box differs from the exact test's by rounding only, far
    // below this margin on coordinates up to the model's and the plane point's size.
    const double scale = std::max({m.magnitude, std::fabs(plane.p[0]), std::fabs(plane.p[1]), std::fabs(plane.p[2])});
    std::vector<std::int32_t> items;
    m.tree.Near(plane.p, plane.n, m.tolerance + 1e-12 * scale, items);
    std::sort(items.begin(), items.end());
    PlaneContacts out;
    const auto shells = static_cast<std::int32_t>(m.ShellCount());
    for (const std::int32_t item : items) {
        if (item < shells)
            addShell(m, plane, static_cast<std::size_t>(item), out);
        else
            addFrame(m, plane, static_cast<std::size_t>(item - shells), out);
    }
    return out;
}

}  // namespace xsect::detail
