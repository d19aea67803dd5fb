#include "compute/plane_mesh.h"

#include <algorithm>

#include <xsect/detail/segments.h>

namespace xsect::cli {

PlaneMesh MakePlaneMesh(const Model& model, CCrossSectionForcesPost& calc) {
    PlaneMesh mesh;
    mesh.tolerance = model.tolerance;
    for (const auto& [id, v] : model.nodes) mesh.nodes[id] = PlanePoint(calc, Of(v));
    auto add = [&](std::int32_t id, bool frame, std::vector<std::int32_t> nodes) {
        PlaneMesh::Element e;
        e.id = id;
        e.frame = frame;
        for (std::int32_t n : nodes) e.corners.push_back(mesh.nodes.at(n));
        e.nodes = std::move(nodes);
        e.lo = e.hi = e.corners.front();
        for (const Pt& p : e.corners) {
            e.lo = {std::min(e.lo.x, p.x), std::min(e.lo.y, p.y)};
            e.hi = {std::max(e.hi.x, p.x), std::max(e.hi.y, p.y)};
        }
        mesh.elements.push_back(std::move(e));
    };
    for (const auto& [id, shell] : model.shells) add(id, false, shell.nodes);
    for (const auto& [id, frame] : model.frames) add(id, true, {frame.nodeA, frame.nodeB});
    return mesh;
}

bool Meets(const PlaneMesh::Element& e, Pt a, Pt b, double tolerance) {
    if (std::max(a.x, b.x) < e.lo.x - tolerance || std::min(a.x, b.x) > e.hi.x + tolerance ||
        std::max(a.y, b.y) < e.lo.y - tolerance || std::min(a.y, b.y) > e.hi.y + tolerance)
        return false;
    const CVertex A(a.x, a.y, 0), B(b.x, b.y, 0);
    const std::size_t edges = e.frame ? 1 : e.corners.size();
    for (std::size_t i = 0; i < edges; ++i) {
        const Pt c = e.corners[i], d = e.corners[(i + 1) % e.corners.size()];
        const CVertex C(c.x, c.y, 0), D(d.x, d.y, 0);
        CVertex first, second;
        if (ClassifySegments(&A, &B, &C, &D, tolerance, &first, &second) != SEGMENTS_APART) return true;
    }
    return false;
}

Pt PlanePoint(CCrossSectionForcesPost& calc, Vec3 global) {
    const Vec3 q = ToPlane(calc, global);
    return {q.x, q.y};
}

Pt PlaneDirection(CCrossSectionForcesPost& calc, Vec3 at, Vec3 direction) {
    const Vec3 d = ToPlane(calc, at + direction) - ToPlane(calc, at);
    return {d.x, d.y};
}

}  // namespace xsect::cli
