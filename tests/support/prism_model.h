#pragma once

// A prism of walls and columns along an axis in space (a lift core, a box girder) whose element
// nodal forces come from an exact state: an axial stress that varies linearly across the section
// and not along the axis. Every element is in equilibrium, and every section across the axis carries
// the stress's resultant. And, for any model, random element nodal forces that keep every element in
// equilibrium, so that both sides of any section agree.

#include <cstdint>
#include <map>
#include <random>
#include <utility>
#include <vector>

#include <xsect/xsect.h>

#include "support/strip_model.h"

namespace xsect::prism_model {

using strip_model::Vec3;

struct Wall {  // from section point (a0, b0) to (a1, b1), `divisions` shells across
    double a0, b0, a1, b1, thickness;
    std::int32_t divisions;
};
struct Column {  // at section point (a, b)
    double a, b, area;
};

struct PrismShape {
    Vec3 origin;        // section point (0, 0) at the prism's start
    Vec3 axis, ea, eb;  // orthonormal: along the prism, and the section's a and b
    double length = 1.0;
    std::int32_t rows = 1;  // shells along the axis
    std::vector<Wall> walls;
    std::vector<Column> columns;
};

struct Prism {
    explicit Prism(const PrismShape& shape);
    Vec3 Global(double a, double b, double along) const {
        return shape.origin + along * shape.axis + a * shape.ea + b * shape.eb;
    }
    // Files, as a static case, the forces acting on each element at its nodes under the axial stress
    // s0 + sa a + sb b (tension positive).
    void AddStaticCase(std::int32_t loadCase, double s0, double sa, double sb);

    PrismShape shape;
    std::map<std::int32_t, CVertex> nodes;
    std::map<std::int32_t, CShellElement> shells;
    std::map<std::int32_t, CFrameElement> frames;
    std::map<std::int32_t, CLoadCaseInfo> loadCases;
    std::map<std::int32_t, double> thickness, area;      // by shell, by frame
    std::map<std::int32_t, std::pair<double, double>> ab;  // node -> section point
};

// Files random forces and moments at every node of every shell and frame, each element's in
// equilibrium, as static case `loadCase` (mode 0) or as one mode of a response-spectrum case.
void AddBalancedRandomCase(std::int32_t loadCase, std::int32_t mode, std::mt19937& rng,
                           const std::map<std::int32_t, CVertex>& nodes, std::map<std::int32_t, CShellElement>& shells,
                           std::map<std::int32_t, CFrameElement>& frames,
                           std::map<std::int32_t, CLoadCaseInfo>& loadCases);

}  // namespace xsect::prism_model
