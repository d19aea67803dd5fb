#pragma once

// Numbers as the tables print them.

#include <array>
#include <ostream>
#include <string>

#include "compute/vec3.h"

namespace xsect::cli {

// Fixed-point with the given decimals; a value that is zero up to rounding prints without "-".
std::string Fmt(double v, int precision = 4);
std::string VecText(Vec3 v, int precision = 4);
// One table row: a left-aligned label, then six right-aligned values.
void PrintSixRow(std::ostream& out, const char* label, int labelWidth, const std::array<double, 6>& v, int width,
                 int precision);

}  // namespace xsect::cli
