#pragma once

// The plan of a cut in plane coordinates: the mesh, which elements the cut crosses, which nodes
// it gathers and the cut's own axes, for a person to check the cut by.

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "compute/section.h"

namespace xsect::cli {

struct Pt {
    double x = 0.0, y = 0.0;
};

struct PlanPicture {
    std::string title;
    std::string lengthUnit;  // empty when the model does not say
    std::vector<std::pair<std::int32_t, std::vector<Pt>>> shells;  // plane coordinates
    std::vector<std::pair<std::int32_t, std::pair<Pt, Pt>>> frames;
    std::vector<std::pair<std::int32_t, Pt>> nodes;
    std::set<std::int32_t> crossed;
    std::vector<Pt> gathered;  // nodes whose results make up the section force
    Pt cutStart, cutEnd;
    bool gatherLeft = true;  // the gathered side, left or right of the directed cut
    bool numbers = false;    // write node and element numbers
    bool hasAxes = false;    // the cut's axes 1 and 2 as the library reported them
    Pt axis1, axis2;         // unit directions in plane coordinates
};

PlanPicture MakePlan(const Model& model, CCrossSectionForcesPost& calc, const CutSpec& cut, const std::string& title);

// Adds the cut's axes of a section result (global directions) to the plan.
void SetCutAxes(PlanPicture& plan, CCrossSectionForcesPost& calc, const CutSpec& cut, const SectionResult& result);

}  // namespace xsect::cli
