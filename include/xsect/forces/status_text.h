#pragma once

#include <cstdint>

#include "xsect/export.h"

namespace xsect {

// The enumerator name of a status word value ("CS_NO_ELEMENTS_CROSSED"); "CS_UNKNOWN" for a value
// that is not a CROSS_SECTION_MESSAGES value. The string is static and never null.
XSECT_API const char* StatusName(std::int32_t status);

// One sentence for a person saying what the status means and what usually causes it. The string is
// static and never null; an unknown value gets a sentence that says so.
XSECT_API const char* StatusMessage(std::int32_t status);

}  // namespace xsect
