#pragma once

// One plane section of an assembly: the recipe that turns a cutting plane into the elements it sums,
// its cut area and moment point, and its values per request and envelope, with the steps a straight
// cut's section shares (the side's sums, the load cases' values, the requests).

#include <cstdint>
#include <vector>

#include "core/plane_contact.h"
#include "core/plane_region.h"
#include "sections/requests.h"
#include "sections/section.h"
#include "xsect/assembly.h"

namespace xsect::detail {

// The section axes of a plane: n its unit normal, k the unit projection of `up` onto it (when up is
// zero or along n: of global Z, else Y, else X), t = k x n. False for a normal of no length.
struct PlaneAxes {
    Vec3 n, t, k;
};
bool PlaneAxesOf(const CVertex& normal, const CVertex& up, PlaneAxes& axes);

// What every section of one call shares.
struct PlaneSectionRules {
    bool positiveSide = false;  // sum from the +n part instead of the -n part
    // The elements that count, by index (1: counts); null: every element.
    const std::vector<unsigned char>* shells = nullptr;
    const std::vector<unsigned char>* frames = nullptr;
    const PlaneRegion* region = nullptr;  // null: no region
    const Vec3* momentPoint = nullptr;    // null: the centroid of the cut area
};

// Steps 1 to 3 of a plane section: fills everything of `result` but its values and envelope and its
// plane's point and position (which the caller sets), and the layout, in global coordinates. False
// when the section has no values, `result` then marked with its status.
bool LayOutPlaneSection(const AssemblyModel& m, const CuttingPlane& plane, const PlaneAxes& axes,
                        const PlaneSectionRules& rules, SectionResult& result, SectionLayout& layout);

// Fills everything of `result` but its plane's point and position, which the caller sets.
void ComputePlaneSection(const AssemblyModel& m, const CuttingPlane& plane, const PlaneAxes& axes,
                         const PlaneSectionRules& rules, const ResolvedRequests& requests, SectionResult& result);

}  // namespace xsect::detail
