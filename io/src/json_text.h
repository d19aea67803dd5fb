#pragma once

// Pieces of JSON text both writers emit: the JSON model and the CSV manifest carry the same
// header, load cases and combinations.

#include <ostream>
#include <string>

#include "xsect/io/model.h"

namespace xsect::io {

// The shortest text that reads back to the same double.
std::string JsonNumber(double v);
std::string JsonString(const std::string& s);

// `  "key": value,\n` lines for title, units, tolerance, plane nodes, load cases and
// combinations, in the order the readers take them in one pass.
void WriteJsonHeader(std::ostream& o, const Model& model);

}  // namespace xsect::io
