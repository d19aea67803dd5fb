// Plane sections of assemblies against statics: a C-shaped core with columns and a box girder under
// exact axial states, a plane model cut as SectionCutter cuts it, the rule's invariances, the
// selections and region, and the refusals.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "sections/section_checks.h"
#include "support/prism_model.h"

using namespace xsect;
using namespace xsect::prism_model;
using section_checks::ExpectValues;
using section_checks::Six;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// A C of walls open towards +a, symmetric about b = 0, and four columns symmetric about its centroid.
const double kCa = 2 * 2.5 * 0.25 * 1.25 / (4 * 0.3 + 2 * 2.5 * 0.25);  // the walls' centroid's a
PrismShape cCore() {
    PrismShape s{{10, 20, -3}, {0, 0, 1}, {1, 0, 0}, {0, 1, 0}, 30, 12, {}, {}};
    s.walls = {{0, -2, 0, 2, 0.3, 8}, {0, 2, 2.5, 2, 0.25, 5}, {0, -2, 2.5, -2, 0.25, 5}};
    for (const double da : {-1.0, 1.0})
        for (const double b : {-1.0, 1.0}) s.columns.push_back({kCa + da, b, 0.05});
    return s;
}

// A box of two flanges and two webs, symmetric about its centre, along a horizontal diagonal.
PrismShape boxGirder() {
    const double r = 1 / std::sqrt(2.0);
    PrismShape s{{-5, 3, 2}, {r, r, 0}, {-r, r, 0}, {0, 0, 1}, 24, 8, {}, {}};
    s.walls = {{-1.5, 1, 1.5, 1, 0.2, 6}, {-1.5, -1, 1.5, -1, 0.2, 6}, {-1.5, -1, -1.5, 1, 0.1, 4}, {1.5, -1, 1.5, 1, 0.1, 4}};
    return s;
}

// The integral of f(a - ca, b) over the section: Simpson's rule along each wall, exact for the
// quadratics of A and I, and the columns as points.
template <class F>
double overSection(const PrismShape& s, double ca, F f) {
    double sum = 0.0;
    for (const Wall& w : s.walls)
        sum += std::hypot(w.a1 - w.a0, w.b1 - w.b0) * w.thickness / 6 *
               (f(w.a0 - ca, w.b0) + 4 * f((w.a0 + w.a1) / 2 - ca, (w.b0 + w.b1) / 2) + f(w.a1 - ca, w.b1));
    for (const Column& c : s.columns) sum += c.area * f(c.a - ca, c.b);
    return sum;
}

CVertex vertex(const Vec3& v) { return CVertex(v.x, v.y, v.z); }
double along(const CVertex& v, const Vec3& e) { return v.x * e.x + v.y * e.y + v.z * e.z; }

Assembly assemblyOf(const Prism& p, double tolerance = 0.001) {
    return Assembly(p.nodes, p.shells, p.frames, p.loadCases, tolerance, NodalForceSense::OnElement, p.thickness);
}

}  // namespace

