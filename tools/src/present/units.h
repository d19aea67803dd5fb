#pragma once

// Column and axis labels with the model's units: "F1 [kN]", "M1 [kN m]", "St [kN/m2]".

#include <string>

#include "xsect/io/model.h"

namespace xsect::cli {

enum class Dimension { Length, Force, Moment, Stress, ForcePerLength, MomentPerLength };

// The unit of a dimension in the model's units; empty when the model names none.
std::string UnitOf(const io::Units& units, Dimension d);
// "name [unit]", or the name alone without units.
std::string Labeled(const std::string& name, const io::Units& units, Dimension d);
// The dimension of a cut-line quantity (St and Sts are stresses, Qt a force per length, Mts and
// Mt moments per length) and of a section force component (F1..F3, then M1..M3).
Dimension DimensionOf(CLStressType type);
Dimension DimensionOfComponent(std::size_t component);

}  // namespace xsect::cli
