// Plans against the cutters: a history whose steps combine two static cases gives at every step that
// combination of the cutter's values, whichever way the plan is read, sent or renumbered, for cuts
// through a plane model and for planes through an assembly.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numeric>

#include "sections/section_checks.h"
#include "support/prism_model.h"

using namespace xsect;
using namespace xsect::section_checks;

namespace {

// One static case's element nodal forces as a record's step: [shell][corner][6] in ascending shell
// number, corners in each shell's node order, and [frame][end][6].
struct Step {
    std::vector<double> shells, frames;
};

template <class Model>
Step stepOf(const Model& s, std::int32_t lc) {
    Step step;
    auto put = [](std::vector<double>& to, const CNodeResults* r) {
        const double v[6] = {r ? r->Fx : 0, r ? r->Fy : 0, r ? r->Fz : 0, r ? r->Mx : 0, r ? r->My : 0, r ? r->Mz : 0};
        to.insert(to.end(), v, v + 6);
    };
    for (const auto& [id, shell] : s.shells)
        for (const std::int32_t node : shell.nodes) put(step.shells, &shell.staticResults.at(lc).at(node));
    for (const auto& [id, frame] : s.frames) {
        put(step.frames, frame.staticResultsA.count(lc) ? &frame.staticResultsA.at(lc) : nullptr);
        put(step.frames, frame.staticResultsB.count(lc) ? &frame.staticResultsB.at(lc) : nullptr);
    }
    return step;
}

std::vector<double> applied(const SectionPlan& plan, const std::vector<double>& shells, const std::vector<double>& frames,
                            std::size_t steps) {
    std::vector<double> out(steps * plan.Sections().size() * 6);
    plan.Apply(shells.data(), frames.data(), steps, out.data());
    return out;
}

bool sameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// Each section of the plan as the cutter's and, at step s, a[s] x the cutter's first request + b[s] x
// its second, to 1e-12 relative to `scale`, the size of the values; NaN where the cutter has none.
void expectCombinations(const SectionTable& table, const SectionPlan& plan, const std::vector<double>& out,
                        const std::vector<double>& a, const std::vector<double>& b, double scale) {
    const std::size_t S = table.sections.size();
    for (std::size_t i = 0; i < S; ++i) {
        const SectionResult &r = table.sections[i], &p = plan.Sections()[i];
        EXPECT_EQ(p.status, r.status);
        EXPECT_TRUE(p.centroid.x == r.centroid.x && p.centroid.y == r.centroid.y && p.centroid.z == r.centroid.z);
        EXPECT_EQ(p.shells, r.shells);
        EXPECT_EQ(p.frames, r.frames);
        for (std::size_t s = 0; s < a.size(); ++s)
            for (std::size_t c = 0; c < 6; ++c) {
                const double got = out[(s * S + i) * 6 + c];
                if (r.status != CS_SUCCESS) {
                    EXPECT_TRUE(std::isnan(got));
                    continue;
                }
                const double g = Six(r.values[0].max)[c], w = Six(r.values[1].max)[c];
                EXPECT_NEAR(got, a[s] * g + b[s] * w, 1e-12 * scale) << i << " step " << s << " " << c;
            }
    }
}

// Steps a_s G + b_s W of two cases' steps.
void combine(const Step& G, const Step& W, std::size_t steps, std::vector<double>& a, std::vector<double>& b,
             std::vector<double>& shells, std::vector<double>& frames) {
    a.resize(steps);
    b.resize(steps);
    for (std::size_t s = 0; s < steps; ++s) {
        a[s] = std::sin(1.3 * s + 0.2);
        b[s] = std::cos(0.7 * s) - 0.3;
        for (const auto& [to, g, w] : {std::tie(shells, G.shells, W.shells), std::tie(frames, G.frames, W.frames)})
            for (std::size_t i = 0; i < g.size(); ++i) to.push_back(a[s] * g[i] + b[s] * w[i]);
    }
}

}  // namespace

