#pragma once

// Which load cases have no results on any element a section sums. The library sums what it finds,
// so such a case reads as a row of zeros that stands for nothing; the model's result maps, asked
// about the elements the section names, tell the program, so that it can say so.

#include <cstdint>
#include <vector>

#include <xsect/sections.h>

#include "xsect/io/model.h"

namespace xsect::cli {

class ResultCoverage {
public:
    ResultCoverage(const io::Model& model, const std::vector<std::int32_t>& cases);
    // Of the cases given above, those that none of the shells and frames has results for. Empty for
    // elements that are none at all: then there is nothing to tell.
    std::vector<std::int32_t> Missing(const std::vector<std::int32_t>& shells,
                                      const std::vector<std::int32_t>& frames) const;
    std::vector<std::int32_t> Missing(const SectionResult& section) const {
        return Missing(section.shells, section.frames);
    }

private:
    struct Cover {
        std::int32_t loadCase;
        std::vector<std::int32_t> shellsWithout, framesWithout;  // ascending
    };
    std::vector<Cover> covers_;
};

}  // namespace xsect::cli
