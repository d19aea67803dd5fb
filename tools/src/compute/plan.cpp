#include "compute/plan.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <iterator>

namespace xsect::cli {

namespace {

CVertex UnitInPlane(const CVertex& d) {
    const double n = std::hypot(d.x, d.y);
    return n > 0.0 ? CVertex(d.x / n, d.y / n, 0.0) : CVertex();
}

std::vector<std::int32_t> United(const std::vector<std::int32_t>& a, const std::vector<std::int32_t>& b) {
    std::vector<std::int32_t> both;
    std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(both));
    return both;
}

// The mesh in plane coordinates, the given elements as crossed and their nodes that summed() takes
// (asked with the node's global point).
PlanPicture MeshPlan(const Model& model, CCrossSectionForcesPost& calc, const std::vector<std::int32_t>& shells,
                     const std::vector<std::int32_t>& frames, const std::function<bool(const CVertex&)>& summed,
                     const std::string& title) {
    PlanPicture p;
    p.title = title;
    p.lengthUnit = model.units.length;
    std::map<std::int32_t, CVertex> plane;
    for (const auto& [id, v] : model.nodes) p.nodes.emplace_back(id, plane[id] = InPlane(calc, v));
    for (const auto& [id, shell] : model.shells) {
        std::vector<CVertex> corners;
        for (std::int32_t n : shell.nodes) corners.push_back(plane.at(n));
        p.shells.emplace_back(id, std::move(corners));
    }
    for (const auto& [id, frame] : model.frames)
        p.frames.push_back({id, {plane.at(frame.nodeA), plane.at(frame.nodeB)}});

    p.crossed.insert(shells.begin(), shells.end());
    std::set<std::int32_t> gathered;
    auto gather = [&](std::int32_t node) {
        if (summed(model.nodes.at(node))) gathered.insert(node);
    };
    for (std::int32_t id : shells)
        for (std::int32_t n : model.shells.at(id).nodes) gather(n);
    for (std::int32_t id : frames) gather(model.frames.at(id).nodeA), gather(model.frames.at(id).nodeB);
    for (std::int32_t n : gathered) p.gathered.push_back(plane.at(n));
    return p;
}

}  // namespace

MetElements Met(const SectionResult& forward, const SectionResult& backward) {
    return {United(forward.shells, backward.shells), United(forward.frames, backward.frames)};
}

PlanPicture MakeHostPlan(const Model& model, CCrossSectionForcesPost& calc, const SectionCutter& cutter,
                         const CutSpec& cut, const MetElements& met, const std::string& title) {
    const HostSide side(cutter, calc, cut.start, cut.end);
    PlanPicture p = MeshPlan(model, calc, met.shells, met.frames,
                             [&](const CVertex& v) { return side.Of(v) == cut.side; }, title);
    const CVertex s = InPlane(calc, cut.start), e = InPlane(calc, cut.end);
    p.cutStart = s;
    p.cutEnd = e;
    const CVertex towardsLeft = UnitInPlane({s.y - e.y, e.x - s.x, 0.0});
    p.towardsSummed = cut.side != 0 ? -1.0 * towardsLeft : towardsLeft;
    p.sideLabel = "gathered side";
    return p;
}

void SetCutAxes(PlanPicture& plan, CCrossSectionForcesPost& calc, const CutSpec& cut, const HostSection& result) {
    if (!result.ok) return;
    plan.axesOrigin = InPlane(calc, 0.5 * (cut.start + cut.end));
    plan.axes = {{"1", PlaneDirection(calc, result.axes[0])}, {"2", PlaneDirection(calc, result.axes[1])}};
}

PlanPicture MakeSectionPlan(const Model& model, CCrossSectionForcesPost& calc, const SectionCutter& cutter,
                            const SectionResult& section, const std::string& title) {
    // The values act on the -n part, which holds the nodes within the tolerance of the cut too.
    auto onMinusSide = [&](const CVertex& v) { return cutter.SideOf(section.start, section.end, v) <= 0; };
    PlanPicture p = MeshPlan(model, calc, section.shells, section.frames, onMinusSide, title);
    p.cutStart = InPlane(calc, section.start);
    p.cutEnd = InPlane(calc, section.end);
    p.sideLabel = "-n part (values act on it)";
    if (section.status != CS_SUCCESS) return p;
    p.towardsSummed = -1.0 * UnitInPlane(PlaneDirection(calc, section.n));
    p.centroid = InPlane(calc, section.centroid);
    p.axesOrigin = *p.centroid;
    p.axes = {{"n", PlaneDirection(calc, section.n)}, {"t", PlaneDirection(calc, section.t)}};
    return p;
}

}  // namespace xsect::cli
