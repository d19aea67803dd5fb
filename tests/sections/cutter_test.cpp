// The section cutter against the host interface, its combinations, refusals and geometry. That its bits
// depend neither on the spatial index nor on the thread count is in index_property_test and
// assembly_property_test (both cutters share their threads).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "sections/section_checks.h"

using namespace xsect;
using namespace xsect::section_checks;
using strip_model::SmallModel;
using strip_model::TipLoad;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Static case 1, a second static case 2, spectrum case 7 of two modes by CQC signed by mode 2.
Strip threeCaseStrip(double rho[4]) {
    Strip s(strip_model::TiltedStrip());
    s.AddStaticCase(1, {-3.0, -1.0, 0.0, 0.0});
    s.AddStaticCase(2, {0.0, 2.0, 1.0, 0.5});
    s.AddSpectrumMode(7, 1, {1.0, -2.0, 0.5, 0.3});
    s.AddSpectrumMode(7, 2, {-0.4, 1.5, 1.2, -0.2});
    CLoadCaseInfo& e = s.loadCases[7];
    e.combinationMethod = RSP_COMBINE_CQC;
    e.crossModalCoefficients = rho;
    e.applySign = true;
    e.signMethod = RSP_SIGN_FROM_MODE;
    e.signMode = 2;
    return s;
}

}  // namespace

// The static values follow the statics (sign_rule_test) as the host interface's do (statics_test);
// a spectrum case's magnitudes must be the host interface's too, in the sign rule's order of axes.
TEST(SectionHostAgreement, SpectrumMagnitudesAreTheHostInterfacesAboutTheCentroid) {
    double rho[4] = {1.0, 0.4, 0.4, 1.0};
    Strip strip = threeCaseStrip(rho);
    CCrossSectionForcesPost calc = strip.Calculator();
    const std::vector<std::pair<CVertex, CVertex>> cuts = {
        StripCut(strip, 4.1, -1.5, 6.2, 1.5), StripCut(strip, 6.2, 1.5, 4.1, -1.5),
        StripCut(strip, 1.2, 1.3, 2.9, -1.6), StripCut(strip, 8.45, -1.1, 8.95, 0.4)};
    const SectionTable table = SectionCutter(calc).Cut(cuts, {{"E", {{7, 1.0}}}});
    ASSERT_EQ(table.error, "");
    for (std::size_t i = 0; i < cuts.size(); ++i) {
        const SectionResult& r = table.sections[i];
        CVertex a = cuts[i].first, b = cuts[i].second, centroid = r.centroid;
        std::vector<double> host[6];
        ASSERT_EQ(calc.GetForcesOnSection(7, &a, &b, host[0], host[1], host[2], host[3], host[4], host[5], 0, false,
                                          false, &centroid), 1);
        // The host's axes are (along the cut, across it, normal): ours are (across, along, normal).
        const int along[6] = {1, 0, 2, 4, 3, 5};
        for (int j = 0; j < 6; ++j) {
            // Values up to about 20: 1e-12 of that is far above the rounding of a few dozen terms.
            EXPECT_NEAR(Six(r.values[0].max)[j], std::fabs(host[along[j]].at(0)), 1e-12 * 20) << i << " " << j;
            EXPECT_EQ(Six(r.values[0].min)[j], -Six(r.values[0].max)[j]);
        }
    }
}

TEST(SectionCombinations, FactoredSumsRangesAndTheGoverningRequest) {
    double rho[4] = {1.0, 0.4, 0.4, 1.0};
    Strip strip = threeCaseStrip(rho);
    CCrossSectionForcesPost calc = strip.Calculator();
    const std::vector<ResultRequest> requests = {{"G", {{1, 1.0}}},
                                                 {"W", {{2, 1.0}}},
                                                 {"E", {{7, 1.0}}},
                                                 {"1.35G+1.5W", {{1, 1.35}, {2, 1.5}}},
                                                 {"G+E", {{1, 1.0}, {7, 1.0}}},
                                                 {"G-E", {{1, 1.0}, {7, -1.0}}}};
    const SectionTable table = SectionCutter(calc).Cut({StripCut(strip, 3.3, -1.5, 3.3, 1.5)}, requests);
    ASSERT_EQ(table.error, "");
    const SectionResult& r = table.sections.at(0);
    const Values G = Six(r.values[0].max), W = Six(r.values[1].max), E = Six(r.values[2].max);
    for (int j = 0; j < 6; ++j) {
        EXPECT_NEAR(Six(r.values[3].max)[j], 1.35 * G[j] + 1.5 * W[j], 1e-12 * 30) << j;
        EXPECT_EQ(Six(r.values[3].min)[j], Six(r.values[3].max)[j]) << j;
        // A spectrum term gives the range G ± |E| whatever its factor's sign.
        for (std::size_t ge : {4u, 5u}) {
            EXPECT_EQ(Six(r.values[ge].max)[j], G[j] + E[j]) << j;
            EXPECT_EQ(Six(r.values[ge].min)[j], G[j] - E[j]) << j;
        }
    }
    ASSERT_GT(E[0], 0.1);
    // Along n the strip carries -3 (G) and the modes about ±1.1: the spectrum alone governs the
    // largest N, and G - |E| the smallest, named by the first of the two equal requests.
    EXPECT_EQ(r.envelope.maxRequest[0], 2);
    EXPECT_EQ(r.envelope.max.N, E[0]);
    EXPECT_EQ(r.envelope.minRequest[0], 4);
    EXPECT_EQ(r.envelope.min.N, G[0] - E[0]);
}

