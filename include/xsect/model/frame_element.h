#pragma once

#include <cstdint>
#include <map>

#include "xsect/model/node_results.h"

namespace xsect {

// One frame element and the forces it exerts at its two ends; the host fills the maps directly.
struct CFrameElement {
    std::int32_t nodeA = -1;
    std::int32_t nodeB = -1;
    std::map<std::int32_t, CNodeResults> staticResultsA;  // load case -> results at end A
    std::map<std::int32_t, CNodeResults> staticResultsB;
    std::map<std::int32_t, std::map<std::int32_t, CNodeResults>> spectrumResultsA;  // load case -> mode -> results
    std::map<std::int32_t, std::map<std::int32_t, CNodeResults>> spectrumResultsB;
};

}  // namespace xsect
