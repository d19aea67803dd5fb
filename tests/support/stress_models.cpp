#include "support/stress_models.h"

#include <cmath>
#include <cstddef>

namespace xsect::stress_models {

namespace {

// The consistent loads of f along an edge from sa to sb: the integrals of f times each end's
// hat function by Simpson's rule, exact for the fields of degree up to two that need exactness.
void EdgeLoads(const Field& f, double sa, double sb, double weight, double& atA, double& atB) {
    const double m = (sa + sb) * 0.5;
    atA = weight * (sb - sa) / 6.0 * (f(sa) + 2.0 * f(m));
    atB = weight * (sb - sa) / 6.0 * (2.0 * f(m) + f(sb));
}

double Zero(double) { return 0.0; }

}  // namespace

CVertex PlanePoint(bool tilted, double x, double y, double h) {
    if (!tilted) return CVertex(x, y, h);
    return CVertex(10.0 + 0.6 * x - 0.8 * h, 20.0 + y, 30.0 + 0.8 * x + 0.6 * h);
}

GridSpec Cells(std::int32_t columns, std::int32_t rows) {
    GridSpec shape;
    shape.xs.clear();
    shape.ys.clear();
    for (std::int32_t i = 0; i <= columns; ++i) shape.xs.push_back(i);
    for (std::int32_t j = 0; j <= rows; ++j) shape.ys.push_back(j);
    return shape;
}

void GridModel::Calculate() {
    forces = std::make_unique<CCrossSectionForcesPost>(nodes, shells, frames, loadCases, grid.tolerance, NodeAt(0, 0),
                                                       NodeAt(1, 0), NodeAt(0, 1));
}

namespace {

void FillGrid(GridModel& m) {
    const GridSpec& g = m.grid;
    for (std::size_t j = 0; j < g.ys.size(); ++j) {
        for (std::size_t i = 0; i < g.xs.size(); ++i) {
            CVertex v = m.Global(g.xs[i], g.ys[j]);
            v.id = m.NodeAt(i, j);
            m.nodes[v.id] = v;
        }
    }
    for (std::size_t row = 0; row + 1 < g.ys.size(); ++row) {
        for (std::size_t col = 0; col + 1 < g.xs.size(); ++col) {
            const auto c = static_cast<std::int32_t>(col);
            const auto r = static_cast<std::int32_t>(row);
            const bool clockwise = g.clockwise != (row == 0 && c == g.reversedColumn);
            CShellElement shell;
            const std::int32_t n00 = m.NodeAt(col, row), n10 = m.NodeAt(col + 1, row);
            const std::int32_t n11 = m.NodeAt(col + 1, row + 1), n01 = m.NodeAt(col, row + 1);
            shell.nodes = clockwise ? std::vector<std::int32_t>{n00, n01, n11, n10}
                                    : std::vector<std::int32_t>{n00, n10, n11, n01};
            const auto columns = static_cast<std::int32_t>(g.xs.size() - 1);
            m.shells[g.elementNumber ? g.elementNumber(c, r) : 1 + r * columns + c] = shell;
        }
    }
}

}  // namespace

std::unique_ptr<GridModel> BuildGrid(const GridSpec& shape) {
    auto m = std::make_unique<GridModel>();
    m->grid = shape;
    FillGrid(*m);
    m->Calculate();
    return m;
}

Fields ZeroFields() {
    Fields f;
    f.St = f.Sts = f.Qt = f.Mts = f.Mt = &Zero;
    return f;
}

Fields SmoothFields() {
    Fields f;
    f.St = [](double s) { return 2.0 + 0.8 * s - 0.3 * s * s; };
    f.Sts = [](double s) { return 0.5 * std::cos(1.3 * s); };
    f.Qt = [](double s) { return 0.2 + 0.05 * s * s * s; };
    f.Mts = [](double s) { return std::sin(0.7 * s); };
    f.Mt = [](double s) { return s * s - 2.0 * s + 0.5 * std::sin(2.0 * s); };
    return f;
}

std::unique_ptr<Strip> BuildStrip(const StripShape& shape, const Fields& loads) {
    auto strip = std::make_unique<Strip>();
    Strip& s = *strip;
    s.shape = shape;
    s.grid.xs = shape.xs;
    s.grid.ys = {0.0, shape.lower, shape.lower + shape.upper};
    s.grid.reversedColumn = shape.reversedElement;
    s.grid.tilted = shape.tilted;
    const auto columns = static_cast<std::int32_t>(shape.xs.size() - 1);
    s.grid.elementNumber = [columns](std::int32_t c, std::int32_t r) { return 100 * (r + 1) + columns - 1 - c; };
    FillGrid(s);

    for (std::size_t k = 0; k + 1 < shape.xs.size(); ++k) {
        const double sa = shape.xs[k] + shape.overhang;
        const double sb = shape.xs[k + 1] + shape.overhang;
        double fy[2], fx[2], fz[2], mx[2], my[2];
        EdgeLoads(loads.St, sa, sb, shape.thickness[k], fy[0], fy[1]);
        EdgeLoads(loads.Sts, sa, sb, shape.thickness[k], fx[0], fx[1]);
        EdgeLoads(loads.Qt, sa, sb, 1.0, fz[0], fz[1]);
        EdgeLoads(loads.Mt, sa, sb, 1.0, mx[0], mx[1]);
        EdgeLoads(loads.Mts, sa, sb, 1.0, my[0], my[1]);
        CShellElement& shell = s.shells[s.grid.elementNumber(static_cast<std::int32_t>(k), 0)];
        for (std::size_t end = 0; end < 2; ++end) {
            // Plane directions in global axes: differences of plane points.
            const CVertex o = s.Global(0.0, 0.0);
            const CVertex f = s.Global(fx[end], fy[end], fz[end]);
            const CVertex m = s.Global(mx[end], my[end]);
            const CNodeResults up{f.x - o.x, f.y - o.y, f.z - o.z, m.x - o.x, m.y - o.y, m.z - o.z};
            shell.StoreStaticCaseResults(shape.loadCase, s.NodeAt(k + end, 1), up);
            shell.StoreStaticCaseResults(shape.loadCase, s.NodeAt(k + end, 0),
                                         CNodeResults{-up.Fx, -up.Fy, -up.Fz, -up.Mx, -up.My, -up.Mz});
        }
    }
    s.loadCases[shape.loadCase] = CLoadCaseInfo{};
    s.Calculate();
    s.stresses = std::make_unique<CCrossSectionStressesPost>(s.forces.get());
    s.rows =
        s.stresses->GetCutlineStressInputPoints(s.CutStart(), s.CutEnd(), s.FacePoint(), shape.divisions, 0.0, false);
    return strip;
}

void FillRows(Strip& strip, const Fields& samples) {
    for (std::size_t k = 0; k < strip.rows.size(); ++k) {
        const double own = static_cast<std::int32_t>(k) == strip.shape.reversedElement ? -1.0 : 1.0;
        strip.rows[k]->SetAvgThickness(strip.shape.thickness[k]);
        for (StressPoint& p : strip.rows[k]->GetStressPoints()) {
            const double s = p.Get1DCoor();
            p.SetStressValue_ZEL(100.0 + s, samples.St(s), own * samples.Sts(s), -100.0, -own * samples.Mt(s),
                                 samples.Mts(s), own * 50.0 * s, own * samples.Qt(s));
        }
    }
}

}  // namespace xsect::stress_models
