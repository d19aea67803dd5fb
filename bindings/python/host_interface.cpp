// The host interface's two calculators as Model methods: one cut of one load case, and the cut-line
// stresses. The GIL is released while the library works, and its calls on one model take turns.

#include <cmath>
#include <stdexcept>

#include "model.h"

namespace xsect::python {

namespace {

// The library's stress calculator shares the force calculator's status word: each stage starts
// from a clear status and leaves one, which is read before the next caller's turn.
template <class Stage>
std::int32_t RunStage(const io::ModelCalculators& model, Stage&& stage) {
    py::gil_scoped_release unlocked;
    return model.TakeTurn([&](CCrossSectionForcesPost&) { stage(); });
}

py::array_t<double> Six(const ForceResultant& r) {
    py::array_t<double> out(6);
    const double v[6] = {r.GetFx(), r.GetFy(), r.GetFz(), r.GetMx(), r.GetMy(), r.GetMz()};
    std::copy(v, v + 6, out.mutable_data());
    return out;
}

}  // namespace

py::array_t<double> Model::ForcesOnSection(py::handle loadCase, py::handle start, py::handle end, py::handle side,
                                           bool globalAxes, py::handle momentPoint) const {
    RequirePlaneModel("forces_on_section");
    const std::int32_t lc = Int32(loadCase, "case");
    const std::array<double, 3> a = Point(start, "start"), b = Point(end, "end");
    std::optional<std::array<double, 3>> m;
    if (!momentPoint.is_none()) m = Point(momentPoint, "moment_point");
    const std::int32_t s = Int32(side, "side");
    if (s != 0 && s != 1) throw py::value_error("side must be 0 or 1");
    if (std::string fault = calculators->CheckComputableCase(lc); !fault.empty()) throw py::value_error(fault);

    // The calculator converts the points it is given in place: it gets copies.
    CVertex from(a[0], a[1], a[2]), to(b[0], b[1], b[2]), about;
    if (m) about = CVertex((*m)[0], (*m)[1], (*m)[2]);
    std::vector<double> f1, f2, f3, m1, m2, m3;
    std::int32_t rc = 0;
    const std::int32_t status = RunStage(*calculators, [&] {
        rc = calculators->calculator->GetForcesOnSection(lc, &from, &to, f1, f2, f3, m1, m2, m3, s, globalAxes, !m,
                                                         m ? &about : nullptr);
    });
    if (rc != 1 || f1.size() != 1) {
        if (status != CS_SUCCESS) throw RefusalOf(status, "load case " + std::to_string(lc));
        throw std::runtime_error("the library gave no values for load case " + std::to_string(lc));
    }
    py::array_t<double> out(6);
    const double values[6] = {f1[0], f2[0], f3[0], m1[0], m2[0], m3[0]};
    std::copy(values, values + 6, out.mutable_data());
    return out;
}

StressTable Model::Stresses(py::handle loadCase, py::handle start, py::handle end, py::handle face,
                            py::handle components, py::handle thickness, py::handle divisions, py::handle spacing,
                            py::handle positions, bool balanceMz, bool includeQtInMy) const {
    RequirePlaneModel("stresses");
    const std::int32_t lc = Int32(loadCase, "case");
    const std::array<double, 3> a = Point(start, "start"), b = Point(end, "end"), f = Point(face, "face");
    if (!PyCallable_Check(components.ptr()))
        throw py::value_error("components: expected a function (shells, points) -> (n, 8) array");
    const std::int32_t rowDivisions = Int32(divisions, "divisions");
    if (rowDivisions < 1) throw py::value_error("divisions: expected at least 1");
    const double rowSpacing = Finite(spacing, "spacing");
    if (rowSpacing < 0) throw py::value_error("spacing: expected zero (none) or more");
    std::optional<std::vector<double>> at;
    if (!positions.is_none()) {
        Reals p = RealArray(positions, "positions", {-1});
        at.emplace(p.data(), p.data() + p.size());
        for (double v : *at)
            if (!std::isfinite(v)) throw py::value_error("positions: a position is not finite");
    }
    // None takes the model file's thicknesses.
    py::dict byShell;
    if (thickness.is_none())
        for (const auto& [shell, t] : calculators->thickness) byShell[py::int_(shell)] = t;
    const bool perShell = thickness.is_none() || py::isinstance<py::dict>(thickness);
    if (perShell && !thickness.is_none()) byShell = py::reinterpret_borrow<py::dict>(thickness);
    const double uniform = perShell ? 0.0 : Finite(thickness, "thickness");
    if (std::string fault = calculators->CheckComputableCase(lc); !fault.empty()) throw py::value_error(fault);

    // 1. The sample rows, one per crossed shell.
    CCrossSectionStressesPost stresses(calculators->calculator.get());
    std::vector<std::shared_ptr<ElemStressPoints>> rows;
    std::int32_t status = RunStage(*calculators, [&] {
        rows = stresses.GetCutlineStressInputPoints(CVertex(a[0], a[1], a[2]), CVertex(b[0], b[1], b[2]),
                                                    CVertex(f[0], f[1], f[2]), rowDivisions, rowSpacing, false);
    });
    if (status != CS_SUCCESS || rows.empty())
        throw RefusalOf(status != CS_SUCCESS ? status : CS_NO_ELEMENTS_CROSSED, "cut-line sample points");

    // 2. The caller's components at every sample point, and the rows' thicknesses.
    py::ssize_t count = 0;
    for (const auto& row : rows) count += static_cast<py::ssize_t>(row->GetStressPoints().size());
    Ints shells(count);
    py::array_t<double> points({count, py::ssize_t{3}});
    {
        py::ssize_t i = 0;
        for (const auto& row : rows)
            for (const StressPoint& p : row->GetStressPoints()) {
                shells.mutable_data()[i] = row->GetElemID();
                double* xyz = points.mutable_data() + 3 * i;
                p.GetPoint(xyz[0], xyz[1], xyz[2]);
                ++i;
            }
    }
    Reals given = RealArray(components(shells, points), "components(shells, points)", {count, 8});
    const double* c = given.data();
    for (py::ssize_t i = 0; i < 8 * count; ++i)
        if (!std::isfinite(c[i])) throw py::value_error("components(shells, points): a value is not finite");
    for (const auto& row : rows) {
        for (StressPoint& p : row->GetStressPoints()) {
            p.SetStressValue_ZEL(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]);
            c += 8;
        }
        if (!perShell) {
            row->SetAvgThickness(uniform);
            continue;
        }
        // A crossed shell missing from the dict keeps no thickness, which the library refuses.
        py::int_ id(row->GetElemID());
        if (byShell.contains(id))
            row->SetAvgThickness(Finite(byShell[id], ("thickness[" + std::to_string(row->GetElemID()) + "]").c_str()));
    }

