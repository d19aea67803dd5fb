#pragma once

// The output formats, and numbers as the tables and CSV files print them.

#include <array>
#include <ostream>
#include <string>

#include "compute/geometry.h"

namespace xsect::cli {

enum class Format { Table, Csv, Json };

// Fixed-point with the given decimals; a value that is zero up to rounding prints without "-".
std::string Fmt(double v, int precision = 4);
std::string VecText(CVertex v, int precision = 4);
// A CSV field: quoted when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text);
// A number with at most the given significant digits, in the shorter of fixed and exponent form.
std::string Significant(double v, int digits);
// A number for a CSV file: ten significant digits.
std::string CsvNumber(double v);
// One table row: a left-aligned label, then six right-aligned values.
void PrintSixRow(std::ostream& out, const char* label, int labelWidth, const std::array<double, 6>& v, int width,
                 int precision);

}  // namespace xsect::cli
