// Setting up the plane of the shell surface and converting between global and plane coordinates.

#include <cmath>

#include "forces/plane_frame.h"
#include "xsect/forces/cross_section_forces_post.h"

namespace xsect {

bool CCrossSectionForcesPost::ComputeTransformationMatrix(CVertex* p1, CVertex* p2, CVertex* p3, AG_Matrix& out) {
    return detail::planeFrameFrom(*p1, *p2, *p3, tolerance, out);
}

bool CCrossSectionForcesPost::CheckPointsColinear(CVertex* p1, CVertex* p2, CVertex* p3) {
    return detail::pointsCollinear(*p1, *p2, *p3, tolerance);
}

CROSS_SECTION_MESSAGES CCrossSectionForcesPost::SetNodesToSetOutwardNormal(std::int32_t node1, std::int32_t node2,
                                                                           std::int32_t node3) {
    auto i1 = vertices.find(node1);
    auto i2 = vertices.find(node2);
    auto i3 = vertices.find(node3);
    if (i1 == vertices.end() || i2 == vertices.end() || i3 == vertices.end()) return CS_PLANE_NOT_DEFINED;
    if (CheckPointsColinear(&i1->second, &i2->second, &i3->second)) return CS_PLANE_NOT_DEFINED;
    if (!ComputeTransformationMatrix(&i1->second, &i2->second, &i3->second, planeMatrix)) return CS_PLANE_NOT_DEFINED;
    return SetOriginAndConvertVertices(node1);
}

CROSS_SECTION_MESSAGES CCrossSectionForcesPost::Map3DTo2D() {
    if (shells.empty()) return CS_NO_SHELLS;
    const std::int32_t origin = FindOrigin();
    if (origin == -1) return CS_PLANE_NOT_DEFINED;
    const CShellElement* shell = FindShell(origin);
    if (shell == nullptr) return CS_PLANE_NOT_DEFINED;

    const std::size_t n = shell->nodes.size();
    if (n < 1) return CS_PLANE_NOT_DEFINED;
    auto po = vertices.find(origin);
    // The origin with the next two nodes of its shell, in the shell's own cyclic order.
    for (std::size_t i = 0; i < n; ++i) {
        if (shell->nodes[i] != origin) continue;
        auto pa = vertices.find(shell->nodes[(i + 1) % n]);
        auto pb = vertices.find(shell->nodes[(i + 2) % n]);
        if (pa == vertices.end() || pb == vertices.end()) return CS_PLANE_NOT_DEFINED;
        if (CheckPointsColinear(&po->second, &pa->second, &pb->second)) continue;
        if (!ComputeTransformationMatrix(&po->second, &pa->second, &pb->second, planeMatrix))
            return CS_PLANE_NOT_DEFINED;
        return SetOriginAndConvertVertices(origin);
    }
    return CS_PLANE_NOT_DEFINED;
}

// The origin node fixes the plane's offset; then every vertex, frame nodes included, is taken
// into plane coordinates and must land within the tolerance of the plane.
CROSS_SECTION_MESSAGES CCrossSectionForcesPost::SetOriginAndConvertVertices(std::int32_t originNode) {
    const CVertex& p = vertices.find(originNode)->second;
    planeOrigin.ReDimension(3, 1, 0.0);
    planeOrigin[1] = p.x;
    planeOrigin[2] = p.y;
    planeOrigin[3] = p.z;
    originPoint = planeOrigin;
    planeOrigin = planeMatrix * planeOrigin;
    originNodeNo = originNode;

    for (auto& [number, v] : vertices) {
        (void)number;
        ConvertTo2D(&planeMatrix, &planeOrigin, &v.x, &v.y, &v.z);
        // Written so that a coordinate that is not a number also fails the set-up.
        if (!(std::fabs(v.z) <= tolerance)) return CS_PLANE_NOT_DEFINED;
    }
    return CS_SUCCESS;
}

std::int32_t CCrossSectionForcesPost::FindOrigin() {
    CVertex corner(1e12, 1e12, 1e12);
    for (const auto& [number, v] : vertices) {
        (void)number;
        if (v.x < corner.x) corner.x = v.x;
        if (v.y < corner.y) corner.y = v.y;
        if (v.z < corner.z) corner.z = v.z;
    }
    if (vertices.empty()) return -1;

    // Within a tolerance of the best distance so far the later (higher) key wins, and the best
    // distance follows each accepted vertex.
    double best = 1e12;
    std::int32_t result = -1;
    for (const auto& [number, v] : vertices) {
        const double d = v.Distance(&corner);
        if (d < best + tolerance) {
            best = d;
            result = number;
        }
    }
    return result;
}

CShellElement* CCrossSectionForcesPost::FindShell(std::int32_t node) {
    for (auto& [number, shell] : shells) {
        (void)number;
        for (std::int32_t k : shell.nodes)
            if (k == node) return &shell;
    }
    return nullptr;
}

void CCrossSectionForcesPost::ConvertTo2D(AG_Matrix* M, AG_ColVector* o, double* x, double* y, double* z) {
    AG_ColVector p(3);
    p[1] = *x;
    p[2] = *y;
    p[3] = *z;
    const AG_ColVector q = (*M) * p - *o;
    *x = q[1];
    *y = q[2];
    *z = q[3];
}

void CCrossSectionForcesPost::ConvertTo3D(AG_Matrix* M, AG_ColVector* o, double* x, double* y, double* z) {
    AG_ColVector p(3);
    p[1] = *x;
    p[2] = *y;
    p[3] = *z;
    const AG_ColVector q = M->T() * (p + *o);
    *x = q[1];
    *y = q[2];
    *z = q[3];
}

void CCrossSectionForcesPost::ConvertTo2D(double* x, double* y, double* z) {
    ConvertTo2D(&planeMatrix, &planeOrigin, x, y, z);
}

void CCrossSectionForcesPost::ConvertTo3D(double* x, double* y, double* z) {
    ConvertTo3D(&planeMatrix, &planeOrigin, x, y, z);
}

void CCrossSectionForcesPost::GetPlaneMap(CVertex& xAxis, CVertex& yAxis, CVertex& normal) const {
    CVertex* rows[3] = {&xAxis, &yAxis, &normal};
    for (std::int32_t i = 1; i <= 3; ++i) {
        rows[i - 1]->x = planeMatrix(i, 1);
        rows[i - 1]->y = planeMatrix(i, 2);
        rows[i - 1]->z = planeMatrix(i, 3);
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

}  // namespace xsect
