// Sections for engineers through the C interface: many cuts, planes through an assembly or stations
// along an axis, for load cases and combinations, copied into the caller's arrays.

#include <cmath>
#include <limits>

#include "model_handle.h"

namespace xsect::c_api {

namespace {

void PutPoint(double* to, std::size_t section, const CVertex& p) {
    if (to == nullptr) return;
    to[3 * section] = p.x;
    to[3 * section + 1] = p.y;
    to[3 * section + 2] = p.z;
}

void PutForces(double* to, const SectionForces& f) {
    const double v[6] = {f.N, f.Vt, f.Vk, f.Mn, f.Mt, f.Mk};
    std::copy(v, v + 6, to);
}

// The C requests as the library takes them; none stands for the library's default list (the same
// for the model's two cutters).
int ReadRequests(const xsect_model& model, std::int32_t count, const xsect_request* requests,
                 std::vector<ResultRequest>& out) {
    out.clear();
    if (count < 0) return Fail(XSECT_E_ARGUMENT, "request_count is negative");
    if (count > 0 && requests == nullptr)
        return Fail(XSECT_E_ARGUMENT, "request_count is not zero but requests is null");
    if (count == 0) {
        out = model.calculators.cutter.DefaultRequests();
        return XSECT_OK;
    }
    // The library checks names, cases and factors; here only what it cannot see: the C pointers.
    for (std::int32_t i = 0; i < count; ++i) {
        const xsect_request& r = requests[i];
        const std::string where = "request " + std::to_string(i);
        if (r.name == nullptr) return Fail(XSECT_E_ARGUMENT, where + ": the name is null");
        if (r.term_count < 0) return Fail(XSECT_E_ARGUMENT, where + ": term_count is negative");
        if (r.term_count > 0 && (r.cases == nullptr || r.factors == nullptr))
            return Fail(XSECT_E_ARGUMENT, where + ": term_count is not zero but cases or factors is null");
        ResultRequest q{r.name, {}};
        for (std::int32_t t = 0; t < r.term_count; ++t) q.terms.push_back({r.cases[t], r.factors[t]});
        out.push_back(std::move(q));
    }
    return XSECT_OK;
}

// Copies a section table into the caller's arrays (any may be null) for that many requests; a table
// with an error is XSECT_E_ARGUMENT with the library's sentence.
int CopySections(const SectionTable& table, std::size_t requests, const xsect_sections& out) {
    if (!table.error.empty()) return Fail(XSECT_E_ARGUMENT, table.error);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (std::size_t s = 0; s < table.sections.size(); ++s) {
        const SectionResult& r = table.sections[s];
        if (out.position) out.position[s] = r.position;
        if (out.status) out.status[s] = r.status;
        if (out.covered_length) out.covered_length[s] = r.coveredLength;
        if (out.ends_inside) out.ends_inside[s] = r.endsInside;
        PutPoint(out.centroid, s, r.centroid);
        PutPoint(out.n, s, r.n);
        PutPoint(out.t, s, r.t);
        PutPoint(out.k, s, r.k);
        if (out.values == nullptr) continue;
        // A section the library could not compute has no values: NaN shows that in every plot.
        double* v = out.values + s * requests * 12;
        for (std::size_t q = 0; q < requests; ++q, v += 12) {
            if (q >= r.values.size()) {
                std::fill(v, v + 12, nan);
                continue;
            }
            PutForces(v, r.values[q].max);
            PutForces(v + 6, r.values[q].min);
        }
    }
    return XSECT_OK;
}

// The C options as the library takes them; the counts and pointers checked, the values left to it.
int ReadOptions(const xsect_plane_options* in, AssemblyOptions& out) {
    if (in == nullptr) return XSECT_OK;
    const xsect_plane_options& o = *in;
    for (const auto& [count, array, what] : {std::tuple{o.shell_count, static_cast<const void*>(o.shells), "shell"},
                                             {o.frame_count, o.frames, "frame"}, {o.region_count, o.region, "region"}})
        if (count < 0 || (count > 0 && array == nullptr))
            return Fail(XSECT_E_ARGUMENT, std::string(what) + "_count is negative, or not zero with a null array");
    if (o.up != nullptr) out.up = CVertex(o.up[0], o.up[1], o.up[2]);
    out.shells.assign(o.shells, o.shells + o.shell_count);
    out.frames.assign(o.frames, o.frames + o.frame_count);
    for (std::int32_t i = 0; i < o.region_count; ++i)
        out.region.emplace_back(o.region[3 * i], o.region[3 * i + 1], o.region[3 * i + 2]);
    if (o.moment_point != nullptr) {
        out.momentPoint = CVertex(o.moment_point[0], o.moment_point[1], o.moment_point[2]);
        out.useMomentPoint = true;
    }
    return XSECT_OK;
}

}  // namespace

}  // namespace xsect::c_api

