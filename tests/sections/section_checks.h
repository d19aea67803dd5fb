#pragma once

// What the section tests compare against: the strip's statics in a section's own axes.

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "support/strip_model.h"

namespace xsect::section_checks {

using strip_model::Strip;
using strip_model::Vec3;
using Values = std::array<double, 6>;

inline Values Six(const SectionForces& f) { return {f.N, f.Vt, f.Vk, f.Mn, f.Mt, f.Mk}; }
inline Vec3 V(const CVertex& v) { return {v.x, v.y, v.z}; }

// A cut given in strip coordinates, in global ones.
inline std::pair<CVertex, CVertex> StripCut(const Strip& s, double sx, double sy, double ex, double ey) {
    return {s.GlobalVertex(sx, sy), s.GlobalVertex(ex, ey)};
}

// Strip coordinates (x, y) of a global point.
inline std::pair<double, double> StripXY(const Strip& s, const CVertex& g) {
    const Vec3 d = s.StripVector(V(g) - s.Shape().origin);
    return {d.x, d.y - s.Shape().depth / 2};
}

// The statics of a section across the whole strip: the part beyond it (towards the tip) carries
// the tip load; what the +n part exerts on the -n part is that part's resultant when +n points to
// the tip and its opposite otherwise; about the centroid, in (n, t, k). A station at the tip
// divides nothing and carries nothing.
inline Values Statics(const Strip& s, const strip_model::TipLoad& load, const SectionResult& r, bool atTip = false) {
    if (atTip) return {};
    const auto [mx, my] = StripXY(s, r.centroid);
    const strip_model::Wrench w = s.GlobalWrench(s.TipPartWrench(load, mx, my));
    const double sign = strip_model::Dot(V(r.n), s.Shape().e1) > 0 ? 1.0 : -1.0;
    const Vec3 axes[3] = {V(r.n), V(r.t), V(r.k)};
    Values v{};
    for (int i = 0; i < 3; ++i) {
        v[i] = sign * strip_model::Dot(axes[i], w.force);
        v[i + 3] = sign * strip_model::Dot(axes[i], w.moment);
    }
    return v;
}

inline void ExpectValues(const Values& got, const Values& want, double scale, const std::string& what) {
    static const char* names[] = {"N", "Vt", "Vk", "Mn", "Mt", "Mk"};
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(got[i], want[i], 1e-9 * scale) << what << " " << names[i];
}

// Every number of a table, bit for bit.
inline std::vector<unsigned char> BitsOf(const SectionTable& t) {
    std::vector<double> v;
    for (const SectionResult& r : t.sections) {
        v.insert(v.end(), {double(r.status), r.position, r.coveredLength, double(r.endsInside)});
        for (const CVertex* p : {&r.start, &r.end, &r.centroid, &r.n, &r.t, &r.k})
            v.insert(v.end(), {p->x, p->y, p->z});
        for (const SectionValue& s : r.values)
            for (const SectionForces* f : {&s.max, &s.min})
                v.insert(v.end(), {f->N, f->Vt, f->Vk, f->Mn, f->Mt, f->Mk});
        for (int i = 0; i < 6; ++i)
            v.insert(v.end(), {double(r.envelope.maxRequest[i]), double(r.envelope.minRequest[i])});
        for (const SectionForces* f : {&r.envelope.max, &r.envelope.min})
            v.insert(v.end(), {f->N, f->Vt, f->Vk, f->Mn, f->Mt, f->Mk});
        for (const std::vector<std::int32_t>* ids : {&r.shells, &r.frames}) v.insert(v.end(), ids->begin(), ids->end());
    }
    std::vector<unsigned char> bytes(v.size() * sizeof(double));
    if (!v.empty()) std::memcpy(bytes.data(), v.data(), bytes.size());
    return bytes;
}

}  // namespace xsect::section_checks
