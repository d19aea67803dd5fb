#pragma once

#include <cstdint>

#include "xsect/export.h"

namespace xsect {

// A point with its own comparison tolerance. The calculators convert points the host hands
// them in place (global to plane coordinates), so a host that wants to keep a point passes a copy.
class XSECT_API CVertex {
public:
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double tolerance = 0.005;  // distance below which two points count as equal
    std::int32_t id = -1;      // -1 when the point has none

    CVertex() = default;
    explicit CVertex(double tol);
    // The flag is accepted for compatibility and not stored.
    CVertex(double x, double y, double z, double tol = 0.005, bool flag = false);

    // Euclidean distance to another point.
    double Distance(const CVertex* other) const;

    // 1 when the distance is strictly below this point's tolerance, else 0 (also for NaN).
    std::int32_t operator==(const CVertex& other) const;
    std::int32_t operator!=(const CVertex& other) const;

    // Tolerant lexicographic order on (x, y, z) with this point's tolerance: coordinates
    // no more than the tolerance apart count as equal in that coordinate.
    bool operator<(const CVertex& other) const;
    bool operator>(const CVertex& other) const;

    // The same two orders with the tolerance given as argument.
    bool LessThen(const CVertex* other, double tol) const;
    bool GreaterThen(const CVertex* other, double tol) const;
};

}  // namespace xsect
