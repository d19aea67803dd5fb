#pragma once

// Small pieces both pictures write.

#include <string>

namespace xsect::cli {

std::string SvgNumber(double v);    // a coordinate, two decimals
std::string SvgLabel(double v);     // a value for a person, four significant digits
std::string SvgEscape(const std::string& s);
// A round step (1, 2 or 5 times a power of ten) that cuts span into about count parts.
double NiceStep(double span, int count);

}  // namespace xsect::cli
