#pragma once

// Small pieces both pictures write.

#include <cstddef>
#include <string>
#include <vector>

namespace xsect::cli {

std::string SvgNumber(double v);    // a coordinate, two decimals
std::string SvgLabel(double v);     // a value for a person, four significant digits
std::string SvgEscape(const std::string& s);
// Text broken at spaces into lines of at most `width` characters (a longer word stands alone).
std::vector<std::string> WrapText(const std::string& s, std::size_t width);
// A round step (1, 2 or 5 times a power of ten) that cuts span into about count parts.
double NiceStep(double span, int count);

}  // namespace xsect::cli