TEST(AssemblyStatics, ACoreAndAGirderCarryNEqualSigmaAAndMEqualSigmaIOverCAtEveryStation) {
    const struct {
        PrismShape shape;
        double ca;  // the centroid's a
        CVertex up;
    } cases[] = {{cCore(), kCa, CVertex(0, 0, 0)}, {boxGirder(), 0.0, CVertex(0, 0, 5)}};
    for (const auto& c : cases) {
        Prism prism(c.shape);
        prism.AddStaticCase(1, -2.0, 0.0, 0.0);          // uniform compression
        prism.AddStaticCase(2, 0.0, 0.0, 3.0);           // bending about a: 3 at unit distance
        prism.AddStaticCase(3, -1.5 * c.ca, 1.5, 0.0);   // bending about b through the centroid
        const double A = overSection(c.shape, c.ca, [](double, double) { return 1.0; });
        const double Ia = overSection(c.shape, c.ca, [](double, double b) { return b * b; });
        const double Ib = overSection(c.shape, c.ca, [](double a, double) { return a * a; });
        AssemblyOptions o;
        o.up = c.up;
        // Stations on every node line and half way between; the last has nothing beyond it.
        const SectionTable table = AssemblyCutter(assemblyOf(prism)).Stations(
            vertex(prism.Global(c.ca, 0, 0)), vertex(prism.Global(c.ca, 0, c.shape.length)), 2 * c.shape.rows + 1, {}, o);
        ASSERT_EQ(table.error, "");
        for (std::size_t i = 0; i < table.sections.size(); ++i) {
            const SectionResult& r = table.sections[i];
            ASSERT_EQ(r.status, CS_SUCCESS) << i;
            // n along the axis, k along b (the projected up), t = k x n along a.
            EXPECT_NEAR(along(r.n, c.shape.axis) + along(r.k, c.shape.eb) + along(r.t, c.shape.ea), 3.0, 1e-15);
            const CVertex centre = vertex(prism.Global(c.ca, 0, r.position));
            EXPECT_NEAR(r.centroid.Distance(&centre), 0, 1e-12 * 50) << i;
            const double beyond = i + 1 < table.sections.size() ? 1.0 : 0.0;
            const section_checks::Values want[3] = {
                {beyond * -2 * A, 0, 0, 0, 0, 0}, {0, 0, 0, 0, beyond * 3 * Ia, 0}, {0, 0, 0, 0, 0, beyond * -1.5 * Ib}};
            // Values up to about 60, summed over a few hundred nodes.
            for (std::size_t lc = 0; lc < 3; ++lc)
                ExpectValues(Six(r.values[lc].max), want[lc], 60, "station " + std::to_string(i));
        }
    }
}

TEST(AssemblyPlaneModel, StationPlanesThroughAPlaneModelGiveSectionCuttersStations) {
    double rho[4] = {1.0, 0.3, 0.3, 1.0};
    section_checks::Strip strip(strip_model::TiltedStrip());
    strip.AddStaticCase(1, {-3.0, -1.0, 0.5, 0.7});
    strip.AddSpectrumMode(7, 1, {1.0, -2.0, 0.5, 0.3});
    strip.AddSpectrumMode(7, 2, {-0.4, 1.5, 1.2, -0.2});
    strip.loadCases[7].combinationMethod = RSP_COMBINE_CQC;
    strip.loadCases[7].crossModalCoefficients = rho;
    std::map<std::int32_t, double> thickness;
    for (const auto& entry : strip.shells) thickness[entry.first] = 0.1 + 0.01 * (entry.first % 7);
    CCrossSectionForcesPost calc = strip.Calculator();
    SectionCutter cutter(calc);
    cutter.ShellThicknesses(thickness);
    const Assembly assembly(strip.nodes, strip.shells, strip.frames, strip.loadCases, 0.005,
                            NodalForceSense::OnElement, thickness);
    // Along the strip and slanting across it, through node lines and between them.
    const std::vector<ResultRequest> requests = {{"G", {{1, 1.0}}}, {"G+E", {{1, 1.0}, {7, 1.0}}}};
    for (const auto& [from, to] : {std::pair{strip.GlobalVertex(0, 0), strip.GlobalVertex(10, 0)},
                                   std::pair{strip.GlobalVertex(2, -1), strip.GlobalVertex(6, 1)}}) {
        const SectionTable want = cutter.Stations(from, to, 21, requests);
        AssemblyOptions o;
        o.up = want.sections.at(0).k;
        const SectionTable got = AssemblyCutter(assembly).Stations(from, to, 21, requests, o);
        ASSERT_EQ(got.error, "");
        for (std::size_t i = 0; i < want.sections.size(); ++i) {
            const SectionResult &w = want.sections[i], &g = got.sections[i];
            ASSERT_EQ(g.status, w.status) << i;
            EXPECT_EQ(g.shells, w.shells) << i;
            EXPECT_EQ(g.frames, w.frames) << i;
            EXPECT_NEAR(g.position, w.position, 1e-12 * 10) << i;
            EXPECT_NEAR(g.coveredLength, w.coveredLength, 1e-12 * 10) << i;
            EXPECT_NEAR(g.centroid.Distance(&w.centroid), 0.0, 1e-12 * 10) << i;
            for (std::size_t q = 0; q < g.values.size(); ++q)
                for (auto bound : {&SectionValue::max, &SectionValue::min})
                    ExpectValues(Six(g.values[q].*bound), Six(w.values[q].*bound), 1e-3 * 60, "station " + std::to_string(i));
        }
    }
}

