#include "support/strip_model.h"

#include <cmath>
#include <utility>

namespace xsect::strip_model {

SmallModel::SmallModel() {
    AddNode(kAnchor, 0, 0, 0);
    AddNode(kAnchor + 1, 1, 0, 0);
    AddNode(kAnchor + 2, 0, 1, 0);
}

CCrossSectionForcesPost SmallModel::Build(double tolerance) {
    return CCrossSectionForcesPost(nodes, shells, frames, loadCases, tolerance, kAnchor, kAnchor + 1, kAnchor + 2);
}

StripShape TiltedStrip() {
    StripShape s;
    s.origin = {5.0, -3.0, 7.0};
    s.e1 = {2.0 / 3.0, 1.0 / 3.0, 2.0 / 3.0};
    const double r5 = std::sqrt(5.0);
    s.e2 = {-1.0 / r5, 2.0 / r5, 0.0};
    return s;
}

namespace {

// The exact cantilever fields in strip axes, for a unit thickness. Bending: sigma_xx linear in
// x and y, tau_xy parabolic across the depth; plate: constant transverse shear, bending moment
// per length m(x) = q (x - L) about the strip's y axis.
struct Field {
    double L, c, N, V, Q;

    double sxx(double x, double y) const {
        const double I = 2.0 * c * c * c / 3.0;
        return N / (2.0 * c) - V * (L - x) * y / I;
    }
    double txy(double /*x*/, double y) const { return 3.0 * V / (4.0 * c) * (1.0 - y * y / (c * c)); }
    double q() const { return Q / (2.0 * c); }

