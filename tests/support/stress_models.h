#pragma once

// Meshed rectangles of quads for the stress calculator's tests, in the global xy-plane or in a
// tilted one, their plane fixed by three named nodes so that plane coordinates are the grid
// coordinates. A strip is such a grid loaded with the consistent nodal forces of given stress
// fields along a lengthwise cut, for the smoothing tests:
//
//   y = lower + upper  +------+----------+---+-----+
//                      |      |          |   |     |     upper row: not crossed
//   y = lower          +------+----------+---+-----+     loaded nodes (the face point's side)
//   y = cutY     - - - | - - -|- - - - - |- -|- - -| - - the cut, overhanging both ends
//   y = 0              +------+----------+---+-----+     the opposite loads
//                      x = xs[0] ...                x = xs[n]

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include <xsect/xsect.h>

namespace xsect::stress_models {

// A point of the grid's plane, h along its normal, in global coordinates: the plane is z = 0, or
// when tilted the plane through (10, 20, 30) with axes e1 = (0.6, 0, 0.8), e2 = (0, 1, 0) and
// normal e1 x e2 = (-0.8, 0, 0.6).
CVertex PlanePoint(bool tilted, double x, double y, double h = 0.0);

struct GridSpec {
    std::vector<double> xs{0.0, 1.0, 2.0, 3.0};  // node columns
    std::vector<double> ys{0.0, 1.0};            // node rows
    bool clockwise = false;                      // node lists run clockwise seen from the normal
    std::int32_t reversedColumn = -1;            // the cell of row 0 in this column winds the other way
    bool tilted = false;
    double tolerance = 0.005;
    // Element number of the cell in (column, row); 1 + row * columns + column when empty.
    std::function<std::int32_t(std::int32_t, std::int32_t)> elementNumber;
};

// columns x rows unit cells.
GridSpec Cells(std::int32_t columns, std::int32_t rows);

struct GridModel {
    GridSpec grid;
    std::map<std::int32_t, CVertex> nodes;
    std::map<std::int32_t, CShellElement> shells;
    std::map<std::int32_t, CFrameElement> frames;
    std::map<std::int32_t, CLoadCaseInfo> loadCases;
    std::unique_ptr<CCrossSectionForcesPost> forces;

    std::int32_t NodeAt(std::size_t i, std::size_t j) const {
        return static_cast<std::int32_t>(1 + j * grid.xs.size() + i);
    }
    CVertex Global(double x, double y, double h = 0.0) const { return PlanePoint(grid.tilted, x, y, h); }
    // (Re)builds the force calculator over the maps, its origin at node (0, 0), x' along row 0.
    void Calculate();
};

std::unique_ptr<GridModel> BuildGrid(const GridSpec& shape);

// A function of the cut-line coordinate s.
using Field = std::function<double(double)>;

struct Fields {
    Field St, Sts, Qt, Mts, Mt;
};

Fields ZeroFields();
// Smooth fields that no quadratic matches, so that the balancing has real work to do.
Fields SmoothFields();

struct StripShape {
    std::vector<double> xs{0.0, 1.0, 2.5, 3.0, 4.2};
    std::vector<double> thickness{0.2, 0.35, 0.1, 0.25};  // one per crossed element
    double lower = 1.0;
    double upper = 0.8;
    double cutY = 0.4;
    double overhang = 0.5;              // the cut starts and ends this far outside the strip
    std::int32_t reversedElement = -1;  // a crossed element whose nodes run clockwise
    bool tilted = false;
    std::int32_t loadCase = 1;
    std::int32_t divisions = 4;
};

struct Strip : GridModel {
    StripShape shape;
    std::unique_ptr<CCrossSectionStressesPost> stresses;
    std::vector<std::shared_ptr<ElemStressPoints>> rows;

    CVertex CutStart() const { return Global(shape.xs.front() - shape.overhang, shape.cutY); }
    CVertex CutEnd() const { return Global(shape.xs.back() + shape.overhang, shape.cutY); }
    CVertex FacePoint() const { return Global((shape.xs.front() + shape.xs.back()) * 0.5, shape.cutY + 0.3); }
};

// The strip with its crossed elements numbered against the cut direction, each loaded at its
// upper nodes with the consistent loads of t St (across the cut), t Sts (along it), Qt (along the
// normal), Mt and Mts (as nodal moments) and the opposite at its lower nodes; then the force and
// stress calculators and stage 1.
std::unique_ptr<Strip> BuildStrip(const StripShape& shape, const Fields& loads);

// Sets every row's thickness and every sample point's components from the fields at the point's
// cut-line coordinate, as a host would: component 4 holds -Mt, and an element whose normal
// disagrees with the cut's has components 2, 4, 6, 7 in its own, reversed, sense.
void FillRows(Strip& strip, const Fields& samples);

}  // namespace xsect::stress_models
