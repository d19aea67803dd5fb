#pragma once

// Cutting planes through whole assemblies of shells and frames in space: a lift core of walls in
// several planes, a box girder, a storey through every wall and column. The six resultants across
// a plane, or at stations up an axis, with the requests, combinations, spectrum ranges, envelopes
// and threads of SectionCutter (docs/assemblies.md).
//
// The sign rule. n is the plane's unit normal (for stations, the axis direction). k is the option's
// `up` projected onto the plane and normalised; when `up` is zero or along n, global Z projected
// onto it, else global Y, else global X. t = k x n. The values are the forces that the part on the
// +n side exerts on the part on the -n side, in (n, t, k): N = F.n (tension positive), Vt, Vk, Mn
// (torsion), Mt, Mk. So a vertical core with stations up Z reads Vt = Vx, Vk = Vy and Mn = torsion.
//
// A node's side is its signed distance h = (v - p).n from the plane. The -n part holds the nodes
// with h below the assembly's tolerance, so a node on the plane, or a rounding error off it, counts
// there: the values are those just past the plane along n. The elements summed are those with
// nodes on both sides of the plane moved by the tolerance along n, and the values are minus the sum
// of the forces acting on them at their -n nodes, as SectionCutter sums them.
//
// The moment point is the centroid of the cut area: each summed shell's trace in the plane (nodes
// within the tolerance of the plane taken as on it, what lies on it going with the part just past it
// along +n) weighted by its length times its thickness, or by its length where a summed shell has no
// thickness; the mean of the summed frames' crossing points where no shell is cut; the plane's point
// where nothing is. With a selection or region it is that of the selected elements, since only they
// are summed; AssemblyOptions::momentPoint replaces it when useMomentPoint is set.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "xsect/export.h"
#include "xsect/model/frame_element.h"
#include "xsect/model/load_case_info.h"
#include "xsect/model/shell_element.h"
#include "xsect/model/vertex.h"
#include "xsect/sections.h"

namespace xsect {

namespace detail {
struct AssemblyModel;
}

// A plane through `point`, across `normal` (any length but zero).
struct SectionPlane {
    CVertex point;
    CVertex normal;
};

struct AssemblyOptions {
    CVertex up;  // fixes k (see above); zero: global Z, Y or X
    // Only these elements count (element numbers): a pier, one core, one girder. Both empty: every
    // element; either given: only the elements listed, so shells alone leave out every frame.
    std::vector<std::int32_t> shells, frames;
    // A polygon in the plane (at least 3 points within the tolerance of it): only the elements whose
    // intersection with the plane meets it count, a storey's cut limited to one building. For
    // stations it lies in a plane across the axis and is carried along the axis to each station.
    std::vector<CVertex> region;
    CVertex momentPoint;  // the moment point instead of the centroid, when useMomentPoint
    bool useMomentPoint = false;
};

// The host's model copied once, in global coordinates, with its results filed for cutting: the
// same maps as the host interface takes, in any orientation, with no plane. Shell thicknesses
// (shell number -> thickness; shells without a positive one have none) weight the centroid.
// The load cases' two arrays stay the host's and must outlive the assembly and its cutters.
class XSECT_API Assembly {
public:
    Assembly(const std::map<std::int32_t, CVertex>& nodes, const std::map<std::int32_t, CShellElement>& shells,
             const std::map<std::int32_t, CFrameElement>& frames,
             const std::map<std::int32_t, CLoadCaseInfo>& loadCases, double tolerance,
             NodalForceSense sense = NodalForceSense::OnElement,
             const std::map<std::int32_t, double>& thickness = {});

    // "" once built; else the one sentence that every cut of the assembly then refuses with (a
    // tolerance that is not a positive number, a node coordinate that is not finite, out of memory).
    const std::string& Error() const { return error_; }

private:
    friend class AssemblyCutter;
    std::shared_ptr<const detail::AssemblyModel> model_;
    std::string error_;
};

// Cuts an assembly by any number of planes, or at stations along an axis, for any number of
// requests at once, shared out over `threads` threads (0: one per core); the output does not depend
// on the thread count. Results stay in global coordinates: each section's `start` and `end` are its
// plane's point, `centroid` its moment point, `coveredLength` the total length of the summed
// shells' traces, `covered` is empty and `endsInside` false.
//
// Bad input (the requests' faults as for SectionCutter, a coordinate that is not finite, a station
// count outside 1..1,000,000, an axis of no length, a selection naming an element the assembly
// lacks, a region of fewer than 3 points or off the plane, an assembly that could not be built)
// leaves a sentence in `error` and no sections. A plane whose normal has no length is its section's
// CS_SECTION_MAP_FAILED, one that meets no element within the tolerance CS_NO_ELEMENTS_CROSSED, with
// empty values and an envelope of NaN naming request -1. Nothing throws.
class XSECT_API AssemblyCutter {
public:
    // Shares the assembly's copy (the assembly may be dropped). threads 0 = all cores.
    explicit AssemblyCutter(const Assembly& assembly, unsigned threads = 0);

    SectionTable Cut(const std::vector<SectionPlane>& planes, const std::vector<ResultRequest>& requests,
                     const AssemblyOptions& options = {}) const;
    // count planes perpendicular to the axis, evenly spaced from axisStart to axisEnd inclusive; n is
    // the axis direction, so the values read like a beam's along it.
    SectionTable Stations(const CVertex& axisStart, const CVertex& axisEnd, std::int32_t count,
                          const std::vector<ResultRequest>& requests, const AssemblyOptions& options = {}) const;
    // The sections of Cut and Stations compiled into a plan (xsect/plan.h), to be applied to any number
    // of steps of element nodal forces; the assembly's shells and frames are its rows, ascending.
    SectionPlan Plan(const std::vector<SectionPlane>& planes, const AssemblyOptions& options = {}) const;
    SectionPlan StationPlan(const CVertex& axisStart, const CVertex& axisEnd, std::int32_t count,
                            const AssemblyOptions& options = {}) const;
    // The requests an empty list stands for, as SectionCutter::DefaultRequests.
    std::vector<ResultRequest> DefaultRequests() const;
    // Sums the values from the +n part instead (true): on elements in equilibrium both agree, which
    // checks the host's results. Set it before cutting, not while another thread cuts with this object.
    void SumFromPositiveSide(bool on) { positiveSide_ = on; }

private:
    std::shared_ptr<const detail::AssemblyModel> model_;
    std::string error_;
    unsigned threads_;
    bool positiveSide_ = false;
};

}  // namespace xsect
