// The section cutter: checks a call's input, lays out its cuts in the plane and computes each
// section on its own, shared out over threads.

#include "xsect/sections.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/plane_model.h"
#include "sections/parallel.h"
#include "sections/requests.h"
#include "sections/section.h"

namespace xsect {

namespace {

bool finite(const CVertex& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// A table that says it ran out of memory. The sentence fits the string's own buffer, so setting it
// allocates nothing.
SectionTable outOfMemory() noexcept {
    SectionTable table;
    table.error = "Out of memory.";
    return table;
}

detail::SectionRules rulesOf(const detail::PlaneModel& m, bool positiveSide, NodalForceSense sense,
                            const std::vector<double>* thickness) {
    return {detail::NormalSign(m), positiveSide, sense == NodalForceSense::ByElement ? -1.0 : 1.0, thickness};
}

SectionTable refused(std::string sentence) {
    SectionTable table;
    table.error = std::move(sentence);
    return table;
}

}  // namespace

SectionCutter::SectionCutter(const CCrossSectionForcesPost& calculator, NodalForceSense sense, unsigned threads)
    : model_(calculator.Model()), sense_(sense), threads_(threads) {}

void SectionCutter::SumFromPositiveSide(bool on) { positiveSide_ = on; }

void SectionCutter::ShellThicknesses(const std::map<std::int32_t, double>& thickness) {
    const detail::PlaneModel& m = *model_;
    auto byIndex = std::make_shared<std::vector<double>>(m.ShellCount(), 0.0);
    for (std::size_t s = 0; s < m.ShellCount(); ++s) {
        const auto it = thickness.find(m.shellIds[s]);
        if (it != thickness.end() && it->second > 0.0 && std::isfinite(it->second)) (*byIndex)[s] = it->second;
    }
    thickness_ = std::move(byIndex);
}

// Out of memory gives an empty list, which Cut and Stations read as this same list again.
std::vector<ResultRequest> SectionCutter::DefaultRequests() const try {
    return detail::EveryCaseRequests(*model_);
} catch (...) {
    return {};
}

std::int32_t SectionCutter::SideOf(const CVertex& start, const CVertex& end, const CVertex& point) const {
    const detail::PlaneModel& m = *model_;
    if (m.planeStatus != CS_SUCCESS || !finite(start) || !finite(end) || !finite(point)) return 0;
    CVertex a = start, b = end, p = point;
    for (CVertex* v : {&a, &b, &p}) {
        m.frame.ToPlane(*v);
        v->z = 0.0;
    }
    detail::SectionAxes axes;
    if (!detail::SectionAxesOf(a, b, detail::NormalSign(m), m.tolerance, axes)) return 0;
    const double past = detail::PastCut(a, axes.n, p);
    return past >= m.tolerance ? 1 : past <= -m.tolerance ? -1 : 0;
}

SectionForces Reversed(const SectionForces& v) { return {v.N, v.Vt, -v.Vk, v.Mn, v.Mt, -v.Mk}; }

SectionTable SectionCutter::Cut(const std::vector<std::pair<CVertex, CVertex>>& cuts,
                                const std::vector<ResultRequest>& requests) const try {
    const detail::PlaneModel& m = *model_;
    detail::ResolvedRequests resolved;
    if (std::string fault = detail::ResolveRequests(m, requests, resolved); !fault.empty()) return refused(fault);
    for (std::size_t i = 0; i < cuts.size(); ++i)
        if (!finite(cuts[i].first) || !finite(cuts[i].second))
            return refused("Cut " + std::to_string(i + 1) + " has a coordinate that is not a finite number.");

    const detail::SectionRules rules = rulesOf(m, positiveSide_, sense_, thickness_.get());
    SectionTable table;
    table.sections.resize(cuts.size());
    const bool done = detail::RunInParallel(cuts.size(), threads_, [&](std::size_t i) {
        SectionResult& r = table.sections[i];
        r.start = cuts[i].first;
        r.end = cuts[i].second;
        r.position = 0.0;
        if (m.planeStatus != CS_SUCCESS) return detail::MarkUncomputed(r, m.planeStatus);
        CVertex a = r.start, b = r.end;
        if (const auto status = m.frame.CutIntoPlane(a, b, m.tolerance); status != CS_SUCCESS)
            return detail::MarkUncomputed(r, status);
        detail::ComputeSection(m, CVertex(a.x, a.y, 0.0), CVertex(b.x, b.y, 0.0), rules, resolved, r);
    });
    return done ? table : outOfMemory();
} catch (...) {
    return outOfMemory();
}

SectionTable SectionCutter::Stations(const CVertex& axisStart, const CVertex& axisEnd, std::int32_t count,
                                     const std::vector<ResultRequest>& requests) const try {
    const detail::PlaneModel& m = *model_;
    detail::ResolvedRequests resolved;
    if (std::string fault = detail::ResolveRequests(m, requests, resolved); !fault.empty()) return refused(fault);
    if (count < 1 || count > 1000000)
        return refused("The station count must be between 1 and 1000000, not " + std::to_string(count) + ".");
    if (!finite(axisStart) || !finite(axisEnd))
        return refused("The axis has a coordinate that is not a finite number.");

    // The axis in the plane (its ends projected onto it) or, without a plane, as given.
    CVertex A = axisStart, B = axisEnd;
    const bool planeReady = m.planeStatus == CS_SUCCESS;
    if (planeReady) {
        m.frame.ToPlane(A);
        m.frame.ToPlane(B);
        A.z = B.z = 0.0;
    }
    const double ux = B.x - A.x, uy = B.y - A.y, uz = B.z - A.z;
    const double length = std::sqrt(ux * ux + uy * uy + uz * uz);
    if (!(length > (planeReady ? m.tolerance : 0.0)) || !std::isfinite(length))
        return refused(planeReady
                           ? "The axis has no length in the plane of the shells (its ends project onto one point)."
                           : "The axis has no length.");

    // Each cut runs through its station point perpendicular to n, farther than any node either way.
    const detail::SectionRules rules = rulesOf(m, positiveSide_, sense_, thickness_.get());
    const detail::Vec3 n{ux / length, uy / length, 0.0};
    const detail::Vec3 t = detail::cross({0.0, 0.0, rules.kSign}, n);
    double x0 = HUGE_VAL, y0 = HUGE_VAL, x1 = -HUGE_VAL, y1 = -HUGE_VAL;
    for (const CVertex& v : m.vertices) {
        x0 = std::min(x0, v.x);
        y0 = std::min(y0, v.y);
        x1 = std::max(x1, v.x);
        y1 = std::max(y1, v.y);
    }

    SectionTable table;
    table.sections.resize(static_cast<std::size_t>(count));
    const bool done = detail::RunInParallel(table.sections.size(), threads_, [&](std::size_t i) {
        SectionResult& r = table.sections[i];
        const double s = count == 1 ? 0.0 : static_cast<double>(i) / static_cast<double>(count - 1);
        const CVertex p(A.x + s * ux, A.y + s * uy, A.z + s * uz);
        r.position = s * length;
        if (!planeReady) {
            r.start = r.end = p;
            return detail::MarkUncomputed(r, m.planeStatus);
        }
        double reach = 1.0 + 10.0 * m.tolerance;
        for (const double cx : {x0, x1})
            for (const double cy : {y0, y1}) reach = std::max(reach, std::hypot(cx - p.x, cy - p.y) + 1.0);
        const CVertex a(p.x - reach * t[0], p.y - reach * t[1], 0.0);
        const CVertex b(p.x + reach * t[0], p.y + reach * t[1], 0.0);
        r.start = a;
        r.end = b;
        m.frame.ToGlobal(r.start);
        m.frame.ToGlobal(r.end);
        detail::ComputeSection(m, a, b, rules, resolved, r);
    });
    return done ? table : outOfMemory();
} catch (...) {
    return outOfMemory();
}

}  // namespace xsect
