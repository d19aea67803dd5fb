// The assembly and its cutter: checks a call's input (requests, planes, selection, region), lays out
// its planes and computes each section on its own, shared out over threads.

#include "xsect/assembly.h"
#include "xsect/plan.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/assembly_model.h"
#include "sections/parallel.h"
#include "sections/plan_data.h"
#include "sections/plane_section.h"
#include "sections/section.h"

namespace xsect {

namespace {

bool finite(const CVertex& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

detail::Vec3 vec(const CVertex& v) { return {v.x, v.y, v.z}; }

SectionTable refused(std::string sentence) {
    SectionTable table;
    table.error = std::move(sentence);
    return table;
}

// A table that says it ran out of memory; the sentence fits the string's own buffer.
SectionTable outOfMemory() noexcept {
    SectionTable table;
    table.error = "Out of memory.";
    return table;
}

// A call's input checked once: the requests resolved and the selection as marks by element index.
struct Call {
    detail::ResolvedRequests requests;
    std::optional<std::vector<unsigned char>> shells, frames;
    std::optional<detail::Vec3> momentPoint;

    // The rules without a region, which each plane sets.
    detail::PlaneSectionRules Rules(bool positiveSide) const {
        return {positiveSide, shells ? &*shells : nullptr, frames ? &*frames : nullptr, nullptr,
                momentPoint ? &*momentPoint : nullptr};
    }
};

// Marks the listed elements; the sentence of the first number the assembly does not have, or "".
std::string mark(const std::vector<std::int32_t>& numbers, const std::vector<std::int32_t>& ids, const char* what,
                 std::vector<unsigned char>& marks) {
    marks.assign(ids.size(), 0);
    for (const std::int32_t number : numbers) {
        const auto it = std::lower_bound(ids.begin(), ids.end(), number);
        if (it == ids.end() || *it != number)
            return std::string("The selection names ") + what + " " + std::to_string(number) +
                   ", which the assembly does not have.";
        marks[static_cast<std::size_t>(it - ids.begin())] = 1;
    }
    return {};
}

// Checks a call's requests (none for a plan) and options.
std::string checkCall(const detail::AssemblyModel& m, const std::string& built,
                      const std::vector<ResultRequest>* requests, const AssemblyOptions& o, Call& call) {
    if (!built.empty()) return built;
    if (requests)
        if (std::string fault = detail::ResolveRequests(m, *requests, call.requests); !fault.empty()) return fault;
    if (!finite(o.up)) return "The up direction has a coordinate that is not a finite number.";
    if (o.useMomentPoint) {
        if (!finite(o.momentPoint)) return "The moment point has a coordinate that is not a finite number.";
        call.momentPoint = vec(o.momentPoint);
    }
    if (!o.shells.empty() || !o.frames.empty()) {
        call.shells.emplace();
        call.frames.emplace();
        if (std::string fault = mark(o.shells, m.shellIds, "shell", *call.shells); !fault.empty()) return fault;
        if (std::string fault = mark(o.frames, m.frameIds, "frame", *call.frames); !fault.empty()) return fault;
    }
    return {};
}

// Checks the planes, and that the region lies in each, then runs job(i, plane, axes, rules) for each
// on the threads, with section(i)'s point and position set; a plane of no direction is marked. ""
// or the input's fault ("Out of memory." when the threads could not run).
template <class Section, class Job>
std::string forEachPlane(const detail::AssemblyModel& m, const std::vector<SectionPlane>& planes,
                         const AssemblyOptions& options, const detail::PlaneSectionRules& rules, unsigned threads,
                         Section&& section, Job&& job) {
    std::vector<detail::PlaneAxes> axes(planes.size());
    std::vector<unsigned char> framed(planes.size(), 0);
    for (std::size_t i = 0; i < planes.size(); ++i) {
        if (!finite(planes[i].point) || !finite(planes[i].normal))
            return "Plane " + std::to_string(i + 1) + " has a coordinate that is not a finite number.";
        framed[i] = detail::PlaneAxesOf(planes[i].normal, options.up, axes[i]);
    }
    // The region must lie in every plane it limits.
    for (std::size_t i = 0; i < planes.size() && !options.region.empty(); ++i) {
        if (!framed[i]) continue;
        if (std::string fault = detail::RegionFault(options.region, vec(planes[i].point), axes[i].n, m.tolerance,
                                                    "plane " + std::to_string(i + 1));
            !fault.empty())
            return fault;
    }
    const bool done = detail::RunInParallel(planes.size(), threads, [&](std::size_t i) {
        SectionResult& r = section(i);
        r.start = r.end = planes[i].point;
        r.position = 0.0;
        if (!framed[i]) return detail::MarkUncomputed(r, CS_SECTION_MAP_FAILED);
        std::optional<detail::PlaneRegion> region;
        if (!options.region.empty()) region.emplace(options.region, axes[i].t, axes[i].k);
        detail::PlaneSectionRules own = rules;
        own.region = region ? &*region : nullptr;
        job(i, detail::CuttingPlane{vec(planes[i].point), axes[i].n}, axes[i], own);
    });
    return done ? "" : "Out of memory.";
}

// Checks the axis, the count and the region (which lies across the axis, its coordinates along t and
// k holding at every station), then runs job(i, plane, axes, rules) for each station as forEachPlane.
template <class Section, class Job>
std::string forEachStation(const detail::AssemblyModel& m, const CVertex& axisStart, const CVertex& axisEnd,
                           std::int32_t count, const AssemblyOptions& options, detail::PlaneSectionRules rules,
                           unsigned threads, Section&& section, Job&& job) {
    if (count < 1 || count > 1000000)
        return "The station count must be between 1 and 1000000, not " + std::to_string(count) + ".";
    if (!finite(axisStart) || !finite(axisEnd)) return "The axis has a coordinate that is not a finite number.";
    const detail::Vec3 A = vec(axisStart), along = detail::difference(vec(axisEnd), A);
    const double length = detail::norm(along);
    detail::PlaneAxes axes;
    if (!(length > m.tolerance) || !detail::PlaneAxesOf(CVertex(along[0], along[1], along[2]), options.up, axes))
        return "The axis has no length (its ends are less than the tolerance apart).";
    std::optional<detail::PlaneRegion> region;
    if (!options.region.empty()) {
        if (std::string fault = detail::RegionFault(options.region, vec(options.region.front()), axes.n, m.tolerance,
                                                    "the plane across the axis through region point 1");
            !fault.empty())
            return fault;
        region.emplace(options.region, axes.t, axes.k);
    }
    rules.region = region ? &*region : nullptr;
    const bool done = detail::RunInParallel(static_cast<std::size_t>(count), threads, [&](std::size_t i) {
        SectionResult& r = section(i);
        const double s = count == 1 ? 0.0 : static_cast<double>(i) / static_cast<double>(count - 1);
        const detail::Vec3 p{A[0] + s * along[0], A[1] + s * along[1], A[2] + s * along[2]};
        r.start = r.end = CVertex(p[0], p[1], p[2]);
        r.position = s * length;
        job(i, detail::CuttingPlane{p, axes.n}, axes, rules);
    });
    return done ? "" : "Out of memory.";
}

// Section i of a table or of a plan's sections.
auto sectionOf(SectionTable& table) {
    return [&table](std::size_t i) -> SectionResult& { return table.sections[i]; };
}
auto sectionOf(std::vector<detail::PlannedSection>& planned) {
    return [&planned](std::size_t i) -> SectionResult& { return planned[i].geometry; };
}

// The jobs of forEachPlane and forEachStation: section i computed into the table, or laid out as the
// cutter lays it out and kept as what its values are made of.
auto computing(const detail::AssemblyModel& m, const Call& call, SectionTable& table) {
    return [&m, &call, &table](std::size_t i, const detail::CuttingPlane& plane, const detail::PlaneAxes& axes,
                               const detail::PlaneSectionRules& rules) {
        detail::ComputePlaneSection(m, plane, axes, rules, call.requests, table.sections[i]);
    };
}
auto planning(const detail::AssemblyModel& m, std::vector<detail::PlannedSection>& planned) {
    return [&m, &planned](std::size_t i, const detail::CuttingPlane& plane, const detail::PlaneAxes& axes,
                          const detail::PlaneSectionRules& rules) {
        detail::SectionLayout layout;
        if (detail::LayOutPlaneSection(m, plane, axes, rules, planned[i].geometry, layout))
            detail::PlanSection(m, layout, nullptr, planned[i]);
    };
}

SectionPlan planOf(const detail::AssemblyModel& m, const std::string& fault,
                   std::vector<detail::PlannedSection>&& planned) {
    if (!fault.empty()) return SectionPlan(detail::RefusedPlan(fault));
    return SectionPlan(detail::AssemblePlan(std::move(planned), m.ShellCount(), m.FrameCount(), detail::MostCorners(m)));
}

}  // namespace

Assembly::Assembly(const std::map<std::int32_t, CVertex>& nodes, const std::map<std::int32_t, CShellElement>& shells,
                   const std::map<std::int32_t, CFrameElement>& frames,
                   const std::map<std::int32_t, CLoadCaseInfo>& loadCases, double tolerance, NodalForceSense sense,
                   const std::map<std::int32_t, double>& thickness) {
    // Not a function-try-block: that would throw again at its end. Without a model every call refuses
    // with the sentence, which fits the string's own buffer.
    try {
        model_ = detail::BuildAssemblyModel(nodes, shells, frames, loadCases, tolerance,
                                            sense == NodalForceSense::ByElement ? -1.0 : 1.0, thickness, error_);
    } catch (...) {
        model_.reset();
        error_ = "Out of memory.";
    }
}

AssemblyCutter::AssemblyCutter(const Assembly& assembly, unsigned threads)
    : model_(assembly.model_), error_(assembly.error_), threads_(threads) {}

// Out of memory gives an empty list, which Cut and Stations read as this same list again.
std::vector<ResultRequest> AssemblyCutter::DefaultRequests() const try {
    return model_ ? detail::EveryCaseRequests(*model_) : std::vector<ResultRequest>{};
} catch (...) {
    return {};
}

SectionTable AssemblyCutter::Cut(const std::vector<SectionPlane>& planes, const std::vector<ResultRequest>& requests,
                                 const AssemblyOptions& options) const try {
    if (!model_) return refused(error_);
    const detail::AssemblyModel& m = *model_;
    Call call;
    if (std::string fault = checkCall(m, error_, &requests, options, call); !fault.empty()) return refused(fault);
    SectionTable table;
    table.sections.resize(planes.size());
    const std::string fault = forEachPlane(
        m, planes, options, call.Rules(positiveSide_), threads_, sectionOf(table), computing(m, call, table));
    return fault.empty() ? table : refused(fault);
} catch (...) {
    return outOfMemory();
}

SectionTable AssemblyCutter::Stations(const CVertex& axisStart, const CVertex& axisEnd, std::int32_t count,
                                      const std::vector<ResultRequest>& requests, const AssemblyOptions& options) const
    try {
    if (!model_) return refused(error_);
    const detail::AssemblyModel& m = *model_;
    Call call;
    if (std::string fault = checkCall(m, error_, &requests, options, call); !fault.empty()) return refused(fault);
    SectionTable table;
    table.sections.resize(static_cast<std::size_t>(std::clamp(count, 0, 1000000)));
    const std::string fault = forEachStation(
        m, axisStart, axisEnd, count, options, call.Rules(positiveSide_), threads_,
        sectionOf(table), computing(m, call, table));
    return fault.empty() ? table : refused(fault);
} catch (...) {
    return outOfMemory();
}

// A plan lays each section out as Cut and Stations do, then keeps what its values are made of.
SectionPlan AssemblyCutter::Plan(const std::vector<SectionPlane>& planes, const AssemblyOptions& options) const try {
    if (!model_) return SectionPlan(detail::RefusedPlan(error_));
    const detail::AssemblyModel& m = *model_;
    Call call;
    if (std::string fault = checkCall(m, error_, nullptr, options, call); !fault.empty())
        return SectionPlan(detail::RefusedPlan(fault));
    std::vector<detail::PlannedSection> planned(planes.size());
    const std::string fault = forEachPlane(
        m, planes, options, call.Rules(positiveSide_), threads_,
        sectionOf(planned), planning(m, planned));
    return planOf(m, fault, std::move(planned));
} catch (...) {
    return SectionPlan(detail::RefusedPlan("Out of memory."));
}

SectionPlan AssemblyCutter::StationPlan(const CVertex& axisStart, const CVertex& axisEnd, std::int32_t count,
                                        const AssemblyOptions& options) const try {
    if (!model_) return SectionPlan(detail::RefusedPlan(error_));
    const detail::AssemblyModel& m = *model_;
    Call call;
    if (std::string fault = checkCall(m, error_, nullptr, options, call); !fault.empty())
        return SectionPlan(detail::RefusedPlan(fault));
    std::vector<detail::PlannedSection> planned(static_cast<std::size_t>(std::clamp(count, 0, 1000000)));
    const std::string fault = forEachStation(
        m, axisStart, axisEnd, count, options, call.Rules(positiveSide_), threads_,
        sectionOf(planned), planning(m, planned));
    return planOf(m, fault, std::move(planned));
} catch (...) {
    return SectionPlan(detail::RefusedPlan("Out of memory."));
}

}  // namespace xsect
