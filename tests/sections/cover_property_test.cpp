// A section's covered length and centroid (its moment point) against an independent geometry
// library: the cut's intersection with the union of the shells' polygons, computed by
// Boost.Geometry on the mesh's own plane coordinates. Random meshes of triangles to hexagons with
// openings, L and U outlines, in tilted planes; cuts through nodes, along edges, along outer and
// opening edges, through corners; each nudged sideways by 1e-12 to 1e-5 of the model's size, both
// ways, and drawn backwards. A nudge below the tolerance must move the answer by about as much as
// the nudge, never by a piece of an element.
//
// The section's rule (docs/sections.md) puts what lies on the cut's line with the part just past it
// along +n, so the reference is the un-nudged cut moved a hair (1e-9 of the size) towards +n: along
// an outer edge it covers the edge when the mesh lies on the +n side, and nothing otherwise.

#include <gtest/gtest.h>
#include <xsect/xsect.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <vector>

#include "support/geometry_reference.h"
#include "support/random.h"

namespace xsect {
namespace {

namespace bg = test_support::bg;
using test_support::P2;
using Polygon = bg::model::polygon<P2>;
using MultiPolygon = bg::model::multi_polygon<Polygon>;
using Line = bg::model::linestring<P2>;
using MultiLine = bg::model::multi_linestring<Line>;

using test_support::Rng;

using XY = std::array<double, 2>;

// A mesh in its own plane coordinates, placed in space by an orthonormal frame.
struct Mesh {
    std::vector<XY> xy;                    // by node index
    std::vector<std::vector<int>> shells;  // node indices, either winding
    std::vector<double> thickness;         // by shell; empty: none given
    std::array<double, 3> origin{}, e1{}, e2{};
    double size = 0.0;

    CVertex Global(const XY& p) const {
        return CVertex(origin[0] + p[0] * e1[0] + p[1] * e2[0], origin[1] + p[0] * e1[1] + p[1] * e2[1],
                       origin[2] + p[0] * e1[2] + p[1] * e2[2]);
    }
    XY Local(const CVertex& g) const {
        const double d[3] = {g.x - origin[0], g.y - origin[1], g.z - origin[2]};
        return {d[0] * e1[0] + d[1] * e1[1] + d[2] * e1[2], d[0] * e2[0] + d[1] * e2[1] + d[2] * e2[2]};
    }
    Polygon ShellPolygon(std::size_t s) const {
        Polygon p;
        for (int n : shells[s]) bg::append(p.outer(), P2(xy[n][0], xy[n][1]));
        bg::correct(p);
        return p;
    }
};

// A jittered grid of cells, some taken out (an opening, or an L or U outline); each cell a quad,
// two triangles or, with its right neighbour, a hexagon (non-convex when the jitter says so).
Mesh RandomMesh(Rng& rng) {
    Mesh m;
    const int nx = rng.Int(4, 7), ny = rng.Int(3, 6);
    const double dx = rng.Uniform(0.7, 1.3), dy = rng.Uniform(0.7, 1.3), ox = rng.Uniform(-20, 20),
                 oy = rng.Uniform(-20, 20);
    std::vector<int> index((nx + 1) * (ny + 1), -1);
    auto node = [&](int i, int j) {
        int& k = index[j * (nx + 1) + i];
        if (k < 0) {
            k = static_cast<int>(m.xy.size());
            m.xy.push_back({ox + dx * (i + rng.Uniform(-0.2, 0.2)), oy + dy * (j + rng.Uniform(-0.2, 0.2))});
        }
        return k;
    };
    std::vector<char> kept(nx * ny, 1);
    const int outline = rng.Int(0, 3);
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            const bool opening = outline == 1 && i >= 1 && i <= nx - 3 && j >= 1 && j <= ny - 2;
            const bool l = outline == 2 && i >= nx / 2 && j >= ny / 2;
            const bool u = outline == 3 && i >= 1 && i <= nx - 2 && j >= ny / 2;
            if (opening || l || u) kept[j * nx + i] = 0;
        }
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            if (!kept[j * nx + i]) continue;
            const int shape = rng.Int(0, 3);
            if (shape == 3 && i + 1 < nx && kept[j * nx + i + 1]) {
                kept[j * nx + i + 1] = 0;
                m.shells.push_back({node(i, j), node(i + 1, j), node(i + 2, j), node(i + 2, j + 1), node(i + 1, j + 1),
                                    node(i, j + 1)});
            } else if (shape == 2) {
                m.shells.push_back({node(i, j), node(i + 1, j), node(i + 1, j + 1)});
                m.shells.push_back({node(i, j), node(i + 1, j + 1), node(i, j + 1)});
            } else {
                m.shells.push_back({node(i, j), node(i + 1, j), node(i + 1, j + 1), node(i, j + 1)});
            }
            if (rng.Int(0, 1)) std::reverse(m.shells.back().begin(), m.shells.back().end());
        }
    if (rng.Int(0, 1))
        for (std::size_t s = 0; s < m.shells.size(); ++s) m.thickness.push_back(rng.Uniform(0.1, 0.5));
    m.size = std::max(nx * dx, ny * dy);
    // A plane tilted off every global plane, or now and then the global XY plane itself.
    if (rng.Int(0, 3) == 0) {
        m.e1 = {1, 0, 0};
        m.e2 = {0, 1, 0};
    } else {
        std::array<double, 3> a{rng.Uniform(-1, 1), rng.Uniform(-1, 1), rng.Uniform(-1, 1)};
        std::array<double, 3> b{rng.Uniform(-1, 1), rng.Uniform(-1, 1), rng.Uniform(-1, 1)};
        const double la = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
        for (double& x : a) x /= la;
        const double ab = a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
        for (int k = 0; k < 3; ++k) b[k] -= ab * a[k];
        const double lb = std::sqrt(b[0] * b[0] + b[1] * b[1] + b[2] * b[2]);
        for (double& x : b) x /= lb;
        m.e1 = a;
        m.e2 = b;
    }
    m.origin = {rng.Uniform(-100, 100), rng.Uniform(-100, 100), rng.Uniform(-100, 100)};
    return m;
}

