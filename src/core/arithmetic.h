#pragma once

// The library's one small vector type and its 3x3 arithmetic. Each sum starts from 0.0 and adds its
// products left to right, as the matrix layer (AG_Matrix) does, so a product has the same bits
// whichever of the two computes it (0.0 + -0.0 is +0.0: the start from 0.0 is not a formality).

#include <array>
#include <cmath>

#include "xsect/forces/geometry_types.h"
#include "xsect/model/vertex.h"

namespace xsect::detail {

using Vec3 = std::array<double, 3>;
using Mat3 = std::array<Vec3, 3>;  // row by row

// A model's node: the host's point without its tolerance and number, so that a cache line holds
// more of them.
struct Point {
    double x = 0.0, y = 0.0, z = 0.0;
};

// A point's or vertex's coordinates as a vector.
template <class P>
Vec3 vectorOf(const P& p) {
    return {p.x, p.y, p.z};
}

// The distance from p to q (points or vertices), as CVertex::Distance takes it.
template <class P, class Q>
double distance(const P& p, const Q& q) {
    const double dx = q.x - p.x;
    const double dy = q.y - p.y;
    const double dz = q.z - p.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

inline Vec3 multiply(const Mat3& M, const Vec3& v) {
    Vec3 r{};
    for (int i = 0; i < 3; ++i) {
        double s = 0.0;
        s += M[i][0] * v[0];
        s += M[i][1] * v[1];
        s += M[i][2] * v[2];
        r[i] = s;
    }
    return r;
}

// M^T v: v's components weight M's rows. With M's rows a frame's axes, v goes from the frame's
// axes back to the axes the rows are written in.
inline Vec3 transposedTimes(const Mat3& M, const Vec3& v) {
    Vec3 r{};
    for (int j = 0; j < 3; ++j) {
        double s = 0.0;
        s += M[0][j] * v[0];
        s += M[1][j] * v[1];
        s += M[2][j] * v[2];
        r[j] = s;
    }
    return r;
}

inline Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

inline double norm(const Vec3& v) {
    double s = 0.0;
    s += v[0] * v[0];
    s += v[1] * v[1];
    s += v[2] * v[2];
    return std::sqrt(s);
}

inline Vec3 difference(const CVertex& to, const CVertex& from) { return {to.x - from.x, to.y - from.y, to.z - from.z}; }
inline Vec3 difference(const Vec3& to, const Vec3& from) { return {to[0] - from[0], to[1] - from[1], to[2] - from[2]}; }
inline Vec3 scaled(const Vec3& v, double s) { return {v[0] * s, v[1] * s, v[2] * s}; }

// The six resultants of a cut, forces then moments.
using Six = std::array<double, 6>;

// Adds one node's force f and moment m (plane axes), carried to the moment point by the lever arm
// r (node minus moment point) and rotated by T into the cut's axes, to the six sums. The moment is
// transferred in plane axes, before the rotation.
inline void addForcesAndMoments(const Mat3& T, const Vec3& r, const double* fm, Six& sums) {
    const Vec3 f{fm[0], fm[1], fm[2]};
    const Vec3 c = cross(r, f);
    const Vec3 m{fm[3] + c[0], fm[4] + c[1], fm[5] + c[2]};
    const Vec3 fc = multiply(T, f);
    const Vec3 mc = multiply(T, m);
    sums[0] += fc[0];
    sums[1] += fc[1];
    sums[2] += fc[2];
    sums[3] += mc[0];
    sums[4] += mc[1];
    sums[5] += mc[2];
}

// Winding of the triangle (p, q, v) by its signed area, summed edge by edge from p; zero area is
// clockwise, with no tolerance. For v this is the side of the directed line p -> q: counter-clockwise
// exactly when v lies strictly to its left. The first edge's term depends on p and q alone, so a
// line that sorts many points works it out once; each point then repeats the remaining operations
// in the same order on the same operands, and gets the same bits as windingOf.
class DirectedLine {
public:
    DirectedLine(const CVertex& p, const CVertex& q) : px_(p.x), py_(p.y), qx_(q.x), qy_(q.y) {
        start_ += p.x * q.y - p.y * q.x;
    }
    template <class P>
    POLYGON_DIRECTION windingOf(const P& v) const {
        double sum = start_;
        sum += qx_ * v.y - qy_ * v.x;
        sum += v.x * py_ - v.y * px_;
        // Halved before the test, as the area: a sum of the least subnormal halves to zero.
        const double area = 0.5 * sum;
        return area <= 0.0 ? POLYGON_CLOCKWISE : POLYGON_COUNTERCLOCKWISE;
    }

private:
    double px_, py_, qx_, qy_;
    double start_ = 0.0;  // from 0.0, as every sum here: -0.0 from the first term becomes +0.0
};

template <class P>
POLYGON_DIRECTION windingOf(const CVertex& p, const CVertex& q, const P& v) {
    return DirectedLine(p, q).windingOf(v);
}

}  // namespace xsect::detail
