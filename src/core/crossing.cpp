#include "core/crossing.h"

#include <atomic>
#include <cmath>

#include "core/segments.h"

namespace xsect::detail {

namespace {

std::atomic<bool> fullScan{false};

std::vector<std::int32_t> allItems(std::size_t n) {
    std::vector<std::int32_t> items(n);
    for (std::size_t i = 0; i < n; ++i) items[i] = static_cast<std::int32_t>(i);
    return items;
}

// The index's items: shells first, then frames. False when the index cannot answer.
bool nearCut(const PlaneModel& m, const CVertex& a, const CVertex& b, double extension, double halfWidth,
             std::vector<std::int32_t>& items) {
    if (UsingFullScan()) return false;
    return m.index.Query(a.x, a.y, b.x, b.y, extension, halfWidth, items);
}

}  // namespace

void UseFullScan(bool on) { fullScan.store(on, std::memory_order_relaxed); }
bool UsingFullScan() { return fullScan.load(std::memory_order_relaxed); }

bool ShellCrossed(const PlaneModel& m, std::size_t shell, const CVertex& a, const CVertex& b) {
    // A shell that names a node the model lacks is left out whole, as a frame is: half a polygon
    // would give a false set of crossed edges.
    if (!m.shellUsable[shell]) return false;
    const std::size_t n = m.CornerCount(shell);
    const std::int32_t* c = m.CornersOf(shell);
    for (std::size_t i = 0; i < n; ++i) {
        const CVertex& p = m.vertices[static_cast<std::size_t>(c[i])];
        const CVertex& q = m.vertices[static_cast<std::size_t>(c[(i + 1) % n])];
        if (segmentsCross(a, b, p, q, m.tolerance)) return true;
    }
    return false;
}

bool FrameCrossed(const PlaneModel& m, std::size_t frame, const CVertex& a, const CVertex& b) {
    if (!m.FrameUsable(frame)) return false;
    const auto& ends = m.frameEnds[frame];
    return segmentsCross(a, b, m.vertices[static_cast<std::size_t>(ends[0])],
                         m.vertices[static_cast<std::size_t>(ends[1])], m.tolerance);
}

CrossedElements FindCrossedElementsByScan(const PlaneModel& m, const CVertex& a, const CVertex& b, bool frames) {
    CrossedElements crossed;
    for (std::size_t s = 0; s < m.ShellCount(); ++s)
        if (ShellCrossed(m, s, a, b)) crossed.shells.push_back(static_cast<std::int32_t>(s));
    if (frames)
        for (std::size_t f = 0; f < m.FrameCount(); ++f)
            if (FrameCrossed(m, f, a, b)) crossed.frames.push_back(static_cast<std::int32_t>(f));
    return crossed;
}

CrossedElements FindCrossedElements(const PlaneModel& m, const CVertex& a, const CVertex& b, bool frames) {
    // A crossing lies on the cut within tolerance squared of its parameter range past either end.
    const double e = m.tolerance * m.tolerance;
    const double extension = e * a.Distance(&b) + m.tolerance;
    std::vector<std::int32_t> items;
    if (!nearCut(m, a, b, extension, m.tolerance, items)) return FindCrossedElementsByScan(m, a, b, frames);
    CrossedElements crossed;
    const auto shellCount = static_cast<std::int32_t>(m.ShellCount());
    for (const std::int32_t item : items) {
        if (item < shellCount) {
            if (ShellCrossed(m, static_cast<std::size_t>(item), a, b)) crossed.shells.push_back(item);
        } else if (frames) {
            const std::int32_t f = item - shellCount;
            if (FrameCrossed(m, static_cast<std::size_t>(f), a, b)) crossed.frames.push_back(f);
        }
    }
    return crossed;
}

std::array<CrossedElements, 2> FindCrossedElementsOfTwo(const PlaneModel& m, const CVertex& a, const CVertex& b,
                                                       const CVertex& a2, const CVertex& b2, double apart,
                                                       bool frames) {
    // As FindCrossedElements, the search widened by the distance between the two cuts.
    const double e = m.tolerance * m.tolerance;
    const double extension = e * a.Distance(&b) + m.tolerance;
    std::vector<std::int32_t> items;
    if (!nearCut(m, a, b, extension, m.tolerance + apart, items))
        return {FindCrossedElementsByScan(m, a, b, frames), FindCrossedElementsByScan(m, a2, b2, frames)};
    std::array<CrossedElements, 2> crossed;
    const auto shellCount = static_cast<std::int32_t>(m.ShellCount());
    for (const std::int32_t item : items) {
        if (item < shellCount) {
            const auto s = static_cast<std::size_t>(item);
            if (ShellCrossed(m, s, a, b)) crossed[0].shells.push_back(item);
            if (ShellCrossed(m, s, a2, b2)) crossed[1].shells.push_back(item);
        } else if (frames) {
            const std::int32_t f = item - shellCount;
            if (FrameCrossed(m, static_cast<std::size_t>(f), a, b)) crossed[0].frames.push_back(f);
            if (FrameCrossed(m, static_cast<std::size_t>(f), a2, b2)) crossed[1].frames.push_back(f);
        }
    }
    return crossed;
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
        if (item < shellCount) shells.push_back(item);
    return shells;
}

}  // namespace xsect::detail
