#include "core/plane_frame.h"

#include <cmath>

namespace xsect::detail {

bool planeFrameFrom(const CVertex& p1, const CVertex& p2, const CVertex& p3, double tolerance, Mat3& out) {
    const Vec3 d12 = difference(p2, p1);
    const Vec3 d13 = difference(p3, p1);

    // Strict "below": a length exactly equal to the tolerance still makes a frame. The
    // negated form also refuses NaN lengths.
    const double d = norm(d12);
    if (!(d >= tolerance)) return false;
    // Divided, not multiplied by 1 / d: the axis of (3, 4, 0) is then exactly (0.6, 0.8, 0).
    const Vec3 e1{d12[0] / d, d12[1] / d, d12[2] / d};

    Vec3 n = cross(d12, d13);
    const double nn = norm(n);
    if (!(nn >= tolerance)) return false;  // twice the triangle's area, compared unscaled
    n = scaled(n, 1.0 / nn);

    Vec3 e2 = cross(n, e1);
    const double ne2 = norm(e2);
    if (!(ne2 >= tolerance)) return false;
    e2 = scaled(e2, 1.0 / ne2);

    out = {e1, e2, n};
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
