#include "compute/plan.h"

#include <map>

#include <xsect/detail/segments.h>

namespace xsect::cli {

namespace {

double Area2(Pt a, Pt b, Pt p) { return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x); }

bool SegmentsMeet(Pt a, Pt b, Pt c, Pt d, double tol) {
    CVertex A(a.x, a.y, 0), B(b.x, b.y, 0), C(c.x, c.y, 0), D(d.x, d.y, 0), out;
    return IntersectSegments2D(&A, &B, &C, &D, tol, &out);
}

}  // namespace

PlanPicture MakePlan(const Model& model, CCrossSectionForcesPost& calc, const CutSpec& cut, const std::string& title) {
    PlanPicture p;
    p.title = title;
    p.lengthUnit = model.units.length;
    std::map<std::int32_t, Pt> plane;
    for (const auto& [id, v] : model.nodes) {
        Vec3 q = ToPlane(calc, Of(v));
        plane[id] = {q.x, q.y};
        p.nodes.emplace_back(id, plane[id]);
    }
    Vec3 s = ToPlane(calc, cut.start), e = ToPlane(calc, cut.end);
    p.cutStart = {s.x, s.y};
    p.cutEnd = {e.x, e.y};
    p.gatherLeft = cut.side == 0;
    auto onSide = [&](Pt q) {
        double a = Area2(p.cutStart, p.cutEnd, q);
        return cut.side != 0 ? a <= 0.0 : a > 0.0;
    };
    std::set<std::int32_t> gathered;
    for (const auto& [id, shell] : model.shells) {
        std::vector<Pt> poly;
        for (std::int32_t n : shell.nodes) poly.push_back(plane.at(n));
        bool crossed = false;
        for (std::size_t i = 0; i < poly.size() && !crossed; ++i)
            crossed = SegmentsMeet(p.cutStart, p.cutEnd, poly[i], poly[(i + 1) % poly.size()], model.tolerance);
        if (crossed) {
            p.crossed.insert(id);
            for (std::int32_t n : shell.nodes)
                if (onSide(plane.at(n))) gathered.insert(n);
        }
        p.shells.emplace_back(id, std::move(poly));
    }
    for (const auto& [id, frame] : model.frames) {
        Pt a = plane.at(frame.nodeA), b = plane.at(frame.nodeB);
        p.frames.push_back({id, {a, b}});
        if (SegmentsMeet(p.cutStart, p.cutEnd, a, b, model.tolerance))
            for (std::int32_t n : {frame.nodeA, frame.nodeB})
                if (onSide(plane.at(n))) gathered.insert(n);
    }
    for (std::int32_t n : gathered) p.gathered.push_back(plane.at(n));
    return p;
}

void SetCutAxes(PlanPicture& plan, CCrossSectionForcesPost& calc, const CutSpec& cut, const SectionResult& result) {
    if (!result.ok) return;
    const Vec3 mid = 0.5 * (cut.start + cut.end);
    const Vec3 origin = ToPlane(calc, mid);
    auto direction = [&](Vec3 axis) {
        const Vec3 d = ToPlane(calc, mid + axis) - origin;
        return Pt{d.x, d.y};
    };
    plan.axis1 = direction(result.axes[0]);
    plan.axis2 = direction(result.axes[1]);
    plan.hasAxes = true;
}

}  // namespace xsect::cli