TEST(SectionRefusals, BadInputLeavesASentenceAndNoSectionsAndBadCutsAStatus) {
    double rho[4] = {1.0, 0.0, 0.0, 1.0};
    Strip strip = threeCaseStrip(rho);
    strip.loadCases[3].caseType = LOAD_CASE_UNSUPPORTED;
    CCrossSectionForcesPost calc = strip.Calculator();
    const SectionCutter cutter(calc);
    const CVertex A = strip.GlobalVertex(0, 0), B = strip.GlobalVertex(10, 0);
    const Vec3 normalStep = strip.Shape().origin + strip.Normal();
    const struct {
        const char* what;
        std::vector<ResultRequest> requests;
        std::int32_t count;
        CVertex a, b;
    } bad[] = {
        {"unknown case", {{"x", {{99, 1.0}}}}, 5, A, B},
        {"unsupported case", {{"x", {{3, 1.0}}}}, 5, A, B},
        {"no terms", {{"x", {}}}, 5, A, B},
        {"factor not finite", {{"x", {{1, kNaN}}}}, 5, A, B},
        {"no name", {{"", {{1, 1.0}}}}, 5, A, B},
        {"one name twice", {{"x", {{1, 1.0}}}, {"x", {{2, 1.0}}}}, 5, A, B},
        {"no stations", {}, 0, A, B},
        {"too many stations", {}, 1000001, A, B},
        {"axis of no length", {}, 5, A, A},
        {"axis along the normal", {}, 5, strip.GlobalVertex(0, -1), CVertex(normalStep.x, normalStep.y, normalStep.z)},
        {"axis not finite", {}, 5, CVertex(kNaN, 0, 0), B},
    };
    for (const auto& b : bad) {
        const SectionTable t = cutter.Stations(b.a, b.b, b.count, b.requests);
        EXPECT_NE(t.error, "") << b.what;
        EXPECT_TRUE(t.sections.empty()) << b.what;
        if (!b.requests.empty()) {
            EXPECT_NE(cutter.Cut({{A, B}}, b.requests).error, "") << b.what;
        }
    }
    EXPECT_NE(cutter.Cut({{A, B}, {CVertex(0, kNaN, 0), B}}, {}).error, "");

    // A bad cut is that section's status; the others are computed.
    const CVertex off(A.x + 1.0, A.y + 2.0, A.z + 5.0);
    const SectionTable mixed =
        cutter.Cut({{off, B}, StripCut(strip, 3.3, -1.5, 3.3, 1.5), StripCut(strip, 3.3, 5.0, 6.3, 5.0), {A, A}}, {});
    ASSERT_EQ(mixed.error, "");
    const std::int32_t statuses[] = {CS_CUT_LINE_OFF_PLANE, CS_SUCCESS, CS_NO_ELEMENTS_CROSSED, CS_SECTION_MAP_FAILED};
    for (std::size_t i = 0; i < 4; ++i) {
        const SectionResult& r = mixed.sections[i];
        EXPECT_EQ(r.status, statuses[i]) << i;
        // No requests named: every static and spectrum case on its own, in number order.
        EXPECT_EQ(r.values.size(), r.status == CS_SUCCESS ? 3u : 0u) << i;
        EXPECT_EQ(r.envelope.maxRequest[0] == -1, r.status != CS_SUCCESS) << i;
    }
    const SectionTable last = cutter.Cut({StripCut(strip, 3.3, -1.5, 3.3, 1.5)}, {{"7", {{7, 1.0}}}});
    EXPECT_EQ(Six(mixed.sections[1].values[2].max), Six(last.sections.at(0).values.at(0).max));

    // A plane that could not be set up is every section's status.
    CCrossSectionForcesPost broken = strip.Calculator(kNaN);
    const SectionTable none = SectionCutter(broken).Stations(A, B, 4, {});
    ASSERT_EQ(none.sections.size(), 4u);
    for (const SectionResult& r : none.sections) EXPECT_EQ(r.status, CS_PLANE_NOT_DEFINED);
    EXPECT_EQ(SectionCutter(broken).Cut({{A, B}}, {}).sections.at(0).status, CS_PLANE_NOT_DEFINED);
}