// The host's maps, with node and shell numbers scattered (gaps, no relation to the mesh's order).
struct HostModel {
    std::map<std::int32_t, CVertex> nodes;
    std::map<std::int32_t, CShellElement> shells;
    std::map<std::int32_t, double> thickness;
    std::map<std::int32_t, std::size_t> shellIndex;  // number -> mesh shell
};

HostModel HostModelOf(const Mesh& m, Rng& rng) {
    HostModel h;
    std::vector<std::int32_t> numbers(m.xy.size());
    for (std::size_t n = 0; n < numbers.size(); ++n) numbers[n] = static_cast<std::int32_t>(7 * n + rng.Int(1, 5));
    for (std::size_t n = numbers.size(); n > 1; --n) std::swap(numbers[n - 1], numbers[rng.Int(0, int(n) - 1)]);
    for (std::size_t n = 0; n < m.xy.size(); ++n) h.nodes[numbers[n]] = m.Global(m.xy[n]);
    for (std::size_t s = 0; s < m.shells.size(); ++s) {
        const std::int32_t id = static_cast<std::int32_t>(1000 - 3 * s);
        for (int n : m.shells[s]) h.shells[id].nodes.push_back(numbers[n]);
        h.shellIndex[id] = s;
        if (!m.thickness.empty()) h.thickness[id] = m.thickness[s];
    }
    return h;
}

struct Cut2 {
    XY a, b;
};

// A line through two points, from s0 to s1 along it (0 at p, 1 at q).
Cut2 Along(const XY& p, const XY& q, double s0, double s1) {
    return {{p[0] + s0 * (q[0] - p[0]), p[1] + s0 * (q[1] - p[1])}, {p[0] + s1 * (q[0] - p[0]), p[1] + s1 * (q[1] - p[1])}};
}

