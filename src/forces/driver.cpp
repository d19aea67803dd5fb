// The section-force driver: one cut, one load case, six resultants.

#include <algorithm>
#include <cmath>

#include "core/crossing.h"
#include "core/gathering.h"
#include "core/plane_model.h"
#include "forces/cut_geometry.h"
#include "forces/host_state.h"
#include "xsect/forces/cross_section_forces_post.h"

namespace xsect {

std::int32_t CCrossSectionForcesPost::GetForcesOnSection(std::int32_t loadCase, CVertex* start, CVertex* end,
                                                         std::vector<double>& F1, std::vector<double>& F2,
                                                         std::vector<double>& F3, std::vector<double>& M1,
                                                         std::vector<double>& M2, std::vector<double>& M3,
                                                         std::int32_t side, bool globalAxes, bool momentAtMidpoint,
                                                         CVertex* momentPoint) {
    // Every call starts from empty outputs, a refused one too.
    std::vector<double>* outputs[6] = {&F1, &F2, &F3, &M1, &M2, &M3};
    for (std::vector<double>* out : outputs) out->clear();
    auto append = [&outputs](double f1, double f2, double f3, double m1, double m2, double m3) {
        const double values[6] = {f1, f2, f3, m1, m2, m3};
        for (int i = 0; i < 6; ++i) outputs[i]->push_back(values[i]);
    };

    // A standing status refuses the cut; so does a plane that was never set up, even after a
    // reset, since everything below needs it.
    detail::HostState& host = *state;
    if (host.status != CS_SUCCESS) return -1;
    if (!host.PlaneReady()) return -1;
    // Missing points are a host error with no status of their own: refuse without touching anything.
    if (start == nullptr || end == nullptr || (!momentAtMidpoint && momentPoint == nullptr)) return -1;
    const detail::PlaneModel& m = *host.model;
    const double tolerance = m.tolerance;

    // 1. The cut's ends go to plane coordinates in place and must lie in the plane.
    host.status = m.frame.CutIntoPlane(*start, *end, tolerance);
    if (host.status != CS_SUCCESS) return -1;

    // 2. The moment point: the cut's midpoint or the host's point, which must lie in the plane.
    detail::Vec3 momentAt{};
    if (momentAtMidpoint) {
        momentAt = {(start->x + end->x) / 2, (start->y + end->y) / 2, (start->z + end->z) / 2};
    } else {
        m.frame.ToPlane(*momentPoint);
        momentAt = {momentPoint->x, momentPoint->y, momentPoint->z};
    }
    if (std::fabs(momentAt[2]) > tolerance) {
        host.status = CS_MOMENT_POINT_OFF_PLANE;
        return -1;
    }

    // 3. Classify the cut and run an axis-parallel one in the axis' positive sense; the side
    // selector follows the swap, the moment point stays.
    const CROSS_SECTION_CUT_TYPE cutType = detail::CutTypeOf(*start, *end, tolerance);
    std::int32_t cutSide = side;
    detail::OrientCut(cutType, *start, *end, cutSide);

    // 4. The crossed elements; a cut that misses them all has no section. The search fetches the
    // case's records on its way (a case the model lacks is refused below).
    const std::int32_t caseIndex = m.CaseIndex(loadCase);
    const detail::CrossedElements crossed = detail::FindCrossedElements(m, *start, *end, true, caseIndex);
    if (crossed.Empty()) {
        host.status = CS_NO_ELEMENTS_CROSSED;
        return -1;
    }

    // 5. The cut's own axes, in plane coordinates (T) and, kept for the host, in global ones.
    detail::Mat3 T{};
    host.status = detail::CutAxes(cutType, *start, *end, tolerance, T);
    if (host.status != CS_SUCCESS) return -1;
    host.sectionAxes = m.frame.AxesToGlobal(T);

    // 6. Unknown and unsupported load cases give nothing; a case type beyond the known ones
    // succeeds with empty outputs.
    if (caseIndex == detail::kMissing) return -1;
    CLoadCaseInfo caseInfo = m.cases[static_cast<std::size_t>(caseIndex)];
    if (caseInfo.caseType == LOAD_CASE_UNSUPPORTED) return -1;
    if (caseInfo.caseType != LOAD_CASE_RESPONSE_SPECTRUM && caseInfo.caseType != LOAD_CASE_STATIC) return 1;

    // 7. The element nodes on the chosen side, then their sums about the moment point.
    const std::vector<detail::SideSlot> gathered =
        detail::SelectSide(m, crossed, detail::WindingSide(*start, *end, cutSide));

    if (caseInfo.caseType == LOAD_CASE_RESPONSE_SPECTRUM) {
        // Mode by mode, then combined; the result stays in cut axes. Modes above the highest one
        // any crossed element has results for are zeros under every rule, so they are left out:
        // a host's modeCount of millions then costs nothing. One is kept, so that a rule missing
        // its array still shows as NaN.
        std::int32_t modes = 0;
        if (caseInfo.modeCount > 0) {
            const std::int32_t filed = std::min(caseInfo.modeCount, detail::HighestFiledMode(m, caseIndex, crossed));
            modes = std::min(caseInfo.modeCount, std::max(filed, 1));
        }
        std::array<std::vector<double>, 6> perMode = detail::IntegrateModes(m, caseIndex, gathered, T, momentAt, modes);
        double combined[6];
        for (std::size_t k = 0; k < 6; ++k) combined[k] = ComputeRSPCombination(&caseInfo, perMode[k]);
        append(combined[0], combined[1], combined[2], combined[3], combined[4], combined[5]);
        return 1;
    }

    detail::Six sums = detail::IntegrateStatic(m, caseIndex, gathered, T, momentAt);
    if (globalAxes) {
        // Back from the cut's axes to the model's: the global axes are the rows of the section map.
        const detail::Vec3 f = detail::transposedTimes(host.sectionAxes, {sums[0], sums[1], sums[2]});
        const detail::Vec3 mo = detail::transposedTimes(host.sectionAxes, {sums[3], sums[4], sums[5]});
        sums = {f[0], f[1], f[2], mo[0], mo[1], mo[2]};
    }
    append(sums[0], sums[1], sums[2], sums[3], sums[4], sums[5]);
    return 1;
}

}  // namespace xsect
