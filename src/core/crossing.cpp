#include "core/crossing.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>

#include "core/prefetch.h"
#include "core/radix_sort.h"
#include "core/segments.h"

namespace xsect::detail {

namespace {

std::atomic<bool> fullScan{false};

std::vector<std::int32_t> allItems(std::size_t n) {
    std::vector<std::int32_t> items(n);
    for (std::size_t i = 0; i < n; ++i) items[i] = static_cast<std::int32_t>(i);
    return items;
}

// Below this bound on the rounding of the exact tests (t and u of a crossing, each off by about
// 4e-15 S |s| / tolerance for coordinates up to S and edges up to |s|), a crossing the exact tests
// accept lies within a quarter of the tolerance of where the index looks; above it, the index could
// miss one, so every element is tested instead.
bool indexIsSafe(const PlaneModel& m, const CVertex& a, const CVertex& b) {
    const double magnitude = std::max({m.index.Magnitude(), std::fabs(a.x), std::fabs(a.y), std::fabs(b.x), std::fabs(b.y)});
    const double bound = 1.5e-13 * magnitude * a.Distance(&b) * m.index.FiledExtent();
    return bound <= m.tolerance * m.tolerance;
}

// The index's items near the cut: shells first, then frames. False when the index cannot answer.
bool nearCut(const PlaneModel& m, const CVertex& a, const CVertex& b, double extension, double halfWidth,
             std::vector<std::int32_t>& items) {
    if (UsingFullScan() || !indexIsSafe(m, a, b)) return false;
    return m.index.Query(a.x, a.y, b.x, b.y, extension, halfWidth, items);
}

// Does the segment p-q meet a box grown by margin? Boxes beside the segment's own box are rejected
// at once; of the rest, those wholly on one side of its line. Only ever too generous: the line test
// gives way by far more than its rounding, and the exact tests decide.
class SegmentBand {
public:
    SegmentBand(double px, double py, double qx, double qy, double margin, double magnitude)
        : px_(px), py_(py), dx_(qx - px), dy_(qy - py), margin_(margin) {
        xlo_ = std::min(px, qx), xhi_ = std::max(px, qx), ylo_ = std::min(py, qy), yhi_ = std::max(py, qy);
        const double scale = std::max({magnitude, std::fabs(px), std::fabs(py), std::fabs(qx), std::fabs(qy)}) + margin;
        slack_ = 1e-12 * (std::fabs(dx_) + std::fabs(dy_)) * scale;
    }
    bool Meets(const Box& box) const {
        const double x0 = box.x0 - margin_, x1 = box.x1 + margin_, y0 = box.y0 - margin_, y1 = box.y1 + margin_;
        if (x0 > xhi_ || x1 < xlo_ || y0 > yhi_ || y1 < ylo_) return false;
        // The corners' signed areas against the line: dx (y - py) - dy (x - px), least and greatest.
        const double a = dx_ * (y0 - py_), b = dx_ * (y1 - py_);
        const double c = dy_ * (x0 - px_), d = dy_ * (x1 - px_);
        const double lowest = std::min(a, b) - std::max(c, d), highest = std::max(a, b) - std::min(c, d);
        return !(lowest > slack_ || highest < -slack_);  // a box that is not finite is never rejected
    }

private:
    double px_, py_, dx_, dy_, margin_;
    double xlo_, xhi_, ylo_, yhi_, slack_;
};

}  // namespace

void UseFullScan(bool on) { fullScan.store(on, std::memory_order_relaxed); }
bool UsingFullScan() { return fullScan.load(std::memory_order_relaxed); }

namespace {

// Does the cut cross an edge of the shell at this place?
bool shellAtPlaceCrossed(const PlaneModel& m, std::size_t place, const CutSegment& cut) {
    const std::size_t n = m.CornerCountAt(place);
    const std::int32_t* c = m.CornersAt(place);
    for (std::size_t i = 0; i < n; ++i) {
        const Point& p = m.vertices[static_cast<std::size_t>(c[i])];
        const Point& q = m.vertices[static_cast<std::size_t>(c[(i + 1) % n])];
        if (cut.Crosses(p, q, m.tolerance)) return true;
    }
    return false;
}

bool shellCrossed(const PlaneModel& m, std::size_t shell, const CutSegment& cut) {
    // A shell that names a node the model lacks is left out whole, as a frame is: half a polygon
    // would give a false set of crossed edges. (The index never offers one: its box is empty.)
    return m.shellUsable[shell] && shellAtPlaceCrossed(m, m.PlaceOf(shell), cut);
}

bool frameCrossed(const PlaneModel& m, std::size_t frame, const CutSegment& cut) {
    if (!m.FrameUsable(frame)) return false;
    const auto& ends = m.frameEnds[frame];
    return cut.Crosses(m.vertices[static_cast<std::size_t>(ends[0])], m.vertices[static_cast<std::size_t>(ends[1])],
                       m.tolerance);
}

}  // namespace

CrossedElements FindCrossedElementsByScan(const PlaneModel& m, const CVertex& a, const CVertex& b, bool frames) {
    const CutSegment cut(a, b);
    CrossedElements crossed;
    for (std::size_t s = 0; s < m.ShellCount(); ++s)
        if (shellCrossed(m, s, cut)) {
            crossed.shells.push_back(static_cast<std::int32_t>(s));
            crossed.shellPlaces.push_back(static_cast<std::int32_t>(m.PlaceOf(s)));
        }
    if (frames)
        for (std::size_t f = 0; f < m.FrameCount(); ++f)
            if (frameCrossed(m, f, cut)) crossed.frames.push_back(static_cast<std::int32_t>(f));
    return crossed;
}

namespace {

// The index's candidates for crossings of the cut a-b or of a cut moved sideways from it by at most
// `apart`, once each in the order the index keeps them (so near each other in memory), and the band
// their boxes must meet: most candidates are only near it. Null when the index cannot answer.
std::optional<SegmentBand> crossingCandidates(const PlaneModel& m, const CVertex& a, const CVertex& b, double apart,
                                              std::vector<std::int32_t>& items) {
    // A crossing lies on the cut within tolerance squared of its parameter range past either end.
    const double length = a.Distance(&b);
    const double extension = m.tolerance * m.tolerance * length + m.tolerance;
    if (!nearCut(m, a, b, extension, m.tolerance + apart, items)) return std::nullopt;
    const double ux = (b.x - a.x) / length, uy = (b.y - a.y) / length;
    const double px = a.x - extension * ux, py = a.y - extension * uy;
    const double qx = b.x + extension * ux, qy = b.y + extension * uy;
    return SegmentBand(px, py, qx, qy, m.tolerance + apart + 1e-12 * m.index.Magnitude(), m.index.Magnitude());
}

// How many candidates apart the stages of the search below run: far enough that what one stage asks
// of the memory has arrived when the next reads it, near enough that the memory can take every
// request as it comes.
constexpr std::size_t kStageDistance = 10;

// Tests the candidates exactly against each of the cuts; the crossed elements then go back to element
// number order. A cut at a new place finds its candidates' data in memory rather than in the cache,
// so the search runs in three stages a few candidates apart, each asking the memory for what the next
// reads: a candidate's box, corner list and number first; then, if its box meets the band, its nodes
// and its result block of warmCase (if any, for the caller to read next); then the exact tests. The
// memory fetches for the candidates ahead while the tests run, and a test seldom waits.
template <std::size_t N>
std::array<CrossedElements, N> crossedAmong(const PlaneModel& m, const std::vector<std::int32_t>& items,
                                            const SegmentBand& band, bool frames,
                                            const std::array<CutSegment, N>& cuts, std::int32_t warmCase) {
    const auto shellCount = static_cast<std::int32_t>(m.ShellCount());
    const bool numbered = !m.shellAtPlace.empty();
    const ResultStore::CaseBlocks blocks(m.shellResults, warmCase);  // kMissing finds no block, asks for none
    auto askForBox = [&](std::int32_t item) {
        PrefetchLine(m.index.BoxAddress(item));
        if (item >= shellCount) return;
        const auto place = static_cast<std::size_t>(item);
        PrefetchLine(m.CornersAt(place));
        if (numbered) PrefetchLine(&m.shellAtPlace[place]);
    };
    auto nearBand = [&](std::int32_t item) {
        if ((item >= shellCount && !frames) || !band.Meets(m.index.BoxOf(item))) return false;
        if (item >= shellCount) return true;
        const auto place = static_cast<std::size_t>(item);
        const std::int32_t* c = m.CornersAt(place);
        for (std::size_t i = 0, n = m.CornerCountAt(place); i < n; ++i)
            PrefetchLine(&m.vertices[static_cast<std::size_t>(c[i])]);
        blocks.Prefetch(place);
        return true;
    };

    std::array<CrossedElements, N> crossed;
    std::array<std::vector<std::uint64_t>, N> shells;  // index and place of each crossed shell
    for (auto& list : shells) list.reserve(items.size());
    const std::size_t count = items.size();
    const std::unique_ptr<bool[]> near(new bool[count]);
    for (std::size_t k = 0; k < std::min(2 * kStageDistance, count); ++k) askForBox(items[k]);
    for (std::size_t k = 0; k < std::min(kStageDistance, count); ++k) near[k] = nearBand(items[k]);
    for (std::size_t k = 0; k < count; ++k) {
        if (k + 2 * kStageDistance < count) askForBox(items[k + 2 * kStageDistance]);
        if (k + kStageDistance < count) near[k + kStageDistance] = nearBand(items[k + kStageDistance]);
        if (!near[k]) continue;
        const std::int32_t item = items[k];
        for (std::size_t c = 0; c < N; ++c) {
            if (item < shellCount) {
                const auto place = static_cast<std::size_t>(item);
                if (shellAtPlaceCrossed(m, place, cuts[c]))
                    shells[c].push_back(static_cast<std::uint64_t>(m.ShellAt(place)) << 32 | place);
            } else if (frameCrossed(m, static_cast<std::size_t>(item - shellCount), cuts[c])) {
                crossed[c].frames.push_back(item - shellCount);
            }
        }
    }
    for (std::size_t c = 0; c < N; ++c) {
        RadixSort(shells[c], [](std::uint64_t s) { return static_cast<std::uint32_t>(s >> 32); });
        crossed[c].shells.reserve(shells[c].size());
        crossed[c].shellPlaces.reserve(shells[c].size());
        for (const std::uint64_t s : shells[c]) {
            crossed[c].shells.push_back(static_cast<std::int32_t>(s >> 32));
            crossed[c].shellPlaces.push_back(static_cast<std::int32_t>(s & 0xffffffffu));
        }
        std::sort(crossed[c].frames.begin(), crossed[c].frames.end());
    }
    return crossed;
}

}  // namespace

CrossedElements FindCrossedElements(const PlaneModel& m, const CVertex& a, const CVertex& b, bool frames,
                                    std::int32_t warmCase) {
    std::vector<std::int32_t> items;
    const std::optional<SegmentBand> band = crossingCandidates(m, a, b, 0.0, items);
    if (!band) return FindCrossedElementsByScan(m, a, b, frames);
    return crossedAmong<1>(m, items, *band, frames, {CutSegment(a, b)}, warmCase)[0];
}

std::array<CrossedElements, 2> FindCrossedElementsOfTwo(const PlaneModel& m, const CVertex& a, const CVertex& b,
                                                       const CVertex& a2, const CVertex& b2, double apart,
                                                       bool frames) {
    std::vector<std::int32_t> items;
    const std::optional<SegmentBand> band = crossingCandidates(m, a, b, apart, items);
    if (!band) return {FindCrossedElementsByScan(m, a, b, frames), FindCrossedElementsByScan(m, a2, b2, frames)};
    return crossedAmong<2>(m, items, *band, frames, {CutSegment(a, b), CutSegment(a2, b2)}, kMissing);
}

std::vector<std::int32_t> ShellsTouchingCut(const PlaneModel& m, const CVertex& a, const CVertex& b) {
    // Beyond crossings, the classifier reports edges collinear with the cut: parallel within the
    // tolerance (twice the area) and so within 2 tolerance / length of its line, reaching at most a
    // tolerance past its ends.
    const double length = a.Distance(&b);
    const double e = m.tolerance * m.tolerance;
    const double extension = std::max(e * length, m.tolerance) + m.tolerance;
    const double halfWidth = 2.0 * m.tolerance / length + m.tolerance;
    std::vector<std::int32_t> items;
    const auto shellCount = static_cast<std::int32_t>(m.ShellCount());
    if (!nearCut(m, a, b, extension, halfWidth, items)) return allItems(m.ShellCount());
    std::vector<std::int32_t> shells;
    for (const std::int32_t item : items)
        if (item < shellCount) shells.push_back(static_cast<std::int32_t>(m.ShellAt(static_cast<std::size_t>(item))));
    std::sort(shells.begin(), shells.end());
    shells.erase(std::unique(shells.begin(), shells.end()), shells.end());
    return shells;
}

}  // namespace xsect::detail
