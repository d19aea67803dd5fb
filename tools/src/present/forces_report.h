#pragma once

// The tables of `xsect forces`, in the two conventions: the sign rule's N, Vt, Vk, Mn, Mt, Mk in
// the section axes about the centroid (docs/sections.md), and the host interface's six values in
// the cut's or the global axes. Each as a table, CSV or JSON.

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <xsect/sections.h>

#include "compute/requests.h"
#include "compute/section.h"
#include "present/text.h"

namespace xsect::cli {

// One line of the host convention: a cut with a load case or a combination.
struct HostRow {
    CutSpec cut;
    std::int32_t loadCase = 0;
    const io::Combination* combination = nullptr;
    HostSection result;
};

void PrintHostForces(std::ostream& out, Format format, const Model& model, const std::vector<HostRow>& rows,
                     bool globalAxes, const std::optional<CVertex>& momentPoint);

// The sections of the named cuts (one each, in order) for every request.
void PrintSectionForces(std::ostream& out, Format format, const Model& model, const std::vector<std::string>& cutNames,
                        const std::vector<SectionResult>& sections, const NamedRequests& requests);

}  // namespace xsect::cli
