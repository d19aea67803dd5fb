#include "compute/plan.h"

#include <cmath>
#include <functional>

namespace xsect::cli {

namespace {

Pt UnitPt(Pt d) {
    const double n = std::hypot(d.x, d.y);
    return n > 0.0 ? Pt{d.x / n, d.y / n} : Pt{};
}

// The mesh, the elements split meets and the nodes of theirs that summed() takes.
PlanPicture MeshPlan(const Model& model, const PlaneMesh& mesh, Pt splitStart, Pt splitEnd,
                     const std::function<bool(Pt)>& summed, const std::string& title) {
    PlanPicture p;
    p.title = title;
    p.lengthUnit = model.units.length;
    for (const auto& [id, q] : mesh.nodes) p.nodes.emplace_back(id, q);
    std::set<std::int32_t> gathered;
    for (const PlaneMesh::Element& e : mesh.elements) {
        if (e.frame) p.frames.push_back({e.id, {e.corners[0], e.corners[1]}});
        else p.shells.emplace_back(e.id, e.corners);
        if (!Meets(e, splitStart, splitEnd, mesh.tolerance)) continue;
        if (!e.frame) p.crossed.insert(e.id);
        for (std::int32_t n : e.nodes)
            if (summed(mesh.nodes.at(n))) gathered.insert(n);
    }
    for (std::int32_t n : gathered) p.gathered.push_back(mesh.nodes.at(n));
    return p;
}

}  // namespace

PlanPicture MakePlan(const Model& model, CCrossSectionForcesPost& calc, const CutSpec& cut, const std::string& title) {
    const PlaneMesh mesh = MakePlaneMesh(model, calc);
    const Pt s = PlanePoint(calc, cut.start), e = PlanePoint(calc, cut.end);
    auto left = [&](Pt q) { return (e.x - s.x) * (q.y - s.y) - (e.y - s.y) * (q.x - s.x); };
    PlanPicture p = MeshPlan(model, mesh, s, e, [&](Pt q) { return cut.side != 0 ? left(q) <= 0.0 : left(q) > 0.0; },
                             title);
    p.cutStart = s;
    p.cutEnd = e;
    const Pt towardsLeft = UnitPt({s.y - e.y, e.x - s.x});
    p.towardsSummed = cut.side != 0 ? Pt{-towardsLeft.x, -towardsLeft.y} : towardsLeft;
    p.sideLabel = "gathered side";
    return p;
}

void SetCutAxes(PlanPicture& plan, CCrossSectionForcesPost& calc, const CutSpec& cut, const HostSection& result) {
    if (!result.ok) return;
    const Vec3 mid = 0.5 * (cut.start + cut.end);
    plan.axesOrigin = PlanePoint(calc, mid);
    plan.axes = {{"1", PlaneDirection(calc, mid, result.axes[0])}, {"2", PlaneDirection(calc, mid, result.axes[1])}};
}

PlanPicture MakeSectionPlan(const Model& model, CCrossSectionForcesPost& calc, const SectionResult& section,
                            const std::string& title) {
    const PlaneMesh mesh = MakePlaneMesh(model, calc);
    const Pt s = PlanePoint(calc, Of(section.start)), e = PlanePoint(calc, Of(section.end));
    const bool computed = section.status == CS_SUCCESS;
    const Pt n = computed ? UnitPt(PlaneDirection(calc, Of(section.start), Of(section.n))) : Pt{};
    // The -n part holds the nodes less than the tolerance past the cut, so the split runs along the
    // cut moved that far towards +n, and the elements it crosses are the ones summed.
    const double tol = model.tolerance;
    const Pt a{s.x + tol * n.x, s.y + tol * n.y}, b{e.x + tol * n.x, e.y + tol * n.y};
    PlanPicture p = MeshPlan(model, mesh, a, b,
                             [&](Pt q) { return computed && (q.x - s.x) * n.x + (q.y - s.y) * n.y < tol; }, title);
    if (!computed) p.crossed.clear();
    p.cutStart = s;
    p.cutEnd = e;
    p.towardsSummed = {-n.x, -n.y};
    p.sideLabel = "-n part (values act on it)";
    if (computed) {
        const Vec3 c = Of(section.centroid);
        p.centroid = PlanePoint(calc, c);
        p.axesOrigin = *p.centroid;
        p.axes = {{"n", PlaneDirection(calc, c, Of(section.n))}, {"t", PlaneDirection(calc, c, Of(section.t))}};
    }
    return p;
}

}  // namespace xsect::cli
