#include "xsect/model/shell_element.h"

namespace xsect {

std::int32_t CShellElement::GetShellNodeSize() const { return static_cast<std::int32_t>(nodes.size()); }

void CShellElement::StoreStaticCaseResults(std::int32_t loadCase, std::int32_t node, CNodeResults results) {
    // A later filing replaces the earlier one: results are never accumulated here.
    staticResults[loadCase][node] = results;
}

void CShellElement::StoreResponseSpectraCaseResults(std::int32_t loadCase, std::int32_t node, std::int32_t mode,
                                                    CNodeResults results) {
    spectrumResults[loadCase][node][mode] = results;
}

}  // namespace xsect
