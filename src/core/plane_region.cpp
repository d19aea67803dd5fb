#include "core/plane_region.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace xsect::detail {

namespace {

double dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

using XY = std::array<double, 2>;

double cross2(const XY& o, const XY& a, const XY& b) {
    return (a[0] - o[0]) * (b[1] - o[1]) - (a[1] - o[1]) * (b[0] - o[0]);
}

double pointToSegment(const XY& p, const XY& a, const XY& b) {
    const double dx = b[0] - a[0], dy = b[1] - a[1];
    const double ll = dx * dx + dy * dy;
    const double s = ll > 0.0 ? std::clamp(((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / ll, 0.0, 1.0) : 0.0;
    return std::hypot(p[0] - a[0] - s * dx, p[1] - a[1] - s * dy);
}

// The distance between segments a-b and c-d: zero when they cross.
double segmentToSegment(const XY& a, const XY& b, const XY& c, const XY& d) {
    const double d1 = cross2(a, b, c), d2 = cross2(a, b, d), d3 = cross2(c, d, a), d4 = cross2(c, d, b);
    if (((d1 > 0.0 && d2 < 0.0) || (d1 < 0.0 && d2 > 0.0)) && ((d3 > 0.0 && d4 < 0.0) || (d3 < 0.0 && d4 > 0.0)))
        return 0.0;
    return std::min({pointToSegment(a, c, d), pointToSegment(b, c, d), pointToSegment(c, a, b), pointToSegment(d, a, b)});
}

}  // namespace

PlaneRegion::PlaneRegion(const std::vector<CVertex>& corners, const Vec3& t, const Vec3& k)
    : origin_(vectorOf(corners.front())), t_(t), k_(k) {
    for (const CVertex& c : corners) corners_.push_back(InPlane(vectorOf(c)));
}

PlaneRegion::XY PlaneRegion::InPlane(const Vec3& p) const {
    const Vec3 d = difference(p, origin_);
    return {dot(d, t_), dot(d, k_)};
}

// Even-odd: a point on the boundary may fall either way, which SegmentMeets covers by the distance.
bool PlaneRegion::Inside(const XY& p) const {
    bool inside = false;
    for (std::size_t i = 0, n = corners_.size(), j = n - 1; i < n; j = i++) {
        const XY &a = corners_[i], &b = corners_[j];
        if ((a[1] > p[1]) != (b[1] > p[1]) && p[0] < a[0] + (p[1] - a[1]) / (b[1] - a[1]) * (b[0] - a[0]))
            inside = !inside;
    }
    return inside;
}

bool PlaneRegion::SegmentMeets(const XY& a, const XY& b, double tolerance) const {
    if (Inside(a) || Inside(b)) return true;
    for (std::size_t i = 0, n = corners_.size(), j = n - 1; i < n; j = i++)
        if (segmentToSegment(a, b, corners_[j], corners_[i]) <= tolerance) return true;
    return false;
}

bool PlaneRegion::Meets(const AssemblyModel& m, const std::int32_t* nodes, std::size_t count, bool closed,
                        const CuttingPlane& plane) const {
    std::vector<Vec3> points;
    MeetingPoints(m, nodes, count, closed, plane, points);
    if (points.empty()) return false;
    // The two meeting points farthest apart span what the element has in the plane.
    XY a = InPlane(points[0]), b = a;
    double apart = 0.0;
    for (std::size_t i = 0; i < points.size(); ++i)
        for (std::size_t j = i + 1; j < points.size(); ++j) {
            const XY p = InPlane(points[i]), q = InPlane(points[j]);
            const double d = std::hypot(q[0] - p[0], q[1] - p[1]);
            if (d > apart) {
                apart = d;
                a = p;
                b = q;
            }
        }
    return SegmentMeets(a, b, m.tolerance);
}

std::string RegionFault(const std::vector<CVertex>& corners, const Vec3& p, const Vec3& n, double tolerance,
                        const std::string& plane) {
    if (corners.size() < 3)
        return "The region has " + std::to_string(corners.size()) + " points: a polygon needs at least 3.";
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const Vec3 c = vectorOf(corners[i]);
        if (!std::isfinite(c[0]) || !std::isfinite(c[1]) || !std::isfinite(c[2]))
            return "Region point " + std::to_string(i + 1) + " has a coordinate that is not a finite number.";
        const double off = std::fabs(dot(difference(c, p), n));
        if (!(off <= tolerance)) {
            char text[32];
            std::snprintf(text, sizeof text, "%g", off);
            return "Region point " + std::to_string(i + 1) + " lies " + text + " off " + plane +
                   ", beyond the tolerance: the region must lie in it.";
        }
    }
    return {};
}

}  // namespace xsect::detail
