#pragma once

// A grid over the plane holding the bounding boxes of the shells and frames, so that a cut visits
// only the cells its segment passes instead of every element. Each box is filed once, in the cell
// of its lower-left corner, on the finest of a few grid levels whose cells are no smaller than the
// box; a query reaches back by the largest box filed on a level. The cells are kept in the order
// of a curve through the plane, and the items cell by cell in that order, so that the items a cut
// meets lie close together in memory whichever way it runs.
//
// The index only narrows the search: every element it may miss is one the exact tests would
// reject, and when a query cannot be answered safely (a degenerate or non-finite cut, a grid that
// could not be built) it says so and the caller scans every element, which is always correct.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/large_array.h"


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

    // Every item once, in the order the index keeps them: the filed ones cell by cell, then those
    // offered to every query, then those never offered. A caller that numbers its items in this
    // order finds the items of a query close together in its own arrays.
    std::vector<std::int32_t> ItemsInOrder() const;
    // Gives the items new numbers (newNumber[item]), a permutation of the old ones.
    void Renumber(const std::vector<std::int32_t>& newNumber);

    // The items whose boxes meet the segment a-b, extended by `extension` past each end and widened
    // by `halfWidth` on every side, appended to out once each in the order the index keeps them
    // (and possibly a few whose boxes do not). False when the query cannot be answered: out is then
    // left as it was and the caller must consider every item.
    bool Query(double ax, double ay, double bx, double by, double extension, double halfWidth,
               std::vector<std::int32_t>& out) const;

    std::size_t Bytes() const;
    // The item's box as built, or a little larger, for a finer test of a candidate; kept in single
    // precision, rounded outwards, so that twice as many share a cache line.
    Box BoxOf(std::int32_t item) const {
        const LooseBox& b = boxes_[static_cast<std::size_t>(item)];
        return {b.x0, b.y0, b.x1, b.y1};
    }
    const void* BoxAddress(std::int32_t item) const { return &boxes_[static_cast<std::size_t>(item)]; }
    // The largest side of a box filed in the cells, and the largest coordinate of the grid: what
    // the caller's rounding-error bound needs.
    double FiledExtent() const { return filedExtent_; }
    double Magnitude() const { return magnitude_; }

private:
    struct LooseBox {
        float x0, y0, x1, y1;
    };

    // One grid level: cells of one size, in tiles of 4 x 4 cells ordered along a Hilbert curve, each
    // cell's items at order_[start[c] .. start[c + 1]).
    struct Level {
        double cell = 1.0;
        std::int32_t nx = 0, ny = 0, tilesX = 0;
        double reachX = 0.0, reachY = 0.0;  // the widest and the tallest box filed here
        std::size_t filed = 0;
        std::vector<std::uint32_t> tileRank;
        LargeVector<std::uint32_t> start;
        std::size_t CellAt(std::int32_t i, std::int32_t j) const {
            const std::size_t tile = tileRank[static_cast<std::size_t>(j >> 2) * static_cast<std::size_t>(tilesX) +
                                              static_cast<std::size_t>(i >> 2)];
            return tile * 16 + static_cast<std::size_t>((j & 3) << 2 | (i & 3));
        }
    };

    bool CellRange(const Level& level, double lo, double hi, double origin, std::int32_t count, std::int32_t& first,
                   std::int32_t& last) const;
    void QueryLevel(const Level& level, double px, double py, double qx, double qy, double pad,
                    std::vector<std::size_t>& cells) const;

    bool built_ = false;
    double x0_ = 0.0, y0_ = 0.0;
    std::vector<Level> levels_;
    LargeVector<std::int32_t> order_;   // the filed items, cell by cell, level by level
    bool numberedInOrder_ = false;      // order_[k] == k: the caller numbered the items in this order
    std::vector<std::int32_t> always_;  // items too large (or not finite) to file in cells
    std::vector<std::int32_t> never_;   // items with empty boxes
    LargeVector<LooseBox> boxes_;
    double filedExtent_ = 0.0;
    double magnitude_ = 0.0;
};

}  // namespace xsect::detail
