#pragma once

// The part of a cut that lies inside the mesh: where a straight cut runs through a shell's polygon,
// convex or not, and whether a point lies in a shell. The sections use it for the centroid of a
// section (its moment point) and to tell a cut that ends inside the mesh.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/plane_model.h"

namespace xsect::detail {

// A stretch of the cut a-b by its parameters: 0 at a, 1 at b, from < to.
struct Interval {
    double from, to;
};

// Is p inside the shell's polygon (plane x, y; even-odd rule), or within `band` of its boundary?
bool PointInShell(const PlaneModel& m, std::size_t shell, const CVertex& p, double band);

// The stretches of the cut a-b inside any of the shells' polygons (convex or not, boundary within
// the model's tolerance included), united so that neighbours along a shared edge count once, in
// ascending order.
std::vector<Interval> CutInsideShells(const PlaneModel& m, const std::vector<std::int32_t>& shells, const CVertex& a,
                                      const CVertex& b);

}  // namespace xsect::detail
