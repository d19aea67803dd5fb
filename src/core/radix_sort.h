#pragma once

// Sorting the short lists a cut produces (a thousand element or node indices) by a key below 2^32,
// stably, in a few passes over them. Listed in the order of a curve through the plane, such lists
// drive a comparison sort to its slowest, and a warm cut spent a fifth of its time there.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace xsect::detail {

// Sorts items by key(item), an unsigned key of at most 32 bits; items with equal keys keep their order.
template <class T, class Key>
void RadixSort(std::vector<T>& items, Key&& key) {
    std::uint32_t highest = 0;
    for (const T& item : items) highest |= static_cast<std::uint32_t>(key(item));
    std::vector<T> sorted(items.size());
    for (unsigned shift = 0; shift < 32 && (highest >> shift) != 0; shift += 8) {
        std::array<std::size_t, 257> start{};
        for (const T& item : items) ++start[((static_cast<std::uint32_t>(key(item)) >> shift) & 0xffu) + 1];
        for (std::size_t d = 1; d < start.size(); ++d) start[d] += start[d - 1];
        for (const T& item : items) sorted[start[(static_cast<std::uint32_t>(key(item)) >> shift) & 0xffu]++] = item;
        items.swap(sorted);
    }
}

}  // namespace xsect::detail
