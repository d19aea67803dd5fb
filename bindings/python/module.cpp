// The compiled part of the xsect package: xsect.Model, the tables it returns and xsect.Error. The
// package's __init__.py re-exports them; the docstrings are the reference, the .pyi stubs their types.

#include "model.h"

namespace py = pybind11;
using xsect::python::Model;
using xsect::python::SectionTable;
using xsect::python::StressTable;

PYBIND11_MODULE(_xsect, m) {
    m.doc() = "Section forces and cut-line stresses of plane shell models, and plane sections of assemblies.";
    xsect::python::RegisterErrors(m);

    py::class_<StressTable>(m, "StressTable", "Smoothed cut-line stresses of one load case along one cut.")
        .def_readonly("position", &StressTable::position, "(Q,) cut-line coordinate of each output point")
        .def_readonly("point", &StressTable::point, "(Q, 3) global position of each output point")
        .def_readonly("values", &StressTable::values, "(Q, 5) St, Sts, Qt, Mts, Mt at each output point")
        .def_readonly("balance", &StressTable::balance,
                      "(6,) Fx, Fy, Fz, Mx, My, Mz: the section resultant the smoothing balances against")
        .def_readonly("resultant", &StressTable::resultant, "(6,) the resultant of the smoothed distribution")
        .def_property_readonly_static("quantities",
                                      [](py::handle) { return py::make_tuple("St", "Sts", "Qt", "Mts", "Mt"); });

    py::class_<SectionTable>(m, "SectionTable",
                             R"(The sections of a series of cuts for a list of requests.

values holds [section, request, max/min, component] with the components N, Vt, Vk, Mn, Mt, Mk in the
section axes n, t, k: the forces that the part on the +n side exerts on the part on the -n side,
about the centroid (docs/sections.md). A section the library could not compute has its status and
NaN values.)")
        .def_readonly("position", &SectionTable::position, "(S,) distance along the axis (stations), else 0")
        .def_readonly("values", &SectionTable::values, "(S, R, 2, 6) [max, min] x N, Vt, Vk, Mn, Mt, Mk")
        .def_readonly("requests", &SectionTable::requests, "the R request names")
        .def_readonly("status", &SectionTable::status, "(S,) int32: 0, or the library's status for that section")
        .def_readonly("centroid", &SectionTable::centroid, "(S, 3) centre of the part of the cut inside the mesh")
        .def_readonly("covered_length", &SectionTable::coveredLength, "(S,) length of the cut inside the mesh")
        .def_readonly("ends_inside", &SectionTable::endsInside,
                      "(S,) bool: an end of the cut lies inside a shell, so the section is incomplete")
        .def_readonly("n", &SectionTable::n, "(S, 3) section axis n, a global unit vector")
        .def_readonly("t", &SectionTable::t, "(S, 3) section axis t, along the cut")
        .def_readonly("k", &SectionTable::k, "(S, 3) section axis k, the plane normal")
        .def_readonly("shells", &SectionTable::shells,
                      "S lists: the numbers of the shells each section summed (the ones it divides), ascending")
        .def_readonly("frames", &SectionTable::frames, "S lists: the numbers of the frames each section summed, ascending")
        .def("__repr__", [](const SectionTable& table) {
            return "<xsect.SectionTable: " + std::to_string(table.position.size()) + " sections x " +
                   std::to_string(py::len(table.requests)) + " requests>";
        });

    xsect::python::RegisterPlans(m);

    py::class_<Model> model(m, "Model", R"(A plane shell model, or an assembly of shells and frames, with its results, ready to be cut.

It pickles as its file's path (read again where it is unpickled) or as the arrays it was made from. It
keeps no reference to those: they are pickled as they are then, and must still exist.)");
    m.def("load", &Model::Load, py::arg("path"),
          R"(Reads a JSON model or a CSV manifest (docs/model-format.md) with the xsect program's reader.

Raises ValueError naming the file, the place and the fault when the file cannot be read, and
xsect.Error when the library refuses the model.)");
    model
        .def_static("from_arrays", &Model::FromArrays, py::arg("node_ids"), py::arg("xyz"), py::arg("shell_ids"),
                    py::arg("shell_nodes"), py::arg("cases"), py::arg("static") = py::none(),
                    py::arg("spectrum") = py::none(), py::arg("frame_ids") = py::none(),
                    py::arg("frame_nodes") = py::none(), py::arg("frame_static") = py::none(),
                    py::arg("frame_spectrum") = py::none(), py::arg("tolerance") = 0.001,
                    py::arg("plane_nodes") = py::none(), py::arg("thickness") = py::none(),
                    R"(Builds a model from arrays.

node_ids (N,) and xyz (N, 3) are the nodes; shell_ids (M,) and shell_nodes (M, k) the shells, each row
padded with -1 after its last node. cases is {id: {"type": "static" | "response_spectrum", "modes",
"combination", ...}} with the model file's load case keys. static is {case: (M, k, 6)} and spectrum
{case: (M, k, modes, 6)}: Fx, Fy, Fz, Mx, My, Mz acting on each shell at each of its nodes, in
shell_nodes' order. Frames alike: frame_ids (F,), frame_nodes (F, 2), frame_static {case: (F, 2, 6)},
frame_spectrum {case: (F, 2, modes, 6)}. plane_nodes: three node ids that fix the plane, or None: the
plane is then found from the model, and a model whose nodes do not lie in one plane is an assembly,
cut by planes (plane_cut, stations). thickness (M,): each shell's thickness, which weights the
sections' centroids, or None.

The model keeps the library's copy of the results only. Raises ValueError for bad input and
xsect.Error when the library refuses the model (CS_PLANE_NOT_DEFINED with plane_nodes, CS_NO_SHELLS).)")
        .def_property_readonly("case_ids", &Model::CaseIds, "The load case ids, ascending.")
        .def_property_readonly("case_names", &Model::CaseNames, "{case: name} of every load case.")
        .def_property_readonly("combinations", &Model::Combinations,
                               "The model file's load combinations as requests: [(name, {case: factor})].")
        .def_property_readonly("is_assembly", &Model::IsAssembly,
                               "True for an assembly of shells and frames in space, cut by planes.")
        .def_property_readonly("groups", &Model::Groups,
                               "The model file's groups: {name: {\"shells\": [...], \"frames\": [...]}}.")
        .def("stations", &Model::Stations, py::arg("axis_start"), py::arg("axis_end"), py::arg("count"),
             py::arg("requests") = py::none(), py::arg("up") = py::none(), py::arg("shells") = py::none(),
             py::arg("frames") = py::none(), py::arg("region") = py::none(), py::arg("moment_point") = py::none(),
             R"(count sections perpendicular to the axis, evenly spaced from axis_start to axis_end inclusive,
each across the whole model; n is the axis direction, so the values read like a beam's along it. On an
assembly each section is a plane, and up, shells, frames, region and moment_point are as for plane_cut.

requests is None (every static and response-spectrum load case on its own, named by its number)
or [(name, {case: factor})]: static terms add, a response-spectrum term adds +-factor x its
combined value. Returns a SectionTable. Raises ValueError for bad input (an unknown case, a count outside 1..1,000,000, ...).)")
        .def("plan_cut", &Model::PlanCut, py::arg("cuts"),
             R"(The sections of the cuts (C, 2, 3) through a plane model compiled into a SectionPlan, to be applied
to steps of element nodal forces (a time history). Raises ValueError for a cut that is not finite.)")
        .def("plan_stations", &Model::PlanStations, py::arg("axis_start"), py::arg("axis_end"), py::arg("count"),
             py::arg("up") = py::none(), py::arg("shells") = py::none(), py::arg("frames") = py::none(),
             py::arg("region") = py::none(), py::arg("moment_point") = py::none(),
             R"(The stations of Model.stations (with its assembly options) compiled into a SectionPlan. Raises
ValueError for bad input.)")
        .def("plan_plane_cut", &Model::PlanPlaneCut, py::arg("points"), py::arg("normals"), py::arg("up") = py::none(),
             py::arg("shells") = py::none(), py::arg("frames") = py::none(), py::arg("region") = py::none(),
             py::arg("moment_point") = py::none(),
             R"(The sections of Model.plane_cut through an assembly compiled into a SectionPlan. Raises ValueError
for bad input.)")
        .def(py::pickle(
            [](const Model& self) {
                const py::tuple recipe = self.recipe;
                if (recipe[0].cast<std::string>() == "file") return recipe;
                const py::tuple held = recipe[1];
                py::tuple given(held.size());
                for (std::size_t i = 0; i < held.size(); ++i) given[i] = Model::Given(held[i]);
                return py::make_tuple("arrays", given);
            },
            [](const py::tuple& recipe) {
                if (recipe.size() != 2) throw py::value_error("not a pickled xsect.Model");
                if (recipe[0].cast<std::string>() == "file") return Model::Load(recipe[1]);
                const py::tuple a = recipe[1];
                if (a.size() != 14) throw py::value_error("not a pickled xsect.Model");
                Model m = Model::FromArrays(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10],
                                            a[11], a[12], a[13]);
                py::tuple held(a.size());
                for (std::size_t i = 0; i < a.size(); ++i) held[i] = Model::Held(a[i], false);
                m.recipe = py::make_tuple("arrays", held);
                return m;
            }))
        .def("cut", &Model::Cut, py::arg("cuts"), py::arg("requests") = py::none(),
             R"(The sections of the cuts, an array (C, 2, 3) of [start, end] points; requests as for stations.)")
        .def("plane_cut", &Model::PlaneCut, py::arg("points"), py::arg("normals"), py::arg("requests") = py::none(),
             py::arg("up") = py::none(), py::arg("shells") = py::none(), py::arg("frames") = py::none(),
             py::arg("region") = py::none(), py::arg("moment_point") = py::none(),
             R"(The sections of an assembly across planes through points (P, 3) with normals (P, 3) (any length
but zero); requests as for stations.

