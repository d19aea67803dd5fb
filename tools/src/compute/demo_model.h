#pragma once

// The demonstration model: a cantilever wall standing in the global X-Z plane, fixed at its base
// and loaded along its top and at mid-height. Its element nodal forces and stress fields are
// computed from one exact equilibrium state (beam-theory stresses, which satisfy equilibrium
// pointwise, integrated exactly over each element), so every section force has a free-body answer.

#include <cstdint>
#include <string>
#include <vector>

#include "xsect/io/model.h"
#include "compute/geometry.h"

namespace xsect::cli {

using io::LoadCase;
using io::Model;
using io::NodeStress;

// A load acting on the wall's centre line at height h, spread along the width as beam theory
// spreads it (parabolic shear, uniform axial and out-of-plane load).
struct WallLoad {
    double h = 0.0;
    double shear = 0.0;      // along the wall's width (global X)
    double axial = 0.0;      // along its height (global Z)
    double outOfPlane = 0.0; // along global Y
};

struct DemoLoading {
    std::int32_t loadCase = 0;
    std::int32_t mode = 0;  // 0 for a static case
    std::vector<WallLoad> loads;
};

struct DemoCut {
    std::string name;
    std::string description;
    CVertex start, end;
    std::int32_t side = 0;
};

struct Wall {
    double width = 4.0, height = 6.0, thickness = 0.25;
    std::int32_t nx = 8, nz = 12;
};

struct Demo {
    Wall wall;
    Model model;
    std::vector<DemoLoading> loadings;
    std::vector<DemoCut> cuts;
};

Demo MakeDemo();

// Builds a wall model with the given loadings (load cases must be in cases).
Model MakeWallModel(const Wall& wall, const std::map<std::int32_t, LoadCase>& cases,
                    const std::vector<DemoLoading>& loadings, bool withStresses);

// The section force of a cut by the free body: the loads acting on the gathered side (or, when
// the base and its reactions lie on that side, minus the loads on the other side), moments about
// momentPoint, in the cut axes given as rows. onGatheredSide tells whether a global point lies on
// the gathered side.
template <class SideTest>
std::array<double, 6> FreeBody(const std::vector<WallLoad>& loads, const Wall& wall, CVertex momentPoint,
                               const CVertex (&axes)[3], SideTest onGatheredSide) {
    CVertex F, M;
    bool baseGathered = onGatheredSide(CVertex{wall.width / 2, 0.0, 0.0});
    for (const WallLoad& l : loads) {
        CVertex p{wall.width / 2, 0.0, l.h};
        CVertex f{l.shear, l.outOfPlane, l.axial};
        bool gathered = onGatheredSide(p);
        if (gathered == baseGathered) continue;
        if (!gathered) f = -1.0 * f;
        F = F + f;
        M = M + Cross(p - momentPoint, f);
    }
    return {Dot(axes[0], F), Dot(axes[1], F), Dot(axes[2], F), Dot(axes[0], M), Dot(axes[1], M), Dot(axes[2], M)};
}

}  // namespace xsect::cli
