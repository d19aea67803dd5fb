// The section cutter: checks a call's input, lays out its cuts in the plane and computes each
// section on its own, shared out over threads; or compiles the same sections into a plan.

#include "xsect/sections.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/plane_model.h"
#include "sections/parallel.h"
#include "sections/plan_data.h"
#include "sections/requests.h"
#include "sections/section.h"
#include "xsect/plan.h"

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

std::string checkCuts(const std::vector<std::pair<CVertex, CVertex>>& cuts) {
    for (std::size_t i = 0; i < cuts.size(); ++i)
        if (!finite(cuts[i].first) || !finite(cuts[i].second))
            return "Cut " + std::to_string(i + 1) + " has a coordinate that is not a finite number.";
    return {};
}

// Each cut i of a call, its ends set in section(i), brought into the plane for job(i, a, b); a cut
// that cannot be laid out is marked with its status instead. False when a job threw.
template <class Section, class Job>
bool forEachCut(const detail::PlaneModel& m, const std::vector<std::pair<CVertex, CVertex>>& cuts, unsigned threads,
                const Section& section, const Job& job) {
    return detail::RunInParallel(cuts.size(), threads, [&](std::size_t i) {
        SectionResult& r = section(i);
        r.start = cuts[i].first;
        r.end = cuts[i].second;
        r.position = 0.0;
        if (m.planeStatus != CS_SUCCESS) return detail::MarkUncomputed(r, m.planeStatus);
        CVertex a = r.start, b = r.end;
        if (const auto status = m.frame.CutIntoPlane(a, b, m.tolerance); status != CS_SUCCESS)
            return detail::MarkUncomputed(r, status);
        job(i, CVertex(a.x, a.y, 0.0), CVertex(b.x, b.y, 0.0));
    });
}

// The stations of an axis: the axis in the plane (its ends projected onto it) or, without a plane,
// as given, and the box of the nodes that every station's cut spans.
struct StationAxis {
    CVertex A;
    double ux = 0.0, uy = 0.0, uz = 0.0, length = 0.0;
    detail::Vec3 t{};
    double x0 = HUGE_VAL, y0 = HUGE_VAL, x1 = -HUGE_VAL, y1 = -HUGE_VAL;
    bool planeReady = false;
};

// The axis, or the sentence that refuses it.
std::string stationAxis(const detail::PlaneModel& m, const CVertex& axisStart, const CVertex& axisEnd,
                        std::int32_t count, double kSign, StationAxis& axis) {
    if (count < 1 || count > 1000000)
        return "The station count must be between 1 and 1000000, not " + std::to_string(count) + ".";
    if (!finite(axisStart) || !finite(axisEnd)) return "The axis has a coordinate that is not a finite number.";
    CVertex A = axisStart, B = axisEnd;
    axis.planeReady = m.planeStatus == CS_SUCCESS;
    if (axis.planeReady) {
        m.frame.ToPlane(A);
        m.frame.ToPlane(B);
        A.z = B.z = 0.0;
    }
    axis.A = A;
    axis.ux = B.x - A.x;
    axis.uy = B.y - A.y;
    axis.uz = B.z - A.z;
    axis.length = std::sqrt(axis.ux * axis.ux + axis.uy * axis.uy + axis.uz * axis.uz);
    if (!(axis.length > (axis.planeReady ? m.tolerance : 0.0)) || !std::isfinite(axis.length))
        return axis.planeReady
                   ? "The axis has no length in the plane of the shells (its ends project onto one point)."
                   : "The axis has no length.";
    // Each cut runs through its station point perpendicular to n, farther than any node either way.
    const detail::Vec3 n{axis.ux / axis.length, axis.uy / axis.length, 0.0};
    axis.t = detail::cross({0.0, 0.0, kSign}, n);
    for (const detail::Point& v : m.vertices) {
        axis.x0 = std::min(axis.x0, v.x);
        axis.y0 = std::min(axis.y0, v.y);
        axis.x1 = std::max(axis.x1, v.x);
        axis.y1 = std::max(axis.y1, v.y);
    }
    return {};
}

// Each station i of the axis, its cut and position set in section(i), for job(i, a, b) in plane
// coordinates; a station without a plane is marked with the set-up's status instead. False when a
// job threw.
template <class Section, class Job>
bool forEachStation(const detail::PlaneModel& m, const StationAxis& axis, std::size_t count, unsigned threads,
                    const Section& section, const Job& job) {
    return detail::RunInParallel(count, threads, [&](std::size_t i) {
        SectionResult& r = section(i);
        const double s = count == 1 ? 0.0 : static_cast<double>(i) / static_cast<double>(count - 1);
        const CVertex p(axis.A.x + s * axis.ux, axis.A.y + s * axis.uy, axis.A.z + s * axis.uz);
        r.position = s * axis.length;
        if (!axis.planeReady) {
            r.start = r.end = p;
            return detail::MarkUncomputed(r, m.planeStatus);
        }
        const detail::Vec3& t = axis.t;
        double reach = 1.0 + 10.0 * m.tolerance;
        for (const double cx : {axis.x0, axis.x1})
            for (const double cy : {axis.y0, axis.y1}) reach = std::max(reach, std::hypot(cx - p.x, cy - p.y) + 1.0);
        const CVertex a(p.x - reach * t[0], p.y - reach * t[1], 0.0);
        const CVertex b(p.x + reach * t[0], p.y + reach * t[1], 0.0);
        r.start = a;
        r.end = b;
        m.frame.ToGlobal(r.start);
        m.frame.ToGlobal(r.end);
        job(i, a, b);
    });
}

