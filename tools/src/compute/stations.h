#pragma once

// Section forces at stations along an axis, with the jumps at them.
//
// The section cutter's stations read the values just past each station along n: a node on a
// station's line counts before it. Seen from the reversed axis, the same stations read the values
// just before them, turned back into the axis's own signs by Reversed(). Where the two differ by
// more than rounding (1e-9 of the largest force, or moment, along the axis), the station
// lies on a node line that carries a jump, a load on it or the head of an opening, and both
// readings are kept: a diagram draws the jump as a step at the station, not as a ramp to the next.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <xsect/assembly.h>
#include <xsect/sections.h>

namespace xsect::cli {

struct AxisStations {
    std::string error;                  // the cutter's sentence for bad input; empty when done
    std::vector<SectionResult> after;   // one per station, as SectionCutter::Stations gives them
    // (station, its values just before it) where they differ from `after`, in station order. Each
    // has its station's position, cut and axes; its covered stretches are left out.
    std::vector<std::pair<std::size_t, SectionResult>> before;
};

AxisStations StationsWithJumps(const SectionCutter& cutter, const CVertex& axisStart, const CVertex& axisEnd,
                               std::int32_t count, const std::vector<ResultRequest>& requests);
// The same with station planes through an assembly; reversing the axis turns n and t round and keeps
// k as well.
AxisStations StationsWithJumps(const AssemblyCutter& cutter, const CVertex& axisStart, const CVertex& axisEnd,
                               std::int32_t count, const std::vector<ResultRequest>& requests,
                               const AssemblyOptions& options);

}  // namespace xsect::cli
