#pragma once

// Shares independent jobs out over threads. Each job writes only its own output, so the results do
// not depend on how many threads there are or which one ran which job.

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

namespace xsect::detail {

// Runs job(i) for every i below count on up to `threads` threads (0: one per core), the calling
// thread among them. False when a job threw; the other jobs may then be left undone. A thread the
// system refuses leaves its share to the threads that did start.
template <class Job>
bool RunInParallel(std::size_t count, unsigned threads, const Job& job) {
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    auto work = [&]() noexcept {
        try {
            for (std::size_t i = next.fetch_add(1); i < count && !failed.load(); i = next.fetch_add(1)) job(i);
        } catch (...) {
            failed.store(true);
        }
    };
    std::vector<std::thread> pool;
    const std::size_t helpers =
        std::min<std::size_t>(threads, count) > 0 ? std::min<std::size_t>(threads, count) - 1 : 0;
    try {
        pool.reserve(helpers);
        for (std::size_t h = 0; h < helpers; ++h) pool.emplace_back(work);
    } catch (...) {
    }
    work();
    for (std::thread& t : pool) t.join();
    return !failed.load();
}

}  // namespace xsect::detail
