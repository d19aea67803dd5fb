#pragma once

// Sections for engineers: many cuts and stations along an axis, load combinations and envelopes,
// with one sign rule that depends on nothing but the cut and the plane (docs/sections.md).
//
// The sign rule. k is the plane's unit normal oriented by a global rule, never by the shells' node
// order: k.Z > 0; if k is perpendicular to Z (within 1e-9), k.Y > 0; if also to Y, k.X > 0. For a
// cut from start to end, t is the unit cut direction and n = t x k. The values are the internal
// forces that the part on the +n side exerts on the part on the -n side, in (n, t, k) and about the
// centroid: N = F.n (tension positive), Vt = F.t, Vk = F.k, Mn (twisting), Mt, Mk. Reversing a cut
// turns t and n round and keeps k: N, Vt, Mn and Mt stay, Vk and Mk change sign, wherever the nodes
// on the cut's line carry no load of their own. For stations n is the axis direction, so the values
// read like a beam's along the axis.
//
// They are summed from the -n part: minus the sum of the forces acting on the crossed elements at
// their nodes on the -n side (with NodalForceSense::OnElement; ByElement flips the host's records).
// That part holds the nodes less than the model's tolerance past the cut along n, so a node on the
// cut (or a rounding error off it) counts on the -n side: the values are those just past the cut,
// and a station with nothing of the model beyond it along n reads zero.
//
// The centroid is that of the section's area: the cut's stretches inside the shells it sums (a node
// less than the tolerance off the cut lies on it; what lies on it goes with the part just past it
// along +n), each weighted by its length, times its shell's thickness when the cutter has them. A
// cut moved by less than the tolerance moves its covered part by about as much, never by a piece of
// an element.

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "xsect/export.h"
#include "xsect/forces/cross_section_forces_post.h"
#include "xsect/forces/status.h"
#include "xsect/model/vertex.h"

