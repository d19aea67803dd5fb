#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace xsect::detail {

// v + 0.5 truncated towards zero, as an interval count. d / spacing can be huge (a tiny
// spacing), infinite or NaN (a NaN coordinate), and turning such a double into an integer is
// undefined; so values beyond the int32 range are clamped to its ends and NaN becomes 0.
// Neither changes a count a real crossing can need, and the caller's "at least 2" rule still
// applies afterwards.
inline std::int32_t HalfUp(double v) {
    const double rounded = v + 0.5;
    if (std::isnan(rounded)) return 0;
    constexpr double kMax = static_cast<double>(std::numeric_limits<std::int32_t>::max());
    constexpr double kMin = static_cast<double>(std::numeric_limits<std::int32_t>::min());
    if (rounded >= kMax) return std::numeric_limits<std::int32_t>::max();
    if (rounded <= kMin) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(rounded);
}

// No element needs more sample intervals than this; a larger request (a huge divisions, or a
// spacing that is tiny against the crossing) would only exhaust the host's memory.
constexpr std::int32_t kMaxIntervalsPerRow = 100000;

// Number of intervals a crossing of length d is cut into: divisions and spacing each ask for a
// count, the finer request wins, and a count asked for is never below 2; with neither, 4. Capped
// at kMaxIntervalsPerRow.
inline std::int32_t IntervalCount(std::int32_t divisions, double spacing, double d) {
    std::int32_t n = 4;
    if (divisions >= 1) {
        n = divisions;
        if (spacing > 0.0) {
            const std::int32_t bySpacing = HalfUp(d / spacing);
            if (bySpacing > n) n = bySpacing;
        }
    } else if (spacing > 0.0) {
        n = HalfUp(d / spacing);
    } else {
        return 4;
    }
    if (n < 2) return 2;
    return n > kMaxIntervalsPerRow ? kMaxIntervalsPerRow : n;
}

}  // namespace xsect::detail
