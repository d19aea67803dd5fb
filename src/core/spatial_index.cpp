#include "core/spatial_index.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "core/prefetch.h"

namespace xsect::detail {

namespace {

// An item whose box spans more level-0 cells than this is checked by every query instead: a frame
// along a whole wall must not widen every query to its length.
constexpr std::int64_t kMaxCellsPerItem = 64;

bool finite(const Box& b) {
    return std::isfinite(b.x0) && std::isfinite(b.y0) && std::isfinite(b.x1) && std::isfinite(b.y1);
}

bool empty(const Box& b) { return !(b.x0 <= b.x1 && b.y0 <= b.y1); }

// v in single precision, rounded down (or up): a box so rounded holds the box it came from.
float below(double v) {
    constexpr double kMax = std::numeric_limits<float>::max();
    if (std::isnan(v)) return std::numeric_limits<float>::quiet_NaN();
    if (v < -kMax) return -HUGE_VALF;
    if (v > kMax) return std::numeric_limits<float>::max();
    const auto f = static_cast<float>(v);
    return static_cast<double>(f) > v ? std::nextafter(f, -HUGE_VALF) : f;
}
float above(double v) { return -below(-v); }

// The distance along a Hilbert curve through a 2^32 x 2^32 grid to cell (x, y). Neighbours on the
// curve are neighbours in the plane, and a stretch of it fills a compact patch: a line in any
// direction meets few stretches.
std::uint64_t hilbertDistance(std::uint32_t x, std::uint32_t y) {
    std::uint64_t d = 0;
    for (std::uint32_t s = 1u << 31; s > 0; s >>= 1) {
        const std::uint32_t rx = (x & s) != 0, ry = (y & s) != 0;
        d += std::uint64_t{s} * s * ((3 * rx) ^ ry);
        if (ry == 0) {  // turns the quadrant so that the curve inside it starts where it enters
            if (rx == 1) {
                x = ~x;
                y = ~y;
            }
            std::swap(x, y);
        }
    }
    return d;
}

// Each tile's rank along the curve, tiles numbered row by row.
std::vector<std::uint32_t> tileRanks(std::int32_t tilesX, std::int32_t tilesY) {
    std::vector<std::pair<std::uint64_t, std::uint32_t>> keys;
    keys.reserve(static_cast<std::size_t>(tilesX) * static_cast<std::size_t>(tilesY));
    for (std::int32_t j = 0; j < tilesY; ++j)
        for (std::int32_t i = 0; i < tilesX; ++i)
            keys.emplace_back(hilbertDistance(static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(j)),
                              static_cast<std::uint32_t>(keys.size()));
    std::sort(keys.begin(), keys.end());
    std::vector<std::uint32_t> rank(keys.size());
    for (std::size_t r = 0; r < keys.size(); ++r) rank[keys[r].second] = static_cast<std::uint32_t>(r);
    return rank;
}

}  // namespace

bool SpatialIndex::CellRange(const Level& level, double lo, double hi, double origin, std::int32_t count,
                             std::int32_t& first, std::int32_t& last) const {
    const double f = std::floor((lo - origin) / level.cell);
    const double l = std::floor((hi - origin) / level.cell);
    if (!(f <= l) || l < 0.0 || f >= count) return false;  // NaN, or wholly outside the grid
    first = f < 0.0 ? 0 : static_cast<std::int32_t>(f);
    last = l >= count ? count - 1 : static_cast<std::int32_t>(l);
    return true;
}

void SpatialIndex::Build(const std::vector<Box>& boxes) {
    *this = SpatialIndex();
    boxes_.reserve(boxes.size());
    for (const Box& b : boxes) boxes_.push_back({below(b.x0), below(b.y0), above(b.x1), above(b.y1)});
    double X0 = HUGE_VAL, Y0 = HUGE_VAL, X1 = -HUGE_VAL, Y1 = -HUGE_VAL;
    std::size_t filed = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const Box& b = boxes[i];
        if (empty(b) && finite(b)) {
            never_.push_back(static_cast<std::int32_t>(i));
            continue;
        }
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

    // About one cell per item, and a little larger than a typical box, so that most boxes fit the
    // finest level; a flat model (all boxes on a line) gets cells along it.
    const double n = static_cast<double>(filed);
    double meanSide = 0.0;
    for (const Box& b : boxes)
        if (!empty(b) && finite(b)) meanSide += std::max(b.x1 - b.x0, b.y1 - b.y0) / n;
    double cell = (w > 0.0 && h > 0.0) ? std::sqrt(w * h / n) : std::max(w, h) / n;
    cell = std::max(cell, 1.02 * meanSide);
    if (!(cell > 0.0) || !std::isfinite(cell)) cell = 1.0;
    auto cellsAlong = [&](double extent, double side) { return std::max(1.0, std::ceil(extent / side)); };
    while (cellsAlong(w, cell) * cellsAlong(h, cell) > 4.0 * n + 16.0) cell *= 1.5;
    x0_ = X0;
    y0_ = Y0;
    magnitude_ = std::max({std::fabs(X0), std::fabs(Y0), std::fabs(X1), std::fabs(Y1)});

    // Each box goes to the finest level whose cells are at least its size; one spanning too many of
    // the finest cells goes to every query instead.
    Level finest;
    finest.cell = cell;
    finest.nx = static_cast<std::int32_t>(cellsAlong(w, cell));
    finest.ny = static_cast<std::int32_t>(cellsAlong(h, cell));
    std::vector<std::int8_t> levelOf(boxes.size(), -1);
    std::int32_t top = 0;
    for (std::size_t k = 0; k < boxes.size(); ++k) {
        const Box& b = boxes[k];
        if (empty(b) || !finite(b)) continue;
        std::int32_t i0, i1, j0, j1;
        if (!CellRange(finest, b.x0, b.x1, x0_, finest.nx, i0, i1) ||
            !CellRange(finest, b.y0, b.y1, y0_, finest.ny, j0, j1))
            continue;
        if (static_cast<std::int64_t>(i1 - i0 + 1) * (j1 - j0 + 1) > kMaxCellsPerItem) {
            always_.push_back(static_cast<std::int32_t>(k));
            continue;
        }
        const double side = std::max(b.x1 - b.x0, b.y1 - b.y0);
        filedExtent_ = std::max(filedExtent_, side);
        std::int32_t level = 0;
        for (double c = cell; side > c; c *= 2) ++level;
        levelOf[k] = static_cast<std::int8_t>(level);
        top = std::max(top, level);
    }
    std::sort(always_.begin(), always_.end());

    levels_.resize(static_cast<std::size_t>(top) + 1);
    for (std::size_t l = 0; l < levels_.size(); ++l) {
        Level& level = levels_[l];
        level.cell = std::ldexp(cell, static_cast<int>(l));
        level.nx = static_cast<std::int32_t>(cellsAlong(w, level.cell));
        level.ny = static_cast<std::int32_t>(cellsAlong(h, level.cell));
    }
    auto ownerOf = [&](const Level& level, const Box& b) {
        auto at = [](double v, double origin, double side, std::int32_t count) {
            const double f = std::floor((v - origin) / side);
            return f <= 0.0 ? 0 : f >= count ? count - 1 : static_cast<std::int32_t>(f);
        };
        return level.CellAt(at(b.x0, x0_, level.cell, level.nx), at(b.y0, y0_, level.cell, level.ny));
    };

    // Count, then file, each box in its level's cell, the levels one after another in order_.
    std::vector<std::size_t> first(levels_.size() + 1, 0);
    for (std::size_t k = 0; k < boxes.size(); ++k)
        if (levelOf[k] >= 0) ++levels_[static_cast<std::size_t>(levelOf[k])].filed;
    for (std::size_t l = 0; l < levels_.size(); ++l) {
        Level& level = levels_[l];
        first[l + 1] = first[l] + level.filed;
        if (level.filed == 0) continue;
        level.tilesX = (level.nx + 3) / 4;
        level.tileRank = tileRanks(level.tilesX, (level.ny + 3) / 4);
        level.start.assign(level.tileRank.size() * 16 + 1, 0);
    }
    for (std::size_t k = 0; k < boxes.size(); ++k) {
        if (levelOf[k] < 0) continue;
        Level& level = levels_[static_cast<std::size_t>(levelOf[k])];
        ++level.start[ownerOf(level, boxes[k]) + 1];
        level.reachX = std::max(level.reachX, boxes[k].x1 - boxes[k].x0);
        level.reachY = std::max(level.reachY, boxes[k].y1 - boxes[k].y0);
    }
    for (std::size_t l = 0; l < levels_.size(); ++l) {
        LargeVector<std::uint32_t>& start = levels_[l].start;
        if (start.empty()) continue;
        start[0] = static_cast<std::uint32_t>(first[l]);
        for (std::size_t c = 1; c < start.size(); ++c) start[c] += start[c - 1];
    }
    order_.resize(first.back());
    std::vector<LargeVector<std::uint32_t>> next(levels_.size());
    for (std::size_t l = 0; l < levels_.size(); ++l) next[l] = levels_[l].start;
    for (std::size_t k = 0; k < boxes.size(); ++k) {
        if (levelOf[k] < 0) continue;
        const auto l = static_cast<std::size_t>(levelOf[k]);
        order_[next[l][ownerOf(levels_[l], boxes[k])]++] = static_cast<std::int32_t>(k);
    }
}

std::vector<std::int32_t> SpatialIndex::ItemsInOrder() const {
    std::vector<std::int32_t> items(order_.begin(), order_.end());
    items.insert(items.end(), always_.begin(), always_.end());
    items.insert(items.end(), never_.begin(), never_.end());
    return items;
}

void SpatialIndex::Renumber(const std::vector<std::int32_t>& newNumber) {
    auto renumber = [&](auto& items) {
        for (std::int32_t& item : items) item = newNumber[static_cast<std::size_t>(item)];
    };
    renumber(order_);
    renumber(always_);
    renumber(never_);
    numberedInOrder_ = true;
    for (std::size_t k = 0; k < order_.size() && numberedInOrder_; ++k)
        numberedInOrder_ = order_[k] == static_cast<std::int32_t>(k);
    std::sort(always_.begin(), always_.end());
    LargeVector<LooseBox> boxes(boxes_.size());
    for (std::size_t i = 0; i < boxes_.size(); ++i) boxes[static_cast<std::size_t>(newNumber[i])] = boxes_[i];
    boxes_ = std::move(boxes);
}

void SpatialIndex::QueryLevel(const Level& level, double px, double py, double qx, double qy, double pad,
                              std::vector<std::size_t>& cells) const {
    // A box filed in a cell starts in it and reaches at most reachX, reachY beyond its start: the
    // cells to visit are those within reach of the segment on their lower-left side. They are taken
    // strip by strip across the segment's shorter extent (columns of a steep segment, rows of a flat
    // one), so that each strip holds many cells and the strips' arithmetic is done a few times.
    struct Axis {
        double p, q, origin, reach;
        std::int32_t count;
    };
    const Axis x{px, qx, x0_, level.reachX, level.nx}, y{py, qy, y0_, level.reachY, level.ny};
    const bool byRows = std::fabs(qx - px) > std::fabs(qy - py);
    const Axis& strip = byRows ? y : x;  // the axis the strips are numbered along
    const Axis& along = byRows ? x : y;  // the axis the cells of a strip run along
    std::int32_t s0, s1;
    if (!CellRange(level, std::min(strip.p, strip.q) - pad - strip.reach, std::max(strip.p, strip.q) + pad,
                   strip.origin, strip.count, s0, s1))
        return;
    const double ds = strip.q - strip.p, da = along.q - along.p;
    for (std::int32_t s = s0; s <= s1; ++s) {
        // The part of the segment within reach of the boxes starting in this strip, then its extent
        // along the strip.
        const double lo = strip.origin + s * level.cell - pad;
        const double hi = strip.origin + (s + 1) * level.cell + strip.reach + pad;
        double alo, ahi;
        if (std::fabs(ds) <= 1e-300) {
            alo = std::min(along.p, along.q);
            ahi = std::max(along.p, along.q);
        } else {
            double t0 = (lo - strip.p) / ds, t1 = (hi - strip.p) / ds;
            if (t0 > t1) std::swap(t0, t1);
            t0 = std::max(t0, 0.0);
            t1 = std::min(t1, 1.0);
            if (t0 > t1) continue;
            const double a0 = along.p + t0 * da, a1 = along.p + t1 * da;
            alo = std::min(a0, a1);
            ahi = std::max(a0, a1);
        }
        std::int32_t c0, c1;
        if (!CellRange(level, alo - pad - along.reach, ahi + pad, along.origin, along.count, c0, c1)) continue;
        if (byRows)
            for (std::int32_t c = c0; c <= c1; ++c) cells.push_back(level.CellAt(c, s));
        else
            for (std::int32_t c = c0; c <= c1; ++c) cells.push_back(level.CellAt(s, c));
    }
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

    // Level by level, the cells are listed first and their items copied after: asking for all the
    // cells' starts, then all their items, before reading any lets a query at a new place wait for
    // the memory a few times instead of cell by cell.
    thread_local std::vector<std::size_t> cells;
    for (const Level& level : levels_) {
        if (level.filed == 0) continue;
        // Rounding in the arithmetic is covered by a margin far above it.
        const double scale =
            std::max({std::fabs(px), std::fabs(py), std::fabs(qx), std::fabs(qy), std::fabs(x0_), std::fabs(y0_),
                      std::fabs(x0_ + level.nx * level.cell), std::fabs(y0_ + level.ny * level.cell)});
        const double pad = halfWidth + 1e-9 * level.cell + 1e-12 * scale;
        cells.clear();
        QueryLevel(level, px, py, qx, qy, pad, cells);
        const std::uint32_t* start = level.start.data();
        for (const std::size_t c : cells) PrefetchLine(start + c);
        std::size_t items = 0;
        for (const std::size_t c : cells) {
            if (!numberedInOrder_) PrefetchLine(&order_[start[c]]);
            items += start[c + 1] - start[c];
        }
        std::size_t n = out.size();
        out.resize(n + items);
        // Items numbered in the index's order are their own positions: nothing more to read.
        if (numberedInOrder_)
            for (const std::size_t c : cells)
                for (std::uint32_t k = start[c]; k < start[c + 1]; ++k) out[n++] = static_cast<std::int32_t>(k);
        else
            for (const std::size_t c : cells)
                for (std::uint32_t k = start[c]; k < start[c + 1]; ++k) out[n++] = order_[k];
    }
    return true;
}

std::size_t SpatialIndex::Bytes() const {
    std::size_t bytes = order_.capacity() * sizeof(std::int32_t) + always_.capacity() * sizeof(std::int32_t) +
                        never_.capacity() * sizeof(std::int32_t) + boxes_.capacity() * sizeof(LooseBox) +
                        levels_.capacity() * sizeof(Level);
    for (const Level& level : levels_)
        bytes += (level.tileRank.capacity() + level.start.capacity()) * sizeof(std::uint32_t);
    return bytes;
}

}  // namespace xsect::detail