n is each plane's unit normal, k the projection of up onto it (None, or along n: global Z, else Y, else
X) and t = k x n: the values are the forces the part on the +n side exerts on the part on the -n side,
in (n, t, k), about the centroid of the cut area (docs/assemblies.md), or moment_point. shells and
frames (element numbers) limit each section to those elements; region (R, 3), a polygon in the
plane, to the elements whose intersection with the plane meets it.)")
        .def("forces_on_section", &Model::ForcesOnSection, py::arg("case"), py::arg("start"), py::arg("end"),
             py::arg("side") = 0, py::arg("global_axes") = false, py::arg("moment_point") = py::none(),
             R"(The host interface's six values of one load case across the cut start -> end.

F1, F2, F3, M1, M2, M3 along the cut's axes (global axes for a static case with global_axes), about
the cut's midpoint or moment_point. side 0 gathers the nodes left of the directed cut, 1 those right
of it. Raises xsect.Error when the library refuses the cut (CS_NO_ELEMENTS_CROSSED, ...).)")
        .def("stresses", &Model::Stresses, py::arg("case"), py::arg("start"), py::arg("end"), py::arg("face"),
             py::arg("components"), py::arg("thickness") = py::none(), py::arg("divisions") = 4,
             py::arg("spacing") = 0.0, py::arg("positions") = py::none(), py::arg("balance_mz") = false,
             py::arg("include_qt_in_my") = false,
             R"(The smoothed cut-line stresses of one load case along the cut start -> end.

The library places sample points along the cut in every crossed shell (divisions intervals per shell,
or about spacing apart when spacing > 0); face is a point off the cut on the side whose face is
meant. components(shells, points) is called once with the shells (P,) and global positions (P, 3)
of the sample points and returns their eight stress components (P, 8), in the order the model
format documents (1 St, 2 Sts, 4 Mt, 5 Mts, 7 Qt; 0, 3, 6 are carried only). thickness is one
number, {shell: thickness}, or None for the model file's thicknesses. The values are given at
positions (cut-line coordinates) or at the sample points. Returns a StressTable.)");
}