// Cuts through nodes, along shell edges (outer and opening edges among them), through a node in
// any direction (grazing corners among them) and anywhere. Kept only when every node is either on
// the line or well clear of it (three tolerances), and every edge that crosses or meets the line
// (but does not run along it) does so at a sine of at least 0.05, so that the reference is exact
// and a nudge moves crossings by little.
std::vector<Cut2> RandomCuts(const Mesh& m, Rng& rng, double tolerance, int count) {
    std::vector<Cut2> cuts;
    for (int attempt = 0; attempt < 50 * count && static_cast<int>(cuts.size()) < count; ++attempt) {
        const int kind = rng.Int(0, 3);
        const XY& p = m.xy[static_cast<std::size_t>(rng.Int(0, int(m.xy.size()) - 1))];
        Cut2 c;
        if (kind == 0) {
            c = Along(p, m.xy[static_cast<std::size_t>(rng.Int(0, int(m.xy.size()) - 1))], rng.Uniform(-2, 0.3),
                      rng.Uniform(0.7, 3));
        } else if (kind == 1) {
            const auto& shell = m.shells[static_cast<std::size_t>(rng.Int(0, int(m.shells.size()) - 1))];
            const std::size_t i = static_cast<std::size_t>(rng.Int(0, int(shell.size()) - 1));
            c = Along(m.xy[shell[i]], m.xy[shell[(i + 1) % shell.size()]], rng.Uniform(-3, 0.5), rng.Uniform(0.5, 4));
        } else {
            const double angle = rng.Uniform(0, 6.283185307179586);
            const XY q{p[0] + std::cos(angle), p[1] + std::sin(angle)};
            c = kind == 2 ? Along(p, q, rng.Uniform(-m.size, 0), rng.Uniform(0, m.size))
                          : Along({p[0] + rng.Uniform(-1, 1), p[1] + rng.Uniform(-1, 1)}, q, -m.size, m.size);
        }
        const double lx = c.b[0] - c.a[0], ly = c.b[1] - c.a[1], length = std::hypot(lx, ly);
        if (!(length > 0.05 * m.size)) continue;
        auto across = [&](const XY& v) { return ((v[0] - c.a[0]) * ly - (v[1] - c.a[1]) * lx) / length; };
        bool clear = true;
        for (const XY& v : m.xy) {
            const double h = std::fabs(across(v));
            clear = clear && (h <= 1e-9 * m.size || h >= 3 * tolerance);
        }
        for (const auto& shell : m.shells)
            for (std::size_t i = 0; i < shell.size() && clear; ++i) {
                const XY& u = m.xy[shell[i]];
                const XY& v = m.xy[shell[(i + 1) % shell.size()]];
                const double hu = across(u), hv = across(v);
                const bool uOn = std::fabs(hu) <= 1e-9 * m.size, vOn = std::fabs(hv) <= 1e-9 * m.size;
                if ((uOn && vOn) || (!uOn && !vOn && (hu > 0) == (hv > 0))) continue;
                const double ex = v[0] - u[0], ey = v[1] - u[1];
                clear = std::fabs(ex * ly - ey * lx) >= 0.05 * length * std::hypot(ex, ey);
            }
        if (clear) cuts.push_back(c);
    }
    return cuts;
}

struct Reference {
    double length = 0.0;
    XY centroid{0, 0};
};

// The cut a-b's part inside the union of the given shells' polygons: each polygon's intersection
// with the segment, united along it; its length and centre, by area when the mesh has thicknesses
// (where two shells share a stretch, the first listed counts, as the section does).
Reference ReferenceCover(const Mesh& m, const std::vector<std::size_t>& shells, const XY& a, const XY& b) {
    const Line line{P2(a[0], a[1]), P2(b[0], b[1])};
    const double lx = b[0] - a[0], ly = b[1] - a[1], length = std::hypot(lx, ly);
    struct Piece {
        double from, to, weight;
    };
    std::vector<Piece> pieces;
    for (const std::size_t s : shells) {
        MultiLine part;
        bg::intersection(line, m.ShellPolygon(s), part);
        for (const Line& l : part) {
            const double u0 = ((l.front().x() - a[0]) * lx + (l.front().y() - a[1]) * ly) / length;
            const double u1 = ((l.back().x() - a[0]) * lx + (l.back().y() - a[1]) * ly) / length;
            pieces.push_back({std::min(u0, u1), std::max(u0, u1), m.thickness.empty() ? 1.0 : m.thickness[s]});
        }
    }
    std::sort(pieces.begin(), pieces.end(), [](const Piece& l, const Piece& r) { return l.from < r.from; });
    Reference r;
    double frontier = -HUGE_VAL, weight = 0.0, moment = 0.0;
    for (const Piece& p : pieces) {
        const double from = std::max(p.from, frontier);
        if (p.to > from) {
            r.length += p.to - from;
            weight += p.weight * (p.to - from);
            moment += p.weight * (p.to - from) * (p.to + from) / 2;
        }
        frontier = std::max(frontier, p.to);
    }
    if (weight > 0.0) r.centroid = {a[0] + moment / weight * lx / length, a[1] + moment / weight * ly / length};
    return r;
}

