#include "core/gathering.h"

#include <algorithm>

#include "core/prefetch.h"

namespace xsect::detail {

namespace {

const ResultStore& storeOf(const ElementArrays& m, const SideSlot& s) { return s.frame ? m.frameResults : m.shellResults; }

// The positions of the side's slots in ascending node number, each node's slots kept in gathering
// order (the sort key carries the position, so a plain sort keeps that order without a stable
// sort's buffer). Gathered shell by shell in number order, the nodes come nearly sorted already.
std::vector<std::uint32_t> nodeOrder(const std::vector<SideSlot>& side) {
    std::vector<std::uint64_t> keys(side.size());
    for (std::size_t i = 0; i < side.size(); ++i)
        keys[i] = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(side[i].node)) << 32) | i;
    if (!std::is_sorted(keys.begin(), keys.end())) std::sort(keys.begin(), keys.end());
    std::vector<std::uint32_t> order(side.size());
    for (std::size_t i = 0; i < keys.size(); ++i) order[i] = static_cast<std::uint32_t>(keys[i] & 0xffffffffu);
    return order;
}

// The slot's element's place, where a search noted it, else looked up.
std::size_t placeOf(const ElementArrays& m, const SideSlot& s) {
    return s.place >= 0 ? static_cast<std::size_t>(s.place)
                        : storeOf(m, s).PlaceOf(static_cast<std::size_t>(s.element));
}

// Each slot's record of a load case (mode `mode`), or null, in gathering order, where an element's
// slots are neighbours: one look-up per element. Each step of the look-ups is asked of the memory for
// every element before the next step reads it, and the records as they are found, so that a cut at
// a new place waits for its records a few times rather than element by element.
std::vector<const double*> recordsOf(const ElementArrays& m, const std::vector<SideSlot>& side, std::int32_t caseIndex,
                                     std::int32_t mode) {
    struct Run {
        std::size_t first, place;
    };
    std::vector<Run> runs;  // the first slot of each element, and its place
    for (std::size_t i = 0; i < side.size(); ++i)
        if (i == 0 || side[i].element != side[i - 1].element || side[i].frame != side[i - 1].frame)
            runs.push_back({i, placeOf(m, side[i])});
    for (const int step : {0, 1})
        for (const Run& run : runs) storeOf(m, side[run.first]).PrefetchAt(run.place, caseIndex, step);
    std::vector<const double*> records(side.size(), nullptr);
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const std::size_t first = runs[r].first, last = r + 1 < runs.size() ? runs[r + 1].first : side.size();
        const ResultStore& store = storeOf(m, side[first]);
        const ResultBlock* block = store.FindAt(runs[r].place, caseIndex);
        if (block == nullptr) continue;
        for (std::size_t i = first; i < last; ++i)
            if ((records[i] = store.Record(*block, static_cast<std::size_t>(side[i].slot), mode)))
                PrefetchLine(records[i]);
    }
    return records;
}

Vec3 leverArm(const ElementArrays& m, std::int32_t node, const Vec3& momentPoint) {
    const CVertex& v = m.vertices[static_cast<std::size_t>(node)];
    return {v.x - momentPoint[0], v.y - momentPoint[1], v.z - momentPoint[2]};
}

// Adds record r to a node's sum: the first record is taken as it is, later ones added, as the sums
// of a node shared by several elements have always been formed.
void accumulate(double* sum, bool& started, const double* r) {
    if (!started) {
        std::copy(r, r + 6, sum);
        started = true;
        return;
    }
    for (int k = 0; k < 6; ++k) sum[k] += r[k];
}

}  // namespace

Six IntegrateStatic(const PlaneModel& m, std::int32_t caseIndex, const std::vector<SideSlot>& side, const Mat3& T,
                    const Vec3& momentPoint) {
    Six sums{};
    const std::vector<const double*> records = recordsOf(m, side, caseIndex, 1);
    const std::vector<std::uint32_t> order = nodeOrder(side);
    for (std::size_t k = 0; k < order.size();) {
        const std::int32_t node = side[order[k]].node;
        double sum[6];
        bool started = false;
        for (; k < order.size() && side[order[k]].node == node; ++k)
            if (records[order[k]] != nullptr) accumulate(sum, started, records[order[k]]);
        if (started) addForcesAndMoments(T, leverArm(m, node, momentPoint), sum, sums);
    }
    return sums;
}

