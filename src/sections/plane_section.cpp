#include "sections/plane_section.h"

#include <algorithm>
#include <cmath>

#include "core/gathering.h"
#include "core/plane_cover.h"
#include "sections/section.h"

namespace xsect::detail {

namespace {

// Below this share of its length a vector along n has no direction across it.
constexpr double kAlongNormal = 1e-9;

CVertex vertexOf(const Vec3& v) { return CVertex(v[0], v[1], v[2]); }

double dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// v scaled to unit length, computed on v over its largest component so that neither a tiny nor a
// huge normal underflows or overflows; false for a vector of no length.
bool unit(Vec3 v, Vec3& out) {
    const double big = std::max({std::fabs(v[0]), std::fabs(v[1]), std::fabs(v[2])});
    if (!(big > 0.0) || !std::isfinite(big)) return false;
    v = scaled(v, 1.0 / big);
    out = scaled(v, 1.0 / norm(v));
    return true;
}

// Where a summed frame crosses the plane: between its ends by their distances, or its end nearer
// the plane when both lie on one side of it (within the tolerance of it).
Vec3 frameCrossing(const AssemblyModel& m, std::size_t f, const CuttingPlane& plane) {
    const Point& a = m.vertices[static_cast<std::size_t>(m.frameEnds[f][0])];
    const Point& b = m.vertices[static_cast<std::size_t>(m.frameEnds[f][1])];
    const double ha = plane.Height(a), hb = plane.Height(b);
    const double s = ha == hb ? 0.0 : std::clamp(ha / (ha - hb), 0.0, 1.0);
    return {a.x + s * (b.x - a.x), a.y + s * (b.y - a.y), a.z + s * (b.z - a.z)};
}

bool counts(const std::vector<unsigned char>* selected, std::int32_t index) {
    return selected == nullptr || (*selected)[static_cast<std::size_t>(index)];
}

}  // namespace

bool PlaneAxesOf(const CVertex& normal, const CVertex& up, PlaneAxes& axes) {
    if (!unit({normal.x, normal.y, normal.z}, axes.n)) return false;
    const Vec3 n = axes.n;
    for (const Vec3& u : {Vec3{up.x, up.y, up.z}, Vec3{0.0, 0.0, 1.0}, Vec3{0.0, 1.0, 0.0}, Vec3{1.0, 0.0, 0.0}}) {
        const Vec3 across = difference(u, scaled(n, dot(u, n)));
        if (norm(across) > kAlongNormal * norm(u) && unit(across, axes.k)) break;
    }
    axes.t = cross(axes.k, n);
    return true;
}

bool LayOutPlaneSection(const AssemblyModel& m, const CuttingPlane& plane, const PlaneAxes& axes,
                        const PlaneSectionRules& rules, SectionResult& result, SectionLayout& layout) {
    // 1. The elements the plane meets within the tolerance, of those that count; of them, the ones
    // it divides are summed. A section that meets none has nothing to read.
    const PlaneContacts contacts = FindPlaneContacts(m, plane);
    CrossedElements through;
    bool met = false;
    for (std::size_t i = 0; i < contacts.shells.size(); ++i) {
        const std::int32_t s = contacts.shells[i];
        const auto at = static_cast<std::size_t>(s);
        if (!counts(rules.shells, s) ||
            (rules.region && !rules.region->Meets(m, m.CornersOf(at), m.CornerCount(at), true, plane)))
            continue;
        met = true;
        if (contacts.shellDivided[i]) through.shells.push_back(s);
    }
    for (std::size_t i = 0; i < contacts.frames.size(); ++i) {
        const std::int32_t f = contacts.frames[i];
        if (!counts(rules.frames, f) ||
            (rules.region && !rules.region->Meets(m, m.frameEnds[static_cast<std::size_t>(f)].data(), 2, false, plane)))
            continue;
        met = true;
        if (contacts.frameDivided[i]) through.frames.push_back(f);
    }
    if (!met) return MarkUncomputed(result, CS_NO_ELEMENTS_CROSSED), false;

    // 2. The cut area and its centroid, the moment point: the summed shells' traces, else the
    // summed frames' crossing points, else the plane's point.
    const PlaneCover cover = CoveredArea(m, through.shells, plane);
    Vec3 centroid = plane.p;
    if (rules.momentPoint) {
        centroid = *rules.momentPoint;
    } else if (cover.weight > 0.0) {
        centroid = cover.centre;
    } else if (!through.frames.empty()) {
        Vec3 sum{};
        for (const std::int32_t f : through.frames) {
            const Vec3 c = frameCrossing(m, static_cast<std::size_t>(f), plane);
            for (std::size_t k = 0; k < 3; ++k) sum[k] += c[k];
        }
        centroid = scaled(sum, 1.0 / static_cast<double>(through.frames.size()));
    }
    result.status = CS_SUCCESS;
    result.centroid = vertexOf(centroid);
    result.coveredLength = cover.length;
    result.endsInside = false;
    result.covered.clear();
    result.shells.clear();
    result.frames.clear();
    for (const std::int32_t s : through.shells) result.shells.push_back(m.shellIds[static_cast<std::size_t>(s)]);
    for (const std::int32_t f : through.frames) result.frames.push_back(m.frameIds[static_cast<std::size_t>(f)]);
    result.n = vertexOf(axes.n);
    result.t = vertexOf(axes.t);
    result.k = vertexOf(axes.k);

    // 3. The side, chosen once for every request or step: the -n part's nodes (h below the
    // tolerance), or with the option the +n part's.
    const double tol = m.tolerance;
    layout.axes = {axes.t, axes.k, axes.n};
    layout.side = SelectSide(m, through, [&](const Point& v, std::int32_t) {
        return (plane.Height(v) >= tol) == rules.positiveSide;
    });
    layout.through = std::move(through);
    layout.momentPoint = centroid;
    layout.sign = (rules.positiveSide ? 1.0 : -1.0) * m.sense;
    return true;
}

void ComputePlaneSection(const AssemblyModel& m, const CuttingPlane& plane, const PlaneAxes& axes,
                         const PlaneSectionRules& rules, const ResolvedRequests& requests, SectionResult& result) {
    SectionLayout layout;
    if (!LayOutPlaneSection(m, plane, axes, rules, result, layout)) return;
    // 4. Each load case once, every request and the envelope.
    const SideSums side(m, layout.side, layout.momentPoint);
    FillSectionValues(m, side, layout.through, Mat3{axes.n, axes.t, axes.k}, layout.sign, requests, result);
}

}  // namespace xsect::detail
