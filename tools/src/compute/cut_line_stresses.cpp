#include "compute/cut_line_stresses.h"

namespace xsect::cli {

namespace {

// The resultant of the samples as the host set them (after the library's sign corrections), each
// row fitted by the same least-squares quadratic the smoothing starts from and integrated into the
// components the library's map gives each quantity.
std::array<double, 6> SampleResultant(const std::vector<std::shared_ptr<ElemStressPoints>>& rows, const Model& model) {
    std::array<double, 6> r{};
    if (rows.empty() || rows.front()->GetStressPoints().empty() || rows.back()->GetStressPoints().empty()) return r;
    const double s0 = rows.front()->GetStressPoints().front().Get1DCoor();
    const double sN = rows.back()->GetStressPoints().back().Get1DCoor();
    const double mid = (s0 + sN) * 0.5;
    for (const auto& row : rows) {
        const auto& pts = row->GetStressPoints();
        if (pts.size() < 2) continue;
        auto t = model.thickness.find(row->GetElemID());
        const double th = t == model.thickness.end() ? 0.0 : t->second;
        const double sa = pts.front().Get1DCoor(), L = pts.back().Get1DCoor() - sa;
        std::vector<double> xs;
        for (const StressPoint& p : pts) xs.push_back(p.Get1DCoor() - sa);
        // The row's own share first, then the sum: the row's part of My is its Mts and Qt together.
        std::array<double, 6> row6{};
        for (CLStressType q : RequestedTypes({})) {
            std::vector<double> ys;
            for (const StressPoint& p : pts) ys.push_back(p.GetStress()[CLStressSourceComponent(q)]);
            const QuadraticFit fit = FitQuadratic(xs, ys);
            const CLStressResultantPart part = CLStressResultantOf(q);
            const double weight = part.byThickness ? th : 1.0;
            row6[part.integral] += weight * Integrate(fit, 0, L);
            if (part.moment < 6) row6[part.moment] += part.momentSign * (weight * IntegrateMoment(fit, 0, L, mid - sa));
        }
        for (std::size_t k = 0; k < 6; ++k) r[k] += row6[k];
    }
    return r;
}

}  // namespace

std::set<CLStressType> RequestedTypes(const std::set<CLStressType>& types) {
    if (!types.empty()) return types;
    return {CL_STRESS_ST, CL_STRESS_STS, CL_STRESS_QT, CL_STRESS_MTS, CL_STRESS_MT};
}

StressOutcome ComputeStresses(Model& model, CCrossSectionForcesPost& calc, const StressRequest& q) {
    StressOutcome out;
    CCrossSectionStressesPost stresses(&calc);
    auto rows = stresses.GetCutlineStressInputPoints(q.start, q.end, q.face, q.divisions, q.spacing, false);
    if (rows.empty() || calc.GetCurrentStatus() != CS_SUCCESS) {
        out.status = calc.GetCurrentStatus() != CS_SUCCESS ? calc.GetCurrentStatus() : CS_NO_ELEMENTS_CROSSED;
        out.stage = "cut-line input points";
        calc.ResetCurrentStatus();
        return out;
    }
    CVertex px, py, normal;
    calc.GetPlaneMap(px, py, normal);
    out.rowCount = rows.size();
    for (const auto& row : rows) out.sampleCount += row->GetStressPoints().size();
    out.report = FillSamples(model, q.loadCase, q.start, q.end, q.face, normal, rows);
    auto smooth = [&](const std::optional<std::vector<double>>& positions) {
        if (positions) return stresses.SmoothBalanceCutlineStress(q.loadCase, *positions, q.types, q.balanceMz, q.qtInMy);
        if (q.outputSpacing)
            return stresses.SmoothBalanceCutlineStress(q.loadCase, *q.outputSpacing, q.types, q.balanceMz, q.qtInMy);
        return stresses.SmoothBalanceCutlineStress(q.loadCase, q.types, q.balanceMz, q.qtInMy);
    };
    out.points = smooth(q.positions);
    if (out.points.empty()) {
        out.status = calc.GetCurrentStatus();
        out.stage = "smoothing";
        calc.ResetCurrentStatus();
        return out;
    }
    out.balance = stresses.GetBalanceResultantForce();
    out.smoothed = stresses.GetSmoothedStressResultantForce();
    out.status = calc.GetCurrentStatus();
    if (out.status != CS_SUCCESS) out.stage = "balance resultant";
    calc.ResetCurrentStatus();
    out.samples = SampleResultant(rows, model);
    for (const auto& row : rows) {
        out.bounds.push_back(row->GetStressPoints().front().Get1DCoor());
        out.bounds.push_back(row->GetStressPoints().back().Get1DCoor());
    }
    if (!q.diagrams) return out;

    // The smoothing corrects the rows' signs in place, so a second, dense evaluation for the
    // curves starts from freshly filled rows.
    for (CLStressType t : RequestedTypes(q.types)) {
        DiagramSeries s;
        s.type = t;
        for (const auto& row : rows)
            for (const StressPoint& p : row->GetStressPoints())
                s.samples.emplace_back(p.Get1DCoor(), p.GetStress()[CLStressSourceComponent(t)]);
        out.diagrams.push_back(std::move(s));
    }
    FillSamples(model, q.loadCase, q.start, q.end, q.face, normal, rows);
    const double s0 = out.bounds.front(), sN = out.bounds.back();
    std::vector<double> dense;
    for (int i = 0; i <= 240; ++i) dense.push_back(s0 + (sN - s0) * i / 240.0);
    // Both ends of every element, so the curve shows the joins the balancing made.
    for (double bnd : out.bounds) dense.push_back(bnd);
    auto curve = smooth(dense);
    calc.ResetCurrentStatus();
    for (DiagramSeries& s : out.diagrams)
        for (const auto& p : curve) s.curve.emplace_back(p->GetCLCoor(), ValueOf(p->GetStress(), s.type));
    return out;
}

}  // namespace xsect::cli
