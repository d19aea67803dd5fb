#include "core/gathering.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "core/prefetch.h"

namespace xsect::detail {

namespace {

const ResultStore& storeOf(const ElementArrays& m, const SideSlot& s) { return s.frame ? m.frameResults : m.shellResults; }

// Keys that come nearly in order, put in order by insertion: a step for each place a key moves, so
// a side whose shells each give their nodes the other way round than the numbering (a cut along a
// row, taken from above) costs a step or two a key. Past a few steps a key, std::sort takes over.
void sortNearlySorted(std::uint64_t* keys, std::size_t n) {
    std::size_t steps = 4 * n;
    for (std::size_t i = 1; i < n; ++i) {
        const std::uint64_t key = keys[i];
        std::size_t j = i;
        for (; j > 0 && keys[j - 1] > key; --j) keys[j] = keys[j - 1];
        keys[j] = key;
        if (i - j > steps) {
            std::sort(keys, keys + n);
            return;
        }
        steps -= i - j;
    }
}

bool inNodeOrder(const std::vector<SideSlot>& side) {
    return std::is_sorted(side.begin(), side.end(), [](const SideSlot& a, const SideSlot& b) {
        return static_cast<std::uint32_t>(a.node) < static_cast<std::uint32_t>(b.node);
    });
}

// The order the sums take the side's slots in: ascending node number, each node's slots in
// gathering order. Gathered shell by shell in number order, the nodes mostly come in that order
// already (`gathered`), and then the order is the slots' own and nothing is built.
class NodeOrder {
public:
    NodeOrder(const std::vector<SideSlot>& side, bool gathered) {
        if (gathered) return;
        // The sort key carries the position, so that a plain sort keeps each node's slots in order.
        const std::size_t n = side.size();
        keys_.reset(new std::uint64_t[n]);
        for (std::size_t k = 0; k < n; ++k) keys_[k] = std::uint64_t{static_cast<std::uint32_t>(side[k].node)} << 32 | k;
        sortNearlySorted(keys_.get(), n);
    }
    explicit NodeOrder(const std::vector<SideSlot>& side) : NodeOrder(side, inNodeOrder(side)) {}
    bool Gathered() const { return keys_ == nullptr; }
    // The position of the k-th slot in the order, once the side was found out of order.
    std::size_t Sorted(std::size_t k) const { return static_cast<std::size_t>(keys_[k] & 0xffffffffu); }
    std::size_t operator[](std::size_t k) const { return Gathered() ? k : Sorted(k); }

private:
    std::unique_ptr<std::uint64_t[]> keys_;  // node << 32 | position, sorted; null when gathered in order
};

// The slot's element's place, where a search noted it, else looked up.
std::size_t placeOf(const ElementArrays& m, const SideSlot& s) {
    return s.place >= 0 ? static_cast<std::size_t>(s.place)
                        : storeOf(m, s).PlaceOf(static_cast<std::size_t>(s.element));
}

// The side's records of a load case (mode `mode`) in gathering order, null where the host filed
// none, and whether the side's nodes came in ascending order (noted on the way, as every slot is
// read here anyway).
struct SideRecords {
    std::unique_ptr<const double*[]> records;
    bool inNodeOrder = true;
};

// Where every block is worked out rather than looked up, the slots are taken in one sweep: there is
// nothing to ask the memory for ahead (the search that found the elements asked for their records).
SideRecords recordsInOneSweep(const ElementArrays& m, const std::vector<SideSlot>& side, std::int32_t caseIndex,
                              std::int32_t mode) {
    const std::size_t n = side.size();
    SideRecords found{std::unique_ptr<const double*[]>(new const double*[n])};
    const ResultStore::CaseBlocks shellBlocks(m.shellResults, caseIndex), frameBlocks(m.frameResults, caseIndex);
    std::optional<ResultBlock> block;
    for (std::size_t i = 0; i < n; ++i) {
        const SideSlot& s = side[i];
        if (i > 0) found.inNodeOrder &= static_cast<std::uint32_t>(side[i - 1].node) <= static_cast<std::uint32_t>(s.node);
        if (i == 0 || s.element != side[i - 1].element || s.frame != side[i - 1].frame)
            block = (s.frame ? frameBlocks : shellBlocks).At(placeOf(m, s));
        found.records[i] = block ? storeOf(m, s).Record(*block, static_cast<std::size_t>(s.slot), mode) : nullptr;
    }
    return found;
}

// An element's slots are neighbours, so each element is looked up once. Each step of the look-ups
// is asked of the memory for every element before the next step reads it, and the records as they
// are found, so that a cut at a new place waits for its records a few times rather than element by
// element.
SideRecords recordsOf(const ElementArrays& m, const std::vector<SideSlot>& side, std::int32_t caseIndex,
                      std::int32_t mode) {
    if (m.shellResults.Regular() && m.frameResults.Regular()) return recordsInOneSweep(m, side, caseIndex, mode);
    const std::size_t n = side.size();
    SideRecords found{std::unique_ptr<const double*[]>(new const double*[n])};
    if (n == 0) return found;
    struct Run {
        const ResultStore* store;
        std::size_t first, place;
    };
    // Each element's first slot and its place; as many as the slots at most, and never read unset.
    const std::unique_ptr<Run[]> runs(new Run[n]);
    std::size_t count = 0;
    auto startRun = [&](std::size_t i) {
        const ResultStore& store = storeOf(m, side[i]);
        const std::size_t place = placeOf(m, side[i]);
        store.PrefetchAt(place, caseIndex, 0);
        runs[count++] = {&store, i, place};
    };
    startRun(0);
    bool ordered = true;
    for (std::size_t i = 1; i < n; ++i) {
        const SideSlot& s = side[i];
        const SideSlot& before = side[i - 1];
        ordered &= static_cast<std::uint32_t>(before.node) <= static_cast<std::uint32_t>(s.node);
        if (s.element != before.element || s.frame != before.frame) startRun(i);
    }
    found.inNodeOrder = ordered;
    // Step 0 went with the runs, step 1 has a loop of its own: written as one loop over the steps,
    // GCC 12 took PrefetchAt's calls for calls without effect and dropped both stages.
    for (std::size_t r = 0; r < count; ++r) runs[r].store->PrefetchAt(runs[r].place, caseIndex, 1);
    const ResultStore::CaseBlocks shellBlocks(m.shellResults, caseIndex), frameBlocks(m.frameResults, caseIndex);
    for (std::size_t r = 0; r < count; ++r) {
        const std::size_t first = runs[r].first, last = r + 1 < count ? runs[r + 1].first : n;
        const ResultStore& store = *runs[r].store;
        const std::optional<ResultBlock> block =
            (&store == &m.shellResults ? shellBlocks : frameBlocks).At(runs[r].place);
        for (std::size_t i = first; i < last; ++i) {
            const double* record = block ? store.Record(*block, static_cast<std::size_t>(side[i].slot), mode) : nullptr;
            PrefetchLine(record);  // null too: a prefetch never faults, and the test would cost more
            found.records[i] = record;
        }
    }
    return found;
}

Vec3 leverArm(const ElementArrays& m, std::int32_t node, const Vec3& momentPoint) {
    const Point& v = m.vertices[static_cast<std::size_t>(node)];
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

// The static sums node by node, the k-th slot in node order being at(k). The sums are a local, which
// no record can alias, so that they stay in registers.
template <class At>
Six sumByNode(const ElementArrays& m, const std::vector<SideSlot>& side, const double* const* records, At at,
              const Mat3& T, const Vec3& momentPoint) {
    Six sums{};
    const std::size_t n = side.size();
    for (std::size_t k = 0; k < n;) {
        const std::int32_t node = side[at(k)].node;
        double sum[6];
        bool started = false;
        for (; k < n && side[at(k)].node == node; ++k)
            if (const double* r = records[at(k)]) accumulate(sum, started, r);
        if (started) addForcesAndMoments(T, leverArm(m, node, momentPoint), sum, sums);
    }
    return Six(sums);  // a copy: the sums themselves would be the caller's memory
}

}  // namespace

Six IntegrateStatic(const PlaneModel& m, std::int32_t caseIndex, const std::vector<SideSlot>& side, const Mat3& T,
                    const Vec3& momentPoint) {
    const SideRecords found = recordsOf(m, side, caseIndex, 1);
    const double* const* records = found.records.get();
    const NodeOrder order(side, found.inNodeOrder);
    if (order.Gathered()) return sumByNode(m, side, records, [](std::size_t k) { return k; }, T, momentPoint);
    return sumByNode(m, side, records, [&](std::size_t k) { return order.Sorted(k); }, T, momentPoint);
}

std::array<std::vector<double>, 6> IntegrateModes(const PlaneModel& m, std::int32_t caseIndex,
                                                  const std::vector<SideSlot>& side, const Mat3& T,
                                                  const Vec3& momentPoint, std::int32_t modes) {
    const auto n = static_cast<std::size_t>(std::max(modes, 0));
    std::array<std::vector<double>, 6> perMode;
    for (auto& v : perMode) v.assign(n, 0.0);
    const NodeOrder order(side);

    // Node by node, every mode: each mode's sums still receive the nodes in ascending order.
    struct Source {
        const ResultStore* store;
        const ResultBlock* block;
        std::size_t slot;
    };
    std::vector<Source> sources;
    for (std::size_t i = 0; i < side.size();) {
        const std::int32_t node = side[order[i]].node;
        sources.clear();
        for (; i < side.size() && side[order[i]].node == node; ++i) {
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
