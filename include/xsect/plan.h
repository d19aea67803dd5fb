#pragma once

// Plans: a set of sections compiled once and applied to any number of steps of element nodal forces,
// as a time-history analysis writes them (docs/sections.md).
//
// A section's six values are linear in the nodal forces of the elements it sums. A plan holds, per
// section, those elements' nodes on the summed side and the fixed transfer of each node's force and
// moment to the section axes about the centroid, laid out by the same steps as the section cutter's
// sections. Applied to a step it reads those elements' records and nothing else, so a step costs what
// the sections cross, not what the model holds.
//
// Forces come as the host stores them: the element nodal forces in GLOBAL axes (Fx, Fy, Fz, Mx, My,
// Mz), with the cutter's NodalForceSense. Shell forces are laid out [step][shell][corner][6]: shells
// in the model's order (ascending element number) unless the plan was Renumbered, corners in each
// shell's own node order, K = Corners() per shell (the model's most), unused corners zero. Frame
// forces are [step][frame][end A, B][6]. Values come out [step][section][N, Vt, Vk, Mn, Mt, Mk], each
// equal to what the cutter gives for a static case holding that step (to rounding).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "xsect/export.h"
#include "xsect/sections.h"

namespace xsect {

namespace detail {
struct PlanData;
}

class XSECT_API SectionPlan {
public:
    // A plan of no sections.
    SectionPlan();
    // For the library's cutters, which compile plans.
    XSECT_LOCAL explicit SectionPlan(std::shared_ptr<const detail::PlanData> data);

    // The sentence of the bad input that left the plan without sections; empty for a plan.
    const std::string& Error() const;
    // Each section as the cutter lays it out: status, cut, position, centroid, axes, covered part and
    // the elements summed. Its values are empty and its envelope NaN (request -1): Apply gives them.
    const std::vector<SectionResult>& Sections() const;
    // The rows the plan reads, ascending: shell and frame indices in the model's order (ascending
    // element number), or the rows a Renumbered plan was given.
    const std::vector<std::int32_t>& Shells() const;
    const std::vector<std::int32_t>& Frames() const;
    // The shape of the arrays Apply reads: shells and frames per step, and corners per shell (K).
    std::size_t ShellRows() const;
    std::size_t FrameRows() const;
    std::size_t Corners() const;

    // The values of `steps` steps into out [step][section][6]. shellForces holds every shell
    // [step][ShellRows()][K][6], frameForces every frame [step][FrameRows()][2][6]; either may be null,
    // its elements then adding nothing. A section without values (its status not CS_SUCCESS) reads
    // NaN. Allocates nothing; several threads may apply one plan at once.
    void Apply(const double* shellForces, const double* frameForces, std::size_t steps, double* out) const;
    // The same from the plan's own rows only: shellRows [step][Shells().size()][K][6] in the order
    // Shells() lists them, frameRows [step][Frames().size()][2][6].
    void ApplyRows(const double* shellRows, const double* frameRows, std::size_t steps, double* out) const;

    // The same plan reading arrays whose rows come in another order: shellRow[i] is the row of the
    // model's shell i (ascending number) and frameRow[f] that of frame f, each a permutation of
    // 0..ShellRows()-1 and 0..FrameRows()-1. A list of another length or not a permutation gives a
    // plan with no sections and its Error().
    SectionPlan Renumbered(const std::vector<std::int32_t>& shellRow, const std::vector<std::int32_t>& frameRow) const;

    // The plan as bytes, and back, so that it can be sent to other processes (this library's build on
    // a machine of the same byte order). Bytes that are not a plan give a plan with no sections and
    // its Error().
    std::string Serialized() const;
    static SectionPlan Deserialized(const std::string& bytes);

private:
    std::shared_ptr<const detail::PlanData> data_;
};

// Per value of a series, over its steps: the greatest and least value and the first step that gives
// each, as the steps are added block by block. NaN never governs; a value that is NaN at every step
// stays NaN with step -1.
class XSECT_API StepEnvelope {
public:
    // Adds the next `steps` steps of a series laid out [step][width]: their steps are counted on from
    // those added before. The first call fixes the width; false, changing nothing, for another width
    // or when memory runs out.
    bool Add(const double* series, std::size_t steps, std::size_t width);

    std::size_t Width() const { return max_.size(); }
    std::int64_t Steps() const { return steps_; }
    const std::vector<double>& Max() const { return max_; }
    const std::vector<double>& Min() const { return min_; }
    const std::vector<std::int64_t>& MaxStep() const { return maxStep_; }
    const std::vector<std::int64_t>& MinStep() const { return minStep_; }

private:
    std::vector<double> max_, min_;
    std::vector<std::int64_t> maxStep_, minStep_;
    std::int64_t steps_ = 0;
    bool sized_ = false;
};

}  // namespace xsect
