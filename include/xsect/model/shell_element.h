#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "xsect/export.h"
#include "xsect/model/node_results.h"

namespace xsect {

// One shell element: its node numbers in order around its boundary and the forces it exerts
// at each node, per static load case and per response-spectrum load case and mode.
class XSECT_API CShellElement {
public:
    std::vector<std::int32_t> nodes;
    // load case -> node -> results
    std::map<std::int32_t, std::map<std::int32_t, CNodeResults>> staticResults;
    // load case -> node -> mode -> results
    std::map<std::int32_t, std::map<std::int32_t, std::map<std::int32_t, CNodeResults>>> spectrumResults;
    // a store the host may fill; the library only carries it
    std::map<std::int32_t, std::map<std::int32_t, std::vector<CNodeResults>>> extraResults;

    std::int32_t GetShellNodeSize() const;

    // Files results under (load case, node); a later filing for the same keys replaces it.
    void StoreStaticCaseResults(std::int32_t loadCase, std::int32_t node, CNodeResults results);
    // Files results under (load case, node, mode); a later filing for the same keys replaces it.
    void StoreResponseSpectraCaseResults(std::int32_t loadCase, std::int32_t node, std::int32_t mode,
                                         CNodeResults results);
};

}  // namespace xsect
