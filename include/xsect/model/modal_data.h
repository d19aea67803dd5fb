#pragma once

#include <cstdint>
#include <map>

#include "xsect/model/node_results.h"

namespace xsect {

// A modal data holder the host may use; the library only carries it.
struct CModalData {
    std::map<std::int32_t, CNodeResults> results;
};

}  // namespace xsect