std::array<std::vector<double>, 6> IntegrateModes(const PlaneModel& m, std::int32_t caseIndex,
                                                  const std::vector<SideSlot>& side, const Mat3& T,
                                                  const Vec3& momentPoint, std::int32_t modes) {
    const auto n = static_cast<std::size_t>(std::max(modes, 0));
    std::array<std::vector<double>, 6> perMode;
    for (auto& v : perMode) v.assign(n, 0.0);
    const std::vector<std::uint32_t> order = nodeOrder(side);

    // Node by node, every mode: each mode's sums still receive the nodes in ascending order.
    struct Source {
        const ResultStore* store;
        const ResultBlock* block;
        std::size_t slot;
    };
    std::vector<Source> sources;
    for (std::size_t i = 0; i < order.size();) {
        const std::int32_t node = side[order[i]].node;
        sources.clear();
        for (; i < order.size() && side[order[i]].node == node; ++i) {
            const SideSlot& slot = side[order[i]];
            const ResultStore& store = storeOf(m, slot);
            if (const ResultBlock* block = store.FindAt(placeOf(m, slot), caseIndex))
                sources.push_back({&store, block, static_cast<std::size_t>(slot.slot)});
        }
        if (sources.empty()) continue;
        const Vec3 r = leverArm(m, node, momentPoint);
        for (std::size_t k = 0; k < n; ++k) {
            double sum[6];
            bool started = false;
            for (const Source& s : sources)
                if (const double* rec = s.store->Record(*s.block, s.slot, static_cast<std::int32_t>(k + 1)))
                    accumulate(sum, started, rec);
            if (!started) continue;
            Six modal{perMode[0][k], perMode[1][k], perMode[2][k], perMode[3][k], perMode[4][k], perMode[5][k]};
            addForcesAndMoments(T, r, sum, modal);
            for (int c = 0; c < 6; ++c) perMode[static_cast<std::size_t>(c)][k] = modal[static_cast<std::size_t>(c)];
        }
    }
    return perMode;
}

SideSums::SideSums(const ElementArrays& m, const std::vector<SideSlot>& side, const Vec3& momentPoint) {
    slots_.reserve(side.size());
    arms_.reserve(side.size());
    for (const SideSlot& s : side) {
        const auto element = static_cast<std::size_t>(s.element);
        if (runs_.empty() || runs_.back().element != element || runs_.back().store != &storeOf(m, s))
            runs_.push_back({&storeOf(m, s), element, placeOf(m, s), slots_.size(), slots_.size()});
        slots_.push_back(static_cast<std::size_t>(s.slot));
        arms_.push_back(leverArm(m, s.node, momentPoint));
        runs_.back().last = slots_.size();
    }
}

void SideSums::Add(const ResultBlock& block, const ResultStore& store, std::size_t i, std::int32_t mode, Vec3& force,
                   Vec3& moment) const {
    const double* r = store.Record(block, slots_[i], mode);
    if (r == nullptr) return;
    const Vec3 f{r[0], r[1], r[2]};
    const Vec3 c = cross(arms_[i], f);
    for (std::size_t k = 0; k < 3; ++k) {
        force[k] += f[k];
        moment[k] += r[3 + k] + c[k];
    }
}

std::vector<Six> SideSums::Static(const std::vector<std::int32_t>& caseIndices, const Mat3& T) const {
    std::vector<Vec3> force(caseIndices.size(), Vec3{}), moment(caseIndices.size(), Vec3{});
    for (const Run& run : runs_)
        for (std::size_t c = 0; c < caseIndices.size(); ++c)
            if (const ResultBlock* block = run.store->FindAt(run.place, caseIndices[c]))
                for (std::size_t i = run.first; i < run.last; ++i) Add(*block, *run.store, i, 1, force[c], moment[c]);
    std::vector<Six> sums;
    sums.reserve(caseIndices.size());
    for (std::size_t c = 0; c < caseIndices.size(); ++c) {
        const Vec3 f = multiply(T, force[c]), mo = multiply(T, moment[c]);
        sums.push_back({f[0], f[1], f[2], mo[0], mo[1], mo[2]});
    }
    return sums;
}

std::array<std::vector<double>, 6> SideSums::Modes(std::int32_t caseIndex, const Mat3& T, std::int32_t modes) const {
    const auto n = static_cast<std::size_t>(std::max(modes, 0));
    std::vector<Vec3> force(n, Vec3{}), moment(n, Vec3{});
    for (const Run& run : runs_)
        if (const ResultBlock* block = run.store->FindAt(run.place, caseIndex))
            for (std::size_t i = run.first; i < run.last; ++i)
                for (std::size_t k = 0; k < n; ++k)
                    Add(*block, *run.store, i, static_cast<std::int32_t>(k + 1), force[k], moment[k]);
    std::array<std::vector<double>, 6> perMode;
    for (auto& v : perMode) v.resize(n);
    for (std::size_t k = 0; k < n; ++k) {
        const Vec3 f = multiply(T, force[k]), mo = multiply(T, moment[k]);
        for (std::size_t c = 0; c < 3; ++c) {
            perMode[c][k] = f[c];
            perMode[c + 3][k] = mo[c];
        }
    }
    return perMode;
}

std::int32_t HighestFiledMode(const ElementArrays& m, std::int32_t caseIndex, const CrossedElements& crossed) {
    std::int32_t highest = 0;
    const bool placed = crossed.shellPlaces.size() == crossed.shells.size();
    for (std::size_t k = 0; k < crossed.shells.size(); ++k) {
        const std::size_t place = placed ? static_cast<std::size_t>(crossed.shellPlaces[k])
                                         : m.PlaceOf(static_cast<std::size_t>(crossed.shells[k]));
        if (const ResultBlock* b = m.shellResults.FindAt(place, caseIndex)) highest = std::max(highest, b->highestMode);
    }
    for (const std::int32_t f : crossed.frames)
        if (const ResultBlock* b = m.frameResults.Find(static_cast<std::size_t>(f), caseIndex))
            highest = std::max(highest, b->highestMode);
    return highest;
}

}  // namespace xsect::detail
