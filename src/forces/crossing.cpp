// Which shells and frames a cut passes through, and through which of their edges.

#include <cmath>

#include "xsect/detail/segments.h"
#include "xsect/forces/cross_section_forces_post.h"

namespace xsect {

namespace {

double distance(double ax, double ay, double az, double bx, double by, double bz) {
    const double dx = bx - ax;
    const double dy = by - ay;
    const double dz = bz - az;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

}  // namespace

void CCrossSectionForcesPost::FindShellsCrossedWithLine(CVertex* a, CVertex* b,
                                                        std::map<std::int32_t, CShellElement*>& crossedShells,
                                                        std::map<std::int32_t, std::vector<CEdge>>& crossedEdges) {
    std::vector<CVertex*> corners;
    for (auto& [number, shell] : shells) {
        // A shell that names a node the model lacks is skipped whole, as a frame is: half a
        // polygon would give a false set of crossed edges.
        corners.clear();
        for (std::int32_t node : shell.nodes) {
            auto it = vertices.find(node);
            if (it == vertices.end()) break;
            corners.push_back(&it->second);
        }
        if (corners.size() != shell.nodes.size()) continue;

        std::vector<CEdge> edges;
        const std::size_t n = shell.nodes.size();
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t next = (i + 1) % n;
            if (CheckLinesCrossing(a, b, corners[i], corners[next])) {
                crossedShells.emplace(number, &shell);
                edges.emplace_back(shell.nodes[i], shell.nodes[next]);
            }
        }
        // Every shell gets an entry, an empty list when the cut misses it. Shells come in
        // ascending order, so the end is the right hint and a long model fills in linear time.
        crossedEdges.emplace_hint(crossedEdges.end(), number, std::move(edges));
    }
}

void CCrossSectionForcesPost::FindFramesCrossedWithLine(CVertex* a, CVertex* b,
                                                        std::map<std::int32_t, CFrameElement*>& crossedFrames,
                                                        std::map<std::int32_t, std::vector<CEdge>>& crossedEdges) {
    for (auto& [number, frame] : frames) {
        auto endA = vertices.find(frame.nodeA);
        auto endB = vertices.find(frame.nodeB);
        if (endA == vertices.end() || endB == vertices.end()) continue;

        std::vector<CEdge> edges;
        if (CheckLinesCrossing(a, b, &endA->second, &endB->second)) {
            crossedFrames.emplace(number, &frame);
            edges.emplace_back(frame.nodeA, frame.nodeB);
        }
        // emplace keeps an entry already there: a shell of the same number keeps its edges.
        crossedEdges.emplace(number, std::move(edges));
    }
}

bool CCrossSectionForcesPost::CheckLinesCrossing(CVertex* a, CVertex* b, CVertex* c, CVertex* d) {
    // Two segments whose enclosing spheres (about their midpoints) do not meet cannot cross;
    // this cheap rejection spares most edges the exact test.
    const double gap = distance((a->x + b->x) / 2, (a->y + b->y) / 2, (a->z + b->z) / 2, (c->x + d->x) / 2,
                                (c->y + d->y) / 2, (c->z + d->z) / 2);
    const double reach =
        distance(c->x, c->y, c->z, d->x, d->y, d->z) / 2 + distance(a->x, a->y, a->z, b->x, b->y, b->z) / 2;
    if (gap - reach > tolerance) return false;

    CVertex scratch(0.0, 0.0, 0.0, 0.005);
    return IntersectSegments2D(a, b, c, d, tolerance, &scratch);
}

}  // namespace xsect