extern "C" {

int xsect_cut_sections(const xsect_model* model, int32_t cut_count, const double* cuts, int32_t request_count,
                       const xsect_request* requests, xsect_sections* out) {
    using namespace xsect;
    using namespace xsect::c_api;
    return Guarded([&]() -> int {
        if (model == nullptr || out == nullptr) return Fail(XSECT_E_ARGUMENT, "model and out must not be null");
        if (cut_count < 0) return Fail(XSECT_E_ARGUMENT, "cut_count is negative");
        if (cut_count > 0 && cuts == nullptr) return Fail(XSECT_E_ARGUMENT, "cut_count is not zero but cuts is null");
        if (int rc = RequirePlaneModel(*model, "xsect_cut_sections")) return rc;
        std::vector<ResultRequest> wanted;
        if (int rc = ReadRequests(*model, request_count, requests, wanted)) return rc;
        std::vector<std::pair<CVertex, CVertex>> lines;
        for (std::int32_t c = 0; c < cut_count; ++c) {
            const double* p = cuts + 6 * static_cast<std::size_t>(c);
            lines.emplace_back(CVertex(p[0], p[1], p[2]), CVertex(p[3], p[4], p[5]));
        }
        const SectionTable table = model->calculators.cutter.Cut(lines, wanted);
        return CopySections(table, wanted.size(), *out);
    });
}

int xsect_station_sections(const xsect_model* model, const double axis_start[3], const double axis_end[3],
                           int32_t count, int32_t request_count, const xsect_request* requests, xsect_sections* out) {
    using namespace xsect;
    using namespace xsect::c_api;
    return Guarded([&]() -> int {
        if (model == nullptr || axis_start == nullptr || axis_end == nullptr || out == nullptr)
            return Fail(XSECT_E_ARGUMENT, "model, axis_start, axis_end and out must not be null");
        std::vector<ResultRequest> wanted;
        if (int rc = ReadRequests(*model, request_count, requests, wanted)) return rc;
        const CVertex a(axis_start[0], axis_start[1], axis_start[2]), b(axis_end[0], axis_end[1], axis_end[2]);
        const auto& assembly = model->calculators.assembly;
        const SectionTable table = assembly ? assembly->Stations(a, b, count, wanted)
                                            : model->calculators.cutter.Stations(a, b, count, wanted);
        return CopySections(table, wanted.size(), *out);
    });
}

int xsect_plane_sections(const xsect_model* model, int32_t plane_count, const double* planes, int32_t request_count,
                         const xsect_request* requests, const xsect_plane_options* options, xsect_sections* out) {
    using namespace xsect;
    using namespace xsect::c_api;
    return Guarded([&]() -> int {
        if (model == nullptr || out == nullptr) return Fail(XSECT_E_ARGUMENT, "model and out must not be null");
        if (plane_count < 0 || (plane_count > 0 && planes == nullptr))
            return Fail(XSECT_E_ARGUMENT, "plane_count is negative, or not zero with planes null");
        if (!model->calculators.assembly)
            return Fail(XSECT_E_ARGUMENT, "the model is a plane model: cut it with xsect_cut_sections");
        std::vector<ResultRequest> wanted;
        if (int rc = ReadRequests(*model, request_count, requests, wanted)) return rc;
        AssemblyOptions o;
        if (int rc = ReadOptions(options, o)) return rc;
        std::vector<SectionPlane> list;
        for (std::int32_t i = 0; i < plane_count; ++i) {
            const double* p = planes + 6 * static_cast<std::size_t>(i);
            list.push_back({CVertex(p[0], p[1], p[2]), CVertex(p[3], p[4], p[5])});
        }
        return CopySections(model->calculators.assembly->Cut(list, wanted, o), wanted.size(), *out);
    });
}

int xsect_stations(const xsect_model* model, const double axis_start[3], const double axis_end[3], int32_t count,
                   double* positions, double* values) {
    if (positions == nullptr || values == nullptr)
        return xsect::c_api::Fail(XSECT_E_ARGUMENT, "positions and values must not be null");
    xsect_sections out{};
    out.position = positions;
    out.values = values;
    return xsect_station_sections(model, axis_start, axis_end, count, 0, nullptr, &out);
}

}  // extern "C"
