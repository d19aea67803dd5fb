// The spatial index only narrows the search, so on any mesh and any cut every result that depends
// on a search must have the same bits whether the index or the full scan answered it: random meshes
// in planes tilted off every global plane, cut in every way that has been an edge case.
//
// Each calculator over the model is a function that runs one cut and records what it returns
// (SectionForces, CutlineStresses, Sections); another calculator joins the property with such a function and
// one line in the test's loop.

#include <gtest/gtest.h>
#include <xsect/xsect.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/crossing.h"
#include "core/plane_model.h"
#include "sections/section_checks.h"
#include "support/random.h"
#include "support/strip_model.h"

namespace xsect {
namespace {

using strip_model::Vec3;
using test_support::Rng;

// What one run produced, as bits: -0.0, NaN and the last ulp all count.
struct Bits {
    std::vector<std::uint64_t> v;
    int hits = 0;  // results produced, as opposed to refusals
    void Num(double d) {
        std::uint64_t u;
        std::memcpy(&u, &d, sizeof u);
        v.push_back(u);
    }
    void Int(std::int64_t i) { v.push_back(static_cast<std::uint64_t>(i)); }
    void Point(const CVertex& p) { Num(p.x), Num(p.y), Num(p.z); }
};

const char* const kKinds[] = {"mesh line", "through nodes", "inside", "past the model", "short",
                              "long",      "axis-parallel", "frame",  "short",          "short"};

struct Cut {
    CVertex a, b, face, momentPoint;  // global
    bool globalAxes = false, atMidpoint = false, inPlane = false;
    std::int32_t divisions = 0;
    double spacing = 0.0;
};

struct Scene {
    std::unique_ptr<CCrossSectionForcesPost> forces;
    std::vector<Cut> cuts;
};

// Runs a calculator on a cut with the index, then with every search scanning; expects the same
// bits and returns the first run's.
Bits ExpectSameUnderBothPaths(const std::string& what, void (*run)(const Scene&, const Cut&, Bits&), const Scene& scene,
                              const Cut& cut) {
    Bits indexed, scanned;
    detail::UseFullScan(false);
    run(scene, cut, indexed);
    detail::UseFullScan(true);
    run(scene, cut, scanned);
    detail::UseFullScan(false);
    const auto diff = std::mismatch(indexed.v.begin(), indexed.v.end(), scanned.v.begin(), scanned.v.end());
    EXPECT_TRUE(diff.first == indexed.v.end() && diff.second == scanned.v.end())
        << what << ": value " << (diff.first - indexed.v.begin()) << " of " << indexed.v.size() << " / "
        << scanned.v.size() << " differs";
    return indexed;
}

double kRho[9] = {1.0, 0.4, 0.1, 0.4, 1.0, 0.3, 0.1, 0.3, 1.0};

// A jittered lattice of nodes numbered sparsely in random order, cut into holes, quads, triangle
// pairs, pentagon-triangle pairs and hexagons of random winding and starting corner; frames along
// mesh lines and across shells (one numbered as a shell, one missing a node); a static case and a
// three-mode spectrum case with gaps in the results.
Scene MakeScene(std::uint64_t seed) {
    Rng r{seed};
    const int nx = r.Int(2, 16), ny = r.Int(1, 10);
    const double h = r.Uniform(0.3, 3.0), aspect = r.Uniform(0.5, 2.0);
    const double jitter = r.Chance(0.4) ? 0.0 : r.Uniform(0.0, 0.25) * h;
    auto random = [&] { return Vec3{r.Uniform(-1, 1), r.Uniform(-1, 1), r.Uniform(-1, 1)}; };
    auto small = [](const Vec3& v) { return std::min({std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)}) < 0.05; };
    Vec3 e1, e2;
    do {  // no component of the axes or the normal near zero: off every global plane and axis
        e1 = random(), e2 = random();
        e1 = (1.0 / Norm(e1)) * e1;
        e2 = e2 - Dot(e1, e2) * e1;
        e2 = (1.0 / Norm(e2)) * e2;
    } while (small(e1) || small(e2) || small(Cross(e1, e2)));
    const Vec3 o = 100.0 * random();

