#include "core/plane_model.h"

#include <algorithm>
#include <cmath>

namespace xsect::detail {

// ---- result store ------------------------------------------------------------------------------

const ResultBlock* ResultStore::FindAt(std::size_t place, std::int32_t caseIndex) const {
    if (place + 1 >= elementStart_.size()) return nullptr;
    // Blocks are in case order, one per case, so an element with results for every case holds
    // case c at position c: a look there spares most searches.
    const std::size_t begin = FirstBlock(place), end = FirstBlock(place + 1);
    const std::size_t guess = begin + static_cast<std::size_t>(caseIndex);
    if (caseIndex >= 0 && guess < end && blocks_[guess].caseIndex == caseIndex) return &blocks_[guess];
    const auto first = blocks_.begin() + static_cast<std::ptrdiff_t>(begin);
    const auto last = blocks_.begin() + static_cast<std::ptrdiff_t>(end);
    const auto it = std::lower_bound(first, last, caseIndex,
                                     [](const ResultBlock& b, std::int32_t c) { return b.caseIndex < c; });
    return it != last && it->caseIndex == caseIndex ? &*it : nullptr;
}

std::size_t ResultStore::Bytes() const {
    return placeOf_.capacity() * sizeof(std::int32_t) + elementStart_.capacity() * sizeof(std::size_t) +
           blocks_.capacity() * sizeof(ResultBlock) +
           values_.capacity() * sizeof(double) + present_.capacity();
}

void ResultStore::Reserve(std::size_t elements, std::size_t blocks, std::size_t records) {
    elementStart_.reserve(elements + 1);
    blocks_.reserve(blocks);
    present_.reserve(records);
    values_.reserve(6 * records);
}

void ResultStore::BeginElement() {
    // Blocks of the element before are put in load case order for Find.
    if (!elementStart_.empty())
        std::sort(blocks_.begin() + static_cast<std::ptrdiff_t>(elementStart_.back()), blocks_.end(),
                  [](const ResultBlock& l, const ResultBlock& r) { return l.caseIndex < r.caseIndex; });
    elementStart_.push_back(blocks_.size());
}

ResultBlock& ResultStore::AddBlock(std::int32_t caseIndex, std::int32_t width, std::int32_t highestMode,
                                   std::size_t slots) {
    ResultBlock block;
    block.caseIndex = caseIndex;
    block.width = width;
    block.highestMode = highestMode;
    block.offset = present_.size();
    const std::size_t records = slots * static_cast<std::size_t>(width);
    present_.resize(present_.size() + records, 0);
    values_.resize(values_.size() + 6 * records, 0.0);
    blocks_.push_back(block);
    return blocks_.back();
}

void ResultStore::Fill(const ResultBlock& block, std::size_t slot, std::int32_t mode, const Vec3& force,
                       const Vec3& moment) {
    const std::size_t r = block.offset + slot * static_cast<std::size_t>(block.width) +
                          static_cast<std::size_t>(mode - 1);
    present_[r] = 1;
    double* v = &values_[6 * r];
    v[0] = force[0];
    v[1] = force[1];
    v[2] = force[2];
    v[3] = moment[0];
    v[4] = moment[1];
    v[5] = moment[2];
}

void ResultStore::Finish() {
    BeginElement();  // sorts the last element's blocks and closes the table
    if (elementStart_.size() == 1) elementStart_.clear();
    blocksEach_ = elementStart_.size() > 1 ? elementStart_[1] : 0;
    for (std::size_t e = 0; e < elementStart_.size() && blocksEach_ != 0; ++e)
        if (elementStart_[e] != e * blocksEach_) blocksEach_ = 0;
    allPresent_ = std::all_of(present_.begin(), present_.end(), [](unsigned char p) { return p != 0; });
    const std::size_t elements = elementStart_.empty() ? 0 : elementStart_.size() - 1;
    regular_ = blocksEach_ != 0 && present_.size() % elements == 0;
    recordsEach_ = regular_ ? present_.size() / elements : 0;
    for (std::size_t b = 0; b < blocks_.size() && regular_; ++b) {
        const ResultBlock& mine = blocks_[b];
        const ResultBlock& first = blocks_[b % blocksEach_];
        regular_ = mine.caseIndex == first.caseIndex && mine.width == first.width &&
                   mine.offset == first.offset + b / blocksEach_ * recordsEach_;
    }
}

// ---- the model -----------------------------------------------------------------------------------

std::int32_t ElementArrays::NodeIndex(std::int32_t node) const {
    const auto it = std::lower_bound(nodeIds.begin(), nodeIds.end(), node);
    return it != nodeIds.end() && *it == node ? static_cast<std::int32_t>(it - nodeIds.begin()) : kMissing;
}

std::int32_t ElementArrays::ShellIndex(std::int32_t shell) const {
    const auto it = std::lower_bound(shellIds.begin(), shellIds.end(), shell);
    return it != shellIds.end() && *it == shell ? static_cast<std::int32_t>(it - shellIds.begin()) : kMissing;
}

std::int32_t ElementArrays::CaseIndex(std::int32_t loadCase) const {
    const auto it = std::lower_bound(caseIds.begin(), caseIds.end(), loadCase);
    return it != caseIds.end() && *it == loadCase ? static_cast<std::int32_t>(it - caseIds.begin()) : kMissing;
}

std::size_t ElementArrays::ArrayBytes() const {
    auto bytes = [](const auto& v) { return v.capacity() * sizeof(v[0]); };
    return ResultBytes() + bytes(nodeIds) + bytes(vertices) + bytes(nodeTolerances) + bytes(shellIds) +
           bytes(shellAtPlace) + bytes(cornerStart) + bytes(corners) + bytes(shellUsable) + bytes(frameIds) +
           bytes(frameEnds) + bytes(caseIds) + bytes(cases);
}

void ElementArrays::PlaceShells(std::vector<std::int32_t> atPlace) {
    LargeVector<std::size_t> start;
    LargeVector<std::int32_t> placed;
    std::vector<std::int32_t> placeOf(atPlace.size());
    start.reserve(atPlace.size() + 1);
    placed.reserve(corners.size());
    start.push_back(0);
    for (std::size_t p = 0; p < atPlace.size(); ++p) {
        const auto s = static_cast<std::size_t>(atPlace[p]);
        placeOf[s] = static_cast<std::int32_t>(p);
        placed.insert(placed.end(), CornersOf(s), CornersOf(s) + CornerCount(s));
        start.push_back(placed.size());
    }
    cornerStart = std::move(start);
    corners = std::move(placed);
    shellAtPlace = std::move(atPlace);
    shellResults.PlaceElements(std::move(placeOf));
    NoteCornerCounts();
}

void ElementArrays::NoteCornerCounts() {
    cornersEach = cornerStart.size() > 1 ? cornerStart[1] : 0;
    for (std::size_t p = 0; p < cornerStart.size() && cornersEach != 0; ++p)
        if (cornerStart[p] != p * cornersEach) cornersEach = 0;
}

std::size_t PlaneModel::Bytes() const { return ArrayBytes() + index.Bytes(); }

namespace {

// Node numbers to indices while building: a table when the numbers are dense enough, else a search.
class NodeLookup {
public:
    explicit NodeLookup(const std::vector<std::int32_t>& ids) : ids_(ids) {
        if (ids.empty()) return;
        const std::int64_t span = static_cast<std::int64_t>(ids.back()) - ids.front() + 1;
        if (span > 4 * static_cast<std::int64_t>(ids.size()) + 1024) return;
        first_ = ids.front();
        table_.assign(static_cast<std::size_t>(span), kMissing);
        for (std::size_t i = 0; i < ids.size(); ++i)
            table_[static_cast<std::size_t>(ids[i] - first_)] = static_cast<std::int32_t>(i);
    }
    std::int32_t operator()(std::int32_t id) const {
        if (!table_.empty()) {
            const std::int64_t k = static_cast<std::int64_t>(id) - first_;
            return k < 0 || k >= static_cast<std::int64_t>(table_.size()) ? kMissing
                                                                          : table_[static_cast<std::size_t>(k)];
        }
        const auto it = std::lower_bound(ids_.begin(), ids_.end(), id);
        return it != ids_.end() && *it == id ? static_cast<std::int32_t>(it - ids_.begin()) : kMissing;
    }

private:
    const std::vector<std::int32_t>& ids_;
    std::int32_t first_ = 0;
    std::vector<std::int32_t> table_;
};

// ---- plane set-up ----------------------------------------------------------------------------------

// The origin node fixes the plane's offset; then every node, frame nodes included, is taken into
// plane coordinates and must land within the tolerance of the plane. All are converted even when one
// fails, so that the refusal can say how far off each node lies.
CROSS_SECTION_MESSAGES setOriginAndConvert(PlaneModel& m, std::int32_t originIndex) {
    const Point& p = m.vertices[static_cast<std::size_t>(originIndex)];
    m.frame.offset = multiply(m.frame.axes, {p.x, p.y, p.z});
    m.originNodeNo = m.nodeIds[static_cast<std::size_t>(originIndex)];

    CROSS_SECTION_MESSAGES status = CS_SUCCESS;
    for (Point& v : m.vertices) {
        m.frame.ToPlane(v);
        // Written so that a coordinate that is not a number also fails the set-up.
        if (!(std::fabs(v.z) <= m.tolerance)) status = CS_PLANE_NOT_DEFINED;
    }
    return status;
}

// Frames the plane from three nodes (indices), the first the origin, and converts the nodes.
CROSS_SECTION_MESSAGES frameFrom(PlaneModel& m, std::int32_t i1, std::int32_t i2, std::int32_t i3) {
    const std::size_t at[3] = {static_cast<std::size_t>(i1), static_cast<std::size_t>(i2), static_cast<std::size_t>(i3)};
    if (!planeFrameFrom(m.VertexAt(at[0]), m.VertexAt(at[1]), m.VertexAt(at[2]), m.tolerance, m.frame.axes))
        return CS_PLANE_NOT_DEFINED;
    m.framed = true;
    for (std::size_t k = 0; k < 3; ++k) m.planeNodes[k] = m.nodeIds[at[k]];
    return setOriginAndConvert(m, i1);
}

CROSS_SECTION_MESSAGES planeFromNamedNodes(PlaneModel& m, std::int32_t n1, std::int32_t n2, std::int32_t n3) {
    const std::int32_t i1 = m.NodeIndex(n1), i2 = m.NodeIndex(n2), i3 = m.NodeIndex(n3);
    if (i1 == kMissing || i2 == kMissing || i3 == kMissing) return CS_PLANE_NOT_DEFINED;
    const CVertex p1 = m.VertexAt(static_cast<std::size_t>(i1));
    const CVertex p2 = m.VertexAt(static_cast<std::size_t>(i2));
    const CVertex p3 = m.VertexAt(static_cast<std::size_t>(i3));
    if (pointsCollinear(p1, p2, p3, m.tolerance)) return CS_PLANE_NOT_DEFINED;
    return frameFrom(m, i1, i2, i3);
}

// The node nearest the lower corner of the bounding box. Within a tolerance of the best distance so
// far the later (higher) number wins, and the best distance follows each accepted node.
std::int32_t findOrigin(const PlaneModel& m) {
    CVertex corner(1e12, 1e12, 1e12);
    for (const Point& v : m.vertices) {
        if (v.x < corner.x) corner.x = v.x;
        if (v.y < corner.y) corner.y = v.y;
        if (v.z < corner.z) corner.z = v.z;
    }
    double best = 1e12;
    std::int32_t result = kMissing;
    for (std::size_t i = 0; i < m.vertices.size(); ++i) {
        const double d = distance(m.vertices[i], corner);
        if (d < best + m.tolerance) {
            best = d;
            result = static_cast<std::int32_t>(i);
        }
    }
    return result;
}

CROSS_SECTION_MESSAGES planeFromModel(PlaneModel& m) {
    if (m.shellIds.empty()) return CS_NO_SHELLS;
    const std::int32_t origin = findOrigin(m);
    if (origin == kMissing) return CS_PLANE_NOT_DEFINED;
    // The first shell (in number order) that lists the origin node.
    std::size_t shell = m.ShellCount();
    for (std::size_t s = 0; s < m.ShellCount() && shell == m.ShellCount(); ++s)
        for (std::size_t i = 0; i < m.CornerCount(s); ++i)
            if (m.CornersOf(s)[i] == origin) {
                shell = s;
                break;
            }
    if (shell == m.ShellCount()) return CS_PLANE_NOT_DEFINED;

    // The origin with the next two nodes of its shell, in the shell's own cyclic order.
    const std::size_t n = m.CornerCount(shell);
    const std::int32_t* c = m.CornersOf(shell);
    const CVertex po = m.VertexAt(static_cast<std::size_t>(origin));
    for (std::size_t i = 0; i < n; ++i) {
        if (c[i] != origin) continue;
        const std::int32_t a = c[(i + 1) % n], b = c[(i + 2) % n];
        if (a == kMissing || b == kMissing) return CS_PLANE_NOT_DEFINED;
        const CVertex pa = m.VertexAt(static_cast<std::size_t>(a));
        const CVertex pb = m.VertexAt(static_cast<std::size_t>(b));
        if (pointsCollinear(po, pa, pb, m.tolerance)) continue;
        return frameFrom(m, origin, a, b);
    }
    return CS_PLANE_NOT_DEFINED;
}

// ---- results ---------------------------------------------------------------------------------------

std::int32_t highestOf(const std::map<std::int32_t, CNodeResults>& modes, std::int32_t highest) {
    return modes.empty() ? highest : std::max(highest, modes.rbegin()->first);
}

std::int32_t modeWidth(const CLoadCaseInfo& info, std::int32_t highest) {
    return std::max(0, std::min(info.modeCount, highest));
}

// Walks the blocks of every shell; `visit(caseIndex, width, highestMode, fill)` where fill(slot, mode)
// gives the host's record or null. Run once to size the store and once to fill it.
template <class Visit>
void forEachShellBlock(const ElementArrays& m, const CShellElement& shell, Visit&& visit) {
    // Named references rather than structured bindings: the lambdas capture them, which C++17 (and
    // the fuzzer's clang) allows only for variables.
    for (const auto& entry : shell.staticResults) {
        const auto& byNode = entry.second;
        const std::int32_t c = m.CaseIndex(entry.first);
        if (c == kMissing || m.cases[static_cast<std::size_t>(c)].caseType != LOAD_CASE_STATIC) continue;
        visit(c, 1, 0, [&](std::size_t slot, std::int32_t) -> const CNodeResults* {
            const auto it = byNode.find(shell.nodes[slot]);
            return it == byNode.end() ? nullptr : &it->second;
        });
    }
    for (const auto& entry : shell.spectrumResults) {
        const auto& byNode = entry.second;
        const std::int32_t c = m.CaseIndex(entry.first);
        if (c == kMissing || m.cases[static_cast<std::size_t>(c)].caseType != LOAD_CASE_RESPONSE_SPECTRUM) continue;
        std::int32_t highest = 0;
        for (const auto& modes : byNode) highest = highestOf(modes.second, highest);
        visit(c, modeWidth(m.cases[static_cast<std::size_t>(c)], highest), highest,
              [&](std::size_t slot, std::int32_t mode) -> const CNodeResults* {
                  const auto node = byNode.find(shell.nodes[slot]);
                  if (node == byNode.end()) return nullptr;
                  const auto it = node->second.find(mode);
                  return it == node->second.end() ? nullptr : &it->second;
              });
    }
}

// The load cases either end of a frame has results for, ascending, once each.
template <class ByCase>
std::vector<std::int32_t> casesOfEither(const ByCase& endA, const ByCase& endB) {
    std::vector<std::int32_t> loadCases;
    for (const auto& entry : endA) loadCases.push_back(entry.first);
    for (const auto& entry : endB) loadCases.push_back(entry.first);
    std::sort(loadCases.begin(), loadCases.end());
    loadCases.erase(std::unique(loadCases.begin(), loadCases.end()), loadCases.end());
    return loadCases;
}

template <class Visit>
void forEachFrameBlock(const ElementArrays& m, const CFrameElement& frame, Visit&& visit) {
    for (const std::int32_t loadCase : casesOfEither(frame.staticResultsA, frame.staticResultsB)) {
        const std::int32_t c = m.CaseIndex(loadCase);
        if (c == kMissing || m.cases[static_cast<std::size_t>(c)].caseType != LOAD_CASE_STATIC) continue;
        visit(c, 1, 0, [&](std::size_t slot, std::int32_t) -> const CNodeResults* {
            const auto& end = slot == 0 ? frame.staticResultsA : frame.staticResultsB;
            const auto it = end.find(loadCase);
            return it == end.end() ? nullptr : &it->second;
        });
    }
    for (const std::int32_t loadCase : casesOfEither(frame.spectrumResultsA, frame.spectrumResultsB)) {
        const std::int32_t c = m.CaseIndex(loadCase);
        if (c == kMissing || m.cases[static_cast<std::size_t>(c)].caseType != LOAD_CASE_RESPONSE_SPECTRUM) continue;
        std::int32_t highest = 0;
        for (const auto* end : {&frame.spectrumResultsA, &frame.spectrumResultsB}) {
            const auto it = end->find(loadCase);
            if (it != end->end()) highest = highestOf(it->second, highest);
        }
        visit(c, modeWidth(m.cases[static_cast<std::size_t>(c)], highest), highest,
              [&](std::size_t slot, std::int32_t mode) -> const CNodeResults* {
                  const auto& end = slot == 0 ? frame.spectrumResultsA : frame.spectrumResultsB;
                  const auto byMode = end.find(loadCase);
                  if (byMode == end.end()) return nullptr;
                  const auto it = byMode->second.find(mode);
                  return it == byMode->second.end() ? nullptr : &it->second;
              });
    }
}

// Files the elements' results in place order: `at` gives the element index at each place, or is
// null when the places are the indices.
template <class Elements, class ForEach>
void fileResults(const ElementArrays& m, const Elements& elements, const std::vector<std::int32_t>* at,
                 const Mat3* rotation, ResultStore& store, ForEach&& forEachBlock,
                 std::size_t (*slotsOf)(const typename Elements::mapped_type&)) {
    auto turned = [rotation](const Vec3& v) { return rotation ? multiply(*rotation, v) : v; };
    // Sized first, so that the store is allocated once and exactly: a model's results can run to
    // gigabytes.
    std::size_t blocks = 0, records = 0;
    std::vector<const typename Elements::mapped_type*> byIndex;
    byIndex.reserve(elements.size());
    for (const auto& entry : elements) {
        byIndex.push_back(&entry.second);
        const std::size_t slots = slotsOf(entry.second);
        forEachBlock(m, entry.second, [&](std::int32_t, std::int32_t width, std::int32_t, auto&&) {
            ++blocks;
            records += slots * static_cast<std::size_t>(width);
        });
    }
    store.Reserve(elements.size(), blocks, records);
    for (std::size_t place = 0; place < byIndex.size(); ++place) {
        const auto& element = *byIndex[at != nullptr && !at->empty() ? static_cast<std::size_t>((*at)[place]) : place];
        store.BeginElement();
        const std::size_t slots = slotsOf(element);
        forEachBlock(m, element, [&](std::int32_t c, std::int32_t width, std::int32_t highest, auto&& record) {
            const ResultBlock& block = store.AddBlock(c, width, highest, slots);
            for (std::size_t slot = 0; slot < slots; ++slot)
                for (std::int32_t mode = 1; mode <= width; ++mode)
                    if (const CNodeResults* r = record(slot, mode))
                        store.Fill(block, slot, mode, turned({r->Fx, r->Fy, r->Fz}), turned({r->Mx, r->My, r->Mz}));
        });
    }
    store.Finish();
}

// ---- places and the index ----------------------------------------------------------------------

// The elements' boxes for the index, shells by index, then frames.
std::vector<Box> elementBoxes(const PlaneModel& m) {
    // A crossing may lie tolerance squared (a fraction of the segment parameters) past an edge's
    // ends, so each box grows by that share of its longest edge, and by the tolerance itself.
    const double e = m.tolerance * m.tolerance;
    std::vector<Box> boxes;
    boxes.reserve(m.ShellCount() + m.FrameCount());
    auto boxOf = [&](const std::int32_t* nodes, std::size_t n, bool closed) {
        Box b{0.0, 0.0, -1.0, -1.0};  // empty: never a candidate
        if (n == 0) return b;
        b = {HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
        double longest = 0.0;
        for (std::size_t i = 0; i < n; ++i) {
            const Point& p = m.vertices[static_cast<std::size_t>(nodes[i])];
            b.x0 = std::min(b.x0, p.x);
            b.y0 = std::min(b.y0, p.y);
            b.x1 = std::max(b.x1, p.x);
            b.y1 = std::max(b.y1, p.y);
            if (i + 1 < n || closed) {
                const Point& q = m.vertices[static_cast<std::size_t>(nodes[(i + 1) % n])];
                longest = std::max(longest, std::hypot(q.x - p.x, q.y - p.y));
            }
        }
        const double scale = std::max({std::fabs(b.x0), std::fabs(b.y0), std::fabs(b.x1), std::fabs(b.y1)});
        const double grow = m.tolerance + e * longest + 1e-12 * scale;
        return Box{b.x0 - grow, b.y0 - grow, b.x1 + grow, b.y1 + grow};
    };
    for (std::size_t s = 0; s < m.ShellCount(); ++s)
        boxes.push_back(m.shellUsable[s] ? boxOf(m.CornersOf(s), m.CornerCount(s), true) : Box{0.0, 0.0, -1.0, -1.0});
    for (std::size_t f = 0; f < m.FrameCount(); ++f)
        boxes.push_back(m.FrameUsable(f) ? boxOf(m.frameEnds[f].data(), 2, false) : Box{0.0, 0.0, -1.0, -1.0});
    return boxes;
}

// The index is built over the shells, then the frames; the shells then take their places in the
// order the index keeps them, and the index numbers them by place.
void indexAndPlace(PlaneModel& m, const std::vector<Box>& boxes) {
    m.index.Build(boxes);
    const auto shells = static_cast<std::int32_t>(m.ShellCount());
    std::vector<std::int32_t> atPlace;
    atPlace.reserve(m.ShellCount());
    for (const std::int32_t item : m.index.ItemsInOrder())
        if (item < shells) atPlace.push_back(item);
    m.PlaceShells(std::move(atPlace));
    std::vector<std::int32_t> number(boxes.size());
    for (std::size_t i = 0; i < boxes.size(); ++i)
        number[i] = static_cast<std::int32_t>(i < m.ShellCount() ? m.PlaceOf(i) : i);
    m.index.Renumber(number);
}

std::size_t shellSlots(const CShellElement& s) { return s.nodes.size(); }
std::size_t frameSlots(const CFrameElement&) { return 2; }

}  // namespace

void CopyElements(const std::map<std::int32_t, CVertex>& nodes, const std::map<std::int32_t, CShellElement>& shells,
                  const std::map<std::int32_t, CFrameElement>& frames,
                  const std::map<std::int32_t, CLoadCaseInfo>& loadCases, ElementArrays& m) {
    m.nodeIds.reserve(nodes.size());
    m.vertices.reserve(nodes.size());
    m.nodeTolerances.reserve(nodes.size());
    for (const auto& [id, v] : nodes) {
        m.nodeIds.push_back(id);
        m.vertices.push_back({v.x, v.y, v.z});
        m.nodeTolerances.push_back(v.tolerance);
    }
    const NodeLookup lookup(m.nodeIds);

    m.shellIds.reserve(shells.size());
    m.cornerStart.reserve(shells.size() + 1);
    m.shellUsable.reserve(shells.size());
    for (const auto& [id, shell] : shells) {
        m.shellIds.push_back(id);
        bool usable = true;
        for (const std::int32_t node : shell.nodes) {
            m.corners.push_back(lookup(node));
            usable = usable && m.corners.back() != kMissing;
        }
        m.cornerStart.push_back(m.corners.size());
        m.shellUsable.push_back(usable ? 1 : 0);
    }
    m.NoteCornerCounts();
    for (const auto& [id, frame] : frames) {
        m.frameIds.push_back(id);
        m.frameEnds.push_back({lookup(frame.nodeA), lookup(frame.nodeB)});
    }
    for (const auto& [id, info] : loadCases) {
        m.caseIds.push_back(id);
        m.cases.push_back(info);
    }
}

void FileResults(const std::map<std::int32_t, CShellElement>& shells, const std::map<std::int32_t, CFrameElement>& frames,
                 const Mat3* rotation, ElementArrays& m) {
    fileResults(m, shells, &m.shellAtPlace, rotation, m.shellResults,
                [](const ElementArrays& em, const CShellElement& s, auto&& visit) { forEachShellBlock(em, s, visit); },
                shellSlots);
    fileResults(m, frames, nullptr, rotation, m.frameResults,
                [](const ElementArrays& em, const CFrameElement& f, auto&& visit) { forEachFrameBlock(em, f, visit); },
                frameSlots);
}

std::shared_ptr<const PlaneModel> BuildPlaneModel(const std::map<std::int32_t, CVertex>& nodes,
                                                  const std::map<std::int32_t, CShellElement>& shells,
                                                  const std::map<std::int32_t, CFrameElement>& frames,
                                                  const std::map<std::int32_t, CLoadCaseInfo>& loadCases,
                                                  double tolerance, std::int32_t planeNode1, std::int32_t planeNode2,
                                                  std::int32_t planeNode3) {
    auto model = std::make_shared<PlaneModel>();
    PlaneModel& m = *model;
    m.tolerance = tolerance;
    CopyElements(nodes, shells, frames, loadCases, m);

    if (planeNode1 > 0 && planeNode2 > 0 && planeNode3 > 0)
        m.planeStatus = planeFromNamedNodes(m, planeNode1, planeNode2, planeNode3);
    else
        m.planeStatus = planeFromModel(m);
    // Nothing is ever cut on a plane that could not be set up: its results need no filing.
    if (m.planeStatus != CS_SUCCESS) return model;

    indexAndPlace(m, elementBoxes(m));
    FileResults(shells, frames, &m.frame.axes, m);
    return model;
}

}  // namespace xsect::detail
