#include "xsect/model/vertex.h"

#include "core/arithmetic.h"

namespace xsect {

CVertex::CVertex(double tol) : tolerance(tol) {}

CVertex::CVertex(double x_, double y_, double z_, double tol, bool /*flag*/) : x(x_), y(y_), z(z_), tolerance(tol) {}

double CVertex::Distance(const CVertex* other) const { return detail::distance(*this, *other); }

// Written as "distance < tolerance" so that a NaN anywhere makes the points unequal.
std::int32_t CVertex::operator==(const CVertex& other) const { return Distance(&other) < tolerance ? 1 : 0; }

std::int32_t CVertex::operator!=(const CVertex& other) const { return (*this == other) ? 0 : 1; }

bool CVertex::operator<(const CVertex& other) const { return LessThen(&other, tolerance); }

bool CVertex::operator>(const CVertex& other) const { return GreaterThen(&other, tolerance); }

bool CVertex::LessThen(const CVertex* other, double t) const {
    const CVertex& b = *other;
    if (b.x - t > x) return true;
    if (x > b.x + t) return false;
    if (b.y - t > y) return true;
    if (y > b.y + t) return false;
    return b.z - t > z;
}

bool CVertex::GreaterThen(const CVertex* other, double t) const {
    const CVertex& b = *other;
    if (b.x - t > x) return false;
    if (x > b.x + t) return true;
    if (b.y - t > y) return false;
    if (y > b.y + t) return true;
    if (b.z - t > z) return false;
    return z > b.z + t;
}

}  // namespace xsect
