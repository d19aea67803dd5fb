#include "support/strip_model.h"

#include <cmath>
#include <utility>

namespace xsect::strip_model {

Vec3 operator+(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(double s, const Vec3& v) { return {s * v.x, s * v.y, s * v.z}; }
double Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Norm(const Vec3& v) { return std::sqrt(Dot(v, v)); }
Wrench operator-(const Wrench& w) { return {-1.0 * w.force, -1.0 * w.moment}; }
Wrench operator*(double s, const Wrench& w) { return {s * w.force, s * w.moment}; }

SmallModel::SmallModel() {
    AddNode(kAnchor, 0, 0, 0);
    AddNode(kAnchor + 1, 1, 0, 0);
    AddNode(kAnchor + 2, 0, 1, 0);
}

void SmallModel::AddNode(std::int32_t id, double x, double y, double z) { nodes[id] = CVertex(x, y, z); }

CShellElement& SmallModel::AddShell(std::int32_t id, std::vector<std::int32_t> shellNodes) {
    CShellElement& s = shells[id];
    s.nodes = std::move(shellNodes);
    return s;
}

CFrameElement& SmallModel::AddFrame(std::int32_t id, std::int32_t nodeA, std::int32_t nodeB) {
    CFrameElement& f = frames[id];
    f.nodeA = nodeA;
    f.nodeB = nodeB;
    return f;
}

CCrossSectionForcesPost SmallModel::Build(double tolerance) {
    return CCrossSectionForcesPost(nodes, shells, frames, loadCases, tolerance, kAnchor, kAnchor + 1, kAnchor + 2);
}

StripSpec TiltedStrip() {
    StripSpec s;
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

Strip::Strip(const StripSpec& spec) : spec_(spec) {
    const double c = HalfDepth();
    for (std::int32_t j = 0; j <= spec_.ny; ++j) {
        for (std::int32_t i = 0; i <= spec_.nx; ++i) {
            const double x = spec_.length * i / spec_.nx;
            const double y = -c + spec_.depth * j / spec_.ny;
            const Vec3 g = GlobalPoint(x, y);
            nodes[NodeAt(i, j)] = CVertex(g.x, g.y, g.z);
            stripXY[NodeAt(i, j)] = {x, y};
        }
    }
    for (std::int32_t j = 0; j < spec_.ny; ++j)
        for (std::int32_t i = 0; i < spec_.nx; ++i)
            shells[ShellAt(i, j)].nodes = {NodeAt(i, j), NodeAt(i + 1, j), NodeAt(i + 1, j + 1), NodeAt(i, j + 1)};
    CFrameElement& tie = frames[1];
    tie.nodeA = NodeAt(0, spec_.ny);
    tie.nodeB = NodeAt(spec_.nx, spec_.ny);
}

Vec3 Strip::GlobalPoint(double x, double y) const {
    return spec_.origin + x * spec_.e1 + (y + HalfDepth()) * spec_.e2;
}

CVertex Strip::GlobalVertex(double x, double y) const {
    const Vec3 g = GlobalPoint(x, y);
    return CVertex(g.x, g.y, g.z);
}

Vec3 Strip::GlobalVector(const Vec3& v) const { return v.x * spec_.e1 + v.y * spec_.e2 + v.z * Normal(); }

Vec3 Strip::StripVector(const Vec3& v) const { return {Dot(v, spec_.e1), Dot(v, spec_.e2), Dot(v, Normal())}; }

std::map<std::int32_t, Wrench> Strip::ElementLoads(std::int32_t shell, const TipLoad& load) const {
    const Field field{spec_.length, HalfDepth(), load.axial, load.shear, load.outOfPlane};
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
    CFrameElement& tie = frames.at(1);
    tie.staticResultsA[loadCase] = toResults(GlobalVector({-load.tie, 0, 0}), {});
    tie.staticResultsB[loadCase] = toResults(GlobalVector({load.tie, 0, 0}), {});
    loadCases[loadCase].caseType = LOAD_CASE_STATIC;
}

void Strip::AddSpectrumMode(std::int32_t loadCase, std::int32_t mode, const TipLoad& load) {
    for (auto& [number, shell] : shells)
        for (const auto& [node, w] : ElementLoads(number, load))
            shell.StoreResponseSpectraCaseResults(loadCase, node, mode,
                                                  toResults(GlobalVector(w.force), GlobalVector(w.moment)));
    CFrameElement& tie = frames.at(1);
    tie.spectrumResultsA[loadCase][mode] = toResults(GlobalVector({-load.tie, 0, 0}), {});
    tie.spectrumResultsB[loadCase][mode] = toResults(GlobalVector({load.tie, 0, 0}), {});
    CLoadCaseInfo& info = loadCases[loadCase];
    info.caseType = LOAD_CASE_RESPONSE_SPECTRUM;
    if (info.modeCount < mode) info.modeCount = mode;
}

Wrench Strip::TipPartWrench(const TipLoad& load, double mx, double my) const {
    const double L = spec_.length;
    const double c = HalfDepth();
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
    return CCrossSectionForcesPost(nodes, shells, frames, loadCases, tolerance, NodeAt(0, 0), NodeAt(spec_.nx, 0),
                                   NodeAt(0, spec_.ny));
}

CCrossSectionForcesPost Strip::CalculatorWithOwnPlane(double tolerance) {
    return CCrossSectionForcesPost(nodes, shells, frames, loadCases, tolerance);
}

}  // namespace xsect::strip_model