// A plan's section i: laid out as the cutter's sections are, then what its values are made of.
void planSection(const detail::PlaneModel& m, const CVertex& a, const CVertex& b, const detail::SectionRules& rules,
                 detail::PlannedSection& planned) {
    detail::SectionLayout layout;
    if (detail::LayOutSection(m, a, b, rules, planned.geometry, layout)) detail::PlanSection(m, layout, &m.frame, planned);
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
    if (std::string fault = checkCuts(cuts); !fault.empty()) return refused(fault);

    const detail::SectionRules rules = rulesOf(m, positiveSide_, sense_, thickness_.get());
    SectionTable table;
    table.sections.resize(cuts.size());
    auto section = [&](std::size_t i) -> SectionResult& { return table.sections[i]; };
    const bool done = forEachCut(m, cuts, threads_, section, [&](std::size_t i, const CVertex& a, const CVertex& b) {
        detail::ComputeSection(m, a, b, rules, resolved, table.sections[i]);
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
    const detail::SectionRules rules = rulesOf(m, positiveSide_, sense_, thickness_.get());
    StationAxis axis;
    if (std::string fault = stationAxis(m, axisStart, axisEnd, count, rules.kSign, axis); !fault.empty())
        return refused(fault);

    SectionTable table;
    table.sections.resize(static_cast<std::size_t>(count));
    auto section = [&](std::size_t i) -> SectionResult& { return table.sections[i]; };
    const bool done = forEachStation(m, axis, table.sections.size(), threads_, section,
                                     [&](std::size_t i, const CVertex& a, const CVertex& b) {
                                         detail::ComputeSection(m, a, b, rules, resolved, table.sections[i]);
                                     });
    return done ? table : outOfMemory();
} catch (...) {
    return outOfMemory();
}

// A plan lays each section out as Cut and Stations do, then keeps what its values are made of.
SectionPlan SectionCutter::Plan(const std::vector<std::pair<CVertex, CVertex>>& cuts) const try {
    const detail::PlaneModel& m = *model_;
    if (std::string fault = checkCuts(cuts); !fault.empty()) return SectionPlan(detail::RefusedPlan(fault));
    const detail::SectionRules rules = rulesOf(m, positiveSide_, sense_, thickness_.get());
    std::vector<detail::PlannedSection> planned(cuts.size());
    auto section = [&](std::size_t i) -> SectionResult& { return planned[i].geometry; };
    const bool done = forEachCut(m, cuts, threads_, section, [&](std::size_t i, const CVertex& a, const CVertex& b) {
        planSection(m, a, b, rules, planned[i]);
    });
    if (!done) return SectionPlan(detail::RefusedPlan("Out of memory."));
    return SectionPlan(detail::AssemblePlan(std::move(planned), m.ShellCount(), m.FrameCount(), detail::MostCorners(m)));
} catch (...) {
    return SectionPlan(detail::RefusedPlan("Out of memory."));
}

SectionPlan SectionCutter::StationPlan(const CVertex& axisStart, const CVertex& axisEnd, std::int32_t count) const try {
    const detail::PlaneModel& m = *model_;
    const detail::SectionRules rules = rulesOf(m, positiveSide_, sense_, thickness_.get());
    StationAxis axis;
    if (std::string fault = stationAxis(m, axisStart, axisEnd, count, rules.kSign, axis); !fault.empty())
        return SectionPlan(detail::RefusedPlan(fault));
    std::vector<detail::PlannedSection> planned(static_cast<std::size_t>(count));
    auto section = [&](std::size_t i) -> SectionResult& { return planned[i].geometry; };
    const bool done = forEachStation(m, axis, planned.size(), threads_, section,
                                     [&](std::size_t i, const CVertex& a, const CVertex& b) {
                                         planSection(m, a, b, rules, planned[i]);
                                     });
    if (!done) return SectionPlan(detail::RefusedPlan("Out of memory."));
    return SectionPlan(detail::AssemblePlan(std::move(planned), m.ShellCount(), m.FrameCount(), detail::MostCorners(m)));
} catch (...) {
    return SectionPlan(detail::RefusedPlan("Out of memory."));
}

}  // namespace xsect