TEST(AssemblyRule, NudgesBelowTheToleranceReversedWindingsAndRenumberingChangeNothing) {
    // Every element in equilibrium with random forces: each station's value depends on which
    // elements and nodes it sums, so a node that changed sides would show.
    Prism prism(cCore());
    std::mt19937 rng(5);
    AddBalancedRandomCase(1, 0, rng, prism.nodes, prism.shells, prism.frames, prism.loadCases);
    const double tol = 0.001;
    AssemblyOptions fixed;
    fixed.useMomentPoint = true;
    fixed.momentPoint = vertex(prism.Global(0.3, 0.2, 11.0));
    // Stations on every node line (2.5 apart) and half way between, moved along the axis.
    auto stations = [&](const Prism& p, double nudge, const AssemblyOptions& o) {
        return AssemblyCutter(assemblyOf(p, tol))
            .Stations(vertex(p.Global(kCa, 0, nudge)), vertex(p.Global(kCa, 0, 30 + nudge)), 25, {}, o);
    };
    const SectionTable reference = stations(prism, 0.0, fixed), about = stations(prism, 0.0, {});
    for (const double nudge : {0.4 * tol, -0.4 * tol, 1e-13}) {
        // The same sums to the bit about a fixed point; about the centroid it moves with the stations.
        const SectionTable t = stations(prism, nudge, fixed), free = stations(prism, nudge, {});
        for (std::size_t i = 0; i < t.sections.size(); ++i) {
            EXPECT_EQ(t.sections[i].shells, reference.sections[i].shells) << nudge << " " << i;
            EXPECT_EQ(Six(t.sections[i].values.at(0).max), Six(reference.sections[i].values.at(0).max)) << nudge;
            EXPECT_LT(free.sections[i].centroid.Distance(&about.sections[i].centroid), tol) << i;
        }
    }
    // Each shell's nodes the other way round; every node and element numbered afresh, backwards.
    Prism turned = prism, renumbered = prism;
    for (auto& entry : turned.shells) std::reverse(entry.second.nodes.begin(), entry.second.nodes.end());
    auto fresh = [](std::int32_t id) { return 100000 - 7 * id; };
    renumbered.nodes.clear(), renumbered.shells.clear(), renumbered.frames.clear(), renumbered.thickness.clear();
    for (const auto& [id, v] : prism.nodes) renumbered.nodes[fresh(id)] = v;
    for (const auto& [id, s] : prism.shells) {
        CShellElement& copy = renumbered.shells[fresh(id)];
        for (std::int32_t n : s.nodes) copy.nodes.push_back(fresh(n));
        for (const auto& [n, r] : s.staticResults.at(1)) copy.StoreStaticCaseResults(1, fresh(n), r);
        renumbered.thickness[fresh(id)] = prism.thickness.at(id);
    }
    for (const auto& [id, f] : prism.frames) {
        CFrameElement& copy = renumbered.frames[fresh(id)] = f;
        copy.nodeA = fresh(f.nodeA), copy.nodeB = fresh(f.nodeB);
    }
    for (const Prism* p : {&turned, &renumbered}) {
        const SectionTable t = stations(*p, 0.0, {});
        for (std::size_t i = 0; i < t.sections.size(); ++i) {
            EXPECT_EQ(t.sections[i].shells.size(), about.sections[i].shells.size());
            EXPECT_NEAR(t.sections[i].centroid.Distance(&about.sections[i].centroid), 0.0, 1e-12 * 50);
            ExpectValues(Six(t.sections[i].values.at(0).max), Six(about.sections[i].values.at(0).max), 1e-3 * 100,
                         "station " + std::to_string(i));
        }
    }
}

