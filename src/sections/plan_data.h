#pragma once

// What a plan holds, and the one step that turns laid-out sections into it. A cutter lays each of
// its sections out, lists the element nodes the section sums with their lever arms and the section's
// transfer (PlannedSection, from the section's SectionLayout), and AssemblePlan numbers the elements
// read and packs the whole.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/arithmetic.h"
#include "core/plane_model.h"
#include "sections/section.h"
#include "xsect/sections.h"

namespace xsect::detail {

// One element node a section sums: its element (an index into PlanData::shells or ::frames), its
// slot (a shell's corner, a frame's end 0 / 1) and its lever arm from the moment point, global axes.
struct PlanTerm {
    std::int32_t element;
    std::int32_t slot;
    std::int32_t frame;  // 1 for a frame, 0 for a shell
    Vec3 arm;
};

struct PlanData {
    std::string error;
    std::vector<SectionResult> sections;  // geometry only: no values, envelope NaN
    // Per section, the rows sign x n, sign x t, sign x k in global axes: they take a global force or
    // moment summed over the section's nodes to what the +n part exerts on the -n part.
    std::vector<Mat3> transfer;
    std::vector<std::size_t> termStart{0};  // section i's terms are terms[termStart[i] .. termStart[i+1])
    std::vector<PlanTerm> terms;
    std::vector<std::int32_t> shells, frames;  // the rows read, ascending
    std::size_t shellRows = 0, frameRows = 0, corners = 0;
};

// A laid-out section as a plan takes it: its geometry, transfer and summed nodes, with the element
// of each node as its model numbers it (shell or frame index, not yet the plan's).
struct PlannedSection {
    SectionResult geometry;
    Mat3 transfer{};
    std::vector<PlanTerm> nodes;
};

// A section for the plan, from its layout: each summed node's lever arm about the moment point in
// global axes (taken there by `frame` from a plane model's coordinates; null for a model in global
// coordinates), and the section's axes times the layout's sign.
void PlanSection(const ElementArrays& m, const SectionLayout& layout, const PlaneFrame* frame, PlannedSection& out);

// The most corners of any shell: the corners per shell of the arrays a plan reads.
std::size_t MostCorners(const ElementArrays& m);

// The plan of the sections, in their order: the elements they read numbered in ascending row order.
// The shape is that of the arrays Apply reads (rows of shells and frames, corners per shell).
std::shared_ptr<const PlanData> AssemblePlan(std::vector<PlannedSection>&& sections, std::size_t shellRows,
                                             std::size_t frameRows, std::size_t corners);

// A plan of no sections saying why; "Out of memory." when there is no memory to say more.
std::shared_ptr<const PlanData> RefusedPlan(std::string sentence) noexcept;

}  // namespace xsect::detail
