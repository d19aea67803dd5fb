#pragma once

// The part of a cut that lies inside the mesh, by one rule: a node less than the tolerance off the
// cut's line lies on it. Everything else is exact, so a crossing of an edge whose ends are clear of
// the line is where the edge really crosses it, and a cut moved by less than the tolerance off a
// node or along an edge changes what it covers by as much as it moved, never by a whole element.
// The sections use it for their covered length, their centroid (the moment point) and to tell a
// cut that ends inside the mesh.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/plane_model.h"
#include "xsect/sections.h"

namespace xsect::detail {

// A polygon's corners seen from a line: u along the line, h across it, and a key per corner (its
// node index) so that an edge shared by two polygons meets the line at the same bits in both.
struct LineCorner {
    double u, h;
    std::int32_t key;
};

// The stretches [from, to] of the line where the polygon (any simple polygon, convex or not) lies
// on the line or just past it towards `towards` (+1: +h, -1: -h): an edge along the line counts
// when the polygon lies on that side of it. Corners with |h| below the tolerance are taken as on
// the line. Clipped to [lo, hi], appended to out in ascending order; stretches of no length are
// left out.
void StretchesInPolygon(std::vector<LineCorner>& corners, double tolerance, double towards, double lo, double hi,
                        std::vector<CutStretch>& out);

// A cut in the plane: its start, unit direction and length.
struct CutLine {
    CVertex a;
    double tx, ty, length;
    CutLine(const CVertex& start, const CVertex& end);
    // A shell's corners seen from the cut's line (u from the start, h to the left).
    void Corners(const PlaneModel& m, std::size_t shell, std::vector<LineCorner>& out) const;
};

// The covered part of a cut: its stretches inside any of `shells`, taken towards the side the cut
// faces (`towards` +1: its left, -1: its right) as distances from the start (ascending, disjoint,
// neighbours joined), their total length, and the centre of the part by length or, when every
// shell with a stretch has a positive thickness (by shell index), by area.
struct Coverage {
    std::vector<CutStretch> stretches;
    double length = 0.0;
    double centre = 0.0;  // distance from the start; 0 when nothing is covered
    double weight = 0.0;  // what the centre is weighted by: the length, or the area
};
Coverage CoveredPart(const PlaneModel& m, const std::vector<std::int32_t>& shells, const CutLine& cut,
                     double towards, const std::vector<double>* thickness);

// A stretch of a line inside one shell (by index), and the union of such stretches along one line:
// a stretch that several shells share (overlapping elements) counts once, with the shell that
// reaches it first, its centre weighted by length or, given thicknesses by shell index, by area.
struct CoverPiece {
    CutStretch stretch;
    std::int32_t shell;
};
Coverage UnionOfPieces(std::vector<CoverPiece>& pieces, const std::vector<double>* thickness);
// Whether a centroid may be weighted by area: every shell with a piece has a positive thickness. A
// section whose weights mixed thicknesses with lengths would have no meaning.
bool WeighByArea(const std::vector<CoverPiece>& pieces, const std::vector<double>* thickness);

// Does the cut meet a shell's boundary, by the same rule: a corner less than the tolerance off the
// cut (beyond its ends by as much at most), or an edge crossing it?
bool MeetsShells(const PlaneModel& m, const CutLine& cut);

// Does the cut's line, at distance u from its start (within or beyond the cut), lie in a shell of
// the model by the same rule, towards the same side?
bool LineInMesh(const PlaneModel& m, const CutLine& cut, double u, double towards);

}  // namespace xsect::detail
