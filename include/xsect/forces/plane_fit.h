#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "xsect/export.h"
#include "xsect/forces/cross_section_forces_post.h"

namespace xsect {

struct NodeOffPlane {
    std::int32_t node;
    double distance;  // from the plane, positive; NaN for a node with a coordinate that is not a number
};

// The plane a force calculator set up, or tried to: the three nodes that define it and every node
// that lies farther than the calculator's tolerance from it.
struct PlaneFit {
    std::int32_t status;               // the set-up's outcome, as the calculator's status after construction
    bool framed;                       // the three nodes gave a plane; without one nothing can be measured
    std::array<std::int32_t, 3> nodes; // the first is the origin node; zeros when not framed
    std::vector<NodeOffPlane> offPlane;  // ascending node number; empty when not framed
};

// How the calculator's model fits its plane, from the set-up at construction: also when the set-up
// refused the plane because nodes lie off it (status CS_PLANE_NOT_DEFINED), which are then listed.
// A model whose defining nodes are missing or in line, or that has no shells, is not framed.
XSECT_API PlaneFit PlaneFitOf(const CCrossSectionForcesPost& calculator);

}  // namespace xsect
