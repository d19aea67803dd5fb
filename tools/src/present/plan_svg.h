#pragma once

#include <string>

#include "compute/plan.h"

namespace xsect::cli {

// The plan as SVG: the mesh with the crossed elements, the gathered nodes and side, the cut with
// its axes, and plane coordinates on ticked axes with a scale bar.
std::string PlanSvg(const PlanPicture& picture);

}  // namespace xsect::cli
