// The section resultant that the smoothing balances against: the force calculator's gathering
// and integration, driven by the stress calculator's geometry (mid-cut moment point, the third
// point's side and axes, shells only, nodes on the cut left out, static cases only).

#include <cmath>
#include <cstdint>
#include <map>
#include <vector>

#include "xsect/stresses/cross_section_stresses_post.h"

namespace xsect {

// Result: 1 when the outputs were written, 0 when the call was refused on a standing status or
// the load case is missing or not static (outputs untouched, status untouched), -1 on a failure
// (with the reason in the status, except for cut axes that cannot be built) and without a
// force calculator. The only caller in the library reads the outputs and the status, not this.
std::int32_t CCrossSectionStressesPost::GetForcesOnSection_Alternative(std::int32_t loadCase, CVertex* P1,
                                                                       CVertex* P2, double& F1, double& F2,
                                                                       double& F3, double& M1, double& M2,
                                                                       double& M3) {
    CCrossSectionForcesPost* fc = forceCalculator;
    if (fc == nullptr || P1 == nullptr || P2 == nullptr) return -1;
    if (fc->currentStatus != CS_SUCCESS) return 0;
    // A plane that could not be set up stays refused even after the host has reset the status.
    if (!fc->PlaneReady()) return -1;

    const double tol = fc->tolerance;
    fc->ConvertTo2D(&fc->planeMatrix, &fc->planeOrigin, &P1->x, &P1->y, &P1->z);
    fc->ConvertTo2D(&fc->planeMatrix, &fc->planeOrigin, &P2->x, &P2->y, &P2->z);
    if (std::fabs(P1->z) > tol || std::fabs(P2->z) > tol) {
        fc->currentStatus = CS_CUT_LINE_OFF_PLANE;
        return -1;
    }

    const double mx = (P1->x + P2->x) * 0.5;
    const double my = (P1->y + P2->y) * 0.5;
    const double mz = (P1->z + P2->z) * 0.5;
    fc->currentStatus = std::fabs(mz) > tol ? CS_MOMENT_POINT_OFF_PLANE : CS_SUCCESS;
    if (fc->currentStatus != CS_SUCCESS) return -1;

    std::map<std::int32_t, CShellElement*> crossedShells;
    std::map<std::int32_t, std::vector<CEdge>> crossedEdges;
    fc->FindShellsCrossedWithLine(P1, P2, crossedShells, crossedEdges);
    if (crossedShells.empty()) {
        fc->currentStatus = CS_NO_ELEMENTS_CROSSED;
        return -1;
    }

    // The axes come from the third point, so axis 2 points to the side whose nodes are gathered.
    CVertex third = facePoint2D;
    AG_Matrix T(3, 3, 0.0);
    if (!fc->ComputeTransformationMatrix(P1, P2, &third, T)) return -1;
    // Row i of the stored map is M^T (row i of T): the cut's axes in global coordinates.
    fc->sectionMatrix = T * fc->planeMatrix;

    const CLoadCaseInfo* info = fc->GetLoadCasePtr(loadCase);
    if (info == nullptr || info->caseType != LOAD_CASE_STATIC) return 0;

    std::map<std::int32_t, CNodeResults> gathered;
    std::vector<CVertex*> polygon{P1, P2};
    for (auto& [number, shell] : crossedShells) {
        (void)number;
        const auto caseResults = shell->staticResults.find(loadCase);
        if (caseResults == shell->staticResults.end()) continue;
        for (const std::int32_t node : shell->nodes) {
            const auto vertex = fc->vertices.find(node);
            if (vertex == fc->vertices.end()) continue;
            const auto results = caseResults->second.find(node);
            if (results == caseResults->second.end()) continue;
            TryNode_Alternative(facePointSide, node, &vertex->second, &results->second, polygon, gathered);
        }
    }

    double s1 = 0.0, s2 = 0.0, s3 = 0.0, s4 = 0.0, s5 = 0.0, s6 = 0.0;
    for (const auto& [node, r] : gathered) {
        const CVertex& v = fc->vertices.find(node)->second;
        fc->AddForcesAndMoments(T, v.x - mx, v.y - my, v.z - mz, r.Fx, r.Fy, r.Fz, r.Mx, r.My, r.Mz, s1, s2, s3, s4,
                                s5, s6);
    }

    F1 = -1.0 * s1;
    F2 = -1.0 * s2;
    F3 = -1.0 * s3;
    M1 = -1.0 * s4;
    M2 = -1.0 * s5;
    M3 = -1.0 * s6;
    return 1;
}

void CCrossSectionStressesPost::TryNode_Alternative(POLYGON_DIRECTION wanted, std::int32_t node, CVertex* vertex,
                                                    CNodeResults* results, std::vector<CVertex*>& polygon,
                                                    std::map<std::int32_t, CNodeResults>& gathered) {
    if (forceCalculator == nullptr || vertex == nullptr || results == nullptr || polygon.size() < 2) return;
    const CVertex& a = *polygon[0];
    const CVertex& b = *polygon[1];

    // A node on the cut line belongs to neither side. The node's own tolerance is compared with
    // twice the signed area itself, not with a distance, so the band narrows on a long cut.
    const double c = (vertex->y - a.y) * (b.x - a.x) - (b.y - a.y) * (vertex->x - a.x);
    if (std::fabs(c) < vertex->tolerance) return;

    polygon.push_back(vertex);
    if (forceCalculator->PolygonDirection(polygon) == wanted) forceCalculator->AddResults(results, node, gathered);
    polygon.pop_back();
}

bool CCrossSectionStressesPost::AdjustCrossSectionOrientation_Alternative(CROSS_SECTION_CUT_TYPE type,
                                                                          const CVertex* a,
                                                                          const CVertex* b) const {
    if (a == nullptr || b == nullptr) return false;
    switch (type) {
        case CUT_TYPE_VERTICAL:
            return a->y > b->y;
        case CUT_TYPE_HORIZONTAL:
            return a->x > b->x;
        case CUT_TYPE_INCLINED:
            return a->y > b->y;
    }
    return false;
}

}  // namespace xsect
