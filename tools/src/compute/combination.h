#pragma once

// The section force of a load combination in the host convention, as the factored sum of its
// cases' section forces. The sum is exact for static cases only: a response-spectrum case has no
// sign and no single state, so a combination with such a term is reported without values here;
// the section cutter gives its range in the sign rule.

#include "compute/section.h"

namespace xsect::cli {

HostSection CombineSection(CCrossSectionForcesPost& calc, const Model& model, const CutSpec& cut,
                             const io::Combination& combination, bool globalAxes,
                             const std::optional<CVertex>& momentPoint);

}  // namespace xsect::cli
