#pragma once

// One section: the recipe that turns a cut in plane coordinates into its axes, covered part,
// centroid, values per request and envelope. Its first steps, up to the nodes whose records are
// summed, also compile the section into a plan.

#include "core/crossing.h"
#include "core/gathering.h"
#include "core/plane_model.h"
#include "sections/requests.h"
#include "xsect/sections.h"

namespace xsect::detail {

// What every section of one call shares.
struct SectionRules {
    double kSign;       // k = kSign x the plane's normal
    bool positiveSide;  // sum from the +n part instead of the -n part
    double sense;       // 1 for forces acting on the elements, -1 for forces they exert
    const std::vector<double>* thickness;  // by shell index, for the centroid by area; null or empty: by length
};

// The sign that turns the plane's normal into k: k.Z > 0; if k is perpendicular to Z (within 1e-9),
// k.Y > 0; if also to Y, k.X > 0.
double NormalSign(const PlaneModel& m);

// The section's axes of the cut a-b in plane coordinates: t along the cut, k = kSign x the plane's
// normal, n = t x k. False for a cut shorter than the tolerance, which has no axes.
struct SectionAxes {
    Vec3 t, k, n;
};
bool SectionAxesOf(const CVertex& a, const CVertex& b, double kSign, double tolerance, SectionAxes& axes);

// How far v lies past the cut through a along n (plane coordinates). The -n part holds what lies
// less than the tolerance past the cut, so a node on the cut, or a rounding error off it, counts there.
template <class P>
double PastCut(const CVertex& a, const Vec3& n, const P& v) {
    return (v.x - a.x) * n[0] + (v.y - a.y) * n[1];
}

// What a section's values are made of, once it is laid out: its axes, the elements summed, the
// moment point (plane coordinates) and the element nodes of the summed side, whose records times
// `sign` are what the +n part exerts on the -n part.
struct SectionLayout {
    SectionAxes axes;
    CrossedElements through;
    Vec3 momentPoint{};
    std::vector<SideSlot> side;
    double sign = 1.0;
};

// Steps 1 to 4 of a section: fills everything of `result` but its values and envelope, the cut's
// ends and position (which the caller sets), and the layout. False when the section has no values,
// `result` then marked with its status. a and b are in plane coordinates, in the plane.
bool LayOutSection(const PlaneModel& m, const CVertex& a, const CVertex& b, const SectionRules& rules,
                   SectionResult& result, SectionLayout& layout);

// Fills everything of `result` but the cut's ends and position, which the caller sets. a and b are
// in plane coordinates, in the plane.
void ComputeSection(const PlaneModel& m, const CVertex& a, const CVertex& b, const SectionRules& rules,
                    const ResolvedRequests& requests, SectionResult& result);

// The values of a section from its gathered side: each load case once (a spectrum case mode by mode,
// combined by its rule), in the axes T (rows n, t, k) about the side's moment point, times sign (-1
// for the -n part's forces acting on the elements, as summed); then every request and the envelope.
void FillSectionValues(const ElementArrays& m, const SideSums& side, const CrossedElements& through, const Mat3& T,
                       double sign, const ResolvedRequests& requests, SectionResult& result);

// A section with only a status: no values, an envelope of NaN naming request -1.
void MarkUncomputed(SectionResult& result, std::int32_t status);

}  // namespace xsect::detail
