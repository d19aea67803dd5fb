#pragma once

// What `xsect check` looks for in a model before anyone cuts it: element nodal forces that are
// not in equilibrium, load cases without results, nodes no element uses, nodes off the plane and
// nodes that stand on one another.

#include <cstdint>
#include <utility>
#include <vector>

#include "xsect/forces/plane_fit.h"
#include "xsect/io/model.h"

namespace xsect::cli {

struct ElementResidual {
    bool frame = false;
    std::int32_t id = 0;
    std::int32_t mode = 0;   // 0 for a static case
    double force = 0.0;      // |sum of the nodal forces|
    double moment = 0.0;     // |sum of the nodal moments about the element's first node|
    double scale = 0.0;      // the element's force scale: the largest nodal force
    double relative = 0.0;   // max(force / scale, moment / (scale x element size))
};

struct CaseEquilibrium {
    std::int32_t loadCase = 0;
    std::size_t elements = 0;            // elements with results for the case
    std::size_t failing = 0;             // ... whose relative residual exceeds the tolerance
    std::vector<ElementResidual> worst;  // the largest residuals, largest first
};

struct CheckReport {
    std::vector<CaseEquilibrium> equilibrium;
    std::vector<std::int32_t> casesWithoutResults;
    std::vector<std::int32_t> unusedNodes;
    // The library's plane, also when it refused it; the nodes off it largest distance first, cut
    // to the worst ones, and how many there are in all.
    PlaneFit plane{CS_SUCCESS, false, {0, 0, 0}, {}};
    std::size_t offPlane = 0;
    // No plane: the model is cut by planes, and its nodes off the plane the library tried are no fault.
    bool assembly = false;
    std::vector<std::pair<std::int32_t, std::int32_t>> duplicates;  // node pairs within the tolerance

    bool Clean() const;
};

// relativeTolerance bounds an element's residual against its force scale; worstCount elements
// are kept per load case and node lists are cut to that many.
CheckReport CheckModel(io::Model& model, double relativeTolerance, std::size_t worstCount);

}  // namespace xsect::cli
