#pragma once

// The load cases and combinations a command reports, as the section cutter's requests, with the
// names a person reads: the combination's name, else the load case's name, else its number.

#include <cstdint>
#include <string>
#include <vector>

#include <xsect/sections.h>

#include "xsect/io/model.h"

namespace xsect::cli {

struct NamedRequests {
    std::vector<ResultRequest> requests;  // named "load case 3", "combination ULS": unique for the cutter
    std::vector<std::string> labels;      // what tables and pictures show, one per request
    std::vector<const io::Combination*> combinations;  // per request: its combination, or null for a load case
    std::vector<std::int32_t> cases;      // every load case the requests use, once, in order of first use
};

// One request per load case (factor 1), then one per combination.
NamedRequests MakeRequests(const io::Model& model, const std::vector<std::int32_t>& cases,
                           const std::vector<const io::Combination*>& combinations);

// Static and response-spectrum cases have section values; other types have none.
bool HasSectionValues(const io::LoadCase& loadCase);

// "2 (gravity)", or "2" for a case without a name.
std::string CaseText(const io::Model& model, std::int32_t loadCase);

}  // namespace xsect::cli
