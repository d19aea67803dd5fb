#pragma once

// A uniform grid over the plane holding the bounding boxes of the shells and frames, so that a cut
// visits only the cells its segment passes instead of every element. The index only narrows the
// search: every element it may miss is one the exact tests would reject, and when a query cannot be
// answered safely (a degenerate or non-finite cut, a region covering most of the grid) it says so
// and the caller scans every element, which is always correct.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace xsect::detail {

// An axis-aligned box in plane x, y.
struct Box {
    double x0, y0, x1, y1;
};

class SpatialIndex {
public:
    // Items are numbered 0..boxes.size()-1 by the caller; an empty box (x0 > x1) is never a
    // candidate, and a box that is not finite is a candidate of every query.
    void Build(const std::vector<Box>& boxes);

    // The items whose boxes meet the segment a-b, extended by `extension` past each end and widened
    // by `halfWidth` on every side, appended to out in no particular order, an item possibly more
    // than once. False when the query cannot be answered: out is then left as it was and the caller
    // must consider every item.
    bool Query(double ax, double ay, double bx, double by, double extension, double halfWidth,
               std::vector<std::int32_t>& out) const;

    std::size_t Bytes() const;
    // The item's box as built, for a finer test of a candidate.
    const Box& BoxOf(std::int32_t item) const { return boxes_[static_cast<std::size_t>(item)]; }
    // The largest side of a box filed in the cells, and the largest coordinate of the grid: what
    // the caller's rounding-error bound needs.
    double FiledExtent() const { return filedExtent_; }
    double Magnitude() const { return magnitude_; }

private:
    bool CellRange(double lo, double hi, double origin, std::int32_t count, std::int32_t& first,
                   std::int32_t& last) const;

    bool built_ = false;
    double x0_ = 0.0, y0_ = 0.0, cell_ = 1.0;
    std::int32_t nx_ = 0, ny_ = 0;
    std::vector<std::size_t> cellStart_;   // CSR: items of cell (i, j) at cellItems_[cellStart_[j * nx + i] ..]
    std::vector<std::int32_t> cellItems_;
    std::vector<std::int32_t> always_;     // items too large (or not finite) to file in cells
    std::vector<Box> boxes_;
    double filedExtent_ = 0.0;
    double magnitude_ = 0.0;
};

}  // namespace xsect::detail
