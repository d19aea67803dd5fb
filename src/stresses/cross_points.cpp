#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "core/arithmetic.h"
#include "core/crossing.h"
#include "core/plane_model.h"
#include "forces/host_state.h"
#include "core/segments.h"
#include "xsect/stresses/cross_section_stresses_post.h"

namespace xsect {

namespace {

// What the edge walk has learnt about one shell so far.
struct WalkState {
    bool edgeOnCut = false;
    bool overlap = false;
    bool pointCrossing = false;
    std::vector<CVertex> points;
    CVertex first;   // scratch records the classifier writes
    CVertex second;

    explicit WalkState(double tolerance) : first(tolerance), second(tolerance) {}
    void ResetFlags() { edgeOnCut = overlap = pointCrossing = false; }
};

// Largest distance between any two of the shell's nodes: far enough to carry a cut that ends
// inside the shell, or runs along part of one of its edges, right through it.
double diameterOf(const std::vector<const CVertex*>& corners) {
    double dmax = 0.0;
    for (std::size_t i = 0; i < corners.size(); ++i)
        for (std::size_t j = i + 1; j < corners.size(); ++j) dmax = std::max(dmax, corners[i]->Distance(corners[j]));
    return dmax;
}

double firstCoordinate(const std::shared_ptr<ElemStressPoints>& row) {
    const std::vector<StressPoint>& points = row->GetStressPoints();
    // A row without points cannot come from the walk; it sorts first rather than breaking the order.
    return points.empty() ? -std::numeric_limits<double>::infinity() : points.front().Get1DCoor();
}

}  // namespace

bool CCrossSectionStressesPost::FindCrossPointsWithShells(CVertex* a, CVertex* b) {
    if (shared == nullptr) return false;
    const detail::PlaneModel& m = *shared->model;
    bool touchedAny = false;

    std::vector<CVertex> cornerVertices;
    std::vector<const CVertex*> corners;
    for (const std::int32_t shell : detail::ShellsTouchingCut(m, *a, *b)) {
        // A shell naming a node the model lacks has no usable geometry at all: leave it out.
        if (!m.shellUsable[static_cast<std::size_t>(shell)]) continue;
        cornerVertices.clear();
        corners.clear();
        const std::int32_t* c = m.CornersOf(static_cast<std::size_t>(shell));
        for (std::size_t i = 0; i < m.CornerCount(static_cast<std::size_t>(shell)); ++i)
            cornerVertices.push_back(m.VertexAt(static_cast<std::size_t>(c[i])));
        for (const CVertex& v : cornerVertices) corners.push_back(&v);
        const std::size_t nodeCount = corners.size();

        WalkState state(a->tolerance);
        const std::int32_t elementNumber = m.shellIds[static_cast<std::size_t>(shell)];
        auto walkShellEdges = [&](CVertex* from, CVertex* to) {
            for (std::size_t i = 0; i < nodeCount; ++i) {
                const std::int32_t code = ClassifySegments(from, to, corners[i], corners[(i + 1) % nodeCount],
                                                           m.tolerance, &state.first, &state.second);
                if (code != SEGMENTS_APART) touchedAny = true;
                if (code == SEGMENTS_EDGE_ON_CUT) {
                    state.edgeOnCut = true;
                    state.overlap = false;
                    state.pointCrossing = false;
                    state.points.clear();
                    state.points.push_back(state.first);
                    state.points.push_back(state.second);
                } else if (code == SEGMENTS_CUT_ON_EDGE || code == SEGMENTS_PARTIAL_OVERLAP) {
                    state.overlap = true;
                    state.pointCrossing = false;
                    state.points.clear();
                } else if (code == SEGMENTS_CROSSING && !state.edgeOnCut && !state.overlap) {
                    state.pointCrossing = true;
                    // Both edges meeting at a crossed corner report it; keep it once.
                    const bool known = std::any_of(state.points.begin(), state.points.end(), [&](const CVertex& p) {
                        return p.Distance(&state.first) < state.first.tolerance;
                    });
                    if (!known) state.points.push_back(state.first);
                }
            }
        };

        walkShellEdges(a, b);

        if ((state.pointCrossing && state.points.size() == 1) || state.overlap) {
            const double dmax = diameterOf(corners);
            bool extend = state.overlap;
            if (!extend) {
                const CVertex& only = state.points.front();
                extend = only.Distance(a) < dmax || only.Distance(b) < dmax;
            }
            if (extend) {
                const double ux = (b->x - a->x) / cutLength;
                const double uy = (b->y - a->y) / cutLength;
                const double uz = (b->z - a->z) / cutLength;
                CVertex a2(a->x - dmax * ux, a->y - dmax * uy, a->z - dmax * uz, a->tolerance);
                CVertex b2(b->x + dmax * ux, b->y + dmax * uy, b->z + dmax * uz, b->tolerance);
                state.ResetFlags();
                walkShellEdges(&a2, &b2);
            }
        }

        if (state.points.size() != 2 || !(state.edgeOnCut || state.pointCrossing)) continue;

        CVertex first = state.points[0];
        CVertex second = state.points[1];
        if ((second.x - first.x) * (cutEnd2D.x - a->x) + (second.y - first.y) * (cutEnd2D.y - a->y) < 0.0)
            std::swap(first, second);

        if (state.edgeOnCut) {
            // The shell must lie on the face point's side of the edge it shares with the cut;
            // each node is tested against the edge on its own, as the force gathering does.
            bool onFaceSide = false;
            for (const CVertex* p : corners) {
                if (p->Distance(&first) < p->tolerance || p->Distance(&second) < p->tolerance) continue;
                onFaceSide = detail::windingOf(first, second, *p) == facePointSide;
                if (onFaceSide) break;
            }
            if (!onFaceSide) continue;
        }

        const detail::Vec3 r = m.frame.ToGlobal({first.x + cutNormal2D.x, first.y + cutNormal2D.y, 0.0});
        auto row = std::make_shared<ElemStressPoints>(elementNumber, CVertex(r[0], r[1], r[2], 0.005));
        for (const CVertex* p : {&first, &second}) {
            // A point the conversion rejects keeps its plane x as its coordinate.
            double s = p->x;
            Convert2DTo1D(s, p->y);
            row->GetStressPoints().emplace_back(*p, s);
        }
        elementStressPoints.push_back(std::move(row));
    }

    std::stable_sort(elementStressPoints.begin(), elementStressPoints.end(),
                     [](const auto& l, const auto& r) { return firstCoordinate(l) < firstCoordinate(r); });
    return touchedAny;
}

void CCrossSectionStressesPost::ComputeElementLcoalCoor_ZEL() {
    elementNormalAligned.clear();
    if (shared == nullptr) return;
    const detail::PlaneModel& m = *shared->model;

    auto dot = [](const detail::Vec3& p, const detail::Vec3& q) { return p[0] * q[0] + p[1] * q[1] + p[2] * q[2]; };
    // Only the sign of the product is used; tiny vectors are left unscaled rather than blown up.
    auto normalise = [](detail::Vec3& v) {
        const double len = detail::norm(v);
        if (len >= 1e-05) v = {v[0] / len, v[1] / len, v[2] / len};
    };

    const detail::Vec3 g = m.frame.DirectionToGlobal({cutNormal2D.x, cutNormal2D.y, cutNormal2D.z});
    detail::Vec3 ref = detail::cross(detail::difference(cutEnd3D, cutStart3D), g);
    normalise(ref);

    for (const auto& row : elementStressPoints) {
        const std::int32_t k = row->GetElemID();
        // Without three known corners there is no element normal to compare; the host's signs stand.
        detail::Vec3 corner[3] = {};
        bool known = false;
        const std::int32_t shell = m.ShellIndex(k);
        if (shell != detail::kMissing && m.CornerCount(static_cast<std::size_t>(shell)) >= 3) {
            known = true;
            for (std::size_t i = 0; i < 3 && known; ++i) {
                const std::int32_t node = m.CornersOf(static_cast<std::size_t>(shell))[i];
                if (node == detail::kMissing) {
                    known = false;
                    break;
                }
                const detail::Point& v = m.vertices[static_cast<std::size_t>(node)];
                corner[i] = m.frame.ToGlobal({v.x, v.y, 0.0});
            }
        }
        if (!known) {
            elementNormalAligned.insert({k, true});
            continue;
        }
        detail::Vec3 v =
            detail::cross(detail::difference(corner[1], corner[0]), detail::difference(corner[2], corner[1]));
        normalise(v);
        elementNormalAligned.insert({k, dot(v, ref) > 0.0});
    }
}

}  // namespace xsect