    std::map<std::int32_t, CVertex> nodes;
    std::map<std::int32_t, CShellElement> shells;
    std::map<std::int32_t, CFrameElement> frames;
    std::map<std::int32_t, CLoadCaseInfo> cases;
    std::vector<std::int32_t> ids;
    const int stride = r.Chance(0.3) ? 5000 : 3;  // sometimes too sparse for a lookup table
    for (int k = 0; k < (nx + 1) * (ny + 1); ++k) ids.push_back(1 + k * stride + r.Int(0, stride - 1));
    for (int k = static_cast<int>(ids.size()) - 1; k > 0; --k) std::swap(ids[k], ids[r.Int(0, k)]);
    auto id = [&](int i, int j) { return ids[static_cast<std::size_t>(j * (nx + 1) + i)]; };
    for (int j = 0; j <= ny; ++j)
        for (int i = 0; i <= nx; ++i) {
            const double u = i * h + r.Uniform(-jitter, jitter), v = (j * h + r.Uniform(-jitter, jitter)) * aspect;
            const Vec3 g = o + u * e1 + v * e2;
            nodes[id(i, j)] = CVertex(g.x, g.y, g.z);
        }

    std::int32_t shellNo = 0;
    auto addShell = [&](std::vector<std::int32_t> corners) {
        if (r.Chance(0.5)) std::reverse(corners.begin(), corners.end());
        std::rotate(corners.begin(), corners.begin() + r.Int(0, static_cast<int>(corners.size()) - 1), corners.end());
        shells[shellNo += r.Int(1, 4)].nodes = corners;
    };
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            const int kind = i + 1 < nx ? r.Int(0, 9) : r.Int(0, 6);
            if (kind == 0) continue;  // a hole
            if (kind <= 4) {
                addShell({id(i, j), id(i + 1, j), id(i + 1, j + 1), id(i, j + 1)});
            } else if (kind <= 6) {
                const bool up = r.Chance(0.5);
                addShell({id(i, j), id(i + 1, j), up ? id(i + 1, j + 1) : id(i, j + 1)});
                addShell({up ? id(i, j) : id(i + 1, j), id(i + 1, j + 1), id(i, j + 1)});
            } else if (kind <= 8) {
                addShell({id(i, j), id(i + 1, j), id(i + 2, j), id(i + 2, j + 1), id(i + 1, j + 1), id(i, j + 1)});
                ++i;
            } else {
                addShell({id(i, j), id(i + 1, j), id(i + 2, j + 1), id(i + 1, j + 1), id(i, j + 1)});
                addShell({id(i + 1, j), id(i + 2, j), id(i + 2, j + 1)});
                ++i;
            }
        }
    if (r.Chance(0.3)) shells[shellNo + 1].nodes = {id(0, 0), id(1, 1), 2000000000};  // names a missing node

    std::int32_t frameNo = 0;
    auto addFrame = [&](std::int32_t number, std::int32_t a, std::int32_t b) {
        frames[number].nodeA = a;
        frames[number].nodeB = b;
        frameNo = std::max(frameNo, number);
    };
    for (int k = r.Int(1, nx); k > 0; --k) {  // along mesh lines
        const int i = r.Int(0, nx - 1), j = r.Int(0, ny);
        addFrame(frameNo + r.Int(1, 3), id(i, j), id(i + 1, j));
    }
    for (int k = r.Int(1, 4); k > 0; --k)  // across shells
        addFrame(frameNo + r.Int(1, 3), id(r.Int(0, nx), r.Int(0, ny)), id(r.Int(0, nx), r.Int(0, ny)));
    addFrame(shells.begin()->first, id(0, 0), id(nx, ny));  // numbered as a shell
    if (r.Chance(0.5)) addFrame(frameNo + 1, id(0, ny), 2000000001);

