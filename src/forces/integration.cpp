// Turning gathered nodal results into the six resultants of a cut about a moment point.

#include "math/vector3.h"
#include "xsect/forces/cross_section_forces_post.h"

namespace xsect {

using detail::vector3;

void CCrossSectionForcesPost::AddForcesAndMoments(AG_Matrix& T, double dx, double dy, double dz, double fx, double fy,
                                                  double fz, double mx, double my, double mz, double& F1, double& F2,
                                                  double& F3, double& M1, double& M2, double& M3) {
    // The force is carried to the moment point in plane axes, before the rotation into the
    // cut's axes; the lever arm runs from the moment point to the node.
    const AG_ColVector r = vector3(dx, dy, dz);
    const AG_ColVector f = vector3(fx, fy, fz);
    const AG_ColVector m = vector3(mx, my, mz) + r.Cross(f);
    const AG_ColVector fc = T * f;
    const AG_ColVector mc = T * m;
    F1 += fc[1];
    F2 += fc[2];
    F3 += fc[3];
    M1 += mc[1];
    M2 += mc[2];
    M3 += mc[3];
}

void CCrossSectionForcesPost::CalculateResultants(AG_Matrix& T, CVertex* /*P1*/, CVertex* /*P2*/,
                                                  std::map<std::int32_t, CNodeResults>& gathered, double x, double y,
                                                  double z, double& F1, double& F2, double& F3, double& M1,
                                                  double& M2, double& M3) {
    for (const auto& [node, results] : gathered) {
        auto vertex = vertices.find(node);
        if (vertex == vertices.end()) continue;  // the gathering only files nodes it found
        const CVertex& v = vertex->second;
        AddForcesAndMoments(T, v.x - x, v.y - y, v.z - z, results.Fx, results.Fy, results.Fz, results.Mx,
                            results.My, results.Mz, F1, F2, F3, M1, M2, M3);
    }
}

void CCrossSectionForcesPost::CalculateMomentPoint(CVertex* P1, CVertex* P2, double& x, double& y, double& z) {
    x = (P1->x + P2->x) * 0.5;
    y = (P1->y + P2->y) * 0.5;
    z = (P1->z + P2->z) * 0.5;
}

void CCrossSectionForcesPost::ApplyTransformation(double& a, double& b, double& c, double x, double y, double z,
                                                  AG_Matrix& R) {
    const AG_ColVector v = R * vector3(x, y, z);
    a = v[1];
    b = v[2];
    c = v[3];
}

}  // namespace xsect
