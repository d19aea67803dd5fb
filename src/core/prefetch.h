#pragma once

// Asking the memory for data a moment before it is read. A cut at a new place finds its elements'
// data in memory rather than in the cache; a search that names every address it will need, stage by
// stage, lets the memory fetch them side by side instead of one after another.

namespace xsect::detail {

inline void PrefetchLine(const void* address) {
#if (defined(__GNUC__) || defined(__clang__)) && !defined(XSECT_NO_PREFETCH)
    __builtin_prefetch(address);
    // The compiler counts a prefetch as no effect at all and drops a loop that does nothing else:
    // an empty statement it must keep, naming the address, keeps the loop.
    asm volatile("" : : "r"(address));
#else
    (void)address;
#endif
}

}  // namespace xsect::detail