namespace xsect {

namespace detail {
struct PlaneModel;
}
class SectionPlan;  // xsect/plan.h

struct CaseFactor { std::int32_t loadCase; double factor; };
// A load case alone (one term, factor 1) or a named linear combination. Static terms add; a
// spectrum term adds ±factor·|combined value| per component, so the request gives a range.
struct ResultRequest { std::string name; std::vector<CaseFactor> terms; };
struct SectionForces { double N, Vt, Vk, Mn, Mt, Mk; };   // in the section axes n, t, k
struct SectionValue { SectionForces max, min; };           // equal bounds without spectrum terms
struct SectionEnvelope { SectionForces max, min; std::array<std::int32_t, 6> maxRequest, minRequest; };
// A stretch of a cut by its distances from the cut's start, from < to.
struct CutStretch { double from, to; };
struct SectionResult {
    std::int32_t status;            // CS_SUCCESS, CS_NO_ELEMENTS_CROSSED, CS_CUT_LINE_OFF_PLANE, ...
    CVertex start, end;             // the cut, global coordinates
    double position;                // distance along the axis (stations), else 0
    CVertex centroid;               // the moment point: centroid of the section's area (see above)
    double coveredLength;           // length of the covered part: the cut inside the summed shells
    bool endsInside;                // the mesh goes on beyond an end: the section is incomplete
    std::vector<CutStretch> covered;    // the part of the cut inside the summed shells, ascending, disjoint
    std::vector<std::int32_t> shells;   // the elements summed (the ones the section divides): their
    std::vector<std::int32_t> frames;   // numbers, ascending
    CVertex n, t, k;                // section axes, global unit vectors
    std::vector<SectionValue> values;   // one per request, in request order
    SectionEnvelope envelope;           // over the requests
};
struct SectionTable { std::string error; std::vector<SectionResult> sections; };  // error empty = done

// The values of the same section seen from the reversed cut (t and n turned round, k kept): N, Vt,
// Mn and Mt keep their signs, Vk and Mk change.
XSECT_API SectionForces Reversed(const SectionForces& values);
// What the host's element nodal forces are: the forces acting on each element at its nodes (K·u of
// the element, what solvers write) or the forces each element exerts on its nodes (the opposite sign).
enum class NodalForceSense : std::int32_t { OnElement = 0, ByElement = 1 };

// Cuts the calculator's model for any number of cuts and requests at once. The side of each cut is
// chosen once and serves every request; the cuts are shared out over `threads` threads, each
// computed on its own, so the output does not depend on the thread count.
//
// Bad input (an unknown or unsupported load case, empty terms, a factor that is not finite, an empty
// or repeated name, a coordinate that is not finite, a station count outside 1..1,000,000, an axis
// of no length in the plane) leaves a sentence in `error` and no sections. A section that cannot be
// computed keeps its status (CS_CUT_LINE_OFF_PLANE, CS_SECTION_MAP_FAILED for a cut shorter than the
// tolerance, CS_NO_ELEMENTS_CROSSED for one that meets no element within the tolerance,
// CS_CUT_INSIDE_ONE_SHELL for one inside a shell that meets none of its edges, or the plane
// set-up's failure for every section) with empty values and an envelope of NaN naming request -1.
// Nothing throws.
class XSECT_API SectionCutter {
public:
    // Shares the calculator's model, no copy; the calculator must outlive the cutter. threads 0 = all cores.
    explicit SectionCutter(const CCrossSectionForcesPost& calculator,
                           NodalForceSense sense = NodalForceSense::OnElement, unsigned threads = 0);
    SectionTable Cut(const std::vector<std::pair<CVertex, CVertex>>& cuts,
                     const std::vector<ResultRequest>& requests) const;
    // count cuts perpendicular to the axis, evenly spaced from axisStart to axisEnd inclusive, each
    // spanning the whole model; n is the axis direction.
    SectionTable Stations(const CVertex& axisStart, const CVertex& axisEnd, std::int32_t count,
                          const std::vector<ResultRequest>& requests) const;
    // The same sections compiled into a plan, to be applied to any number of steps of element nodal
    // forces (xsect/plan.h): laid out as Cut and Stations lay them out, with this cutter's side, sense
    // and thicknesses. Bad input (a coordinate that is not finite, a station count outside
    // 1..1,000,000, an axis of no length in the plane) gives a plan with no sections and its Error().
    SectionPlan Plan(const std::vector<std::pair<CVertex, CVertex>>& cuts) const;
    SectionPlan StationPlan(const CVertex& axisStart, const CVertex& axisEnd, std::int32_t count) const;

    // The requests an empty list stands for, in the order their values come: every static and
    // response-spectrum load case of the model on its own, in case-number order, named by its
    // number (other case types are skipped). Empty when the model has none.
    std::vector<ResultRequest> DefaultRequests() const;

    // On which side of the cut start-end a point lies by the sections' own rule, all three taken in
    // the plane (projected onto it): +1 in the +n part (the tolerance or more past the cut along n),
    // -1 the tolerance or more before it, 0 within the tolerance of the cut's line, where a node counts
    // with the -n part. 0 also for a cut shorter than the tolerance, a coordinate that is not finite or
    // a plane that was not set up. Turning a cut round turns +1 and -1 round.
    std::int32_t SideOf(const CVertex& start, const CVertex& end, const CVertex& point) const;

    // Sums the values from the +n part instead (true) or from the -n part (false, the default). On a
    // model whose elements are in equilibrium both give the same values, so comparing them checks
    // the host's results. Set it before cutting, not while another thread cuts with this object.
    void SumFromPositiveSide(bool on);
    // Weights the centroid by the section's area: each covered stretch by its length times its
    // shell's thickness (shell number -> thickness). A section with a covered shell that has no
    // positive thickness here, and every section without this call, is weighted by length alone.
    // Set it before cutting, not while another thread cuts with this object.
    void ShellThicknesses(const std::map<std::int32_t, double>& thickness);

private:
    std::shared_ptr<const detail::PlaneModel> model_;
    NodalForceSense sense_;
    unsigned threads_;
    bool positiveSide_ = false;
    std::shared_ptr<const std::vector<double>> thickness_;  // by shell index; empty: by length
};

}  // namespace xsect
