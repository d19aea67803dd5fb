#include "sections/section.h"

#include <algorithm>
#include <cmath>

#include "core/cut_cover.h"

namespace xsect::detail {

namespace {

CVertex planePoint(double x, double y) { return CVertex(x, y, 0.0); }

CVertex vertexOf(const Vec3& v) { return CVertex(v[0], v[1], v[2]); }

// A spectrum case's modal sums at the section combined by the case's own rule, as magnitudes.
Six spectrumValue(const ElementArrays& m, std::int32_t caseIndex, const SideSums& side, const CrossedElements& through,
                  const Mat3& T, double sign) {
    const CLoadCaseInfo& info = m.cases[static_cast<std::size_t>(caseIndex)];
    // As the host interface counts modes: none past the highest one filed on the crossed elements
    // (those are zeros under every rule), but one, so that a rule missing its array shows as NaN.
    const std::int32_t modes =
        info.modeCount > 0 ? std::min(info.modeCount, std::max(HighestFiledMode(m, caseIndex, through), 1)) : 0;
    std::array<std::vector<double>, 6> perMode = side.Modes(caseIndex, T, modes);
    CLoadCaseInfo rule = info;
    Six v{};
    for (std::size_t i = 0; i < 6; ++i) {
        for (double& x : perMode[i]) x *= sign;
        v[i] = std::fabs(CCrossSectionForcesPost::ComputeRSPCombination(&rule, perMode[i]));
    }
    return v;
}

}  // namespace

double NormalSign(const PlaneModel& m) {
    const Vec3& normal = m.frame.axes[2];
    for (const std::size_t axis : {std::size_t{2}, std::size_t{1}})
        if (std::fabs(normal[axis]) > 1e-9) return normal[axis] > 0.0 ? 1.0 : -1.0;
    return normal[0] >= 0.0 ? 1.0 : -1.0;
}

bool SectionAxesOf(const CVertex& a, const CVertex& b, double kSign, double tolerance, SectionAxes& axes) {
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    if (!(length >= tolerance) || !(length > 0.0)) return false;
    axes.t = {(b.x - a.x) / length, (b.y - a.y) / length, 0.0};
    axes.k = {0.0, 0.0, kSign};
    axes.n = cross(axes.t, axes.k);
    return true;
}

void MarkUncomputed(SectionResult& result, std::int32_t status) {
    result.status = status;
    result.centroid = CVertex(0.0, 0.0, 0.0);
    result.coveredLength = 0.0;
    result.endsInside = false;
    result.covered.clear();
    result.shells.clear();
    result.frames.clear();
    result.n = result.t = result.k = CVertex(0.0, 0.0, 0.0);
    result.values.clear();
    result.envelope = EnvelopeOf({});
}

bool LayOutSection(const PlaneModel& m, const CVertex& a, const CVertex& b, const SectionRules& rules,
                   SectionResult& result, SectionLayout& layout) {
    const double tol = m.tolerance;

    // 1. The axes in plane coordinates: t along the cut, k the normal by the global rule, n = t x k.
    if (!SectionAxesOf(a, b, rules.kSign, tol, layout.axes)) return MarkUncomputed(result, CS_SECTION_MAP_FAILED), false;
    const Vec3 &t = layout.axes.t, &k = layout.axes.k, &n = layout.axes.n;

    // 2. The elements summed: the nodes less than a tolerance past the cut along n are on the -n
    // side, so the split runs along the cut moved that far, and the elements it crosses are the ones
    // it divides. With none, the section is there (reading zero) if the cut meets the mesh within
    // the tolerance, as along its outer edge; a cut inside one shell divides nothing.
    const CVertex a2 = planePoint(a.x + tol * n[0], a.y + tol * n[1]);
    const CVertex b2 = planePoint(b.x + tol * n[0], b.y + tol * n[1]);
    auto [touched, through] = FindCrossedElementsOfTwo(m, a, b, a2, b2, tol, true);
    const CutLine line(a, b);
    const double towards = n[1] * line.tx - n[0] * line.ty > 0.0 ? 1.0 : -1.0;  // +n is the cut's left
    if (through.Empty() && touched.frames.empty() && !MeetsShells(m, line)) {
        MarkUncomputed(result, LineInMesh(m, line, line.length / 2, towards) ? CS_CUT_INSIDE_ONE_SHELL
                                                                             : CS_NO_ELEMENTS_CROSSED);
        return false;
    }

    // 3. The covered part of the cut: its stretches inside the shells the section divides, nodes
    // within the tolerance of its line taken as on it; its centre is the moment point. With
    // nothing covered (frames only, or nothing beyond the cut) the cut's midpoint stands in. An
    // end lies inside when the mesh goes on twice the tolerance beyond it.
    const Coverage cover = CoveredPart(m, through.shells, line, towards, rules.thickness);
    const double centre = cover.length > 0.0 ? cover.centre : line.length / 2;
    const CVertex centroid = planePoint(a.x + centre * line.tx, a.y + centre * line.ty);
    result.status = CS_SUCCESS;
    result.coveredLength = cover.length;
    result.covered = cover.stretches;
    result.centroid = centroid;
    m.frame.ToGlobal(result.centroid);
    result.endsInside =
        LineInMesh(m, line, -2.0 * tol, towards) || LineInMesh(m, line, line.length + 2.0 * tol, towards);
    result.shells.clear();
    result.frames.clear();
    for (const std::int32_t s : through.shells) result.shells.push_back(m.shellIds[static_cast<std::size_t>(s)]);
    for (const std::int32_t f : through.frames) result.frames.push_back(m.frameIds[static_cast<std::size_t>(f)]);
    result.n = vertexOf(m.frame.DirectionToGlobal(n));
    result.t = vertexOf(m.frame.DirectionToGlobal(t));
    result.k = vertexOf(m.frame.DirectionToGlobal(k));

    // 4. The side, chosen once for every request or step: the -n part's nodes, or with the option
    // the +n part's. The -n part's forces on its nodes are opposite to what the +n part exerts
    // across the cut.
    auto beyond = [&](const Point& v) { return PastCut(a, n, v) >= tol; };
    layout.side = SelectSide(m, through, [&](const Point& v, std::int32_t) { return beyond(v) == rules.positiveSide; });
    layout.through = std::move(through);
    layout.momentPoint = {centroid.x, centroid.y, 0.0};
    layout.sign = (rules.positiveSide ? 1.0 : -1.0) * rules.sense;
    return true;
}

void ComputeSection(const PlaneModel& m, const CVertex& a, const CVertex& b, const SectionRules& rules,
                    const ResolvedRequests& requests, SectionResult& result) {
    SectionLayout layout;
    if (!LayOutSection(m, a, b, rules, result, layout)) return;
    const SideSums side(m, layout.side, layout.momentPoint);
    const double sign = layout.sign;

    // 5. Each load case once, about the centroid; then every request and the envelope.
    FillSectionValues(m, side, layout.through, Mat3{layout.axes.n, layout.axes.t, layout.axes.k}, sign, requests,
                      result);
}

void FillSectionValues(const ElementArrays& m, const SideSums& side, const CrossedElements& through, const Mat3& T,
                       double sign, const ResolvedRequests& requests, SectionResult& result) {
    // The static cases in one pass, element by element.
    std::vector<std::int32_t> statics;
    for (std::size_t c = 0; c < requests.cases.size(); ++c)
        if (!requests.spectrum[c]) statics.push_back(requests.cases[c]);
    const std::vector<Six> staticValues = side.Static(statics, T);
    std::vector<Six> caseValues;
    caseValues.reserve(requests.cases.size());
    for (std::size_t c = 0, s = 0; c < requests.cases.size(); ++c) {
        if (requests.spectrum[c]) {
            caseValues.push_back(spectrumValue(m, requests.cases[c], side, through, T, sign));
            continue;
        }
        caseValues.push_back(staticValues[s++]);
        for (double& x : caseValues.back()) x *= sign;
    }
    result.values.clear();
    result.values.reserve(requests.requests.size());
    for (const auto& terms : requests.requests)
        result.values.push_back(CombineRequest(terms, caseValues, requests.spectrum));
    result.envelope = EnvelopeOf(result.values);
}

}  // namespace xsect::detail
