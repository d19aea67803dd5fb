#include <cmath>

#include "xsect/stresses/cross_section_stresses_post.h"

namespace xsect {

// The off-line distance is compared with the cut start's own tolerance, as the host gave it.
bool CCrossSectionStressesPost::Convert2DTo1D(double& x, const double& y) const {
    const double sx = x - cutStart2D.x;
    const double sy = y - cutStart2D.y;
    const double ex = cutEnd2D.x - cutStart2D.x;
    const double ey = cutEnd2D.y - cutStart2D.y;
    if (std::fabs(sx * ey - sy * ex) / cutLength > cutStart3D.tolerance) return false;
    const double len = std::sqrt(sx * sx + sy * sy);
    x = (sx * ex + sy * ey < 0.0) ? -len : len;
    return true;
}

void CCrossSectionStressesPost::Convert1DTo2D(double& s, double& y) const {
    const double t = s / cutLength;
    s = cutStart2D.x + (cutEnd2D.x - cutStart2D.x) * t;
    y = cutStart2D.y + (cutEnd2D.y - cutStart2D.y) * t;
}

}  // namespace xsect
