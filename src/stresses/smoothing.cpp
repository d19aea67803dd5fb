// Smoothing and balancing of the cut-line stresses: fit every quantity element by element, join
// the fits at the element boundaries, balance them against the section resultant, and report
// them at the requested positions.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <numeric>
#include <set>
#include <utility>
#include <vector>

#include "forces/host_state.h"
#include "stresses/smoothing_steps.h"
#include "xsect/stresses/cross_section_stresses_post.h"
#include "xsect/stresses/quadratic_fit.h"

namespace xsect {

namespace {

constexpr double kSearchSlack = 0.0001;  // a position this close outside a row still belongs to it

}  // namespace

double CCrossSectionStressesPost::CalcThickness(std::int32_t& k) const {
    if (k < 0 || static_cast<std::size_t>(k) >= elementStressPoints.size() || !elementStressPoints[static_cast<std::size_t>(k)])
        return 0.0;
    const std::vector<double>& thickness = elementStressPoints[static_cast<std::size_t>(k)]->GetCornerThickness();
    if (thickness.empty()) return 0.0;
    return std::accumulate(thickness.begin(), thickness.end(), 0.0) / static_cast<double>(thickness.size());
}

std::vector<std::shared_ptr<CLStressPoint>> CCrossSectionStressesPost::SmoothBalanceCutlineStress(
    std::int32_t loadCase, std::vector<double> positions, std::set<CLStressType> types, bool balanceMz,
    bool includeQtInMy) {
    if (shared == nullptr) return {};

    // 1. Validation, before anything is changed.
    const CROSS_SECTION_MESSAGES refusal = detail::ValidateRows(elementStressPoints);
    if (refusal != CS_SUCCESS) {
        shared->status = refusal;
        return {};
    }

    const std::size_t n = elementStressPoints.size();
    std::vector<detail::RowSpan> spans(n);
    for (std::size_t k = 0; k < n; ++k) {
        const std::vector<StressPoint>& points = elementStressPoints[k]->GetStressPoints();
        auto index = static_cast<std::int32_t>(k);
        spans[k] = detail::RowSpan{points.front().Get1DCoor(), points.back().Get1DCoor(), CalcThickness(index)};
    }
    const double s0 = spans.front().sa;
    const double sN = spans.back().sb;
    const double mid = (s0 + sN) * 0.5;

    // 2. Quantities, handled in increasing enumerator value.
    const std::set<CLStressType> quantities = detail::QuantitiesFor(types);

    // 3. Output positions.
    const std::vector<double> outputPositions = detail::PrepareOutputPositions(std::move(positions), s0, sN);

    // 4. Sign corrections, in place on the rows the host shares: elements whose normal disagrees
    // with the cut's first, then the bending moment of every point.
    for (const auto& row : elementStressPoints) {
        auto aligned = elementNormalAligned.find(row->GetElemID());
        if (aligned == elementNormalAligned.end())
            aligned = elementNormalAligned.emplace(row->GetElemID(), false).first;
        if (!aligned->second)
            for (StressPoint& p : row->GetStressPoints()) p.ReverseStressSign_ZEL();
    }
    for (const auto& row : elementStressPoints)
        for (StressPoint& p : row->GetStressPoints()) p.ReverseStressSignMyToMt();

    // 5. Fits, in each element's local coordinate.
    detail::FitsByQuantity fits;
    for (const CLStressType q : quantities) {
        const std::size_t component = detail::SourceComponent(q);
        std::vector<QuadraticFit>& perElement = fits[q];
        perElement.reserve(n);
        for (std::size_t k = 0; k < n; ++k) {
            std::vector<double> xs;
            std::vector<double> ys;
            for (const StressPoint& p : elementStressPoints[k]->GetStressPoints()) {
                xs.push_back(p.Get1DCoor() - spans[k].sa);
                ys.push_back(p.GetStress()[component]);
            }
            perElement.push_back(FitQuadratic(xs, ys));
        }
    }

    // 6. Balance resultant. Refusals of the alternative driver leave its outputs at zero and its
    // status standing, so the distribution is then balanced to zero.
    CVertex pFirst = elementStressPoints.front()->GetStressPoints().front().GetPoint();
    CVertex pLast = elementStressPoints.back()->GetStressPoints().back().GetPoint();
    double F1 = 0.0, F2 = 0.0, F3 = 0.0, F4 = 0.0, F5 = 0.0, F6 = 0.0;
    GetForcesOnSection_Alternative(loadCase, &pFirst, &pLast, F1, F2, F3, F4, F5, F6);
    balanceResultant = ForceResultant(-F1, -F2, -F3, -F4, -F5, -F6);

    // 7. Balancing, quantity by quantity; Qt is done before Mts, which uses the balanced Qt.
    for (const CLStressType q : quantities) {
        std::vector<QuadraticFit>& perElement = fits[q];
        double extra = 0.0;
        if (q == CL_STRESS_MTS && includeQtInMy) extra = detail::FirstMomentSum(fits[CL_STRESS_QT], spans, mid, false);
        const std::vector<double> shifts = detail::BalancingShifts(
            perElement, spans, detail::WeightedByThickness(q), detail::TargetOf(balanceResultant, q), extra);
        for (std::size_t k = 0; k < n; ++k) perElement[k].c += shifts[k];
        if (q == CL_STRESS_ST && balanceMz) detail::TiltFirstMoment(perElement, spans, mid, balanceResultant.GetMz());
    }

    // 8. Smoothed resultant.
    smoothedResultant = detail::SmoothedResultant(fits, spans, mid);

    // 9. Output points. Positions are sorted, so the search for a position's element goes on
    // from where the previous one was found.
    std::vector<std::shared_ptr<CLStressPoint>> result;
    result.reserve(outputPositions.size());
    std::size_t searchFrom = 0;
    for (const double s : outputPositions) {
        double value[5] = {0.0, 0.0, 0.0, 0.0, 0.0};
        for (std::size_t k = searchFrom; k < n; ++k) {
            if (spans[k].sa - kSearchSlack <= s && s <= spans[k].sb + kSearchSlack) {
                for (const auto& [q, perElement] : fits) value[q] = Evaluate(perElement[k], s - spans[k].sa);
                searchFrom = k;
                break;
            }
        }
        double x = s;
        double y = 0.0;
        Convert1DTo2D(x, y);
        const detail::Vec3 g = shared->model->frame.ToGlobal({x, y, 0.0});
        result.push_back(std::make_shared<CLStressPoint>(
            s, value[CL_STRESS_ST], value[CL_STRESS_STS], value[CL_STRESS_MTS], value[CL_STRESS_MT],
            value[CL_STRESS_QT], CVertex(g[0], g[1], g[2], 0.005)));
    }
    return result;
}

std::vector<std::shared_ptr<CLStressPoint>> CCrossSectionStressesPost::SmoothBalanceCutlineStress(
    std::int32_t loadCase, std::set<CLStressType> types, bool balanceMz, bool includeQtInMy) {
    if (shared == nullptr) return {};
    return SmoothBalanceCutlineStress(loadCase, detail::SamplePointPositions(elementStressPoints), std::move(types),
                                      balanceMz, includeQtInMy);
}

std::vector<std::shared_ptr<CLStressPoint>> CCrossSectionStressesPost::SmoothBalanceCutlineStress(
    std::int32_t loadCase, double spacing, std::set<CLStressType> types, bool balanceMz, bool includeQtInMy) {
    if (shared == nullptr) return {};
    // Rows that cannot be smoothed get the by-positions form's refusal, in its order.
    if (detail::ValidateRows(elementStressPoints) != CS_SUCCESS)
        return SmoothBalanceCutlineStress(loadCase, std::vector<double>{}, std::move(types), balanceMz,
                                          includeQtInMy);
    const double s0 = elementStressPoints.front()->GetStressPoints().front().Get1DCoor();
    const double sN = elementStressPoints.back()->GetStressPoints().back().Get1DCoor();
    return SmoothBalanceCutlineStress(loadCase, detail::SpacedPositions(s0, sN, elementStressPoints.size(), spacing),
                                      std::move(types), balanceMz, includeQtInMy);
}

}  // namespace xsect