// Three unit squares in a row along x, shells 1, 2, 3; shell 1 is pulled by `pull` and shells 2
// and 3 by `tension`, so the node line x = 1 carries pull - tension and x = 2 nothing.
CCrossSectionForcesPost threeSquares(double pull, double tension, double tolerance) {
    SmallModel m;
    for (int i = 0; i <= 3; ++i) {
        m.AddNode(1 + i, i, 0);
        m.AddNode(5 + i, i, 1);
    }
    for (int s = 1; s <= 3; ++s) {
        CShellElement& shell = m.AddShell(s, {s, s + 1, s + 5, s + 4});
        const double f = (s == 1 ? pull : tension) / 2;
        for (const auto& [node, fx] : {std::pair{s, -f}, {s + 4, -f}, {s + 1, f}, {s + 5, f}})
            shell.StoreStaticCaseResults(1, node, {fx, 0, 0, 0, 0, 0});
    }
    m.loadCases[1] = CLoadCaseInfo{};
    return m.Build(tolerance);
}

TEST(SectionEdges, TheCasesTheRulesMustDecide) {
    const double tol = 1e-3, pull = 10.0, tension = 4.0;
    CCrossSectionForcesPost calc = threeSquares(pull, tension, tol);
    SectionCutter cutter(calc);
    auto at = [](double x, double y) { return CVertex(x, y, 0); };
    auto one = [&](CVertex a, CVertex b) { return cutter.Cut({{a, b}}, {}).sections.at(0); };

    // A short cut inside one shell divides nothing, and says so; one beside the model crosses nothing.
    EXPECT_EQ(one(at(0.2, 0.5), at(0.4, 0.5)).status, CS_CUT_INSIDE_ONE_SHELL);
    EXPECT_EQ(one(at(5.2, 0.5), at(5.4, 0.5)).status, CS_NO_ELEMENTS_CROSSED);

    // An end inside the mesh makes the section incomplete, however near an edge between two shells
    // it stops; an end on the outer edge, or less than twice the tolerance short of it, does not.
    const struct {
        double ex;
        bool inside;
    } ends[] = {{1 - 1.5 * tol, true}, {2.5, true}, {3 - 1.5 * tol, false}, {3.0, false}, {4.0, false}};
    for (const auto& e : ends) EXPECT_EQ(one(at(-1, 0.5), at(e.ex, 0.5)).endsInside, e.inside) << e.ex;

    // Reversing a cut keeps N where the node line carries no load (x = 2); along a loaded node line
    // (x = 1) each direction gives the value on its own side of the load: tension past the line,
    // the pull before it.
    EXPECT_NEAR(one(at(2, -1), at(2, 2)).values.at(0).max.N, tension, 1e-12 * pull);
    EXPECT_NEAR(one(at(2, 2), at(2, -1)).values.at(0).max.N, tension, 1e-12 * pull);
    EXPECT_NEAR(one(at(1, -1), at(1, 2)).values.at(0).max.N, tension, 1e-12 * pull);
    EXPECT_NEAR(one(at(1, 2), at(1, -1)).values.at(0).max.N, pull, 1e-12 * pull);

    // Stations: the root's carries the pull; on the last node line nothing lies beyond: zero; past
    // the model there is no section at all.
    const SectionTable stations = cutter.Stations(at(0, 0.5), at(5, 0.5), 6, {});
    const std::int32_t status[] = {CS_SUCCESS, CS_SUCCESS, CS_SUCCESS, CS_SUCCESS, CS_NO_ELEMENTS_CROSSED,
                                   CS_NO_ELEMENTS_CROSSED};
    const double N[] = {pull, tension, tension, 0.0};
    for (std::size_t i = 0; i < 6; ++i) {
        const SectionResult& r = stations.sections.at(i);
        EXPECT_EQ(r.status, status[i]) << i;
        if (i < 4) {
            EXPECT_NEAR(r.values.at(0).max.N, N[i], 1e-12 * pull) << i;
        } else {
            EXPECT_TRUE(std::isnan(r.envelope.max.N)) << i;
        }
    }

    // The moment point is the centroid of the section's area where the shells have thicknesses;
    // by length when one of the covered shells has none.
    const std::pair<CVertex, CVertex> across{at(-1, 0.5), at(4, 0.5)};
    EXPECT_NEAR(cutter.Cut({across}, {}).sections.at(0).centroid.x, 1.5, 1e-12);
    cutter.ShellThicknesses({{1, 1.0}, {2, 2.0}, {3, 3.0}});
    EXPECT_NEAR(cutter.Cut({across}, {}).sections.at(0).centroid.x, (0.5 * 1 + 1.5 * 2 + 2.5 * 3) / 6, 1e-12);
    cutter.ShellThicknesses({{1, 1.0}, {2, 2.0}});
    EXPECT_NEAR(cutter.Cut({across}, {}).sections.at(0).centroid.x, 1.5, 1e-12);
}