    auto results = [&] {
        return CNodeResults{r.Uniform(-5, 5), r.Uniform(-5, 5), r.Uniform(-5, 5),
                            r.Uniform(-2, 2), r.Uniform(-2, 2), r.Uniform(-2, 2)};
    };
    for (auto& [no, shell] : shells)
        for (const std::int32_t node : shell.nodes) {
            if (r.Chance(0.9)) shell.StoreStaticCaseResults(1, node, results());
            for (int mode = 1; mode <= 3; ++mode)
                if (r.Chance(0.85)) shell.StoreResponseSpectraCaseResults(2, node, mode, results());
        }
    for (auto& [no, frame] : frames) {
        frame.staticResultsA[1] = results();
        if (r.Chance(0.8)) frame.staticResultsB[1] = results();
        for (int mode = 1; mode <= 3; ++mode) frame.spectrumResultsB[2][mode] = results();
    }
    cases[1] = CLoadCaseInfo{};
    const std::int32_t rules[] = {RSP_COMBINE_SRSS, RSP_COMBINE_ABS, RSP_COMBINE_CQC, RSP_COMBINE_SUM};
    cases[2] = {
        LOAD_CASE_RESPONSE_SPECTRUM, rules[r.Int(0, 3)], RSP_SIGN_FROM_SUM, 3, r.Chance(0.5), 0, false, nullptr, kRho};

    Scene scene;
    if (r.Chance(0.5)) scene.forces = std::make_unique<CCrossSectionForcesPost>(nodes, shells, frames, cases, 0.005);
    if (!scene.forces || scene.forces->GetCurrentStatus() != CS_SUCCESS)  // the model's origin may lie in a hole
        scene.forces = std::make_unique<CCrossSectionForcesPost>(nodes, shells, frames, cases, 0.005, id(0, 0),
                                                                 id(nx, 0), id(0, ny));

    // Cuts in the calculator's plane coordinates, handed over in global ones.
    const detail::PlaneModel& m = *scene.forces->Model();
    auto at = [&](std::int32_t node) { return m.VertexAt(static_cast<std::size_t>(m.NodeIndex(node))); };
    auto node = [&] { return at(id(r.Int(0, nx), r.Int(0, ny))); };
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    for (const detail::Point& v : m.vertices)
        x0 = std::min(x0, v.x), y0 = std::min(y0, v.y), x1 = std::max(x1, v.x), y1 = std::max(y1, v.y);
    const double size = std::hypot(x1 - x0, y1 - y0);
    auto point = [&](double grow) {
        return CVertex(r.Uniform(x0 - grow, x1 + grow), r.Uniform(y0 - grow, y1 + grow), 0.0);
    };
    auto ray = [&](const CVertex& p, double length) {
        const double t = r.Uniform(0, 6.3);
        return CVertex(p.x + length * std::cos(t), p.y + length * std::sin(t), 0.0);
    };
    for (int c = 0; c < 40; ++c) {
        CVertex a, b;
        const int kind = c % 10;
        if (kind == 0) {
            const bool row = r.Chance(0.5);
            const int k = r.Int(0, row ? ny : nx), p = r.Int(0, (row ? nx : ny) - 1), q = r.Int(p + 1, row ? nx : ny);
            a = at(row ? id(p, k) : id(k, p)), b = at(row ? id(q, k) : id(k, q));
        } else if (kind == 1) {
            a = node(), b = node();
        } else if (kind == 2 || kind == 3) {
            a = point(kind == 2 ? 0.0 : size), b = point(kind == 2 ? 0.0 : size);
        } else if (kind == 5) {
            a = ray(point(0.0), std::pow(10.0, r.Uniform(3, 7))), b = ray(a, std::pow(10.0, r.Uniform(3, 7)));
        } else if (kind == 6) {
            a = point(0.0), b = point(0.0);
            const bool vertical = r.Chance(0.5);
            b = CVertex(vertical ? a.x : b.x, vertical ? b.y : a.y, 0.0);
        } else if (kind == 7) {
            const auto f = std::next(frames.begin(), r.Int(0, static_cast<int>(frames.size()) - 1));
            a = at(f->second.nodeA), b = m.NodeIndex(f->second.nodeB) < 0 ? point(0.0) : at(f->second.nodeB);
        } else {  // a few tolerances or less, near a node
            a = node();
            a.x += r.Uniform(-0.3, 0.3) * h, a.y += r.Uniform(-0.3, 0.3) * h;
            b = ray(a, std::pow(10.0, r.Uniform(-5, -1)));
        }
        if (a.Distance(&b) == 0.0) b = point(0.0);
        if (kind <= 1 || kind == 7) {  // ending on the nodes, a little or a lot past them
            const double ta = r.Chance(0.4) ? 0.0 : r.Uniform(0.0, 2.0), tb = r.Chance(0.4) ? 0.0 : r.Uniform(0.0, 2.0);
            const CVertex d(b.x - a.x, b.y - a.y, 0.0);
            a = CVertex(a.x - ta * d.x, a.y - ta * d.y, 0.0), b = CVertex(b.x + tb * d.x, b.y + tb * d.y, 0.0);
        }
        const double side = (r.Chance(0.5) ? 0.3 : -0.3) * size / a.Distance(&b);
        Cut cut;
        cut.a = a, cut.b = b, cut.momentPoint = point(0.0);
        cut.face = CVertex((a.x + b.x) / 2 - side * (b.y - a.y), (a.y + b.y) / 2 + side * (b.x - a.x), 0.0);
        cut.globalAxes = r.Chance(0.5), cut.atMidpoint = r.Chance(0.5), cut.inPlane = r.Chance(0.3);
        cut.divisions = r.Int(0, 5), cut.spacing = r.Chance(0.5) ? 0.0 : r.Uniform(0.05, 1.0);
        for (CVertex* p : {&cut.a, &cut.b, &cut.face, &cut.momentPoint}) m.frame.ToGlobal(*p);
        scene.cuts.push_back(cut);
    }
    return scene;
}

