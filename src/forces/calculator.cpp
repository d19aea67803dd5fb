#include "xsect/forces/cross_section_forces_post.h"

#include "forces/host_state.h"

namespace xsect {

CCrossSectionForcesPost::CCrossSectionForcesPost(std::map<std::int32_t, CVertex>& nodes,
                                                 std::map<std::int32_t, CShellElement>& shellMap,
                                                 std::map<std::int32_t, CFrameElement>& frameMap,
                                                 std::map<std::int32_t, CLoadCaseInfo>& loadCaseMap, double tol,
                                                 std::int32_t planeNode1, std::int32_t planeNode2,
                                                 std::int32_t planeNode3)
    : state(std::make_unique<detail::HostState>()) {
    state->model = detail::BuildPlaneModel(nodes, shellMap, frameMap, loadCaseMap, tol, planeNode1, planeNode2,
                                           planeNode3);
    state->status = state->model->planeStatus;
}

// The model never changes after construction, so a copy shares it and is still independent of its
// source: only the status and the last cut's axes are each object's own. Assignment writes into the
// state in place, so that a stress calculator built over this object sees the new one.
CCrossSectionForcesPost::CCrossSectionForcesPost(const CCrossSectionForcesPost& other)
    : state(std::make_unique<detail::HostState>(*other.state)) {}

CCrossSectionForcesPost& CCrossSectionForcesPost::operator=(const CCrossSectionForcesPost& other) {
    *state = *other.state;
    return *this;
}

CCrossSectionForcesPost::~CCrossSectionForcesPost() = default;

std::int32_t CCrossSectionForcesPost::GetCurrentStatus() const { return state->status; }

void CCrossSectionForcesPost::ResetCurrentStatus() { state->status = CS_SUCCESS; }

void CCrossSectionForcesPost::GetOrigin(CVertex& point) const {
    const detail::Vec3& o = state->model->frame.offset;
    point.x = o[0];
    point.y = o[1];
    point.z = o[2];
}

std::int32_t CCrossSectionForcesPost::GetOriginNodeNo() const { return state->model->originNodeNo; }

void CCrossSectionForcesPost::ConvertTo2D(double* x, double* y, double* z) {
    const detail::Vec3 p = state->model->frame.ToPlane({*x, *y, *z});
    *x = p[0];
    *y = p[1];
    *z = p[2];
}

void CCrossSectionForcesPost::ConvertTo3D(double* x, double* y, double* z) {
    const detail::Vec3 p = state->model->frame.ToGlobal({*x, *y, *z});
    *x = p[0];
    *y = p[1];
    *z = p[2];
}

namespace {

void writeRows(const detail::Mat3& rows, CVertex& first, CVertex& second, CVertex& third) {
    CVertex* out[3] = {&first, &second, &third};
    for (std::size_t i = 0; i < 3; ++i) {
        out[i]->x = rows[i][0];
        out[i]->y = rows[i][1];
        out[i]->z = rows[i][2];
    }
}

}  // namespace

void CCrossSectionForcesPost::GetPlaneMap(CVertex& xAxis, CVertex& yAxis, CVertex& normal) const {
    writeRows(state->model->frame.axes, xAxis, yAxis, normal);
}

void CCrossSectionForcesPost::GetCrossSectionMap(CVertex& axis1, CVertex& axis2, CVertex& axis3) const {
    writeRows(state->sectionAxes, axis1, axis2, axis3);
}

const std::shared_ptr<const detail::PlaneModel>& CCrossSectionForcesPost::Model() const { return state->model; }

detail::HostState& CCrossSectionForcesPost::State() { return *state; }

}  // namespace xsect
