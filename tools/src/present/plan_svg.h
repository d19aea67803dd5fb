#pragma once

#include <string>

#include "compute/plan.h"

namespace xsect::cli {

// The plan as SVG: the mesh with the crossed elements, the summed nodes and their side, the cut
// with its axes (and the centroid, in the sign rule), and plane coordinates on ticked axes with a
// scale bar.
std::string PlanSvg(const PlanPicture& picture);

}  // namespace xsect::cli
