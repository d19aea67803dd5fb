#pragma once

// Which elements a cut passes through. The search asks the spatial index for the elements near the
// cut and tests those, in element number order, with the same exact tests as the full scan, so both
// give the same elements; the full scan stays as the reference the tests and benchmarks compare with.

#include <array>
#include <cstdint>
#include <vector>

#include "core/plane_model.h"

namespace xsect::detail {

// Shell and frame indices, each in ascending element number.
struct CrossedElements {
    std::vector<std::int32_t> shells;
    std::vector<std::int32_t> frames;
    bool Empty() const { return shells.empty() && frames.empty(); }
};

// The shells (and, with frames, the frames) the cut crosses.
CrossedElements FindCrossedElements(const PlaneModel& m, const CVertex& a, const CVertex& b, bool frames);
// The same by testing every element: the reference.
CrossedElements FindCrossedElementsByScan(const PlaneModel& m, const CVertex& a, const CVertex& b, bool frames);

// The elements crossed by the cut a-b and by the cut a2-b2, the same cut moved sideways by at most
// `apart`, from one search of the index; each set is the one FindCrossedElements gives for its cut.
std::array<CrossedElements, 2> FindCrossedElementsOfTwo(const PlaneModel& m, const CVertex& a, const CVertex& b,
                                                       const CVertex& a2, const CVertex& b2, double apart,
                                                       bool frames);

// Every shell that the edge classifier could find touching the cut a-b (crossing it, or lying along
// it), in ascending number; a superset, for the cut-line stress search to classify exactly.
std::vector<std::int32_t> ShellsTouchingCut(const PlaneModel& m, const CVertex& a, const CVertex& b);

// Makes every search in this process scan all elements (true) or use the index (false, the default).
// For the tests and benchmarks that compare the two paths.
void UseFullScan(bool on);
bool UsingFullScan();

}  // namespace xsect::detail