    // 3. The smoothing, balanced against the section's resultant.
    std::vector<std::shared_ptr<CLStressPoint>> smoothed;
    StressTable out;
    status = RunStage(*calculators, [&] {
        smoothed = at ? stresses.SmoothBalanceCutlineStress(lc, *at, {}, balanceMz, includeQtInMy)
                      : stresses.SmoothBalanceCutlineStress(lc, {}, balanceMz, includeQtInMy);
    });
    if (status != CS_SUCCESS || smoothed.empty())
        throw RefusalOf(status != CS_SUCCESS ? status : CS_NO_STRESS_INPUT_POINTS, "smoothing");
    const auto n = static_cast<py::ssize_t>(smoothed.size());
    py::array_t<double> position(n), point({n, py::ssize_t{3}}), values({n, py::ssize_t{5}});
    for (py::ssize_t i = 0; i < n; ++i) {
        const CLStressPoint& p = *smoothed[static_cast<std::size_t>(i)];
        position.mutable_data()[i] = p.GetCLCoor();
        const CVertex& v = p.GetPoint3D();
        const double xyz[3] = {v.x, v.y, v.z};
        std::copy(xyz, xyz + 3, point.mutable_data() + 3 * i);
        const CLStress& s = p.GetStress();
        const double q[5] = {s.GetSt(), s.GetSts(), s.GetQt(), s.GetMts(), s.GetMt()};
        std::copy(q, q + 5, values.mutable_data() + 5 * i);
    }
    out.position = position;
    out.point = point;
    out.values = values;
    out.balance = Six(stresses.GetBalanceResultantForce());
    out.resultant = Six(stresses.GetSmoothedStressResultantForce());
    return out;
}

}  // namespace xsect::python
