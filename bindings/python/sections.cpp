// Model.stations, Model.cut and Model.plane_cut: the requests checked and handed to the library's
// section cutter, or its assembly cutter, with the GIL released, and its table copied into numpy arrays.

#include <cmath>
#include <limits>

#include "model.h"

namespace xsect::python {

namespace {

// None, or [(name, {case: factor})], as the library's requests; None stands for the library's
// default list.
template <class Cutter>
std::vector<ResultRequest> ReadRequests(py::handle value, const Cutter& cutter) {
    if (value.is_none()) return cutter.DefaultRequests();
    if (!py::isinstance<py::sequence>(value) || py::isinstance<py::str>(value))
        throw py::value_error("requests: expected None or a list of (name, {case: factor})");
    std::vector<ResultRequest> out;
    for (py::handle item : value.cast<py::sequence>()) {
        const std::string where = "requests[" + std::to_string(out.size()) + "]";
        if (!py::isinstance<py::sequence>(item) || py::isinstance<py::str>(item) || py::len(item) != 2)
            throw py::value_error(where + ": expected a pair (name, {case: factor})");
        py::sequence pair = item.cast<py::sequence>();
        if (!py::isinstance<py::str>(pair[0])) throw py::value_error(where + ": the name is not a string");
        if (!py::isinstance<py::dict>(pair[1]))
            throw py::value_error(where + ": the terms are not a dict {case: factor}");
        ResultRequest& r = out.emplace_back();
        r.name = pair[0].cast<std::string>();
        for (auto [k, v] : pair[1].cast<py::dict>())
            r.terms.push_back({Int32(k, (where + ": a load case").c_str()), Finite(v, (where + ": a factor").c_str())});
    }
    return out;
}

void PutPoint(double* to, const CVertex& p) {
    to[0] = p.x;
    to[1] = p.y;
    to[2] = p.z;
}

void PutForces(double* to, const SectionForces& f) {
    const double v[6] = {f.N, f.Vt, f.Vk, f.Mn, f.Mt, f.Mk};
    std::copy(v, v + 6, to);
}

py::list Numbers(const std::vector<std::int32_t>& ids) {
    py::list out;
    for (std::int32_t id : ids) out.append(id);
    return out;
}

// Runs the cutter with the GIL released; a bad request or cut is a ValueError with the library's sentence.
template <class Cutter, class Cut>
SectionTable Run(const Cutter& cutter, py::handle requests, Cut&& cut) {
    const std::vector<ResultRequest> wanted = ReadRequests(requests, cutter);
    xsect::SectionTable table;
    {
        py::gil_scoped_release unlocked;
        table = cut(cutter, wanted);
    }
    if (!table.error.empty()) throw py::value_error(table.error);

    const auto s = static_cast<py::ssize_t>(table.sections.size());
    const auto r = static_cast<py::ssize_t>(wanted.size());
    const py::ssize_t three = 3;
    py::array_t<double> position(s), values({s, r, py::ssize_t{2}, py::ssize_t{6}}), covered(s);
    py::array_t<double> centroid({s, three}), n({s, three}), t({s, three}), k({s, three});
    py::array_t<std::int32_t> status(s);
    py::array_t<bool> endsInside(s);
    SectionTable out;
    // A section the library could not compute has no values: NaN shows that in every plot.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    double *atPosition = position.mutable_data(), *atCovered = covered.mutable_data(), *v = values.mutable_data();
    double *atCentroid = centroid.mutable_data(), *atN = n.mutable_data(), *atT = t.mutable_data(),
           *atK = k.mutable_data();
    std::int32_t* atStatus = status.mutable_data();
    bool* atEndsInside = endsInside.mutable_data();
    for (py::ssize_t i = 0; i < s; ++i) {
        const SectionResult& section = table.sections[static_cast<std::size_t>(i)];
        atPosition[i] = section.position;
        atStatus[i] = section.status;
        atCovered[i] = section.coveredLength;
        atEndsInside[i] = section.endsInside;
        PutPoint(atCentroid + 3 * i, section.centroid);
        PutPoint(atN + 3 * i, section.n);
        PutPoint(atT + 3 * i, section.t);
        PutPoint(atK + 3 * i, section.k);
        for (std::size_t q = 0; q < wanted.size(); ++q, v += 12) {
            if (q >= section.values.size()) {
                std::fill(v, v + 12, nan);
                continue;
            }
            PutForces(v, section.values[q].max);
            PutForces(v + 6, section.values[q].min);
        }
        out.shells.append(Numbers(section.shells));
        out.frames.append(Numbers(section.frames));
    }
    out.position = position;
    out.values = values;
    out.status = status;
    out.centroid = centroid;
    out.coveredLength = covered;
    out.endsInside = endsInside;
    out.n = n;
    out.t = t;
    out.k = k;
    for (const ResultRequest& q : wanted) out.requests.append(q.name);
    return out;
}

}  // namespace

AssemblyOptions Model::Options(py::handle up, py::handle shells, py::handle frames, py::handle region,
                               py::handle momentPoint) const {
    if (!IsAssembly()) {
        for (const py::handle option : {up, shells, frames, region, momentPoint})
            if (!option.is_none())
                throw py::value_error("up, shells, frames, region and moment_point cut an assembly; this model is a "
                                      "plane model, whose sections are taken about their centroid in its plane");
        return {};
    }
    AssemblyOptions o;
    if (!up.is_none()) {
        const std::array<double, 3> u = Point(up, "up");
        o.up = CVertex(u[0], u[1], u[2]);
    }
    for (const auto& [value, name, into] : {std::tuple{shells, "shells", &o.shells}, {frames, "frames", &o.frames}}) {
        if (value.is_none()) continue;
        const Ints ids = IdArray(value, name, {-1});
        into->assign(ids.data(), ids.data() + ids.size());
    }
    if (!region.is_none()) {
        const Reals corners = RealArray(region, "region", {-1, 3});
        for (py::ssize_t i = 0; i < corners.shape(0); ++i)
            o.region.emplace_back(corners.at(i, 0), corners.at(i, 1), corners.at(i, 2));
    }
    if (!momentPoint.is_none()) {
        const std::array<double, 3> m = Point(momentPoint, "moment_point");
        o.momentPoint = CVertex(m[0], m[1], m[2]);
        o.useMomentPoint = true;
    }
    return o;
}

std::vector<SectionPlane> Model::Planes(py::handle points, py::handle normals) const {
    if (!IsAssembly())
        throw py::value_error("planes cut an assembly; this model is a plane model: cut it with cuts or stations");
    const Reals p = RealArray(points, "points", {-1, 3});
    const Reals n = RealArray(normals, "normals", {p.shape(0), 3});
    std::vector<SectionPlane> planes;
    for (py::ssize_t i = 0; i < p.shape(0); ++i)
        planes.push_back({CVertex(p.at(i, 0), p.at(i, 1), p.at(i, 2)), CVertex(n.at(i, 0), n.at(i, 1), n.at(i, 2))});
    return planes;
}

SectionTable Model::Stations(py::handle axisStart, py::handle axisEnd, py::handle count, py::handle requests,
                             py::handle up, py::handle shells, py::handle frames, py::handle region,
                             py::handle momentPoint) const {
    const std::array<double, 3> a = Point(axisStart, "axis_start"), b = Point(axisEnd, "axis_end");
    const CVertex from(a[0], a[1], a[2]), to(b[0], b[1], b[2]);
    const std::int32_t stations = Int32(count, "count");
    const AssemblyOptions o = Options(up, shells, frames, region, momentPoint);
    if (IsAssembly())
        return Run(*calculators->assembly, requests,
                   [&](const AssemblyCutter& cutter, const std::vector<ResultRequest>& wanted) {
                       return cutter.Stations(from, to, stations, wanted, o);
                   });
    return Run(calculators->cutter, requests, [&](const SectionCutter& cutter, const std::vector<ResultRequest>& wanted) {
        return cutter.Stations(from, to, stations, wanted);
    });
}

SectionTable Model::PlaneCut(py::handle points, py::handle normals, py::handle requests, py::handle up,
                             py::handle shells, py::handle frames, py::handle region, py::handle momentPoint) const {
    const std::vector<SectionPlane> planes = Planes(points, normals);
    const AssemblyOptions o = Options(up, shells, frames, region, momentPoint);
    return Run(*calculators->assembly, requests,
               [&](const AssemblyCutter& cutter, const std::vector<ResultRequest>& wanted) {
                   return cutter.Cut(planes, wanted, o);
               });
}

void Model::RequirePlaneModel(const char* what) const {
    if (IsAssembly())
        throw py::value_error(std::string(what) + " works on a plane model only; this model is an assembly (its "
                              "nodes do not lie in one plane): cut it with plane_cut or stations");
}

SectionTable Model::Cut(py::handle cuts, py::handle requests) const {
    RequirePlaneModel("cut");
    Reals lines = RealArray(cuts, "cuts", {-1, 2, 3});
    const double* p = lines.data();
    for (py::ssize_t i = 0; i < lines.size(); ++i)
        if (!std::isfinite(p[i])) throw py::value_error("cuts: a coordinate is not finite");
    std::vector<std::pair<CVertex, CVertex>> list;
    for (py::ssize_t c = 0; c < lines.shape(0); ++c, p += 6)
        list.emplace_back(CVertex(p[0], p[1], p[2]), CVertex(p[3], p[4], p[5]));
    return Run(calculators->cutter, requests, [&](const SectionCutter& cutter, const std::vector<ResultRequest>& wanted) {
        return cutter.Cut(list, wanted);
    });
}

}  // namespace xsect::python
