#include "compute/history.h"

#include "xsect/io/record_file.h"

namespace xsect::cli {

bool RunHistory(const SectionPlan& plan, const std::string& record, const std::vector<std::size_t>& chosen,
                const std::function<void(std::uint64_t done, std::uint64_t total)>& progress, History& out,
                std::string& error) {
    out = History{};
    out.chosen = chosen;
    const std::size_t width = plan.Sections().size() * 6;
    bool kept = true;
    const bool read = io::ApplyPlanToRecord(
        plan, record,
        [&](std::size_t, std::size_t count, const double* times, const double* values) {
            out.times.insert(out.times.end(), times, times + count);
            kept = kept && out.envelope.Add(values, count, width);
            for (std::size_t s = 0; s < count; ++s)
                for (const std::size_t c : chosen)
                    out.series.insert(out.series.end(), values + s * width + 6 * c, values + s * width + 6 * c + 6);
        },
        progress, error);
    if (read && !kept) error = "out of memory";
    return read && kept;
}

}  // namespace xsect::cli
