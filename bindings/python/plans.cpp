// xsect.SectionPlan, Model.plan_cut and plan_stations, and xsect.envelope: the library's plans over the
// model's rows in its file's order, applied to any array-like of steps by slicing the plan's rows out
// of it a bounded block of steps at a time, and the envelope over steps. Every number is the library's.

#include <cmath>

#include <xsect/io/record_file.h>

#include "model.h"

namespace xsect::python {

namespace {

// What one block of steps may hold of the rows read.
constexpr std::size_t kBlockBytes = 32u << 20;

std::vector<py::ssize_t> ShapeOf(py::handle array, const char* name) {
    if (!py::hasattr(array, "shape") || !py::hasattr(array, "__getitem__"))
        throw py::value_error(std::string(name) + ": expected an array-like with a shape, indexed [T, rows, slots, 6]");
    std::vector<py::ssize_t> shape;
    for (py::handle d : array.attr("shape")) shape.push_back(d.cast<py::ssize_t>());
    return shape;
}

std::string ShapeText(const std::vector<py::ssize_t>& shape) {
    std::string s = "(";
    for (std::size_t i = 0; i < shape.size(); ++i) s += (i ? ", " : "") + std::to_string(shape[i]);
    return s + ")";
}

// One of the arrays apply reads: [T][rows][slots][6], and the runs of the plan's rows in it.
struct Source {
    const char* name;
    py::handle array;
    py::ssize_t slots;
    const std::vector<std::int32_t>& rows;
    std::vector<io::RowRun> runs;
    std::vector<double> block;  // [step][the plan's rows][slots][6]

    Source(const char* n, py::handle a, py::ssize_t rowCount, py::ssize_t s, const std::vector<std::int32_t>& r,
           py::ssize_t& steps)
        : name(n), array(a), slots(s), rows(r),
          runs(io::RowRuns(r, static_cast<std::size_t>(s) * 6 * sizeof(double))) {
        const std::vector<py::ssize_t> shape = ShapeOf(a, n);
        if (shape.size() != 4 || shape[1] != rowCount || shape[2] != s || shape[3] != 6 || (steps >= 0 && shape[0] != steps))
            throw py::value_error(std::string(n) + ": expected shape (" + (steps >= 0 ? std::to_string(steps) : "T") +
                                  ", " + std::to_string(rowCount) + ", " + std::to_string(s) + ", 6), got " +
                                  ShapeText(shape));
        steps = shape[0];
    }
    std::size_t RowsRead() const {
        std::size_t n = 0;
        for (const io::RowRun& r : runs) n += r.count;
        return n;
    }