TEST(SectionPlan, StepsCombiningTwoStaticCasesGiveTheCuttersCombinationAtEveryStep) {
    Strip strip(strip_model::TiltedStrip());
    strip.AddStaticCase(1, {-3.0, -1.0, 0.4, 0.7});  // G, with the tie
    strip.AddStaticCase(2, {0.5, 2.0, 1.0, 0.0});    // W
    CCrossSectionForcesPost calc = strip.Calculator();
    const Step G = stepOf(strip, 1), W = stepOf(strip, 2);
    // Steps a_s G + b_s W.
    const std::size_t steps = 7;
    std::vector<double> a, b, shells, frames;
    combine(G, W, steps, a, b, shells, frames);
    const std::vector<std::pair<CVertex, CVertex>> cuts = {
        StripCut(strip, 4.1, -1.5, 6.2, 1.5), StripCut(strip, 1.2, 1.3, 2.9, -1.6), StripCut(strip, 3.0, -1.0, 3.0, 0.2),
        StripCut(strip, 3.3, 5.0, 6.3, 5.0)};  // the last meets nothing: NaN at every step
    for (const bool positiveSide : {false, true})
        for (const NodalForceSense sense : {NodalForceSense::OnElement, NodalForceSense::ByElement}) {
            SectionCutter cutter(calc, sense, 2);
            cutter.SumFromPositiveSide(positiveSide);
            cutter.ShellThicknesses({{3, 0.5}, {7, 0.25}});
            const std::vector<ResultRequest> GW = {{"G", {{1, 1.0}}}, {"W", {{2, 1.0}}}};
            for (const auto& [table, plan] :
                 {std::pair{cutter.Cut(cuts, GW), cutter.Plan(cuts)},
                  std::pair{cutter.Stations(strip.GlobalVertex(-1, 0), strip.GlobalVertex(11, 0.5), 9, GW),
                            cutter.StationPlan(strip.GlobalVertex(-1, 0), strip.GlobalVertex(11, 0.5), 9)}}) {
                ASSERT_EQ(plan.Error(), "");
                const std::size_t S = table.sections.size();
                ASSERT_EQ(plan.Sections().size(), S);
                // Values up to about 30 from a few dozen nodes.
                const std::vector<double> out = applied(plan, shells, frames, steps);
                expectCombinations(table, plan, out, a, b, 30);
                // The plan's own rows, a renumbered plan over reordered arrays, and a plan sent as
                // bytes give the same bits.
                std::vector<double> rows, frameRows;
                const std::size_t M = plan.ShellRows(), K = plan.Corners(), F = plan.FrameRows();
                for (std::size_t s = 0; s < steps; ++s) {
                    for (const std::int32_t r : plan.Shells())
                        rows.insert(rows.end(), &shells[(s * M + r) * K * 6], &shells[(s * M + r + 1) * K * 6]);
                    for (const std::int32_t f : plan.Frames())
                        frameRows.insert(frameRows.end(), &frames[(s * F + f) * 12], &frames[(s * F + f + 1) * 12]);
                }
                std::vector<double> fromRows(out.size());
                plan.ApplyRows(rows.data(), frameRows.data(), steps, fromRows.data());
                EXPECT_TRUE(sameBits(fromRows, out));
                std::vector<std::int32_t> reversed(M);
                std::iota(reversed.rbegin(), reversed.rend(), 0);
                std::vector<double> backwards(shells.size());
                for (std::size_t s = 0; s < steps; ++s)
                    for (std::size_t r = 0; r < M; ++r)
                        std::copy_n(&shells[(s * M + r) * K * 6], K * 6, &backwards[(s * M + M - 1 - r) * K * 6]);
                const SectionPlan turned = plan.Renumbered(reversed, {0});
                ASSERT_EQ(turned.Error(), "");
                EXPECT_TRUE(sameBits(applied(turned, backwards, frames, steps), out));
                EXPECT_TRUE(sameBits(applied(SectionPlan::Deserialized(turned.Serialized()), backwards, frames, steps), out));
            }
        }
}

