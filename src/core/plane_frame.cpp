#include "core/plane_frame.h"
#include "math/vector3.h"

#include <cmath>

namespace xsect::detail {

bool planeFrameFrom(const CVertex& p1, const CVertex& p2, const CVertex& p3, double tolerance, AG_Matrix& out) {
    const AG_ColVector d12 = vector3(p2.x - p1.x, p2.y - p1.y, p2.z - p1.z);
    const AG_ColVector d13 = vector3(p3.x - p1.x, p3.y - p1.y, p3.z - p1.z);

    // Strict "below": a length exactly equal to the tolerance still makes a frame. The
    // negated form also refuses NaN lengths.
    const double d = d12.Norm();
    if (!(d >= tolerance)) return false;
    // Divided, not multiplied by 1 / d: the axis of (3, 4, 0) is then exactly (0.6, 0.8, 0).
    const AG_ColVector e1 = vector3(d12[1] / d, d12[2] / d, d12[3] / d);

    AG_ColVector n = d12.Cross(d13);
    const double nn = n.Norm();
    if (!(nn >= tolerance)) return false;  // twice the triangle's area, compared unscaled
    n = (1.0 / nn) * n;

    AG_ColVector e2 = n.Cross(e1);
    const double ne2 = e2.Norm();
    if (!(ne2 >= tolerance)) return false;
    e2 = (1.0 / ne2) * e2;

    out.ReDimension(3, 3, 0.0);
    for (std::int32_t j = 1; j <= 3; ++j) {
        out(1, j) = e1[j];
        out(2, j) = e2[j];
        out(3, j) = n[j];
    }
    return true;
}

bool pointsCollinear(const CVertex& p1, const CVertex& p2, const CVertex& p3, double tolerance) {
    const double cx = p1.y * (p2.z - p3.z) + p2.y * (p3.z - p1.z) + p3.y * (p1.z - p2.z);
    if (!(std::fabs(cx) < tolerance)) return false;
    const double cy = p1.z * (p2.x - p3.x) + p2.z * (p3.x - p1.x) + p3.z * (p1.x - p2.x);
    if (!(std::fabs(cy) < tolerance)) return false;
    const double cz = p1.x * (p2.y - p3.y) + p2.x * (p3.y - p1.y) + p3.x * (p1.y - p2.y);
    return std::fabs(cz) < tolerance;
}

}  // namespace xsect::detail
