#include "compute/demo_model.h"

#include <cmath>

namespace xsect::cli {

namespace {

const CVertex kAlong(1.0, 0.0, 0.0);  // the wall's width
const CVertex kUp(0.0, 0.0, 1.0);        // its height

std::int32_t NodeId(const Wall& w, std::int32_t i, std::int32_t j) { return 1 + i + j * (w.nx + 1); }
std::int32_t ShellId(const Wall& w, std::int32_t i, std::int32_t j) { return 1 + i + j * w.nx; }

// The beam-theory state of the wall below every load at or above the element: in-plane stresses
// in (width, height) axes, and the plate's moment and shear per unit length taken along the
// element normal nu = width x height.
struct WallState {
    double suu = 0, svv = 0, suv = 0;
    double muu = 0, mvv = 0, muv = 0;
    double qu = 0, qv = 0;
};

WallState StateAt(const Wall& wall, const std::vector<WallLoad>& loads, double elementTop, double u, double v) {
    WallState s;
    const double b = wall.width / 2, area = wall.width * wall.thickness, x = u - b;
    const CVertex nu = Cross(kAlong, kUp);
    for (const WallLoad& l : loads) {
        if (elementTop > l.h + 1e-9) continue;  // this element lies above the load
        s.suv += 1.5 * l.shear / area * (1.0 - x * x / (b * b));
        s.svv += l.axial / area - 3.0 * l.shear / (area * b * b) * (l.h - v) * x;
        const double pn = l.outOfPlane * Dot(CVertex{0.0, 1.0, 0.0}, nu);
        s.qv += pn / wall.width;
        s.mvv += pn / wall.width * (v - l.h);
    }
    return s;
}

NodeStress GlobalStress(const WallState& s) {
    NodeStress n;
    // width = X, height = Z: uu -> xx, vv -> zz, uv -> zx
    n.S = {s.suu, 0.0, s.svv, 0.0, 0.0, s.suv};
    n.M = {s.muu, 0.0, s.mvv, 0.0, 0.0, s.muv};
    n.Q = {s.qu, 0.0, s.qv};
    return n;
}

// Internal force vector of a bilinear membrane-plate element under the given state, integrated
// with 3 x 3 Gauss points: exact here, since the stresses are at most quadratic.
void ElementForces(const Wall& wall, const std::vector<WallLoad>& loads, double u0, double v0, double du, double dv,
                   std::array<CNodeResults, 4>& out) {
    const double gp[3] = {-std::sqrt(0.6), 0.0, std::sqrt(0.6)}, gw[3] = {5.0 / 9.0, 8.0 / 9.0, 5.0 / 9.0};
    const double xa[4] = {-1, 1, 1, -1}, ya[4] = {-1, -1, 1, 1};
    const CVertex nu = Cross(kAlong, kUp);
    double fu[4] = {}, fv[4] = {}, fn[4] = {}, gu[4] = {}, gv[4] = {};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const double xi = gp[i], eta = gp[j];
            const double u = u0 + (1 + xi) * du / 2, v = v0 + (1 + eta) * dv / 2;
            const double w = gw[i] * gw[j] * du * dv / 4;
            const WallState s = StateAt(wall, loads, v0 + dv, u, v);
            for (int a = 0; a < 4; ++a) {
                const double n = (1 + xi * xa[a]) * (1 + eta * ya[a]) / 4;
                const double nU = xa[a] * (1 + eta * ya[a]) / 4 * 2 / du;
                const double nV = ya[a] * (1 + xi * xa[a]) / 4 * 2 / dv;
                fu[a] += w * wall.thickness * (s.suu * nU + s.suv * nV);
                fv[a] += w * wall.thickness * (s.suv * nU + s.svv * nV);
                fn[a] += w * (s.qu * nU + s.qv * nV);
                gu[a] += w * (s.muu * nU + s.muv * nV + n * s.qu);
                gv[a] += w * (s.muv * nU + s.mvv * nV + n * s.qv);
            }
        }
    for (int a = 0; a < 4; ++a) {
        // The element's internal force vector: the forces acting on the element at its nodes, as
        // analysis programs report element nodal forces. Summed over the nodes on one side of a
        // cut they give the loads on that side, which is what the section force is balanced to.
        CVertex f = fu[a] * kAlong + fv[a] * kUp + fn[a] * nu;
        CVertex m = Cross(nu, gu[a] * kAlong + gv[a] * kUp);
        out[static_cast<std::size_t>(a)] = CNodeResults{f.x, f.y, f.z, m.x, m.y, m.z};
    }
}

}  // namespace

