#pragma once

// Storage for the model's large arrays. A cut at a new place reads a few lines from each of a
// thousand places in arrays of hundreds of megabytes, and with ordinary pages nearly every read
// also misses the processor's page table cache, which costs as much again as the read (more under
// a hypervisor). Arrays of a few megabytes and more are therefore mapped on huge-page boundaries
// and offered to the kernel as huge pages, where it has them; smaller ones are allocated as usual.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace xsect::detail {

template <class T>
struct LargeAllocator {
    using value_type = T;
    static constexpr std::size_t kHugePage = std::size_t{2} << 20;
    static constexpr std::size_t kLarge = 2 * kHugePage;

    static constexpr std::size_t rounding(std::size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

    LargeAllocator() noexcept = default;
    template <class U>
    LargeAllocator(const LargeAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > (static_cast<std::size_t>(-1) - 2 * kHugePage) / sizeof(T)) throw std::bad_alloc();
        const std::size_t bytes = n * sizeof(T);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        if (bytes >= kLarge) {
            // Fresh pages straight from the kernel (memory the process has touched before keeps its
            // small pages), on a huge-page boundary: map a huge page more and give back the ends.
            const std::size_t rounded = rounding(bytes);
            void* mapped = mmap(nullptr, rounded + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (mapped == MAP_FAILED) throw std::bad_alloc();
            auto* start = static_cast<char*>(mapped);
            const std::size_t head = (kHugePage - reinterpret_cast<std::uintptr_t>(start) % kHugePage) % kHugePage;
            if (head != 0) munmap(start, head);
            if (kHugePage - head != 0) munmap(start + head + rounded, kHugePage - head);
            madvise(start + head, rounded, MADV_HUGEPAGE);  // a hint: with small pages it works as well
            return reinterpret_cast<T*>(start + head);
        }
#endif
        return std::allocator<T>().allocate(n);
    }
    void deallocate(T* p, std::size_t n) noexcept {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        if (n * sizeof(T) >= kLarge) {
            munmap(p, rounding(n * sizeof(T)));
            return;
        }
#endif
        std::allocator<T>().deallocate(p, n);
    }

    template <class U>
    bool operator==(const LargeAllocator<U>&) const noexcept {
        return true;
    }
    template <class U>
    bool operator!=(const LargeAllocator<U>&) const noexcept {
        return false;
    }
};

template <class T>
using LargeVector = std::vector<T, LargeAllocator<T>>;

}  // namespace xsect::detail
