#include "xsect/forces/cross_section_forces_post.h"

#include "core/plane_model.h"

namespace xsect {

CCrossSectionForcesPost::CCrossSectionForcesPost(std::map<std::int32_t, CVertex>& nodes,
                                                 std::map<std::int32_t, CShellElement>& shellMap,
                                                 std::map<std::int32_t, CFrameElement>& frameMap,
                                                 std::map<std::int32_t, CLoadCaseInfo>& loadCaseMap, double tol,
                                                 std::int32_t planeNode1, std::int32_t planeNode2,
                                                 std::int32_t planeNode3)
    : model(detail::BuildPlaneModel(nodes, shellMap, frameMap, loadCaseMap, tol, planeNode1, planeNode2,
                                    planeNode3)) {
    currentStatus = model->planeStatus;
}

// The model never changes after construction, so a copy shares it and is still independent of its
// source: only the status and the last cut's axes are each object's own.
CCrossSectionForcesPost::CCrossSectionForcesPost(const CCrossSectionForcesPost& other) = default;
CCrossSectionForcesPost& CCrossSectionForcesPost::operator=(const CCrossSectionForcesPost& other) = default;
CCrossSectionForcesPost::~CCrossSectionForcesPost() = default;

std::int32_t CCrossSectionForcesPost::GetCurrentStatus() const { return currentStatus; }

void CCrossSectionForcesPost::ResetCurrentStatus() { currentStatus = CS_SUCCESS; }

void CCrossSectionForcesPost::GetOrigin(CVertex& point) const {
    point.x = model->planeOrigin[1];
    point.y = model->planeOrigin[2];
    point.z = model->planeOrigin[3];
}

std::int32_t CCrossSectionForcesPost::GetOriginNodeNo() const { return model->originNodeNo; }

void CCrossSectionForcesPost::ConvertTo2D(double* x, double* y, double* z) { model->ToPlane(*x, *y, *z); }

void CCrossSectionForcesPost::ConvertTo3D(double* x, double* y, double* z) { model->ToGlobal(*x, *y, *z); }

void CCrossSectionForcesPost::GetPlaneMap(CVertex& xAxis, CVertex& yAxis, CVertex& normal) const {
    CVertex* rows[3] = {&xAxis, &yAxis, &normal};
    for (std::int32_t i = 1; i <= 3; ++i) {
        rows[i - 1]->x = model->planeMatrix(i, 1);
        rows[i - 1]->y = model->planeMatrix(i, 2);
        rows[i - 1]->z = model->planeMatrix(i, 3);
    }
}

void CCrossSectionForcesPost::GetCrossSectionMap(CVertex& axis1, CVertex& axis2, CVertex& axis3) const {
    CVertex* rows[3] = {&axis1, &axis2, &axis3};
    for (std::int32_t i = 1; i <= 3; ++i) {
        rows[i - 1]->x = sectionMatrix(i, 1);
        rows[i - 1]->y = sectionMatrix(i, 2);
        rows[i - 1]->z = sectionMatrix(i, 3);
    }
}

const std::shared_ptr<const detail::PlaneModel>& CCrossSectionForcesPost::Model() const { return model; }

std::int32_t& CCrossSectionForcesPost::Status() { return currentStatus; }

AG_Matrix& CCrossSectionForcesPost::SectionMatrix() { return sectionMatrix; }

bool CCrossSectionForcesPost::PlaneReady() {
    if (model->planeStatus == CS_SUCCESS) return true;
    currentStatus = model->planeStatus;
    return false;
}

}  // namespace xsect
