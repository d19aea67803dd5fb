#include "core/box_tree.h"

#include <algorithm>
#include <cmath>

namespace xsect::detail {

namespace {

// A leaf this small costs a few exact tests; splitting it further costs more in boxes than it saves.
constexpr std::int32_t kLeafItems = 4;

bool empty(const Box3& b) { return !(b.lo[0] <= b.hi[0] && b.lo[1] <= b.hi[1] && b.lo[2] <= b.hi[2]); }

void grow(Box3& into, const Box3& b) {
    for (std::size_t i = 0; i < 3; ++i) {
        into.lo[i] = std::min(into.lo[i], b.lo[i]);
        into.hi[i] = std::max(into.hi[i], b.hi[i]);
    }
}

}  // namespace

void BoxTree::Build(const std::vector<Box3>& boxes) {
    nodes_.clear();
    items_.clear();
    std::vector<Vec3> centres(boxes.size());
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (empty(boxes[i])) continue;
        items_.push_back(static_cast<std::int32_t>(i));
        for (std::size_t k = 0; k < 3; ++k) centres[i][k] = boxes[i].lo[k] + (boxes[i].hi[k] - boxes[i].lo[k]) / 2;
    }
    if (items_.empty()) return;
    nodes_.reserve(2 * (items_.size() / kLeafItems + 1));
    BuildNode(items_, centres, boxes, 0, static_cast<std::int32_t>(items_.size()));
}

// Splits at the median of the centres along their longest extent, so that the tree is balanced
// whatever the assembly's shape: a tall core is cut into storeys first, then into walls.
std::int32_t BoxTree::BuildNode(std::vector<std::int32_t>& items, const std::vector<Vec3>& centres,
                                const std::vector<Box3>& boxes, std::int32_t first, std::int32_t count) {
    const auto at = static_cast<std::int32_t>(nodes_.size());
    nodes_.emplace_back();
    Box3 box{{HUGE_VAL, HUGE_VAL, HUGE_VAL}, {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL}};
    Box3 spread = box;
    for (std::int32_t i = first; i < first + count; ++i) {
        const auto item = static_cast<std::size_t>(items[static_cast<std::size_t>(i)]);
        grow(box, boxes[item]);
        grow(spread, {centres[item], centres[item]});
    }
    nodes_[static_cast<std::size_t>(at)].box = box;
    std::size_t axis = 0;
    for (std::size_t k = 1; k < 3; ++k)
        if (spread.hi[k] - spread.lo[k] > spread.hi[axis] - spread.lo[axis]) axis = k;
    if (count <= kLeafItems || !(spread.hi[axis] > spread.lo[axis])) {
        nodes_[static_cast<std::size_t>(at)].first = first;
        nodes_[static_cast<std::size_t>(at)].count = count;
        return at;
    }
    const std::int32_t half = count / 2;
    const auto begin = items.begin() + first;
    std::nth_element(begin, begin + half, begin + count, [&](std::int32_t l, std::int32_t r) {
        return centres[static_cast<std::size_t>(l)][axis] < centres[static_cast<std::size_t>(r)][axis];
    });
    BuildNode(items, centres, boxes, first, half);
    const std::int32_t second = BuildNode(items, centres, boxes, first + half, count - half);
    nodes_[static_cast<std::size_t>(at)].second = second;
    return at;
}

void BoxTree::Near(const Vec3& p, const Vec3& n, double reach, std::vector<std::int32_t>& out) const {
    if (nodes_.empty()) return;
    const Vec3 an{std::fabs(n[0]), std::fabs(n[1]), std::fabs(n[2])};
    std::int32_t stack[64];
    std::size_t depth = 0;
    stack[depth++] = 0;
    while (depth > 0) {
        const Node& node = nodes_[static_cast<std::size_t>(stack[--depth])];
        // The box's centre's distance from the plane, and how far the box reaches either side of it.
        double centre = 0.0, radius = 0.0;
        for (std::size_t k = 0; k < 3; ++k) {
            const double half = (node.box.hi[k] - node.box.lo[k]) / 2;
            centre += (node.box.lo[k] + half - p[k]) * n[k];
            radius += an[k] * half;
        }
        if (centre - radius > reach || centre + radius < -reach) continue;
        if (node.count > 0) {
            out.insert(out.end(), items_.begin() + node.first, items_.begin() + node.first + node.count);
            continue;
        }
        const auto self = static_cast<std::int32_t>(&node - nodes_.data());
        stack[depth++] = node.second;
        stack[depth++] = self + 1;
    }
}

std::size_t BoxTree::Bytes() const {
    return nodes_.capacity() * sizeof(Node) + items_.capacity() * sizeof(std::int32_t);
}

}  // namespace xsect::detail
