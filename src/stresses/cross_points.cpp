#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "xsect/detail/segments.h"
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
double diameterOf(const std::vector<CVertex*>& corners) {
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

bool CCrossSectionStressesPost::FindCrossPointsWithShells(CVertex* a, CVertex* b,
                                                          std::map<std::int32_t, CShellElement*>& touchedShells) {
    if (forceCalculator == nullptr) return true;
    CCrossSectionForcesPost& fc = *forceCalculator;

    for (auto& [number, shell] : fc.shells) {
        // A shell naming a node the model lacks has no usable geometry at all: leave it out.
        std::vector<CVertex*> corners;
        corners.reserve(shell.nodes.size());
        bool complete = true;
        for (std::int32_t k : shell.nodes) {
            auto it = fc.vertices.find(k);
            if (it == fc.vertices.end()) {
                complete = false;
                break;
            }
            corners.push_back(&it->second);
        }
        if (!complete) continue;
        const std::size_t nodeCount = corners.size();

        WalkState state(a->tolerance);
        const std::int32_t elementNumber = number;
        CShellElement* const shellPtr = &shell;
        auto walkShellEdges = [&](CVertex* from, CVertex* to) {
            for (std::size_t i = 0; i < nodeCount; ++i) {
                const std::int32_t code = ClassifySegments(from, to, corners[i], corners[(i + 1) % nodeCount],
                                                           fc.tolerance, &state.first, &state.second);
                if (code != SEGMENTS_APART) touchedShells.insert({elementNumber, shellPtr});
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
            std::vector<CVertex*> polygon{&first, &second};
            bool onFaceSide = false;
            for (CVertex* p : corners) {
                if (p->Distance(&first) < p->tolerance || p->Distance(&second) < p->tolerance) continue;
                polygon.push_back(p);
                onFaceSide = fc.PolygonDirection(polygon) == facePointSide;
                polygon.pop_back();
                if (onFaceSide) break;
            }
            if (!onFaceSide) continue;
        }

        double rx = first.x + cutNormal2D.x;
        double ry = first.y + cutNormal2D.y;
        double rz = 0.0;
        Convert2DTo3D(rx, ry, rz);
        auto row = std::make_shared<ElemStressPoints>(elementNumber, CVertex(rx, ry, rz, 0.005));
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
    return true;
}

void CCrossSectionStressesPost::ComputeElementLcoalCoor_ZEL() {
    elementNormalAligned.clear();
    if (forceCalculator == nullptr) return;
    CCrossSectionForcesPost& fc = *forceCalculator;

    auto dot = [](const AG_ColVector& p, const AG_ColVector& q) { return p[1] * q[1] + p[2] * q[2] + p[3] * q[3]; };
    // Only the sign of the product is used; tiny vectors are left unscaled rather than blown up.
    auto normalise = [](AG_ColVector& v) {
        const double len = v.Norm();
        if (len >= 1e-05) v = (1.0 / len) * v;
    };

    AG_ColVector n(3);
    n[1] = cutNormal2D.x;
    n[2] = cutNormal2D.y;
    n[3] = cutNormal2D.z;
    const AG_ColVector g = planeToGlobal * n;
    AG_ColVector chord(3);
    chord[1] = cutEnd3D.x - cutStart3D.x;
    chord[2] = cutEnd3D.y - cutStart3D.y;
    chord[3] = cutEnd3D.z - cutStart3D.z;
    AG_ColVector ref = chord.Cross(g);
    normalise(ref);

    for (const auto& row : elementStressPoints) {
        const std::int32_t k = row->GetElemID();
        // Without three known corners there is no element normal to compare; the host's signs stand.
        AG_ColVector corner[3] = {AG_ColVector(3), AG_ColVector(3), AG_ColVector(3)};
        bool known = false;
        auto shellIt = fc.shells.find(k);
        if (shellIt != fc.shells.end() && shellIt->second.nodes.size() >= 3) {
            known = true;
            for (std::size_t i = 0; i < 3 && known; ++i) {
                auto it = fc.vertices.find(shellIt->second.nodes[i]);
                if (it == fc.vertices.end()) {
                    known = false;
                    break;
                }
                double x = it->second.x;
                double y = it->second.y;
                double z = 0.0;
                Convert2DTo3D(x, y, z);
                corner[i][1] = x;
                corner[i][2] = y;
                corner[i][3] = z;
            }
        }
        if (!known) {
            elementNormalAligned.insert({k, true});
            continue;
        }
        AG_ColVector v = (corner[1] - corner[0]).Cross(corner[2] - corner[1]);
        normalise(v);
        elementNormalAligned.insert({k, dot(v, ref) > 0.0});
    }
}

}  // namespace xsect