    // Force and moment per length on a face of outward normal (nx, ny), acting on the body
    // inside that face.
    Wrench traction(double x, double y, double nx, double ny) const {
        Wrench w;
        w.force = {sxx(x, y) * nx + txy(x, y) * ny, txy(x, y) * nx, q() * nx};
        w.moment = {0.0, q() * (x - L) * nx, 0.0};
        return w;
    }
};

void addTo(Wrench& sum, const Wrench& w, double scale) {
    sum.force = sum.force + scale * w.force;
    sum.moment = sum.moment + scale * w.moment;
}

CNodeResults toResults(const Vec3& f, const Vec3& m) { return {f.x, f.y, f.z, m.x, m.y, m.z}; }

}  // namespace

Strip::Strip(const StripShape& shape) : shape_(shape) {
    const double c = shape_.depth / 2;
    for (std::int32_t j = 0; j <= shape_.ny; ++j) {
        for (std::int32_t i = 0; i <= shape_.nx; ++i) {
            const double x = shape_.length * i / shape_.nx;
            const double y = -c + shape_.depth * j / shape_.ny;
            nodes[NodeAt(i, j)] = GlobalVertex(x, y);
            stripXY[NodeAt(i, j)] = {x, y};
        }
    }
    for (std::int32_t j = 0; j < shape_.ny; ++j)
        for (std::int32_t i = 0; i < shape_.nx; ++i)
            shells[1 + j * shape_.nx + i].nodes = {NodeAt(i, j), NodeAt(i + 1, j), NodeAt(i + 1, j + 1),
                                                  NodeAt(i, j + 1)};
    CFrameElement& tie = frames[1];
    tie.nodeA = NodeAt(0, shape_.ny);
    tie.nodeB = NodeAt(shape_.nx, shape_.ny);
}

CVertex Strip::GlobalVertex(double x, double y) const {
    const Vec3 g = shape_.origin + x * shape_.e1 + (y + shape_.depth / 2) * shape_.e2;
    return CVertex(g.x, g.y, g.z);
}

std::map<std::int32_t, Wrench> Strip::ElementLoads(std::int32_t shell, const TipLoad& load) const {
    const Field field{shape_.length, shape_.depth / 2, load.axial, load.shear, load.outOfPlane};
    const std::vector<std::int32_t>& corners = shells.at(shell).nodes;
    std::map<std::int32_t, Wrench> out;
    for (std::size_t k = 0; k < corners.size(); ++k) {
        const std::int32_t a = corners[k];
        const std::int32_t b = corners[(k + 1) % corners.size()];
        const auto [ax, ay] = stripXY.at(a);
        const auto [bx, by] = stripXY.at(b);
        const double len = std::hypot(bx - ax, by - ay);
        // Outward normal of a counter-clockwise polygon: the edge direction turned clockwise.
        const double nx = (by - ay) / len;
        const double ny = -(bx - ax) / len;
        const Wrench t0 = field.traction(ax, ay, nx, ny);
        const Wrench tm = field.traction((ax + bx) / 2, (ay + by) / 2, nx, ny);
        const Wrench t1 = field.traction(bx, by, nx, ny);
        // Simpson's rule on (shape function x traction): exact up to cubics, and the tractions
        // here are at most quadratic along an edge.
        addTo(out[a], t0, len / 6.0);
        addTo(out[a], tm, 2.0 * len / 6.0);
        addTo(out[b], tm, 2.0 * len / 6.0);
        addTo(out[b], t1, len / 6.0);
    }
    return out;
}

void Strip::AddStaticCase(std::int32_t loadCase, const TipLoad& load) {
    for (auto& [number, shell] : shells)
        for (const auto& [node, w] : ElementLoads(number, load))
            shell.StoreStaticCaseResults(loadCase, node, toResults(GlobalVector(w.force), GlobalVector(w.moment)));
    frames.at(1).staticResultsA[loadCase] = toResults(GlobalVector({-load.tie, 0, 0}), {});
    frames.at(1).staticResultsB[loadCase] = toResults(GlobalVector({load.tie, 0, 0}), {});
    loadCases[loadCase].caseType = LOAD_CASE_STATIC;
}

void Strip::AddSpectrumMode(std::int32_t loadCase, std::int32_t mode, const TipLoad& load) {
    for (auto& [number, shell] : shells)
        for (const auto& [node, w] : ElementLoads(number, load))
            shell.StoreResponseSpectraCaseResults(loadCase, node, mode,
                                                  toResults(GlobalVector(w.force), GlobalVector(w.moment)));
    frames.at(1).spectrumResultsA[loadCase][mode] = toResults(GlobalVector({-load.tie, 0, 0}), {});
    frames.at(1).spectrumResultsB[loadCase][mode] = toResults(GlobalVector({load.tie, 0, 0}), {});
    CLoadCaseInfo& info = loadCases[loadCase];
    info.caseType = LOAD_CASE_RESPONSE_SPECTRUM;
    if (info.modeCount < mode) info.modeCount = mode;
}

Wrench Strip::TipPartWrench(const TipLoad& load, double mx, double my) const {
    const double L = shape_.length;
    const double c = shape_.depth / 2;
    Wrench w;
    w.force = {load.axial + load.tie, load.shear, load.outOfPlane};
    // The tip tractions are symmetric across the depth, so they act on the centre line; the tie
    // pulls at the top corner.
    w.moment = {-my * load.outOfPlane, -(L - mx) * load.outOfPlane,
                (L - mx) * load.shear + my * load.axial - (c - my) * load.tie};
    return w;
}

Wrench Strip::NodalSum(std::int32_t node, const CNodeResults& r, double mx, double my) const {
    const auto& [x, y] = stripXY.at(node);
    const Vec3 f = StripVector({r.Fx, r.Fy, r.Fz});
    const Vec3 m = StripVector({r.Mx, r.My, r.Mz});
    return {f, m + Cross({x - mx, y - my, 0.0}, f)};
}

CCrossSectionForcesPost Strip::Calculator(double tolerance) {
    return CCrossSectionForcesPost(nodes, shells, frames, loadCases, tolerance, NodeAt(0, 0), NodeAt(shape_.nx, 0),
                                   NodeAt(0, shape_.ny));
}

CCrossSectionForcesPost Strip::CalculatorWithOwnPlane(double tolerance) {
    return CCrossSectionForcesPost(nodes, shells, frames, loadCases, tolerance);
}

}  // namespace xsect::strip_model
