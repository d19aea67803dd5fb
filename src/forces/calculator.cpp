#include "xsect/forces/cross_section_forces_post.h"

namespace xsect {

CCrossSectionForcesPost::CCrossSectionForcesPost(std::map<std::int32_t, CVertex>& nodes,
                                                 std::map<std::int32_t, CShellElement>& shellMap,
                                                 std::map<std::int32_t, CFrameElement>& frameMap,
                                                 std::map<std::int32_t, CLoadCaseInfo>& loadCaseMap, double tol,
                                                 std::int32_t planeNode1, std::int32_t planeNode2,
                                                 std::int32_t planeNode3)
    : vertices(nodes), shells(shellMap), frames(frameMap), loadCases(loadCaseMap), tolerance(tol) {
    if (planeNode1 > 0 && planeNode2 > 0 && planeNode3 > 0)
        currentStatus = SetNodesToSetOutwardNormal(planeNode1, planeNode2, planeNode3);
    else
        currentStatus = Map3DTo2D();
    planeSetupStatus = currentStatus;
}

CCrossSectionForcesPost::CCrossSectionForcesPost(const CCrossSectionForcesPost& other) = default;

// Member-wise; the maps and matrices copy deeply and survive assignment to themselves.
CCrossSectionForcesPost& CCrossSectionForcesPost::operator=(const CCrossSectionForcesPost& other) = default;

CCrossSectionForcesPost::~CCrossSectionForcesPost() = default;

std::int32_t CCrossSectionForcesPost::GetCurrentStatus() const { return currentStatus; }

void CCrossSectionForcesPost::ResetCurrentStatus() { currentStatus = CS_SUCCESS; }

void CCrossSectionForcesPost::GetOrigin(CVertex& point) const {
    point.x = planeOrigin[1];
    point.y = planeOrigin[2];
    point.z = planeOrigin[3];
}

std::int32_t CCrossSectionForcesPost::GetOriginNodeNo() const { return originNodeNo; }

bool CCrossSectionForcesPost::PlaneReady() {
    if (planeSetupStatus == CS_SUCCESS) return true;
    currentStatus = planeSetupStatus;
    return false;
}

CLoadCaseInfo* CCrossSectionForcesPost::GetLoadCasePtr(std::int32_t loadCase) {
    auto it = loadCases.find(loadCase);
    return it == loadCases.end() ? nullptr : &it->second;
}

}  // namespace xsect
