#pragma once

#include <string>
#include <vector>

#include "compute/cut_line_stresses.h"

namespace xsect::cli {

// The smoothed cut-line diagrams, one panel per quantity, with the samples they were fitted to,
// the element bounds and the values on labelled axes.
std::string DiagramsSvg(const std::string& title, const std::vector<DiagramSeries>& series,
                        const std::vector<double>& elementBounds, const io::Units& units);

}  // namespace xsect::cli
