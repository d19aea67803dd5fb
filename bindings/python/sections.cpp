// Model.stations and Model.cut: the requests checked and handed to the library's section cutter
// with the GIL released, and its table copied into numpy arrays by the C interface's own copy.

#include <cmath>

#include "model.h"

namespace xsect::python {

namespace {

// None, or [(name, {case: factor})], as the C interface's requests; the strings and terms live in
// the caller's vectors.
struct Requests {
    std::vector<std::string> names;
    std::vector<std::vector<std::int32_t>> cases;
    std::vector<std::vector<double>> factors;
    std::vector<xsect_request> list;
};

void ReadRequests(py::handle value, Requests& out) {
    if (value.is_none()) return;
    if (!py::isinstance<py::sequence>(value) || py::isinstance<py::str>(value))
        throw py::value_error("requests: expected None or a list of (name, {case: factor})");
    for (py::handle item : value.cast<py::sequence>()) {
        const std::string where = "requests[" + std::to_string(out.names.size()) + "]";
        if (!py::isinstance<py::sequence>(item) || py::isinstance<py::str>(item) || py::len(item) != 2)
            throw py::value_error(where + ": expected a pair (name, {case: factor})");
        py::sequence pair = item.cast<py::sequence>();
        if (!py::isinstance<py::str>(pair[0])) throw py::value_error(where + ": the name is not a string");
        if (!py::isinstance<py::dict>(pair[1]))
            throw py::value_error(where + ": the terms are not a dict {case: factor}");
        out.names.push_back(pair[0].cast<std::string>());
        out.cases.emplace_back();
        out.factors.emplace_back();
        for (auto [k, v] : pair[1].cast<py::dict>()) {
            out.cases.back().push_back(Int32(k, (where + ": a load case").c_str()));
            out.factors.back().push_back(Finite(v, (where + ": a factor").c_str()));
        }
    }
    for (std::size_t i = 0; i < out.names.size(); ++i)
        out.list.push_back(xsect_request{out.names[i].c_str(), static_cast<std::int32_t>(out.cases[i].size()),
                                         out.cases[i].data(), out.factors[i].data()});
}

// Runs the cutter with the GIL released; a bad request or cut is a ValueError with the library's sentence.
template <class Cut>
SectionTable Run(const xsect_model& model, py::handle requests, Cut&& cut) {
    Requests given;
    ReadRequests(requests, given);
    std::vector<ResultRequest> wanted;
    Check(c_api::ReadRequests(model, static_cast<std::int32_t>(given.list.size()), given.list.data(), wanted));
    xsect::SectionTable table;
    {
        py::gil_scoped_release unlocked;
        table = cut(SectionCutter(*model.calculator), wanted);
    }
    if (!table.error.empty()) throw py::value_error(table.error);

    const auto s = static_cast<py::ssize_t>(table.sections.size());
    const auto r = static_cast<py::ssize_t>(wanted.size());
    const py::ssize_t three = 3;
    SectionTable out;
    py::array_t<double> position(s), values({s, r, py::ssize_t{2}, py::ssize_t{6}}), covered(s);
    py::array_t<double> centroid({s, three}), n({s, three}), t({s, three}), k({s, three});
    py::array_t<std::int32_t> status(s);
    py::array_t<bool> endsInside(s);
    xsect_sections to{position.mutable_data(), values.mutable_data(), status.mutable_data(), centroid.mutable_data(),
                      covered.mutable_data(),  endsInside.mutable_data(), n.mutable_data(), t.mutable_data(),
                      k.mutable_data()};
    Check(c_api::CopySections(table, wanted.size(), to));
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

SectionTable Model::Stations(py::handle axisStart, py::handle axisEnd, py::handle count, py::handle requests) const {
    const std::array<double, 3> a = Point(axisStart, "axis_start"), b = Point(axisEnd, "axis_end");
    const std::int32_t stations = Int32(count, "count");
    return Run(*handle, requests, [&](const SectionCutter& cutter, const std::vector<ResultRequest>& wanted) {
        return cutter.Stations(CVertex(a[0], a[1], a[2]), CVertex(b[0], b[1], b[2]), stations, wanted);
    });
}

SectionTable Model::Cut(py::handle cuts, py::handle requests) const {
    Reals lines = RealArray(cuts, "cuts", {-1, 2, 3});
    const double* p = lines.data();
    for (py::ssize_t i = 0; i < lines.size(); ++i)
        if (!std::isfinite(p[i])) throw py::value_error("cuts: a coordinate is not finite");
    std::vector<std::pair<CVertex, CVertex>> list;
    for (py::ssize_t c = 0; c < lines.shape(0); ++c, p += 6)
        list.emplace_back(CVertex(p[0], p[1], p[2]), CVertex(p[3], p[4], p[5]));
    return Run(*handle, requests, [&](const SectionCutter& cutter, const std::vector<ResultRequest>& wanted) {
        return cutter.Cut(list, wanted);
    });
}

}  // namespace xsect::python
