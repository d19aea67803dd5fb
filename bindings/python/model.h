#pragma once

// xsect.Model: the library's calculators over one model, with the numpy arguments of its methods
// checked and handed on.

#include <memory>
#include <optional>

#include <xsect/io/model_calculators.h>
#include <xsect/xsect.h>

#include "arguments.h"

namespace xsect::python {

// The smoothed cut-line stresses of one load case along one cut.
struct StressTable {
    py::array position;   // (Q,) cut-line coordinate
    py::array point;      // (Q, 3) global position
    py::array values;     // (Q, 5) St, Sts, Qt, Mts, Mt
    py::array balance;    // (6,) the section resultant the smoothing balances against
    py::array resultant;  // (6,) the resultant of the smoothed distribution
};

// The sections of a series of cuts for a list of requests.
struct SectionTable {
    py::array position;       // (S,)
    py::array values;         // (S, R, 2, 6): [max, min] x N, Vt, Vk, Mn, Mt, Mk
    py::list requests;        // R names
    py::array status;         // (S,) int32
    py::array centroid;       // (S, 3)
    py::array coveredLength;  // (S,)
    py::array endsInside;     // (S,) bool
    py::array n, t, k;        // (S, 3) each
    py::list shells, frames;  // S lists of the element numbers summed
};

struct Model {
    std::unique_ptr<const io::ModelCalculators> calculators;
    // What the model is made again from when unpickled: ("file", path) or ("arrays", the arguments of
    // from_arrays as Held gives them). The host's arrays are held by weak reference, so that the model
    // keeps only the library's copy of them; an unpickled model holds its own.
    py::object recipe;
    // An argument, or a dict of them, with its arrays weakly or strongly held; and back (ValueError
    // for an array that is gone).
    static py::object Held(py::handle value, bool weakly);
    static py::object Given(py::handle held);

    static Model FromArrays(py::handle nodeIds, py::handle xyz, py::handle shellIds, py::handle shellNodes,
                            py::handle cases, py::handle staticResults, py::handle spectrumResults,
                            py::handle frameIds, py::handle frameNodes, py::handle frameStatic,
                            py::handle frameSpectrum, py::handle tolerance, py::handle planeNodes,
                            py::handle thickness);

    static Model Load(py::handle path);
    // The library's calculators over a model read from a file or arrays; xsect.Error when the
    // library refuses its plane (a model without plane nodes whose plane it cannot set up is an
    // assembly instead).
    static Model Adopt(io::Model&& model);

    py::list CaseIds() const;
    py::dict CaseNames() const;
    // The model file's load combinations as requests: [(name, {case: factor})].
    py::list Combinations() const;
    bool IsAssembly() const { return calculators->assembly.has_value(); }
    // The model file's groups: {name: {"shells": [...], "frames": [...]}}.
    py::dict Groups() const;

    // The assembly's options of a call, each None leaving the library's default; ValueError for an
    // option given to a plane model.
    AssemblyOptions Options(py::handle up, py::handle shells, py::handle frames, py::handle region,
                            py::handle momentPoint) const;
    // Planes through points (P, 3) with normals (P, 3); ValueError on a plane model.
    std::vector<SectionPlane> Planes(py::handle points, py::handle normals) const;

    // The sections compiled into a plan over the model's rows in its file's order.
    SectionPlan PlanCut(py::handle cuts) const;
    SectionPlan PlanStations(py::handle axisStart, py::handle axisEnd, py::handle count, py::handle up,
                             py::handle shells, py::handle frames, py::handle region, py::handle momentPoint) const;
    SectionPlan PlanPlaneCut(py::handle points, py::handle normals, py::handle up, py::handle shells,
                             py::handle frames, py::handle region, py::handle momentPoint) const;

    // Stations take the assembly's options (up, shells, frames, region, moment_point) on an assembly.
    SectionTable Stations(py::handle axisStart, py::handle axisEnd, py::handle count, py::handle requests,
                          py::handle up, py::handle shells, py::handle frames, py::handle region,
                          py::handle momentPoint) const;
    SectionTable Cut(py::handle cuts, py::handle requests) const;
    SectionTable PlaneCut(py::handle points, py::handle normals, py::handle requests, py::handle up,
                          py::handle shells, py::handle frames, py::handle region, py::handle momentPoint) const;
    // ValueError naming what works on a plane model only, when the model is an assembly.
    void RequirePlaneModel(const char* what) const;

    py::array_t<double> ForcesOnSection(py::handle loadCase, py::handle start, py::handle end, py::handle side,
                                        bool globalAxes, py::handle momentPoint) const;

    // The cut-line stresses: sample points from the library, their components from the caller's
    // function, the smoothing from the library again.
    StressTable Stresses(py::handle loadCase, py::handle start, py::handle end, py::handle face, py::handle components,
                      py::handle thickness, py::handle divisions, py::handle spacing, py::handle positions,
                      bool balanceMz, bool includeQtInMy) const;
};

// xsect.SectionPlan and xsect.envelope.
void RegisterPlans(py::module_& m);

// A Python int that fits in 32 bits, or ValueError naming it.
std::int32_t Int32(py::handle value, const char* name);

}  // namespace xsect::python
