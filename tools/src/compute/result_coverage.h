#pragma once

// Which load cases have no results on any element a cut meets. The library sums what it finds, so
// such a case reads as a row of zeros that stands for nothing; the model's result maps and the
// library's segment test tell the program, so that it can say so.

#include <cstdint>
#include <vector>

#include "compute/plane_mesh.h"

namespace xsect::cli {

class ResultCoverage {
public:
    ResultCoverage(const Model& model, CCrossSectionForcesPost& calc, const std::vector<std::int32_t>& cases);
    // Of the cases given above, those that no element the cut start-end (global) meets has results
    // for. Empty when the cut meets no element by the segment test (a cut wholly inside one shell,
    // say): then there is nothing to tell.
    std::vector<std::int32_t> Missing(Vec3 start, Vec3 end) const;

private:
    struct Cover {
        std::int32_t loadCase;
        std::vector<std::size_t> with, without;  // elements with and without results for it
    };
    CCrossSectionForcesPost& calc_;
    PlaneMesh mesh_;
    std::vector<Cover> covers_;
};

}  // namespace xsect::cli
