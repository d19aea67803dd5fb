#include "core/spatial_index.h"

#include <algorithm>
#include <cmath>

#include "core/prefetch.h"

namespace xsect::detail {

namespace {

// An item whose box spans more cells than this is checked by every query instead: a frame along a
// whole wall must not fill a thousand cells.
constexpr std::int64_t kMaxCellsPerItem = 64;

bool finite(const Box& b) {
    return std::isfinite(b.x0) && std::isfinite(b.y0) && std::isfinite(b.x1) && std::isfinite(b.y1);
}

bool empty(const Box& b) { return !(b.x0 <= b.x1 && b.y0 <= b.y1); }

}  // namespace

bool SpatialIndex::CellRange(double lo, double hi, double origin, std::int32_t count, std::int32_t& first,
                             std::int32_t& last) const {
    const double f = std::floor((lo - origin) / cell_);
    const double l = std::floor((hi - origin) / cell_);
    if (!(f <= l) || l < 0.0 || f >= count) return false;  // NaN, or wholly outside the grid
    first = f < 0.0 ? 0 : static_cast<std::int32_t>(f);
    last = l >= count ? count - 1 : static_cast<std::int32_t>(l);
    return true;
}

void SpatialIndex::Build(const std::vector<Box>& boxes) {
    *this = SpatialIndex();
    boxes_ = boxes;
    double X0 = HUGE_VAL, Y0 = HUGE_VAL, X1 = -HUGE_VAL, Y1 = -HUGE_VAL;
    std::size_t filed = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const Box& b = boxes[i];
        if (empty(b) && finite(b)) continue;
        if (!finite(b)) {
            always_.push_back(static_cast<std::int32_t>(i));
            continue;
        }
        X0 = std::min(X0, b.x0);
        Y0 = std::min(Y0, b.y0);
        X1 = std::max(X1, b.x1);
        Y1 = std::max(Y1, b.y1);
        ++filed;
    }
    built_ = true;
    if (filed == 0) return;
    const double w = X1 - X0, h = Y1 - Y0;
    if (!std::isfinite(w) || !std::isfinite(h)) {
        // Coordinates so large that the extent overflows: no grid, every query falls back to a scan.
        built_ = false;
        return;
    }

    // About one cell per item, and a little larger than a typical box, so that most boxes lie in
    // two cells a side rather than three; a flat model (all boxes on a line) gets cells along it.
    const double n = static_cast<double>(filed);
    double meanSide = 0.0;
    for (const Box& b : boxes)
        if (!empty(b) && finite(b)) meanSide += std::max(b.x1 - b.x0, b.y1 - b.y0) / n;
    double cell = (w > 0.0 && h > 0.0) ? std::sqrt(w * h / n) : std::max(w, h) / n;
    cell = std::max(cell, 1.02 * meanSide);
    if (!(cell > 0.0) || !std::isfinite(cell)) cell = 1.0;
    auto cellsAlong = [&](double extent) { return std::max(1.0, std::ceil(extent / cell)); };
    while (cellsAlong(w) * cellsAlong(h) > 4.0 * n + 16.0) cell *= 1.5;
    x0_ = X0;
    y0_ = Y0;
    cell_ = cell;
    nx_ = static_cast<std::int32_t>(cellsAlong(w));
    ny_ = static_cast<std::int32_t>(cellsAlong(h));

    // Count, then file, each box in every cell it overlaps.
    std::vector<std::size_t> count(static_cast<std::size_t>(nx_) * static_cast<std::size_t>(ny_) + 1, 0);
    auto cellsOf = [&](const Box& b, std::int32_t& i0, std::int32_t& i1, std::int32_t& j0, std::int32_t& j1) {
        return CellRange(b.x0, b.x1, x0_, nx_, i0, i1) && CellRange(b.y0, b.y1, y0_, ny_, j0, j1);
    };
    std::vector<unsigned char> large(boxes.size(), 0);
    for (std::size_t k = 0; k < boxes.size(); ++k) {
        const Box& b = boxes[k];
        if (empty(b) || !finite(b)) continue;
        std::int32_t i0, i1, j0, j1;
        if (!cellsOf(b, i0, i1, j0, j1)) continue;
        if (static_cast<std::int64_t>(i1 - i0 + 1) * (j1 - j0 + 1) > kMaxCellsPerItem) {
            large[k] = 1;
            always_.push_back(static_cast<std::int32_t>(k));
            continue;
        }
        for (std::int32_t j = j0; j <= j1; ++j)
            for (std::int32_t i = i0; i <= i1; ++i) ++count[static_cast<std::size_t>(j) * nx_ + i + 1];
        filedExtent_ = std::max(filedExtent_, std::max(b.x1 - b.x0, b.y1 - b.y0));
    }
    magnitude_ = std::max({std::fabs(X0), std::fabs(Y0), std::fabs(X1), std::fabs(Y1)});
    for (std::size_t c = 1; c < count.size(); ++c) count[c] += count[c - 1];
    cellStart_ = count;
    cellItems_.resize(count.back());
    for (std::size_t k = 0; k < boxes.size(); ++k) {
        const Box& b = boxes[k];
        if (large[k] || empty(b) || !finite(b)) continue;
        std::int32_t i0, i1, j0, j1;
        if (!cellsOf(b, i0, i1, j0, j1)) continue;
        for (std::int32_t j = j0; j <= j1; ++j)
            for (std::int32_t i = i0; i <= i1; ++i)
                cellItems_[count[static_cast<std::size_t>(j) * nx_ + i]++] = static_cast<std::int32_t>(k);
    }
    std::sort(always_.begin(), always_.end());
}

