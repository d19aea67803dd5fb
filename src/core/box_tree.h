#pragma once

// A tree of boxes in space over an assembly's elements, so that a cutting plane visits the branches
// it passes near instead of every element, in any direction: a station up a core, a cut along a
// girder, a storey's plane. The tree only narrows the search: every element it may leave out lies
// farther from the plane than the exact tests look, and the caller tests its candidates exactly.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/arithmetic.h"

namespace xsect::detail {

// An axis-aligned box; lo > hi in any axis makes it empty, never a candidate.
struct Box3 {
    Vec3 lo, hi;
};

class BoxTree {
public:
    // Items are numbered 0..boxes.size()-1 by the caller; every non-empty box must be finite.
    void Build(const std::vector<Box3>& boxes);

    // The items whose boxes come within `reach` of the plane through p with unit normal n (either
    // side), appended to out in no particular order, each once.
    void Near(const Vec3& p, const Vec3& n, double reach, std::vector<std::int32_t>& out) const;

    std::size_t Bytes() const;

private:
    // A node's children follow it: the first at the next index, the second at `second`. A leaf
    // holds items_[first, first + count).
    struct Node {
        Box3 box;
        std::int32_t first = 0, count = 0;
        std::int32_t second = 0;
    };
    std::int32_t BuildNode(std::vector<std::int32_t>& items, const std::vector<Vec3>& centres,
                           const std::vector<Box3>& boxes, std::int32_t first, std::int32_t count);

    std::vector<Node> nodes_;
    std::vector<std::int32_t> items_;
};

}  // namespace xsect::detail