// Section forces of the static and the spectrum case, on both sides.
void SectionForces(const Scene& scene, const Cut& cut, Bits& out) {
    CCrossSectionForcesPost calc = *scene.forces;  // shares the model, has its own status
    for (const std::int32_t loadCase : {1, 2})
        for (const std::int32_t side : {0, 1}) {
            calc.ResetCurrentStatus();
            CVertex s = cut.a, e = cut.b, p = cut.momentPoint, x, y, z;
            std::vector<double> F[6];
            const std::int32_t rc = calc.GetForcesOnSection(loadCase, &s, &e, F[0], F[1], F[2], F[3], F[4], F[5], side,
                                                            cut.globalAxes, cut.atMidpoint, &p);
            out.hits += rc == 1;
            out.Int(rc), out.Int(calc.GetCurrentStatus());
            for (const auto& v : F)
                for (const double d : v) out.Num(d);
            calc.GetCrossSectionMap(x, y, z);
            for (const CVertex* q : {&s, &e, &p, &x, &y, &z}) out.Point(*q);
        }
}

// Stage-1 rows, then their smoothing and both resultants.
void CutlineStresses(const Scene& scene, const Cut& cut, Bits& out) {
    CCrossSectionForcesPost calc = *scene.forces;
    CCrossSectionStressesPost stress(&calc);
    const auto rows =
        stress.GetCutlineStressInputPoints(cut.a, cut.b, cut.face, cut.divisions, cut.spacing, cut.inPlane);
    out.Int(stress.GetStatus());
    for (std::size_t k = 0; k < rows.size(); ++k) {
        out.Int(rows[k]->GetElemID());
        out.Point(rows[k]->GetFaceThirdPoint());
        rows[k]->SetAvgThickness(0.05 + 0.01 * static_cast<double>(k % 5));
        for (StressPoint& p : rows[k]->GetStressPoints()) {
            const double s = p.Get1DCoor();
            out.Point(p.GetPoint()), out.Num(s);
            p.SetStressValue_ZEL(s, std::sin(s), std::cos(s), 0.1 * s, std::sin(2 * s), 1.0 - s, 0.5, std::cos(3 * s));
        }
    }
    stress.ResetStatus();
    const auto points = stress.SmoothBalanceCutlineStress(1, {}, cut.divisions % 2 == 0, cut.divisions != 3);
    out.hits += !points.empty();
    out.Int(stress.GetStatus());
    for (const auto& p : points) {
        const CLStress& v = p->GetStress();
        for (const double d : {p->GetCLCoor(), v.GetSt(), v.GetSts(), v.GetMts(), v.GetMt(), v.GetQt()}) out.Num(d);
        out.Point(p->GetPoint3D());
    }
    for (const ForceResultant* f : {&stress.GetBalanceResultantForce(), &stress.GetSmoothedStressResultantForce()})
        for (const double d : {f->GetFx(), f->GetFy(), f->GetFz(), f->GetMx(), f->GetMy(), f->GetMz()}) out.Num(d);
}

