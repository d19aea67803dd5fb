#pragma once

// Which elements of an assembly a cutting plane meets and which it divides, by one rule: a node's
// side is its signed distance h from the plane. The search asks the tree of boxes for the elements
// near the plane and tests those with the same exact tests as the full scan, in element order, so
// both give the same elements; the full scan stays as the reference (UseFullScan).

#include <cstdint>
#include <vector>

#include "core/assembly_model.h"

namespace xsect::detail {

// A plane in global coordinates: a point and its unit normal.
struct CuttingPlane {
    Vec3 p, n;
    // The signed distance of v from the plane, positive along n.
    template <class P>
    double Height(const P& v) const {
        double h = 0.0;
        h += (v.x - p[0]) * n[0];
        h += (v.y - p[1]) * n[1];
        h += (v.z - p[2]) * n[2];
        return h;
    }
};

// The elements the plane meets within the tolerance (a node less than the tolerance from it, or
// nodes the tolerance or more away on both sides), by index, ascending. Of those, `divided` marks
// the ones the plane moved by the tolerance along n divides: a node with h below the tolerance (the
// -n part) and one with h not below it (the +n part). Those are the elements a section sums.
struct PlaneContacts {
    std::vector<std::int32_t> shells, frames;
    std::vector<unsigned char> shellDivided, frameDivided;
};

PlaneContacts FindPlaneContacts(const AssemblyModel& m, const CuttingPlane& plane);
// The same by testing every element: the reference.
PlaneContacts FindPlaneContactsByScan(const AssemblyModel& m, const CuttingPlane& plane);

}  // namespace xsect::detail
