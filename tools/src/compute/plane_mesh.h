#pragma once

// The model's elements in plane coordinates, for the program's own pictures and checks, and which
// of them a segment meets by the library's exported segment test.

#include <cstdint>
#include <map>
#include <vector>

#include "compute/section.h"

namespace xsect::cli {

struct Pt {
    double x = 0.0, y = 0.0;
};

struct PlaneMesh {
    struct Element {
        std::int32_t id = 0;
        bool frame = false;
        std::vector<std::int32_t> nodes;
        std::vector<Pt> corners;  // a shell's polygon, or a frame's two ends
        Pt lo, hi;                // its box
    };
    std::map<std::int32_t, Pt> nodes;
    std::vector<Element> elements;  // the shells in number order, then the frames
    double tolerance = 0.0;
};

PlaneMesh MakePlaneMesh(const Model& model, CCrossSectionForcesPost& calc);

// Does segment a-b (plane coordinates) touch the element: cross or run along one of its edges?
bool Meets(const PlaneMesh::Element& element, Pt a, Pt b, double tolerance);

// A global point, and a global direction at a point, in plane coordinates (x and y).
Pt PlanePoint(CCrossSectionForcesPost& calc, Vec3 global);
Pt PlaneDirection(CCrossSectionForcesPost& calc, Vec3 at, Vec3 direction);

}  // namespace xsect::cli