// The section cutter's section along the cut: its cover, elements and both requests' ranges.
void Sections(const Scene& scene, const Cut& cut, Bits& out) {
    const SectionTable t =
        SectionCutter(*scene.forces).Cut({{cut.a, cut.b}}, {{"G", {{1, 1.0}}}, {"G+E", {{1, 0.8}, {2, 1.0}}}});
    for (const unsigned char byte : section_checks::BitsOf(t)) out.Int(byte);
    out.hits += t.sections.size() == 1 && t.sections[0].status == CS_SUCCESS;
}

TEST(IndexProperty, EverySearchGivesTheScansBits) {
    int cuts = 0, narrowed = 0, crossing = 0, forces = 0, smoothed = 0, sectioned = 0;
    for (int seed = 1; seed <= 24; ++seed) {
        const Scene scene = MakeScene(static_cast<std::uint64_t>(seed) * 7919);
        ASSERT_EQ(scene.forces->GetCurrentStatus(), CS_SUCCESS) << "seed " << seed;
        const detail::PlaneModel& m = *scene.forces->Model();
        for (std::size_t c = 0; c < scene.cuts.size(); ++c, ++cuts) {
            const Cut& cut = scene.cuts[c];
            const std::string what =
                "seed " + std::to_string(seed) + " cut " + std::to_string(c) + " (" + kKinds[c % 10] + ")";

            // The crossed elements, and the stress search's candidates cover them.
            CVertex a = cut.a, b = cut.b;
            m.frame.ToPlane(a);
            m.frame.ToPlane(b);
            const detail::CrossedElements fast = detail::FindCrossedElements(m, a, b, true);
            const detail::CrossedElements scan = detail::FindCrossedElementsByScan(m, a, b, true);
            EXPECT_EQ(fast.shells, scan.shells) << what;
            EXPECT_EQ(fast.frames, scan.frames) << what;
            const std::vector<std::int32_t> touching = detail::ShellsTouchingCut(m, a, b);
            EXPECT_TRUE(std::includes(touching.begin(), touching.end(), scan.shells.begin(), scan.shells.end()))
                << what;
            std::vector<std::int32_t> near;
            narrowed += m.index.Query(a.x, a.y, b.x, b.y, 0.0, 0.0, near) && near.size() < m.ShellCount();
            crossing += !scan.Empty();

            // Every calculator over the model; another one joins with one more line here.
            forces += ExpectSameUnderBothPaths(what + " forces", SectionForces, scene, cut).hits;
            smoothed += ExpectSameUnderBothPaths(what + " stresses", CutlineStresses, scene, cut).hits;
            sectioned += ExpectSameUnderBothPaths(what + " sections", Sections, scene, cut).hits;
        }
    }
    // The comparisons are worth something only if the index did narrow the search and the cuts
    // reached results.
    EXPECT_GT(narrowed, cuts / 2);
    EXPECT_GT(crossing, cuts / 3);
    EXPECT_GT(forces, cuts);
    EXPECT_GT(smoothed, cuts / 3);
    EXPECT_GT(sectioned, cuts / 3);
    std::printf("%d cuts: %d narrowed by the index, %d crossing, %d force results, %d smoothed, %d sections\n", cuts,
                narrowed, crossing, forces, smoothed, sectioned);
}

}  // namespace
}  // namespace xsect
