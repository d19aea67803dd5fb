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
    auto byteOf = [&](const T& item, unsigned b) { return (static_cast<std::uint32_t>(key(item)) >> (8 * b)) & 0xffu; };
    // The four bytes are counted in one sweep: four counts side by side, where one count at a time
    // would wait on itself whenever neighbouring keys share the byte (as a cut's shells mostly do).
    std::array<std::array<std::uint32_t, 256>, 4> counts{};
    for (const T& item : items) {
        const auto k = static_cast<std::uint32_t>(key(item));
        ++counts[0][k & 0xffu];
        ++counts[1][(k >> 8) & 0xffu];
        ++counts[2][(k >> 16) & 0xffu];
        ++counts[3][k >> 24];
    }
    std::vector<T> sorted(items.size());
    for (unsigned b = 0; b < 4 && !items.empty(); ++b) {
        const std::array<std::uint32_t, 256>& count = counts[b];
        if (count[byteOf(items.front(), b)] == items.size()) continue;  // a byte every key shares orders nothing
        std::array<std::size_t, 256> start;
        std::size_t sum = 0;
        for (std::size_t d = 0; d < start.size(); ++d) {
            start[d] = sum;
            sum += count[d];
        }
        for (const T& item : items) sorted[start[byteOf(item, b)]++] = item;
        items.swap(sorted);
    }
}

}  // namespace xsect::detail
