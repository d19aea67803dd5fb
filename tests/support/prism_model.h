#pragma once

// A prism of walls and columns along an axis in space (a lift core, a box girder) whose element
// nodal forces come from an exact state: an axial stress that varies linearly across the section
// and not along the axis, carried by walls of rectangular shells and by columns of frames. Every
// element is in equilibrium, and every section across the axis carries the stress's resultant.

#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include <xsect/xsect.h>

#include "support/strip_model.h"

namespace xsect::prism_model {

using strip_model::Vec3;

// A wall from section point (a0, b0) to (a1, b1), its thickness and the shells across its width.
struct Wall {
    double a0, b0, a1, b1, thickness;
    std::int32_t divisions;
};
// A column at section point (a, b) of cross-sectional area `area`.
struct Column {
    double a, b, area;
};

struct PrismShape {
    Vec3 origin;           // section point (0, 0) at the prism's start
    Vec3 axis, ea, eb;     // orthonormal: along the prism, and the section's a and b
    double length = 1.0;
    std::int32_t rows = 1;  // shells along the axis
    std::vector<Wall> walls;
    std::vector<Column> columns;
};

// The axial stress sigma(a, b) = s0 + sa a + sb b, tension positive.
struct AxialStress {
    double s0 = 0.0, sa = 0.0, sb = 0.0;
    double At(double a, double b) const { return s0 + sa * a + sb * b; }
};

class Prism {
public:
    explicit Prism(const PrismShape& shape);

    // Files the state's element nodal forces (acting on each element at its nodes) as a static case.
    void AddStaticCase(std::int32_t loadCase, const AxialStress& stress);
    Vec3 Global(double a, double b, double along) const;
    const PrismShape& Shape() const { return shape_; }

    std::map<std::int32_t, CVertex> nodes;
    std::map<std::int32_t, CShellElement> shells;
    std::map<std::int32_t, CFrameElement> frames;
    std::map<std::int32_t, CLoadCaseInfo> loadCases;
    std::map<std::int32_t, double> thickness;

private:
    struct Panel {
        std::int32_t shell;
        double a0, b0, a1, b1, thickness;
        std::int32_t bottom0, bottom1, top0, top1;
    };
    PrismShape shape_;
    std::vector<Panel> panels_;
};

// Files random forces and moments at every node of every shell and frame, each element's in
// equilibrium, as static case `loadCase` (mode 0) or as one mode of a response-spectrum case.
void AddBalancedRandomCase(std::int32_t loadCase, std::int32_t mode, std::mt19937& rng,
                           const std::map<std::int32_t, CVertex>& nodes, std::map<std::int32_t, CShellElement>& shells,
                           std::map<std::int32_t, CFrameElement>& frames,
                           std::map<std::int32_t, CLoadCaseInfo>& loadCases);

}  // namespace xsect::prism_model
