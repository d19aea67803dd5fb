#include "compute/section.h"

#include <vector>

namespace xsect::cli {

HostSection ComputeSection(CCrossSectionForcesPost& calc, const Model& model, const CutSpec& cut,
                           std::int32_t loadCase, bool globalAxes, const std::optional<CVertex>& momentPoint) {
    HostSection r;
    // The driver converts and may swap the points it is given: hand it copies.
    CVertex a = cut.start, b = cut.end, mp;
    if (momentPoint) mp = *momentPoint;
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
    calc.GetCrossSectionMap(r.axes[0], r.axes[1], r.axes[2]);
    return r;
}

HostSide::HostSide(const SectionCutter& cutter, const CCrossSectionForcesPost& calc, const CVertex& start,
                   const CVertex& end)
    : cutter_(cutter), start_(start), end_(end) {
    CVertex x, y, normal;
    calc.GetPlaneMap(x, y, normal);
    left_ = cutter.SideOf(start, end, start + Cross(normal, end - start));
}

std::int32_t HostSide::Of(const CVertex& point) const {
    const std::int32_t side = cutter_.SideOf(start_, end_, point);
    return side != 0 && side == left_ ? 0 : 1;
}

}  // namespace xsect::cli
