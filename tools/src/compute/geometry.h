#pragma once

// Points and directions are the library's CVertex. The public API has no arithmetic on it, so the
// few operations the program needs are here, with plane coordinates by the calculator's own
// conversion and frame.

#include <cmath>

#include <xsect/xsect.h>

namespace xsect::cli {

inline CVertex operator+(const CVertex& a, const CVertex& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline CVertex operator-(const CVertex& a, const CVertex& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline CVertex operator*(double s, const CVertex& a) { return {s * a.x, s * a.y, s * a.z}; }
inline double Dot(const CVertex& a, const CVertex& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline CVertex Cross(const CVertex& a, const CVertex& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Norm(const CVertex& a) { return std::sqrt(Dot(a, a)); }
inline CVertex Unit(const CVertex& a) {
    const double n = Norm(a);
    return n > 0.0 ? (1.0 / n) * a : a;
}

// A global point in plane coordinates (z the distance off the plane).
inline CVertex InPlane(CCrossSectionForcesPost& calc, CVertex global) {
    calc.ConvertTo2D(&global.x, &global.y, &global.z);
    return global;
}

// A global direction in the plane's axes (z along its normal).
inline CVertex PlaneDirection(const CCrossSectionForcesPost& calc, const CVertex& global) {
    CVertex x, y, normal;
    calc.GetPlaneMap(x, y, normal);
    return {Dot(global, x), Dot(global, y), Dot(global, normal)};
}

}  // namespace xsect::cli
