#pragma once

#include <array>
#include <cmath>

#include <xsect/model/vertex.h>

namespace xsect::cli {

struct Vec3 {
    double x = 0.0, y = 0.0, z = 0.0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(double s, Vec3 a) { return {s * a.x, s * a.y, s * a.z}; }
inline double Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline double Norm(Vec3 a) { return std::sqrt(Dot(a, a)); }
inline Vec3 Unit(Vec3 a) {
    double n = Norm(a);
    return n > 0.0 ? (1.0 / n) * a : a;
}
inline Vec3 Of(const CVertex& v) { return {v.x, v.y, v.z}; }

// A symmetric tensor stored as xx, yy, zz, xy, yz, zx (the model file's order).
inline Vec3 Apply(const std::array<double, 6>& t, Vec3 v) {
    return {t[0] * v.x + t[3] * v.y + t[5] * v.z, t[3] * v.x + t[1] * v.y + t[4] * v.z,
            t[5] * v.x + t[4] * v.y + t[2] * v.z};
}
inline double Form(const std::array<double, 6>& t, Vec3 a, Vec3 b) { return Dot(a, Apply(t, b)); }

}  // namespace xsect::cli
