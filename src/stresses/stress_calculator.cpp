#include <cmath>
#include <cstddef>
#include <utility>

#include "core/arithmetic.h"
#include "core/plane_model.h"
#include "forces/host_state.h"
#include "stresses/interval_count.h"
#include "xsect/stresses/cross_section_stresses_post.h"

namespace xsect {

namespace {

using Rows = std::vector<std::shared_ptr<ElemStressPoints>>;

// Replaces every sample point by one at the same cut-line coordinate in global coordinates. The
// plane z is dropped: the points are meant to lie in the surface.
void moveRowsToGlobal(Rows& rows, const detail::PlaneFrame& frame) {
    for (auto& row : rows) {
        for (StressPoint& sp : row->GetStressPoints()) {
            const detail::Vec3 g = frame.ToGlobal({sp.GetPoint().x, sp.GetPoint().y, 0.0});
            sp = StressPoint(CVertex(g[0], g[1], g[2], 0.005), sp.Get1DCoor());
        }
    }
}

// Puts n - 1 evenly spaced points between the row's two ends.
void subdivideRow(std::vector<StressPoint>& points, std::int32_t n) {
    const StressPoint last = points.back();
    points.pop_back();
    // Copies: growing the row below may move its points.
    const CVertex p0 = points.front().GetPoint();
    const double s0 = points.front().Get1DCoor();
    const CVertex& p1 = last.GetPoint();
    const double nd = static_cast<double>(n);
    const double stepX = (p1.x - p0.x) / nd;
    const double stepY = (p1.y - p0.y) / nd;
    const double stepZ = (p1.z - p0.z) / nd;
    const double stepS = (last.Get1DCoor() - s0) / nd;
    // An impossible request fails here, on the allocation, before any point is written.
    points.reserve(static_cast<std::size_t>(n) + 1);
    for (std::int32_t i = 1; i <= n - 1; ++i) {
        const double di = static_cast<double>(i);
        const CVertex v(p0.x + stepX * di, p0.y + stepY * di, p0.z + stepZ * di, p0.tolerance);
        points.emplace_back(v, s0 + stepS * di);
    }
    points.push_back(last);
}

}  // namespace

CCrossSectionStressesPost::CCrossSectionStressesPost(CCrossSectionForcesPost* forces)
    : shared(forces != nullptr ? &forces->State() : nullptr) {}

// Member-wise: the copy shares the force calculator and the very rows the host is filling.
CCrossSectionStressesPost::CCrossSectionStressesPost(const CCrossSectionStressesPost& other) = default;

CCrossSectionStressesPost& CCrossSectionStressesPost::operator=(const CCrossSectionStressesPost& other) = default;

CCrossSectionStressesPost::~CCrossSectionStressesPost() = default;

std::int32_t CCrossSectionStressesPost::GetStatus() const {
    if (shared == nullptr) return CS_PLANE_NOT_DEFINED;
    return shared->status;
}

void CCrossSectionStressesPost::ResetStatus() {
    if (shared != nullptr) shared->status = CS_SUCCESS;
}

const ForceResultant& CCrossSectionStressesPost::GetBalanceResultantForce() const { return balanceResultant; }

const ForceResultant& CCrossSectionStressesPost::GetSmoothedStressResultantForce() const { return smoothedResultant; }

std::vector<std::shared_ptr<ElemStressPoints>> CCrossSectionStressesPost::GetCutlineStressInputPoints(
    CVertex cutStart, CVertex cutEnd, CVertex facePoint, std::int32_t divisions, double spacing,
    bool inPlaneCoordinates) {
    // Rows handed out before stay alive through the host's shares; they are just no longer ours.
    elementStressPoints.clear();
    if (shared == nullptr) return {};
    std::int32_t& status = shared->status;
    if (status != CS_SUCCESS) return {};
    if (!shared->PlaneReady()) return {};
    const detail::PlaneModel& m = *shared->model;
    const double tol = m.tolerance;

    cutStart3D = cutStart;
    cutEnd3D = cutEnd;
    facePoint3D = facePoint;
    cutLength = cutStart3D.Distance(&cutEnd3D);

    cutStart2D = cutStart;
    cutEnd2D = cutEnd;
    facePoint2D = facePoint;
    m.frame.ToPlane(facePoint2D);
    status = m.frame.CutIntoPlane(cutStart2D, cutEnd2D, tol);
    if (status != CS_SUCCESS) return {};
    // The third point only picks a side, so one off the surface is projected onto it.
    if (std::fabs(facePoint2D.z) > tol) facePoint2D.z = 0.0;

    const double dx = cutEnd2D.x - cutStart2D.x;
    const double dy = cutEnd2D.y - cutStart2D.y;
    if (std::fabs(dy * (facePoint2D.x - cutStart2D.x) - (facePoint2D.y - cutStart2D.y) * dx) < tol) {
        status = CS_THIRD_POINT_ON_CUT_LINE;
        return {};
    }

    facePointSide = detail::windingOf(cutStart2D, cutEnd2D, facePoint2D);

    cutNormal2D = CVertex(dy / cutLength, -dx / cutLength, 0.0);
    CVertex probe(cutStart2D.x + cutNormal2D.x, cutStart2D.y + cutNormal2D.y, 0.0);
    if (detail::windingOf(cutStart2D, cutEnd2D, probe) != facePointSide) {
        cutNormal2D.x = -cutNormal2D.x;
        cutNormal2D.y = -cutNormal2D.y;
    }

    if (!FindCrossPointsWithShells(&cutStart2D, &cutEnd2D)) {
        status = CS_NO_ELEMENTS_CROSSED;
        elementStressPoints.clear();
        return {};
    }
    if (elementStressPoints.empty()) {
        status = CS_NO_ELEMENTS_CROSSED;
        return {};
    }

    // Every row runs in the cut's direction, so cut-line coordinates increase along it.
    for (auto& row : elementStressPoints) {
        std::vector<StressPoint>& points = row->GetStressPoints();
        if (points.empty()) continue;
        const CVertex& first = points.front().GetPoint();
        const CVertex& last = points.back().GetPoint();
        if ((last.x - first.x) * dx + (last.y - first.y) * dy < 0.0) std::swap(points.front(), points.back());
    }

    if (!inPlaneCoordinates) moveRowsToGlobal(elementStressPoints, m.frame);

    for (auto& row : elementStressPoints) {
        std::vector<StressPoint>& points = row->GetStressPoints();
        if (points.size() != 2) {
            status = CS_NO_ELEMENTS_CROSSED;
            return elementStressPoints;
        }
        const double d = points.front().GetPoint().Distance(&points.back().GetPoint());
        subdivideRow(points, detail::IntervalCount(divisions, spacing, d));
    }

    ComputeElementLcoalCoor_ZEL();
    return elementStressPoints;
}

}  // namespace xsect
