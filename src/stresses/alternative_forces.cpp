// The section resultant that the smoothing balances against: the force calculator's search,
// gathering and integration, driven by the stress calculator's geometry (mid-cut moment point, the
// third point's side and axes, shells only, nodes on the cut left out, static cases only).

#include <cmath>
#include <cstdint>

#include "core/crossing.h"
#include "core/gathering.h"
#include "core/plane_frame.h"
#include "core/plane_model.h"
#include "forces/host_state.h"
#include "xsect/stresses/cross_section_stresses_post.h"

namespace xsect {

namespace {

// A node on the cut line belongs to neither side. The node's own tolerance is compared with twice
// the signed area itself, not with a distance, so the band narrows on a long cut. Off the line, the
// node counts when its winding with the cut is the third point's.
struct FaceSide {
    const std::vector<double>& tolerances;  // each node's own
    const CVertex& p;
    const CVertex& q;
    POLYGON_DIRECTION wanted;
    bool operator()(const detail::Point& v, std::int32_t node) const {
        const double c = (v.y - p.y) * (q.x - p.x) - (q.y - p.y) * (v.x - p.x);
        if (std::fabs(c) < tolerances[static_cast<std::size_t>(node)]) return false;
        return detail::windingOf(p, q, v) == wanted;
    }
};

}  // namespace

// Result: 1 when the outputs were written, 0 when the call was refused on a standing status or
// the load case is missing or not static (outputs untouched, status untouched), -1 on a failure
// (with the reason in the status, except for cut axes that cannot be built) and without a
// force calculator. The only caller in the library reads the outputs and the status, not this.
std::int32_t CCrossSectionStressesPost::GetForcesOnSection_Alternative(std::int32_t loadCase, CVertex* P1,
                                                                       CVertex* P2, double& F1, double& F2,
                                                                       double& F3, double& M1, double& M2,
                                                                       double& M3) {
    if (shared == nullptr || P1 == nullptr || P2 == nullptr) return -1;
    std::int32_t& status = shared->status;
    if (status != CS_SUCCESS) return 0;
    // A plane that could not be set up stays refused even after the host has reset the status.
    if (!shared->PlaneReady()) return -1;
    const detail::PlaneModel& m = *shared->model;
    const double tol = m.tolerance;

    status = m.frame.CutIntoPlane(*P1, *P2, tol);
    if (status != CS_SUCCESS) return -1;

    const detail::Vec3 momentAt{(P1->x + P2->x) * 0.5, (P1->y + P2->y) * 0.5, (P1->z + P2->z) * 0.5};
    status = std::fabs(momentAt[2]) > tol ? CS_MOMENT_POINT_OFF_PLANE : CS_SUCCESS;
    if (status != CS_SUCCESS) return -1;

    const std::int32_t caseIndex = m.CaseIndex(loadCase);
    const detail::CrossedElements crossed = detail::FindCrossedElements(m, *P1, *P2, false, caseIndex);
    if (crossed.Empty()) {
        status = CS_NO_ELEMENTS_CROSSED;
        return -1;
    }

    // The axes come from the third point, so axis 2 points to the side whose nodes are gathered.
    detail::Mat3 T{};
    if (!detail::planeFrameFrom(*P1, *P2, facePoint2D, tol, T)) return -1;
    shared->sectionAxes = m.frame.AxesToGlobal(T);

    if (caseIndex == detail::kMissing || m.cases[static_cast<std::size_t>(caseIndex)].caseType != LOAD_CASE_STATIC)
        return 0;

    const std::vector<detail::SideSlot> side =
        detail::SelectSide(m, crossed, FaceSide{m.nodeTolerances, *P1, *P2, facePointSide});
    const detail::Six s = detail::IntegrateStatic(m, caseIndex, side, T, momentAt);
    F1 = -1.0 * s[0];
    F2 = -1.0 * s[1];
    F3 = -1.0 * s[2];
    M1 = -1.0 * s[3];
    M2 = -1.0 * s[4];
    M3 = -1.0 * s[5];
    return 1;
}

}  // namespace xsect
