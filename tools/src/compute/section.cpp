#include "compute/section.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "present/text.h"

namespace xsect::cli {

namespace {

}  // namespace

Vec3 ToPlane(CCrossSectionForcesPost& calc, Vec3 g) {
    calc.ConvertTo2D(&g.x, &g.y, &g.z);
    return g;
}

HostSection ComputeSection(CCrossSectionForcesPost& calc, const Model& model, const CutSpec& cut,
                             std::int32_t loadCase, bool globalAxes, const std::optional<Vec3>& momentPoint) {
    HostSection r;
    // The driver converts and may swap the points it is given: hand it copies.
    CVertex a(cut.start.x, cut.start.y, cut.start.z), b(cut.end.x, cut.end.y, cut.end.z);
    CVertex mp;
    if (momentPoint) mp = CVertex(momentPoint->x, momentPoint->y, momentPoint->z);
    std::vector<double> f1, f2, f3, m1, m2, m3;
    std::int32_t rc = calc.GetForcesOnSection(loadCase, &a, &b, f1, f2, f3, m1, m2, m3, cut.side, globalAxes,
                                              !momentPoint, momentPoint ? &mp : nullptr);
    if (rc != 1) {
        r.status = calc.GetCurrentStatus();
        if (r.status != CS_SUCCESS) {
            calc.ResetCurrentStatus();
        } else {
            auto lc = model.loadCases.find(loadCase);
            r.note = lc == model.loadCases.end()
                         ? "unknown load case " + std::to_string(loadCase)
                         : "load case " + std::to_string(loadCase) + " is of a type the library does not compute";
        }
        return r;
    }
    if (f1.size() != 1) {
        r.note = "load case " + std::to_string(loadCase) + " is of a type the library gives no values for";
        return r;
    }
    r.ok = true;
    r.values = {f1[0], f2[0], f3[0], m1[0], m2[0], m3[0]};
    CVertex x1, x2, x3;
    calc.GetCrossSectionMap(x1, x2, x3);
    r.axes[0] = Of(x1), r.axes[1] = Of(x2), r.axes[2] = Of(x3);
    return r;
}

}  // namespace xsect::cli

namespace xsect::cli {

Extent ExtentOf(const Model& model) {
    Extent e;
    bool first = true;
    for (const auto& [id, v] : model.nodes) {
        const Vec3 p = Of(v);
        if (first) e.lo = e.hi = p, first = false;
        e.lo = {std::min(e.lo.x, p.x), std::min(e.lo.y, p.y), std::min(e.lo.z, p.z)};
        e.hi = {std::max(e.hi.x, p.x), std::max(e.hi.y, p.y), std::max(e.hi.z, p.z)};
    }
    return e;
}

std::string CutProblem(const Extent& extent, double tolerance, Vec3 start, Vec3 end) {
    const Vec3 centre = 0.5 * (extent.lo + extent.hi);
    const double size = std::max(Norm(extent.hi - extent.lo), tolerance);
    // A million times the model's size is far beyond any cut through it, and well before
    // squares of the coordinates overflow.
    const double reach = 1e6 * size;
    for (Vec3 p : {start, end})
        if (!(std::fabs(p.x - centre.x) <= reach && std::fabs(p.y - centre.y) <= reach &&
              std::fabs(p.z - centre.z) <= reach))
            return "the cut reaches " + Significant(std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)}), 6) +
                   ", more than a million times the model's size (" + Significant(size, 6) + ") from it";
    const double length = Norm(end - start);
    if (!(length > tolerance))
        return "the cut's ends are " + Significant(length, 6) + " apart, not more than the model's tolerance " +
               Significant(tolerance, 6) + ": a cut needs a length";
    return {};
}

}  // namespace xsect::cli