    // Steps [t0, t1) of the plan's rows, run by run, each run sliced out of the array as numbers.
    void Read(py::ssize_t t0, py::ssize_t t1) {
        const std::size_t values = static_cast<std::size_t>(slots) * 6, n = static_cast<std::size_t>(t1 - t0);
        block.resize(n * rows.size() * values);
        std::size_t at = 0;
        for (const io::RowRun& run : runs) {
            const auto first = static_cast<py::ssize_t>(run.first), count = static_cast<py::ssize_t>(run.count);
            py::object piece = array[py::make_tuple(py::slice(t0, t1, 1), py::slice(first, first + count, 1))];
            Reals got = RealArray(py::module_::import("numpy").attr("asarray")(piece), name,
                                  {t1 - t0, count, slots, 6});
            for (; at < rows.size() && static_cast<std::size_t>(rows[at]) < run.first + run.count; ++at)
                for (std::size_t s = 0; s < n; ++s)
                    std::copy_n(got.data() + (s * run.count + (static_cast<std::size_t>(rows[at]) - run.first)) * values,
                                values, &block[(s * rows.size() + at) * values]);
        }
        for (std::size_t i = 0; i < block.size(); ++i)
            if (!std::isfinite(block[i]))
                throw py::value_error(std::string(name) + ": step " +
                                      std::to_string(static_cast<std::size_t>(t0) + i / (values * rows.size())) +
                                      ": row " + std::to_string(rows[(i / values) % rows.size()]) + ", " +
                                      (slots == 2 ? "end " : "corner ") + std::to_string((i % values) / 6) +
                                      " holds a value that is not a finite number");
    }
};

py::array_t<double> Apply(const SectionPlan& plan, py::handle shellForces, py::handle frameForces, py::handle steps) {
    if (!plan.Error().empty()) throw py::value_error(plan.Error());
    py::ssize_t T = -1;
    Source shells("shell_forces", shellForces, static_cast<py::ssize_t>(plan.ShellRows()),
                  static_cast<py::ssize_t>(plan.Corners()), plan.Shells(), T);
    std::unique_ptr<Source> frames;
    if (!frameForces.is_none())
        frames = std::make_unique<Source>("frame_forces", frameForces, static_cast<py::ssize_t>(plan.FrameRows()), 2,
                                          plan.Frames(), T);
    py::ssize_t first = 0, last = T;
    if (!steps.is_none()) {
        const auto range = steps.cast<std::pair<py::ssize_t, py::ssize_t>>();
        first = range.first;
        last = range.second;
        if (first < 0 || first > last || last > T)
            throw py::value_error("steps: expected (first, last) with 0 <= first <= last <= " + std::to_string(T));
    }
    const auto S = static_cast<py::ssize_t>(plan.Sections().size());
    py::array_t<double> out({last - first, S, py::ssize_t{6}});
    const std::size_t perStep = (shells.RowsRead() * plan.Corners() * 6 + (frames ? frames->RowsRead() * 12 : 0)) *
                                sizeof(double);
    const auto blockSteps = static_cast<py::ssize_t>(std::max<std::size_t>(1, kBlockBytes / std::max<std::size_t>(perStep, 1)));
    for (py::ssize_t t0 = first; t0 < last; t0 += blockSteps) {
        const py::ssize_t t1 = std::min(last, t0 + blockSteps);
        shells.Read(t0, t1);
        if (frames) frames->Read(t0, t1);
        double* to = out.mutable_data() + (t0 - first) * S * 6;
        py::gil_scoped_release unlocked;
        plan.ApplyRows(shells.block.data(), frames ? frames->block.data() : nullptr, static_cast<std::size_t>(t1 - t0), to);
    }
    return out;
}

template <class T, class Get>
py::array_t<T> PerSection(const SectionPlan& plan, Get&& get) {
    py::array_t<T> out(static_cast<py::ssize_t>(plan.Sections().size()));
    for (std::size_t i = 0; i < plan.Sections().size(); ++i) out.mutable_data()[i] = get(plan.Sections()[i]);
    return out;
}

py::array_t<std::int32_t> Rows(const std::vector<std::int32_t>& rows) {
    py::array_t<std::int32_t> out(static_cast<py::ssize_t>(rows.size()));
    std::copy(rows.begin(), rows.end(), out.mutable_data());
    return out;
}

py::tuple Envelope(py::handle series) {
    const py::array given = py::array::ensure(series);
    if (!given || given.ndim() < 1) throw py::value_error("series: expected an array of numbers indexed [step, ...]");
    Reals a = RealArray(given, "series", std::vector<py::ssize_t>(static_cast<std::size_t>(given.ndim()), -1));
    const std::vector<py::ssize_t> shape(a.shape() + 1, a.shape() + a.ndim());
    std::size_t width = 1;
    for (const py::ssize_t d : shape) width *= static_cast<std::size_t>(d);
    StepEnvelope e;
    if (!e.Add(a.data(), static_cast<std::size_t>(a.shape(0)), width)) throw std::bad_alloc();
    py::array_t<double> max(shape), min(shape);
    py::array_t<std::int64_t> maxStep(shape), minStep(shape);
    std::copy(e.Max().begin(), e.Max().end(), max.mutable_data());
    std::copy(e.Min().begin(), e.Min().end(), min.mutable_data());
    std::copy(e.MaxStep().begin(), e.MaxStep().end(), maxStep.mutable_data());
    std::copy(e.MinStep().begin(), e.MinStep().end(), minStep.mutable_data());
    return py::make_tuple(max, min, maxStep, minStep);
}

SectionPlan InFileOrder(const io::ModelCalculators& c, const SectionPlan& plan) {
    if (!plan.Error().empty()) throw py::value_error(plan.Error());
    SectionPlan rows = io::PlanInFileOrder(plan, c.shellOrder, c.frameOrder);
    if (!rows.Error().empty()) throw py::value_error(rows.Error());
    return rows;
}

}  // namespace

SectionPlan Model::PlanCut(py::handle cuts) const {
    RequirePlaneModel("plan_cut");
    Reals lines = RealArray(cuts, "cuts", {-1, 2, 3});
    std::vector<std::pair<CVertex, CVertex>> list;
    const double* p = lines.data();
    for (py::ssize_t c = 0; c < lines.shape(0); ++c, p += 6)
        list.emplace_back(CVertex(p[0], p[1], p[2]), CVertex(p[3], p[4], p[5]));
    SectionPlan plan;
    {
        py::gil_scoped_release unlocked;
        plan = calculators->cutter.Plan(list);
    }
    return InFileOrder(*calculators, plan);
}

SectionPlan Model::PlanStations(py::handle axisStart, py::handle axisEnd, py::handle count, py::handle up,
                                py::handle shells, py::handle frames, py::handle region, py::handle momentPoint) const {
    const std::array<double, 3> a = Point(axisStart, "axis_start"), b = Point(axisEnd, "axis_end");
    const CVertex from(a[0], a[1], a[2]), to(b[0], b[1], b[2]);
    const std::int32_t stations = Int32(count, "count");
    const AssemblyOptions o = Options(up, shells, frames, region, momentPoint);
    SectionPlan plan;
    {
        py::gil_scoped_release unlocked;
        plan = IsAssembly() ? calculators->assembly->StationPlan(from, to, stations, o)
                            : calculators->cutter.StationPlan(from, to, stations);
    }
    return InFileOrder(*calculators, plan);
}

SectionPlan Model::PlanPlaneCut(py::handle points, py::handle normals, py::handle up, py::handle shells,
                                py::handle frames, py::handle region, py::handle momentPoint) const {
    const std::vector<SectionPlane> planes = Planes(points, normals);
    const AssemblyOptions o = Options(up, shells, frames, region, momentPoint);
    SectionPlan plan;
    {
        py::gil_scoped_release unlocked;
        plan = calculators->assembly->Plan(planes, o);
    }
    return InFileOrder(*calculators, plan);
}

void RegisterPlans(py::module_& m) {
    py::class_<SectionPlan>(m, "SectionPlan", R"(Sections compiled once, to be applied to any number of steps.

Made by Model.plan_cut and Model.plan_stations. Its rows are the model's shells and frames in the order of
its file (or of the arrays it was made from), as a time-history record lists them. It pickles, so that it
can be sent to other processes (xsect.dask).)")
        .def_property_readonly("shells", [](const SectionPlan& p) { return Rows(p.Shells()); },
                               "The shell rows the plan reads, ascending.")
        .def_property_readonly("frames", [](const SectionPlan& p) { return Rows(p.Frames()); },
                               "The frame rows the plan reads, ascending.")
        .def_property_readonly("position",
                               [](const SectionPlan& p) {
                                   return PerSection<double>(p, [](const SectionResult& s) { return s.position; });
                               },
                               "(S,) each station's distance along the axis, 0 for cuts")
        .def_property_readonly("status",
                               [](const SectionPlan& p) {
                                   return PerSection<std::int32_t>(p, [](const SectionResult& s) { return s.status; });
                               },
                               "(S,) int32: 0, or the library's status for a section without values (NaN in apply)")
        .def("apply", &Apply, py::arg("shell_forces"), py::arg("frame_forces") = py::none(), py::kw_only(),
             py::arg("steps") = py::none(),
             R"(The sections' values at every step: an array (T, S, 6) of N, Vt, Vk, Mn, Mt, Mk.

shell_forces is any array-like indexed [T, M, K, 6] (numpy, memmap, h5py dataset, dask array): the element
nodal forces acting on each shell at each corner, in global axes, M the model's shells in its file's order,
K its most corners; frame_forces likewise [T, F, 2, 6], or None. Only the plan's rows are read, a bounded
block of steps at a time. steps=(first, last) applies to those steps only. Raises ValueError for a shape
that does not fit the model or a value that is not finite, naming its step.)")
        .def(py::pickle([](const SectionPlan& p) { return py::bytes(p.Serialized()); },
                        [](const py::bytes& b) {
                            SectionPlan p = SectionPlan::Deserialized(b.cast<std::string>());
                            if (!p.Error().empty()) throw py::value_error(p.Error());
                            return p;
                        }))
        .def("__repr__", [](const SectionPlan& p) {
            return "<xsect.SectionPlan: " + std::to_string(p.Sections().size()) + " sections reading " +
                   std::to_string(p.Shells().size()) + " shells and " + std::to_string(p.Frames().size()) + " frames>";
        });
    m.def("envelope", &Envelope, py::arg("series"),
          R"(Over axis 0 (the steps) of a series: (max, min, step_of_max, step_of_min), each shaped as one step.

The first step gives an extreme on a tie; NaN never governs, and a value NaN at every step stays NaN with
step -1.)");
}

}  // namespace xsect::python
