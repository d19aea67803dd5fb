#include "sections/section.h"

#include <algorithm>
#include <cmath>

#include "core/crossing.h"
#include "core/cut_cover.h"
#include "core/gathering.h"

namespace xsect::detail {

namespace {

CVertex planePoint(double x, double y) { return CVertex(x, y, 0.0); }

CVertex globalPoint(const PlaneModel& m, const CVertex& p) {
    CVertex g = p;
    m.ToGlobal(g.x, g.y, g.z);
    return g;
}

// A direction in plane axes, in global axes: planeMatrix^T v.
CVertex globalDirection(const PlaneModel& m, const Vec3& v) {
    Vec3 g{};
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j) g[j] += v[i] * m.M[i][j];
    return CVertex(g[0], g[1], g[2]);
}

struct CoveredPart {
    double length;
    CVertex centroid;
    bool endsInside;
    std::vector<CutStretch> stretches;
};

// The part of the cut inside the shells it touches, its centre, and whether an end lies in the
// mesh: the point twice the tolerance beyond an end, along the cut, lies inside a touched shell (an
// end on the mesh's edge does not count; one on an edge between two shells does).
CoveredPart coveredPart(const PlaneModel& m, const CrossedElements& touched, const CVertex& a, const CVertex& b) {
    const std::vector<Interval> united = CutInsideShells(m, touched.shells, a, b);
    const double length = a.Distance(&b);
    double covered = 0.0, moment = 0.0;
    for (const Interval& i : united) {
        covered += i.to - i.from;
        moment += (i.to - i.from) * (i.from + i.to) / 2;
    }
    // With nothing of the cut inside a shell (it meets frames only, or grazes a corner) the
    // midpoint of the cut stands in.
    const double s = covered > 0.0 ? moment / covered : 0.5;
    CoveredPart part{covered * length, planePoint(a.x + s * (b.x - a.x), a.y + s * (b.y - a.y)), false, {}};
    for (const Interval& i : united) part.stretches.push_back({i.from * length, i.to * length});

    // Only an end that the covered part reaches can lie inside.
    const double reach = 2.0 * m.tolerance / length;
    const bool reached[2] = {!united.empty() && united.front().from <= reach,
                             !united.empty() && united.back().to >= 1.0 - reach};
    const CVertex probes[2] = {planePoint(a.x - reach * (b.x - a.x), a.y - reach * (b.y - a.y)),
                               planePoint(b.x + reach * (b.x - a.x), b.y + reach * (b.y - a.y))};
    for (int end = 0; end < 2; ++end)
        for (const std::int32_t shell : touched.shells)
            if (reached[end] && PointInShell(m, static_cast<std::size_t>(shell), probes[end], 0.0))
                part.endsInside = true;
    return part;
}

// A spectrum case's modal sums at the section combined by the case's own rule, as magnitudes.
Six spectrumValue(const PlaneModel& m, std::int32_t caseIndex, const SideSums& side, const CrossedElements& through,
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
    const Vec3& normal = m.M[2];
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

void ComputeSection(const PlaneModel& m, const CVertex& a, const CVertex& b, const SectionRules& rules,
                    const ResolvedRequests& requests, SectionResult& result) {
    const double tol = m.tolerance;

    // 1. The axes in plane coordinates: t along the cut, k the normal by the global rule, n = t x k.
    SectionAxes axes;
    if (!SectionAxesOf(a, b, rules.kSign, tol, axes)) return MarkUncomputed(result, CS_SECTION_MAP_FAILED);
    const Vec3 &t = axes.t, &k = axes.k, &n = axes.n;

    // 2. The crossed elements. Those the cut touches say whether there is a section and where it
    // lies. The nodes less than a tolerance past the cut along n are on the -n side, so the split
    // runs along the cut moved that far: the elements it crosses are the ones it divides.
    const CVertex a2 = planePoint(a.x + tol * n[0], a.y + tol * n[1]);
    const CVertex b2 = planePoint(b.x + tol * n[0], b.y + tol * n[1]);
    const auto [touched, through] = FindCrossedElementsOfTwo(m, a, b, a2, b2, tol, true);
    if (touched.Empty() && through.Empty()) return MarkUncomputed(result, CS_NO_ELEMENTS_CROSSED);

    // 3. The covered part of the cut, its centroid (the moment point) and its ends.
    const CoveredPart part = coveredPart(m, touched, a, b);
    result.status = CS_SUCCESS;
    result.coveredLength = part.length;
    result.centroid = globalPoint(m, part.centroid);
    result.endsInside = part.endsInside;
    result.covered = part.stretches;
    result.shells.clear();
    result.frames.clear();
    for (const std::int32_t s : through.shells) result.shells.push_back(m.shellIds[static_cast<std::size_t>(s)]);
    for (const std::int32_t f : through.frames) result.frames.push_back(m.frameIds[static_cast<std::size_t>(f)]);
    result.n = globalDirection(m, n);
    result.t = globalDirection(m, t);
    result.k = globalDirection(m, k);

    // 4. The side, chosen once for every request: the -n part's nodes, or with the option the +n
    // part's. The -n part's forces on its nodes are opposite to what the +n part exerts across the cut.
    auto beyond = [&](const CVertex& v) { return PastCut(a, n, v) >= tol; };
    const SideSums side(m, SelectSide(m, through, [&](const CVertex& v) { return beyond(v) == rules.positiveSide; }),
                        {part.centroid.x, part.centroid.y, 0.0});
    const double sign = (rules.positiveSide ? 1.0 : -1.0) * rules.sense;

    // 5. Each load case once, about the centroid, the static ones in one pass; then every request
    // and the envelope.
    const Mat3 T{n, t, k};
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