Model MakeWallModel(const Wall& wall, const std::map<std::int32_t, LoadCase>& cases,
                    const std::vector<DemoLoading>& loadings, bool withStresses) {
    Model m;
    m.tolerance = 0.001;
    m.loadCases = cases;
    const double du = wall.width / wall.nx, dv = wall.height / wall.nz;
    for (std::int32_t j = 0; j <= wall.nz; ++j)
        for (std::int32_t i = 0; i <= wall.nx; ++i) {
            CVertex v(i * du, 0.0, j * dv);
            v.id = NodeId(wall, i, j);
            m.nodes.emplace(v.id, v);
        }
    m.planeNodes = {NodeId(wall, 0, 0), NodeId(wall, wall.nx, 0), NodeId(wall, 0, wall.nz)};
    for (std::int32_t j = 0; j < wall.nz; ++j)
        for (std::int32_t i = 0; i < wall.nx; ++i) {
            const std::int32_t id = ShellId(wall, i, j);
            CShellElement shell;
            // Appended one by one: GCC 12 at -O3 mistakes a list assignment here for a null copy.
            for (std::int32_t n : {NodeId(wall, i, j), NodeId(wall, i + 1, j), NodeId(wall, i + 1, j + 1),
                                   NodeId(wall, i, j + 1)})
                shell.nodes.push_back(n);
            const double u0 = i * du, v0 = j * dv;
            for (const DemoLoading& l : loadings) {
                std::array<CNodeResults, 4> f;
                ElementForces(wall, l.loads, u0, v0, du, dv, f);
                for (std::size_t a = 0; a < 4; ++a) {
                    if (l.mode == 0) shell.StoreStaticCaseResults(l.loadCase, shell.nodes[a], f[a]);
                    else shell.StoreResponseSpectraCaseResults(l.loadCase, shell.nodes[a], l.mode, f[a]);
                }
                if (withStresses && l.mode == 0)
                    for (std::size_t a = 0; a < 4; ++a) {
                        const CVertex& p = m.nodes.at(shell.nodes[a]);
                        m.stresses[id][l.loadCase][shell.nodes[a]] =
                            GlobalStress(StateAt(wall, l.loads, v0 + dv, p.x, p.z));
                    }
            }
            m.thickness[id] = wall.thickness;
            m.shells.emplace(id, std::move(shell));
        }
    return m;
}

Demo MakeDemo() {
    Demo d;
    const double top = d.wall.height;
    std::map<std::int32_t, LoadCase> cases;
    cases[1].name = "wind";
    cases[2].name = "gravity";
    LoadCase srss;
    srss.name = "earthquake SRSS";
    srss.info.caseType = LOAD_CASE_RESPONSE_SPECTRUM;
    srss.info.modeCount = 2;
    srss.info.combinationMethod = RSP_COMBINE_SRSS;
    srss.frequencies = {2.4, 9.1};
    cases[3] = srss;
    LoadCase cqc = srss;
    cqc.name = "earthquake CQC";
    cqc.info.combinationMethod = RSP_COMBINE_CQC;
    cqc.coefficients = {1.0, 0.12, 0.12, 1.0};
    cases[4] = cqc;

    const WallLoad mode1{top, 180.0, 0.0, 0.0};
    const std::vector<WallLoad> mode2{{top, -70.0, 0.0, 0.0}, {top / 2, 130.0, 0.0, 0.0}};
    d.loadings = {{1, 0, {{top, 120.0, 0.0, 15.0}}},
                  {2, 0, {{top, 0.0, -800.0, 0.0}}},
                  {3, 1, {mode1}},
                  {3, 2, mode2},
                  {4, 1, {mode1}},
                  {4, 2, mode2}};
    d.model = MakeWallModel(d.wall, cases, d.loadings, true);
    d.model.title = "Cantilever wall 4 m wide, 6 m high, 0.25 m thick, fixed at its base (kN, m)";
    d.model.units = {"m", "kN"};
    d.model.combinations = {{"1.35G+1.5W", {{2, 1.35}, {1, 1.5}}}};
    d.model.source = "demo";

    const double w = d.wall.width;
    d.cuts = {{"A", "horizontal near the base", {-0.25, 0.0, 0.75}, {w + 0.25, 0.0, 0.75}, 0},
              {"B", "horizontal above mid-height", {-0.25, 0.0, 3.25}, {w + 0.25, 0.0, 3.25}, 0},
              {"C", "inclined", {-0.25, 0.0, 1.1}, {w + 0.25, 0.0, 2.6}, 0},
              {"D", "horizontal, drawn right to left, side 1", {w + 0.25, 0.0, 4.75}, {-0.25, 0.0, 4.75}, 1}};
    return d;
}

}  // namespace xsect::cli
