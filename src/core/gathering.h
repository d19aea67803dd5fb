#pragma once

// Gathering the nodal results of the crossed elements on one side of a cut and integrating them into
// the six resultants about a moment point. Which element nodes lie on the side does not depend on
// the load case, so the side is chosen once and then serves any number of load cases and modes.

#include <array>
#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

#include "core/arithmetic.h"
#include "core/crossing.h"
#include "core/plane_model.h"

namespace xsect::detail {

// One element node on the gathered side: the node and where its records are (a shell's corner slot,
// or a frame's end 0 / 1, of the element at its place; -1 when the place was not noted).
struct SideSlot {
    std::int32_t node;
    std::int32_t element;
    std::int32_t slot;
    bool frame;
    std::int32_t place = -1;
};

// The crossed elements' nodes that `onSide(point, node)` accepts (the node's coordinates and its
// index), in the order the sums are taken: shells in ascending number, each node in the shell's own
// order, then frames, end A before end B. The rule must depend on the node alone: a node's answer is
// remembered for the shells after.
template <class OnSide>
std::vector<SideSlot> SelectSide(const ElementArrays& m, const CrossedElements& crossed, OnSide&& onSide) {
    // The rule and the arrays' addresses in locals, and the slots written into room counted
    // beforehand: with nothing that may alias them and no call in the loop, the rule's numbers stay
    // in registers rather than being fetched again for every corner.
    const std::decay_t<OnSide> accepts = onSide;
    const Point* const vertices = m.vertices.data();
    const std::size_t shells = crossed.shells.size();
    const std::int32_t* const places = crossed.shellPlaces.size() == shells ? crossed.shellPlaces.data() : nullptr;
    auto placeOf = [&](std::size_t k) {
        return places ? static_cast<std::size_t>(places[k]) : m.PlaceOf(static_cast<std::size_t>(crossed.shells[k]));
    };

    // Neighbouring crossed shells share their nodes, and the rule is the dearest step here: each node's
    // answer is kept in a small table by its low bits, where a clash costs only a second asking.
    struct Seen {
        std::int32_t node;
        bool accepted;
    };
    std::array<Seen, 64> seen;
    seen.fill({kMissing, false});
    auto onSideOf = [&](std::int32_t node) {
        Seen& e = seen[static_cast<std::uint32_t>(node) % seen.size()];
        if (e.node != node) e = {node, accepts(vertices[static_cast<std::size_t>(node)], node)};
        return e.accepted;
    };

    std::size_t room = 2 * crossed.frames.size();
    for (std::size_t k = 0; k < shells; ++k) room += m.CornerCountAt(placeOf(k));
    const std::unique_ptr<unsigned char[]> storage(new unsigned char[room * sizeof(SideSlot)]);
    SideSlot* const first = reinterpret_cast<SideSlot*>(storage.get());
    SideSlot* out = first;
    for (std::size_t k = 0; k < shells; ++k) {
        const std::int32_t s = crossed.shells[k];
        const std::size_t place = placeOf(k);
        const std::int32_t* const c = m.CornersAt(place);
        const std::size_t n = m.CornerCountAt(place);
        for (std::size_t i = 0; i < n; ++i)
            if (onSideOf(c[i]))
                out = ::new (out) SideSlot{c[i], s, static_cast<std::int32_t>(i), false, static_cast<std::int32_t>(place)} + 1;
    }
    for (const std::int32_t f : crossed.frames)
        for (std::int32_t end = 0; end < 2; ++end) {
            const std::int32_t node = m.frameEnds[static_cast<std::size_t>(f)][static_cast<std::size_t>(end)];
            if (accepts(vertices[static_cast<std::size_t>(node)], node)) {
                const auto place = static_cast<std::int32_t>(m.frameResults.PlaceOf(static_cast<std::size_t>(f)));
                out = ::new (out) SideSlot{node, f, end, true, place} + 1;
            }
        }
    return std::vector<SideSlot>(first, out);
}

// The host interface's side rule: non-zero `side` takes the nodes right of the directed cut p -> q
// and those on it (zero area counts as clockwise), zero those strictly left.
struct WindingSide {
    DirectedLine line;
    POLYGON_DIRECTION wanted;
    WindingSide(const CVertex& from, const CVertex& to, std::int32_t side)
        : line(from, to), wanted(side != 0 ? POLYGON_CLOCKWISE : POLYGON_COUNTERCLOCKWISE) {}
    bool operator()(const Point& v, std::int32_t) const { return line.windingOf(v) == wanted; }
};

// The six sums of a static load case over the side's nodes: each node's records (plane axes) summed
// in gathering order, then carried to the moment point and rotated by T, in ascending node number.
Six IntegrateStatic(const PlaneModel& m, std::int32_t caseIndex, const std::vector<SideSlot>& side, const Mat3& T,
                    const Vec3& momentPoint);

// The same per mode, modes 1..modes: six vectors of per-mode sums (F1 .. M3), each `modes` long.
std::array<std::vector<double>, 6> IntegrateModes(const PlaneModel& m, std::int32_t caseIndex,
                                                  const std::vector<SideSlot>& side, const Mat3& T,
                                                  const Vec3& momentPoint, std::int32_t modes);

// A gathered side made ready for many load cases, for the section cutter: the slots grouped by
// element and each node's lever arm about the moment point, worked out once. Each case then costs
// one lookup of its block per element and a few products per slot. The sums run slot by slot in
// gathering order, so they agree with IntegrateStatic to rounding, not to the bit.
class SideSums {
public:
    SideSums(const ElementArrays& m, const std::vector<SideSlot>& side, const Vec3& momentPoint);
    // The six sums of each static case about the moment point, rotated by T. The cases are taken
    // element by element, so that each element's records are read while they are at hand.
    std::vector<Six> Static(const std::vector<std::int32_t>& caseIndices, const Mat3& T) const;
    // The same per mode, modes 1..modes: six vectors, each `modes` long.
    std::array<std::vector<double>, 6> Modes(std::int32_t caseIndex, const Mat3& T, std::int32_t modes) const;

private:
    struct Run {
        const ResultStore* store;
        std::size_t element, place;
        std::size_t first, last;  // its slots in slots_ and arms_
    };
    // Adds the record of slot i, if the host filed one, to the force and moment sums.
    void Add(const ResultBlock& block, const ResultStore& store, std::size_t i, std::int32_t mode, Vec3& force,
             Vec3& moment) const;

    std::vector<Run> runs_;
    std::vector<std::size_t> slots_;
    std::vector<Vec3> arms_;
};

// The highest mode filed for the case on any of the crossed elements (0 for none).
std::int32_t HighestFiledMode(const ElementArrays& m, std::int32_t caseIndex, const CrossedElements& crossed);

}  // namespace xsect::detail