TEST(SectionCoverProperty, CoveredLengthAndCentroidFollowTheGeometryUnderNudgesBelowTheTolerance) {
    Rng rng{20261206};
    int sections = 0, onNodes = 0, ends = 0, summed = 0;
    const double nudges[] = {0.0, 1e-12, -1e-12, 1e-9, -1e-9, 1e-7, -1e-7, 1e-5, -1e-5};
    for (int model = 0; model < 24; ++model) {
        const Mesh mesh = RandomMesh(rng);
        const double tol = 1e-4 * mesh.size;
        HostModel host = HostModelOf(mesh, rng);
        std::map<std::int32_t, CFrameElement> frames;
        std::map<std::int32_t, CLoadCaseInfo> cases{{1, CLoadCaseInfo{}}};
        const CCrossSectionForcesPost calc(host.nodes, host.shells, frames, cases, tol);
        ASSERT_EQ(calc.GetCurrentStatus(), CS_SUCCESS) << "model " << model;
        SectionCutter cutter(calc, NodalForceSense::OnElement, 1);
        if (!mesh.thickness.empty()) cutter.ShellThicknesses(host.thickness);
        MultiPolygon united;  // for the ends: does the mesh go on beyond one?
        for (std::size_t s = 0; s < mesh.shells.size(); ++s) {
            MultiPolygon next;
            bg::union_(united, mesh.ShellPolygon(s), next);
            united = std::move(next);
        }

        for (const Cut2& base : RandomCuts(mesh, rng, tol, 24))
            for (const bool reversed : {false, true}) {
                const XY a0 = reversed ? base.b : base.a, b0 = reversed ? base.a : base.b;
                const double lx = b0[0] - a0[0], ly = b0[1] - a0[1], length = std::hypot(lx, ly);
                std::vector<std::pair<CVertex, CVertex>> cuts;
                for (const double nudge : nudges) {
                    const double d = nudge * mesh.size;
                    cuts.push_back({mesh.Global({a0[0] - d * ly / length, a0[1] + d * lx / length}),
                                    mesh.Global({b0[0] - d * ly / length, b0[1] + d * lx / length})});
                }
                const SectionTable table = cutter.Cut(cuts, {});
                const SectionResult& first = table.sections.at(0);
                const std::string what = "model " + std::to_string(model) + " cut (" + std::to_string(a0[0]) + ", " +
                                         std::to_string(a0[1]) + ") -> (" + std::to_string(b0[0]) + ", " +
                                         std::to_string(b0[1]) + ")";
                // +n in the mesh's plane; the reference is the un-nudged cut a hair towards it.
                const XY n = mesh.Local(CVertex(mesh.origin[0] + first.n.x, mesh.origin[1] + first.n.y,
                                                mesh.origin[2] + first.n.z));
                const double hair = 1e-9 * mesh.size;
                std::vector<std::size_t> shells;
                for (const std::int32_t id : first.shells) shells.push_back(host.shellIndex.at(id));
                const Reference ref = ReferenceCover(mesh, shells, {a0[0] + hair * n[0], a0[1] + hair * n[1]},
                                                     {b0[0] + hair * n[0], b0[1] + hair * n[1]});
                summed += !shells.empty();
                for (const XY& v : mesh.xy)
                    if (std::fabs((v[0] - a0[0]) * ly - (v[1] - a0[1]) * lx) <= 1e-9 * mesh.size * length) {
                        ++onNodes;
                        break;
                    }
                auto goesOn = [&](const XY& end, const XY& away, double beyond) {
                    const double ux = (end[0] - away[0]) / length, uy = (end[1] - away[1]) / length;
                    return bg::covered_by(P2(end[0] + beyond * ux + hair * n[0], end[1] + beyond * uy + hair * n[1]),
                                          united);
                };
                const bool endsSettled = goesOn(a0, b0, 1.5 * tol) == goesOn(a0, b0, 2.5 * tol) &&
                                         goesOn(b0, a0, 1.5 * tol) == goesOn(b0, a0, 2.5 * tol);
                ends += endsSettled;

                for (std::size_t k = 0; k < table.sections.size(); ++k) {
                    const SectionResult& r = table.sections[k];
                    const std::string at = what + " nudged by " + std::to_string(nudges[k]) + " of the size";
                    ++sections;
                    // The nudge moves no node across the split: the same shells, the same status.
                    EXPECT_EQ(r.status, first.status) << at;
                    EXPECT_EQ(r.shells, first.shells) << at;
                    if (r.status != CS_SUCCESS) {
                        EXPECT_EQ(r.coveredLength, 0.0) << at;
                        continue;
                    }
                    // A crossing at a sine of 0.05 moves 20 times the nudge along the cut.
                    const double allowed = 100 * std::fabs(nudges[k] * mesh.size) + 1e-7 * mesh.size;
                    EXPECT_NEAR(r.coveredLength, ref.length, allowed) << at;
                    if (ref.length > 1e3 * allowed) {
                        const XY c = mesh.Local(r.centroid);
                        const double off = std::hypot(c[0] - ref.centroid[0], c[1] - ref.centroid[1]);
                        EXPECT_LE(off, allowed * (1 + 4 * length / ref.length)) << at;
                    }
                    // An end lies inside when the mesh goes on beyond it, asked of the reference where the
                    // answer does not hang on a hair's breadth.
                    if (endsSettled) {
                        EXPECT_EQ(r.endsInside, goesOn(a0, b0, 2 * tol) || goesOn(b0, a0, 2 * tol)) << at;
                    }
                }
            }
    }
    std::printf("%d sections: %d cuts with shells summed, %d through a node, %d with settled ends\n", sections,
                summed, onNodes, ends);
    EXPECT_GT(onNodes, sections / 9 / 4);
    EXPECT_GT(summed, sections / 9 / 2);
}

}  // namespace
}  // namespace xsect
