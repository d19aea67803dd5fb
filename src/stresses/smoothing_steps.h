#pragma once

// The arithmetic of the cut-line smoothing, kept apart from the calculator so that each step can
// be checked on its own numbers. Exported only so that the tests can reach them.

#include <cstddef>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "xsect/forces/status.h"
#include "xsect/stresses/cl_stress.h"
#include "xsect/stresses/elem_stress_points.h"
#include "xsect/stresses/quadratic_fit.h"
#include "xsect/stresses/stress_types.h"

namespace xsect::detail {

// Most output positions a by-spacing smoothing asks for; a spacing that would need more is
// treated as that many steps, so a tiny spacing on a long line cannot exhaust memory.
inline constexpr std::size_t kMaxSpacedPositions = 1000000;

// One element's row as the smoothing sees it: first and last cut-line coordinate and thickness.
struct RowSpan {
    double sa = 0.0;
    double sb = 0.0;
    double thickness = 0.0;
    double Length() const { return sb - sa; }
};

using Rows = std::vector<std::shared_ptr<ElemStressPoints>>;
using FitsByQuantity = std::map<CLStressType, std::vector<QuadraticFit>>;

// The first refusal of a set of rows, in the order thickness list, thickness value, row without
// points, point components; CS_SUCCESS when the rows can be smoothed.
CROSS_SECTION_MESSAGES ValidateRows(Rows& rows);

// The quantities to handle: all five for an empty request; Qt joins Mts, whose balance needs it.
std::set<CLStressType> QuantitiesFor(const std::set<CLStressType>& requested);

// The Stress component a quantity is read from, whether it is weighted by the thickness, and
// the component of a resultant it is balanced against.
std::size_t SourceComponent(CLStressType q);
bool WeightedByThickness(CLStressType q);
double TargetOf(const ForceResultant& r, CLStressType q);

// The requested positions sorted, without duplicates or values outside [s0, sN] (with a 0.0001
// slack), and grown to four values by adding the ends, then midpoints. A list that cannot grow
// (everything within 0.02 of cut-line length) is returned as it is.
std::vector<double> PrepareOutputPositions(std::vector<double> positions, double s0, double sN);

// The distinct coordinates of all sample points, row by row: a point closer than 0.001 to the
// last coordinate taken is skipped.
std::vector<double> SamplePointPositions(Rows& rows);

// Evenly spaced positions from max(s0, 0) to sN for a line of elementCount elements; at most
// kMaxSpacedPositions, and the walk stops where a step would not move it on.
std::vector<double> SpacedPositions(double s0, double sN, std::size_t elementCount, double spacing);

// The constant shift per element that joins the quantity's polynomials at the element
// boundaries and makes their (weighted) integral equal target + extra. Zeros when the system is
// singular (every row of zero length), so the fits are kept as they are.
std::vector<double> BalancingShifts(const std::vector<QuadraticFit>& fits,
                                              const std::vector<RowSpan>& spans, bool weighted, double target,
                                              double extra);

// Sum over the elements of the moment integral of the fits about mid (the Qt term of My).
double FirstMomentSum(const std::vector<QuadraticFit>& fits, const std::vector<RowSpan>& spans, double mid,
                                bool weighted);

// Adds g (s - mid) to St along the whole line so that its thickness-weighted first moment about
// mid equals targetMz. Leaves the fits alone when the weighted second moment of the line is zero.
void TiltFirstMoment(std::vector<QuadraticFit>& fits, const std::vector<RowSpan>& spans, double mid,
                               double targetMz);

// The resultant of the fitted distribution: the integrals and first moments of every quantity
// present, in the cut's axes.
ForceResultant SmoothedResultant(const FitsByQuantity& fits, const std::vector<RowSpan>& spans,
                                           double mid);

}  // namespace xsect::detail
