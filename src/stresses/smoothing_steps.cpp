#include "stresses/smoothing_steps.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "xsect/math/matrix.h"

namespace xsect::detail {

namespace {

constexpr double kPositionSlack = 0.0001;  // how far outside the rows a position may lie
constexpr double kEndGap = 0.01;           // an end farther than this from the list is added
constexpr double kSampleGap = 0.001;       // sample coordinates closer than this are one position

bool KnownQuantity(CLStressType q) { return q >= CL_STRESS_ST && q <= CL_STRESS_MT; }

}  // namespace

CROSS_SECTION_MESSAGES ValidateRows(Rows& rows) {
    if (rows.empty()) return CS_NO_STRESS_INPUT_POINTS;
    for (const auto& row : rows) {
        if (!row) return CS_NO_STRESS_INPUT_POINTS;
        const std::vector<double>& thickness = row->GetCornerThickness();
        if (thickness.empty()) return CS_NO_THICKNESS;
        // "Not positive" also covers a thickness that is not a number.
        for (const double t : thickness)
            if (!(t > 0.0)) return CS_NONPOSITIVE_THICKNESS;
        // The smoothing reads the first and last point of every row; a host may have emptied one.
        const std::vector<StressPoint>& points = row->GetStressPoints();
        if (points.empty()) return CS_NO_STRESS_INPUT_POINTS;
        for (const StressPoint& p : points) {
            if (p.GetStressCSType() == STRESS_CS_NONE) return CS_STRESS_NOT_SET;
            if (p.GetStressCSType() != STRESS_CS_ZEL) return CS_STRESS_CS_INVALID;
        }
    }
    return CS_SUCCESS;
}

std::set<CLStressType> QuantitiesFor(const std::set<CLStressType>& requested) {
    std::set<CLStressType> quantities;
    for (const CLStressType q : requested)
        if (KnownQuantity(q)) quantities.insert(q);
    if (requested.empty()) return {CL_STRESS_ST, CL_STRESS_STS, CL_STRESS_QT, CL_STRESS_MTS, CL_STRESS_MT};
    // The balance of Mts takes the moment of Qt into account, so Qt must be fitted and balanced
    // first; the set's order (by enumerator value) puts Qt before Mts.
    if (quantities.count(CL_STRESS_MTS) != 0) quantities.insert(CL_STRESS_QT);
    return quantities;
}

std::size_t SourceComponent(CLStressType q) { return CLStressSourceComponent(q); }

bool WeightedByThickness(CLStressType q) { return CLStressResultantOf(q).byThickness; }

double TargetOf(const ForceResultant& r, CLStressType q) {
    const double components[6] = {r.GetFx(), r.GetFy(), r.GetFz(), r.GetMx(), r.GetMy(), r.GetMz()};
    const std::size_t i = CLStressResultantOf(q).integral;
    return i < 6 ? components[i] : 0.0;
}

std::vector<double> PrepareOutputPositions(std::vector<double> positions, double s0, double sN) {
    // A position that is not a number names no place on the line, and would break the sort.
    positions.erase(std::remove_if(positions.begin(), positions.end(), [](double s) { return std::isnan(s); }),
                    positions.end());
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    positions.erase(std::remove_if(positions.begin(), positions.end(),
                                   [&](double s) { return s < s0 - kPositionSlack || s > sN + kPositionSlack; }),
                    positions.end());
    if (positions.empty()) positions.push_back((s0 + sN) * 0.5);

    while (positions.size() < 4) {
        const std::size_t before = positions.size();
        if (std::fabs(positions.front() - s0) > kEndGap) {
            positions.insert(positions.begin(), s0);
        } else if (std::fabs(positions.back() - sN) > kEndGap) {
            positions.push_back(sN);
        } else {
            std::vector<double> refined;
            refined.reserve(2 * positions.size());
            for (std::size_t i = 0; i < positions.size(); ++i) {
                if (i > 0) refined.push_back((positions[i - 1] + positions[i]) * 0.5);
                refined.push_back(positions[i]);
            }
            positions.swap(refined);
        }
        // A single position within the end gap of both ends cannot be refined: keep what we have.
        if (positions.size() == before) break;
    }
    return positions;
}

std::vector<double> SamplePointPositions(Rows& rows) {
    std::vector<double> positions;
    for (const auto& row : rows) {
        if (!row) continue;
        for (const StressPoint& p : row->GetStressPoints()) {
            const double s = p.Get1DCoor();
            if (positions.empty() || std::fabs(s - positions.back()) >= kSampleGap) positions.push_back(s);
        }
    }
    return positions;
}

std::vector<double> SpacedPositions(double s0, double sN, std::size_t elementCount, double spacing) {
    const double third = (sN - s0) / 3.0;
    const double step = spacing > kPositionSlack ? std::min(spacing, third)
                                                 : third / static_cast<double>(std::max<std::size_t>(elementCount, 1));
    std::vector<double> positions;
    double s = s0 >= 0.0 ? s0 : 0.0;
    do {
        if (s > sN + kPositionSlack) break;
        positions.push_back(s);
        if (positions.size() >= kMaxSpacedPositions) break;
        // A step that does not move s on (zero, negative, NaN, or lost in s's rounding) would
        // repeat the same position for ever.
        const double next = s + step;
        if (!(next > s)) break;
        s = next;
    } while (s < sN + step);
    return positions;
}

std::vector<double> BalancingShifts(const std::vector<QuadraticFit>& fits, const std::vector<RowSpan>& spans,
                                    bool weighted, double target, double extra) {
    const std::size_t count = std::min(fits.size(), spans.size());
    std::vector<double> shifts(count, 0.0);
    if (count == 0) return shifts;

    const auto n = static_cast<std::int32_t>(count);
    AG_Matrix A(n, n, 0.0);
    AG_ColVector B(n, 0.0);
    // Rows 1 .. n-1: neighbouring elements, each shifted, meet at their common boundary.
    for (std::int32_t r = 1; r < n; ++r) {
        const auto k = static_cast<std::size_t>(r);
        A(r, r) = 1.0;
        A(r, r + 1) = -1.0;
        B[r] = Evaluate(fits[k], 0.0) - Evaluate(fits[k - 1], spans[k - 1].Length());
    }
    // Row n: the shifted integral along the whole line equals the target.
    double integral = 0.0;
    for (std::size_t k = 0; k < count; ++k) {
        const double L = spans[k].Length();
        double w = L;
        double I = Integrate(fits[k], 0.0, L);
        if (weighted) {
            w *= spans[k].thickness;
            I *= spans[k].thickness;
        }
        A(n, static_cast<std::int32_t>(k) + 1) = w;
        integral += I;
    }
    B[n] = target - integral;
    B[n] = B[n] + extra;

    const AG_Matrix inverse = A.Inverse();
    if (inverse.HasNaN()) return shifts;
    const AG_ColVector delta = inverse * B;
    for (std::size_t k = 0; k < count; ++k) shifts[k] = delta[static_cast<std::int32_t>(k) + 1];
    return shifts;
}

double FirstMomentSum(const std::vector<QuadraticFit>& fits, const std::vector<RowSpan>& spans, double mid,
                      bool weighted) {
    const std::size_t count = std::min(fits.size(), spans.size());
    double sum = 0.0;
    for (std::size_t k = 0; k < count; ++k) {
        const double moment = IntegrateMoment(fits[k], 0.0, spans[k].Length(), mid - spans[k].sa);
        sum += weighted ? spans[k].thickness * moment : moment;
    }
    return sum;
}

void TiltFirstMoment(std::vector<QuadraticFit>& fits, const std::vector<RowSpan>& spans, double mid,
                     double targetMz) {
    const std::size_t count = std::min(fits.size(), spans.size());
    double moments = 0.0;
    double secondMoments = 0.0;
    for (std::size_t k = 0; k < count; ++k) {
        const RowSpan& e = spans[k];
        const double L = e.Length();
        moments += e.thickness * IntegrateMoment(fits[k], 0.0, L, mid - e.sa);
        // t times the integral of (s - mid)^2 over the element.
        secondMoments += e.thickness * ((2.0 * L / 3.0 + e.sa - mid) * L * L * 0.5 +
                                        ((e.sb + e.sa) * 0.5 - mid) * (e.sa - mid) * L);
    }
    if (secondMoments == 0.0) return;
    const double g = (targetMz - moments) / secondMoments;
    for (std::size_t k = 0; k < count; ++k) {
        fits[k].b += g;
        fits[k].c -= (mid - spans[k].sa) * g;
    }
}

ForceResultant SmoothedResultant(const FitsByQuantity& fits, const std::vector<RowSpan>& spans, double mid) {
    double r[6] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    for (std::size_t k = 0; k < spans.size(); ++k) {
        const RowSpan& e = spans[k];
        const double L = e.Length();
        for (const auto& [q, perElement] : fits) {
            if (k >= perElement.size()) continue;
            const QuadraticFit& f = perElement[k];
            const CLStressResultantPart part = CLStressResultantOf(q);
            if (part.integral >= 6) continue;
            const double weight = part.byThickness ? e.thickness : 1.0;
            r[part.integral] += weight * Integrate(f, 0.0, L);
            if (part.moment < 6) r[part.moment] += part.momentSign * (weight * IntegrateMoment(f, 0.0, L, mid - e.sa));
        }
    }
    return ForceResultant(r[0], r[1], r[2], r[3], r[4], r[5]);
}

}  // namespace xsect::detail
