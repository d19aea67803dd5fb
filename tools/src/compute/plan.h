#pragma once

// The plan of a cut in plane coordinates: the mesh, which elements the cut crosses, which nodes
// are summed and on which side, and the axes the values are given in, for a person to check the
// cut by. What is crossed and summed is what the library says of the cut.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <xsect/sections.h>

#include "compute/section.h"

namespace xsect::cli {

struct PlanArrow {
    std::string label;
    CVertex direction;  // in plane coordinates
};

// Points in plane coordinates; their z is not drawn.
struct PlanPicture {
    std::string title;
    std::string lengthUnit;  // empty when the model does not say
    std::vector<std::pair<std::int32_t, std::vector<CVertex>>> shells;
    std::vector<std::pair<std::int32_t, std::pair<CVertex, CVertex>>> frames;
    std::vector<std::pair<std::int32_t, CVertex>> nodes;
    std::set<std::int32_t> crossed;
    std::vector<CVertex> gathered;  // nodes whose results make up the section force
    CVertex cutStart, cutEnd;
    CVertex towardsSummed;          // unit normal of the cut into the side whose nodes are summed; 0 unknown
    std::string sideLabel;          // the legend's name of that side
    bool numbers = false;           // write node and element numbers
    CVertex axesOrigin;
    std::vector<PlanArrow> axes;    // drawn from axesOrigin
    std::optional<CVertex> centroid;  // the moment point of the sign rule
};

// The elements a cut meets. The host interface does not say which it crossed; the section cutter
// says which elements a section divides, and the cut drawn both ways divides those across it and
// those along it on either side.
struct MetElements {
    std::vector<std::int32_t> shells, frames;  // ascending
};
MetElements Met(const SectionResult& forward, const SectionResult& backward);

// In the host convention: the elements the cut meets and their nodes on the cut's side.
PlanPicture MakeHostPlan(const Model& model, CCrossSectionForcesPost& calc, const SectionCutter& cutter,
                         const CutSpec& cut, const MetElements& met, const std::string& title);
// Adds the cut's axes 1 and 2 of a host-convention result (global directions), from the midpoint.
void SetCutAxes(PlanPicture& plan, CCrossSectionForcesPost& calc, const CutSpec& cut, const HostSection& result);

// In the sign rule (docs/sections.md): the elements the section sums, their nodes on the -n side,
// the axes n and t and the centroid. A section that was not computed shows the cut alone.
PlanPicture MakeSectionPlan(const Model& model, CCrossSectionForcesPost& calc, const SectionCutter& cutter,
                            const SectionResult& section, const std::string& title);

}  // namespace xsect::cli