TEST(AssemblySelection, ASelectionOrARegionLimitsAStoreysCutToOneCore) {
    // Two box cores side by side, a in [0, 2] and [5, 7], under one uniform stress.
    PrismShape s = cCore();
    s.columns.clear();
    s.walls.clear();
    for (const double a0 : {0.0, 5.0})
        for (const auto& [a, b, c, d] : {std::array<double, 4>{0, 0, 2, 0}, {2, 0, 2, 1}, {2, 1, 0, 1}, {0, 1, 0, 0}})
            s.walls.push_back({a0 + a, b, a0 + c, d, 0.2, 4});
    Prism prism(s);
    prism.AddStaticCase(1, -1.0, 0.0, 0.0);
    const AssemblyCutter cutter(assemblyOf(prism));
    auto cut = [&](const AssemblyOptions& o) { return cutter.Cut({{vertex(prism.Global(0, 0, 12.5)), {0, 0, 2}}}, {}, o); };
    EXPECT_NEAR(cut({}).sections.at(0).values.at(0).max.N, -2 * 6 * 0.2, 1e-12);

    AssemblyOptions first, region;
    for (const auto& [id, shell] : prism.shells)
        if (prism.nodes.at(shell.nodes[0]).x < 13) first.shells.push_back(id);
    for (const auto& [a, b] : {std::pair{-1.0, -1.0}, {3.0, -1.0}, {3.0, 2.0}, {-1.0, 2.0}})
        region.region.push_back(vertex(prism.Global(a, b, 12.5)));
    const CVertex centre = vertex(prism.Global(1, 0.5, 12.5));
    for (const AssemblyOptions& o : {first, region}) {
        const SectionResult r = cut(o).sections.at(0);
        EXPECT_NEAR(r.values.at(0).max.N, -6 * 0.2, 1e-12);
        EXPECT_NEAR(r.centroid.Distance(&centre), 0, 1e-12 * 20);
        EXPECT_EQ(r.shells.size(), 16u);
    }
    // A region off the plane, or of two points, is refused; so is a selection of an unknown shell.
    region.region[2].z += 0.1;
    EXPECT_NE(cut(region).error, "");
    region.region.resize(2);
    EXPECT_NE(cut(region).error, "");
    first.shells.push_back(99999);
    EXPECT_NE(cut(first).error, "");
}

TEST(AssemblyRefusals, BadInputLeavesASentenceAndBadPlanesAStatus) {
    Prism prism(boxGirder());
    prism.AddStaticCase(1, 1.0, 0.0, 0.0);
    const AssemblyCutter cutter(assemblyOf(prism));
    const CVertex A = vertex(prism.Global(0, 0, 0)), B = vertex(prism.Global(0, 0, 24));
    const CVertex axis(B.x - A.x, B.y - A.y, B.z - A.z);
    AssemblyOptions nanUp, nanMoment;
    nanUp.up.x = kNaN;
    nanMoment.useMomentPoint = true;
    nanMoment.momentPoint.z = kNaN;
    const struct {
        std::vector<ResultRequest> requests;
        std::int32_t count;
        CVertex a, b;
        AssemblyOptions options;
    } bad[] = {{{{"x", {{9, 1.0}}}}, 5, A, B, {}}, {{}, 0, A, B, {}}, {{}, 5, A, A, {}},
               {{}, 5, CVertex(kNaN, 0, 0), B, {}}, {{}, 5, A, B, nanUp}, {{}, 5, A, B, nanMoment}};
    for (const auto& b : bad) {
        const SectionTable t = cutter.Stations(b.a, b.b, b.count, b.requests, b.options);
        EXPECT_TRUE(!t.error.empty() && t.sections.empty()) << &b - bad;
    }
    EXPECT_NE(cutter.Cut({{A, CVertex(kNaN, 1, 0)}}, {}).error, "");
    for (const double tolerance : {0.0, kNaN}) EXPECT_NE(AssemblyCutter(assemblyOf(prism, tolerance)).Cut({{A, B}}, {}).error, "");

    // A normal of no length, and a plane past the girder's end, are their sections' statuses.
    const SectionTable t = cutter.Cut({{A, {0, 0, 0}}, {vertex(prism.Global(0, 0, 30)), axis}, {A, axis}}, {});
    ASSERT_EQ(t.error, "");
    EXPECT_EQ(t.sections[0].status, CS_SECTION_MAP_FAILED);
    EXPECT_EQ(t.sections[1].status, CS_NO_ELEMENTS_CROSSED);
    EXPECT_EQ(t.sections[1].envelope.maxRequest[0], -1);
    EXPECT_EQ(t.sections[2].status, CS_SUCCESS);
}
