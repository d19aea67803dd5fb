#pragma once

// Which elements a cut passes through. The search asks the spatial index for the elements near the
// cut and tests those, in the order their data lies in memory, with the same exact tests as the full
// scan, so both give the same elements, which it hands back in element number order; the full scan
// stays as the reference the tests and benchmarks compare with.

#include <array>
#include <cstdint>
#include <vector>

#include "core/plane_model.h"

namespace xsect::detail {

// Shell and frame indices, each in ascending element number, and beside the shells their places
// (empty when a search did not note them), so that what reads the shells' data next need not look
// each place up: the way from a shell to its place lies in element order.
struct CrossedElements {
    std::vector<std::int32_t> shells;
    std::vector<std::int32_t> frames;
    std::vector<std::int32_t> shellPlaces;
    bool Empty() const { return shells.empty() && frames.empty(); }
};

// The shells (and, with frames, the frames) the cut crosses. A caller that reads the crossed shells'
// results of one load case next names it (its index) as warmCase: their blocks are then asked of the
// memory while the search still tests its candidates, rather than after it.
CrossedElements FindCrossedElements(const PlaneModel& m, const CVertex& a, const CVertex& b, bool frames,
                                    std::int32_t warmCase = kMissing);
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