TEST(SectionPlan, AnAssemblysPlanesAndStationsGiveItsCuttersCombinationAtEveryStep) {
    // A C-shaped core of three walls with two columns, under random balanced forces.
    prism_model::PrismShape shape{{10, 20, -3}, {0, 0, 1}, {1, 0, 0}, {0, 1, 0}, 12, 6, {}, {}};
    shape.walls = {{0, -2, 0, 2, 0.3, 4}, {0, 2, 2.5, 2, 0.25, 3}, {0, -2, 2.5, -2, 0.25, 3}};
    shape.columns = {{3.5, -1, 0.05}, {3.5, 1, 0.05}};
    prism_model::Prism prism(shape);
    std::mt19937 rng(7);
    for (std::int32_t lc = 1; lc <= 2; ++lc)
        prism_model::AddBalancedRandomCase(lc, 0, rng, prism.nodes, prism.shells, prism.frames, prism.loadCases);
    const Step G = stepOf(prism, 1), W = stepOf(prism, 2);
    const std::size_t steps = 5;
    std::vector<double> a, b, shells, frames;
    combine(G, W, steps, a, b, shells, frames);
    const Assembly assembly(prism.nodes, prism.shells, prism.frames, prism.loadCases, 0.001,
                            NodalForceSense::OnElement, prism.thickness);
    const std::vector<ResultRequest> GW = {{"G", {{1, 1.0}}}, {"W", {{2, 1.0}}}};
    const std::vector<SectionPlane> planes = {
        {CVertex(11, 20, 1), CVertex(0.2, -0.1, 1)}, {CVertex(10, 20, 3), CVertex(1, 0, 0)},  // across, along
        {CVertex(10, 20, 50), CVertex(0, 0, 1)}};                                           // past the core
    AssemblyOptions all, selected;
    selected.up = CVertex(1, 1, 0);
    selected.shells = {prism.shells.begin()->first, std::next(prism.shells.begin(), 5)->first};
    selected.frames = {prism.frames.begin()->first};
    for (const AssemblyOptions& o : {all, selected})
        for (const bool positiveSide : {false, true}) {
            AssemblyCutter cutter(assembly, 2);
            cutter.SumFromPositiveSide(positiveSide);
            const CVertex A(11, 20, -3), B(11, 20, 9);
            for (const auto& [table, plan] : {std::pair{cutter.Cut(planes, GW, o), cutter.Plan(planes, o)},
                                              std::pair{cutter.Stations(A, B, 13, GW, o), cutter.StationPlan(A, B, 13, o)}}) {
                ASSERT_EQ(plan.Error(), "");
                ASSERT_EQ(plan.Sections().size(), table.sections.size());
                // Random forces of about 1 at a few hundred nodes, with lever arms up to 15.
                expectCombinations(table, plan, applied(plan, shells, frames, steps), a, b, 1000);
            }
        }
    EXPECT_NE(AssemblyCutter(assembly).StationPlan(CVertex(0, 0, 0), CVertex(0, 0, 0), 3).Error(), "");
}

TEST(SectionPlan, BadInputGivesAPlanWithNoSectionsAndASentence) {
    Strip strip(strip_model::TiltedStrip());
    strip.AddStaticCase(1, {-3.0, -1.0, 0.0, 0.0});
    CCrossSectionForcesPost calc = strip.Calculator();
    const SectionCutter cutter(calc);
    const CVertex A = strip.GlobalVertex(0, 0), B = strip.GlobalVertex(10, 0);
    const SectionPlan good = cutter.StationPlan(A, B, 3);
    std::string cut = good.Serialized();
    cut.resize(cut.size() - 5);
    const SectionPlan bad[] = {cutter.Plan({{A, CVertex(0, NAN, 0)}}),
                               cutter.StationPlan(A, B, 0),
                               cutter.StationPlan(A, A, 3),
                               SectionPlan::Deserialized(cut),
                               SectionPlan::Deserialized("not a plan"),
                               good.Renumbered({0, 1}, {0}),
                               good.Renumbered(std::vector<std::int32_t>(good.ShellRows(), 0), {0})};
    for (const SectionPlan& p : bad) {
        EXPECT_NE(p.Error(), "");
        EXPECT_TRUE(p.Sections().empty());
    }
}
