#pragma once

// A section plan applied to a time-history record: every section's envelope over the steps, and the
// whole series of the sections a person asked to see.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <xsect/plan.h>

namespace xsect::cli {

struct History {
    std::vector<double> times;         // of every step
    StepEnvelope envelope;             // [section][N, Vt, Vk, Mn, Mt, Mk] over the steps
    std::vector<std::size_t> chosen;   // the sections whose series is kept
    std::vector<double> series;        // [step][chosen][6]
};

// Reads the record a block of steps at a time through the plan (renumbered to the record's rows);
// false with the reader's sentence.
bool RunHistory(const SectionPlan& plan, const std::string& record, const std::vector<std::size_t>& chosen,
                const std::function<void(std::uint64_t done, std::uint64_t total)>& progress, History& out,
                std::string& error);

}  // namespace xsect::cli
