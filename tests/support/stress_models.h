#pragma once

// Meshed rectangles of unit-numbered quads for the stress calculator's tests, lying either in
// the global xy-plane or in a tilted plane, with their plane fixed by three named nodes so that
// plane coordinates equal the grid coordinates.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include <xsect/xsect.h>

namespace xsect::stress_models {

// An orthonormal frame: global = origin + x * e1 + y * e2 + h * normal.
struct PlaneFrame {
    double origin[3] = {0.0, 0.0, 0.0};
    double e1[3] = {1.0, 0.0, 0.0};
    double e2[3] = {0.0, 1.0, 0.0};
    double normal[3] = {0.0, 0.0, 1.0};

    CVertex Global(double x, double y, double h = 0.0) const;
};

PlaneFrame FlatFrame();
// A plane through (10, 20, 30) tilted about the global y-axis: e1 = (0.6, 0, 0.8), e2 = (0, 1, 0).
PlaneFrame TiltedFrame();

struct GridSpec {
    std::int32_t columns = 3;
    std::int32_t rows = 1;
    double cell = 1.0;           // square cells of this side
    bool clockwise = false;      // node lists run clockwise seen from the plane's normal
    PlaneFrame frame = FlatFrame();
    double tolerance = 0.005;
    // Element number of the cell in (column, row); 1 + row * columns + column when empty.
    std::function<std::int32_t(std::int32_t, std::int32_t)> elementNumber;
};

struct GridModel {
    GridSpec spec;
    std::map<std::int32_t, CVertex> nodes;
    std::map<std::int32_t, CShellElement> shells;
    std::map<std::int32_t, CFrameElement> frames;
    std::map<std::int32_t, CLoadCaseInfo> loadCases;
    std::unique_ptr<CCrossSectionForcesPost> forces;

    std::int32_t NodeAt(std::int32_t i, std::int32_t j) const { return 1 + j * (spec.columns + 1) + i; }
    std::int32_t ElementAt(std::int32_t column, std::int32_t row) const;
    // A plane point (grid coordinates) in global coordinates, h along the plane's normal.
    CVertex Global(double x, double y, double h = 0.0) const { return spec.frame.Global(x, y, h); }
};

// Builds the nodes and shells and a force calculator over them whose plane origin is node
// (0, 0) with x' along the grid's first row.
std::unique_ptr<GridModel> BuildGrid(const GridSpec& spec);

}  // namespace xsect::stress_models
