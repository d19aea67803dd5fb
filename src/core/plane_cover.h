#pragma once

// The cut area of a plane section through an assembly: each summed shell's trace in the plane, by
// the rule of a straight cut's covered part (core/cut_cover.h). For a plane shell cut by the plane,
// u along the trace's direction and h, the signed distance from the cutting plane, are affine
// coordinates of the shell's own plane, so the shell seen from its trace line is the polygon that
// StretchesInPolygon takes: nodes within the tolerance of the plane lie on it, and what lies on it
// goes with the part just past it along +n. Shells whose traces run along one line (a wall's
// elements, or overlapping ones) are taken together, so a stretch two of them share counts once.

#include <cstdint>
#include <vector>

#include "core/plane_contact.h"

namespace xsect::detail {

struct PlaneCover {
    double length = 0.0;  // of the traces, a stretch shared by shells once
    double weight = 0.0;  // the same, each stretch by its length times its shell's thickness when area-weighted
    Vec3 centre{};        // the weighted centre of the traces; the origin when nothing is covered
};

// The covered part of the shells (indices) in the plane: by area when every shell with a stretch has
// a thickness, else by length.
PlaneCover CoveredArea(const AssemblyModel& m, const std::vector<std::int32_t>& shells, const CuttingPlane& plane);

// Where an element's boundary meets the plane: corners within the tolerance of it (brought onto it)
// and the crossings of edges whose ends lie the tolerance or more away on opposite sides, in global
// coordinates. A shell's corners close into a polygon; a frame's two ends do not.
void MeetingPoints(const AssemblyModel& m, const std::int32_t* nodes, std::size_t count, bool closed,
                   const CuttingPlane& plane, std::vector<Vec3>& out);

}  // namespace xsect::detail
