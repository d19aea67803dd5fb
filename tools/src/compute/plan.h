#pragma once

// The plan of a cut in plane coordinates: the mesh, which elements the cut crosses, which nodes
// are summed and on which side, and the axes the values are given in, for a person to check the
// cut by.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <xsect/sections.h>

#include "compute/plane_mesh.h"

namespace xsect::cli {

struct PlanArrow {
    std::string label;
    Pt direction;  // in plane coordinates
};

struct PlanPicture {
    std::string title;
    std::string lengthUnit;  // empty when the model does not say
    std::vector<std::pair<std::int32_t, std::vector<Pt>>> shells;  // plane coordinates
    std::vector<std::pair<std::int32_t, std::pair<Pt, Pt>>> frames;
    std::vector<std::pair<std::int32_t, Pt>> nodes;
    std::set<std::int32_t> crossed;
    std::vector<Pt> gathered;   // nodes whose results make up the section force
    Pt cutStart, cutEnd;
    Pt towardsSummed;           // unit normal of the cut into the side whose nodes are summed; 0 unknown
    std::string sideLabel;      // the legend's name of that side
    bool numbers = false;       // write node and element numbers
    Pt axesOrigin;
    std::vector<PlanArrow> axes;  // drawn from axesOrigin
    std::optional<Pt> centroid;   // the moment point of the sign rule
};

// In the host convention: the nodes of the cut's side (0 strictly left, 1 right and on it).
PlanPicture MakePlan(const Model& model, CCrossSectionForcesPost& calc, const CutSpec& cut, const std::string& title);
// Adds the cut's axes 1 and 2 of a host-convention result (global directions), from the midpoint.
void SetCutAxes(PlanPicture& plan, CCrossSectionForcesPost& calc, const CutSpec& cut, const HostSection& result);

// In the sign rule (docs/sections.md): the elements that the cut moved by the tolerance towards +n
// crosses, their nodes on the -n side, the axes n and t and the centroid. A section that was not
// computed shows the cut alone.
PlanPicture MakeSectionPlan(const Model& model, CCrossSectionForcesPost& calc, const SectionResult& section,
                            const std::string& title);

}  // namespace xsect::cli