bool SpatialIndex::Query(double ax, double ay, double bx, double by, double extension, double halfWidth,
                         std::vector<std::int32_t>& out) const {
    if (!built_) return false;
    const double dx = bx - ax, dy = by - ay;
    const double length = std::hypot(dx, dy);
    if (!(length > 0.0) || !std::isfinite(length) || !std::isfinite(extension) || !std::isfinite(halfWidth))
        return false;
    const double ux = dx / length, uy = dy / length;
    const double px = ax - extension * ux, py = ay - extension * uy;
    const double qx = bx + extension * ux, qy = by + extension * uy;
    if (!std::isfinite(px) || !std::isfinite(py) || !std::isfinite(qx) || !std::isfinite(qy)) return false;

    out.insert(out.end(), always_.begin(), always_.end());
    if (nx_ == 0) return true;

    // Rounding in the arithmetic below is covered by a margin far above it.
    const double scale = std::max({std::fabs(px), std::fabs(py), std::fabs(qx), std::fabs(qy), std::fabs(x0_),
                                   std::fabs(y0_), std::fabs(x0_ + nx_ * cell_), std::fabs(y0_ + ny_ * cell_)});
    const double pad = halfWidth + 1e-9 * cell_ + 1e-12 * scale;

    std::int32_t i0, i1;
    if (!CellRange(std::min(px, qx) - pad, std::max(px, qx) + pad, x0_, nx_, i0, i1)) return true;
    const double sx = qx - px, sy = qy - py;
    // The cells are listed first and their items copied after: each cell's items are found through
    // its start, and asking for all the starts, then all the items, before copying any lets a query
    // at a new place wait for the memory once instead of cell by cell.
    std::vector<std::size_t> cells;
    for (std::int32_t i = i0; i <= i1; ++i) {
        // The part of the segment within reach of this column of cells, then its y extent.
        const double xl = x0_ + i * cell_ - pad, xr = x0_ + (i + 1) * cell_ + pad;
        double ylo, yhi;
        if (std::fabs(sx) <= 1e-300) {
            ylo = std::min(py, qy);
            yhi = std::max(py, qy);
        } else {
            double t0 = (xl - px) / sx, t1 = (xr - px) / sx;
            if (t0 > t1) std::swap(t0, t1);
            t0 = std::max(t0, 0.0);
            t1 = std::min(t1, 1.0);
            if (t0 > t1) continue;
            const double ya = py + t0 * sy, yb = py + t1 * sy;
            ylo = std::min(ya, yb);
            yhi = std::max(ya, yb);
        }
        std::int32_t j0, j1;
        if (!CellRange(ylo - pad, yhi + pad, y0_, ny_, j0, j1)) continue;
        for (std::int32_t j = j0; j <= j1; ++j) cells.push_back(static_cast<std::size_t>(j) * nx_ + i);
    }
    for (const std::size_t c : cells) PrefetchLine(&cellStart_[c]);
    std::size_t items = 0;
    for (const std::size_t c : cells) {
        PrefetchLine(&cellItems_[cellStart_[c]]);
        items += cellStart_[c + 1] - cellStart_[c];
    }
    out.reserve(out.size() + items);
    for (const std::size_t c : cells)
        out.insert(out.end(), cellItems_.begin() + static_cast<std::ptrdiff_t>(cellStart_[c]),
                   cellItems_.begin() + static_cast<std::ptrdiff_t>(cellStart_[c + 1]));
    return true;
}

std::size_t SpatialIndex::Bytes() const {
    return cellStart_.capacity() * sizeof(std::size_t) + cellItems_.capacity() * sizeof(std::int32_t) +
           always_.capacity() * sizeof(std::int32_t) + boxes_.capacity() * sizeof(Box);
}

}  // namespace xsect::detail
