// The section cutter beside the host interface. One cut with 100 static requests against the 100
// GetForcesOnSection calls a host would make for them; a member's diagrams: 1000 stations with 10
// static requests on a 1000 x 1000-shell mesh, on every core and on one; the same stations up a
// 1M-shell core of four walls cut by planes, with the full scan's cost per station for reference, and
// the assembly's construction beside a deep copy of the host's maps; and one step of a time history at
// 25 stations, cut again against a plan applied to it.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <xsect/xsect.h>

#include "core/crossing.h"

namespace {

using namespace xsect;

// n x n unit quads in the tilted plane through (5, -3, 7), `cases` static load cases on every node
// of every shell. The values are deterministic and vary; their meaning does not matter for timing.
struct Mesh {
    std::int32_t n = 0;
    std::map<std::int32_t, CLoadCaseInfo> loadCases;
    std::unique_ptr<CCrossSectionForcesPost> calc;

    CVertex Global(double x, double y) const {
        const double e1[3] = {2.0 / 3.0, 1.0 / 3.0, 2.0 / 3.0};
        const double r5 = std::sqrt(5.0);
        const double e2[3] = {-1.0 / r5, 2.0 / r5, 0.0};
        return CVertex(5 + x * e1[0] + y * e2[0], -3 + x * e1[1] + y * e2[1], 7 + x * e1[2] + y * e2[2]);
    }
};

std::unique_ptr<Mesh> buildMesh(std::int32_t n, std::int32_t cases) {
    auto mesh = std::make_unique<Mesh>();
    mesh->n = n;
    auto nodeAt = [n](std::int32_t i, std::int32_t j) { return 1 + j * (n + 1) + i; };
    std::map<std::int32_t, CVertex> nodes;
    std::map<std::int32_t, CShellElement> shells;
    std::map<std::int32_t, CFrameElement> frames;
    for (std::int32_t j = 0; j <= n; ++j)
        for (std::int32_t i = 0; i <= n; ++i) nodes.emplace_hint(nodes.end(), nodeAt(i, j), mesh->Global(i, j));
    for (std::int32_t j = 0; j < n; ++j)
        for (std::int32_t i = 0; i < n; ++i) {
            const std::int32_t number = 1 + j * n + i;
            CShellElement& shell = shells.emplace_hint(shells.end(), number, CShellElement())->second;
            shell.nodes = {nodeAt(i, j), nodeAt(i + 1, j), nodeAt(i + 1, j + 1), nodeAt(i, j + 1)};
            for (std::int32_t lc = 1; lc <= cases; ++lc) {
                auto& byNode = shell.staticResults[lc];
                for (std::int32_t node : shell.nodes) {
                    const double s = std::sin(0.37 * number + 0.11 * node + 0.05 * lc);
                    byNode[node] = {s, 0.5 * s, -s, 0.25 * s, 0.1 * s, -0.3 * s};
                }
            }
        }
    for (std::int32_t lc = 1; lc <= cases; ++lc) mesh->loadCases[lc].caseType = LOAD_CASE_STATIC;
    // The calculator copies what it needs: the host's maps go when the mesh is built.
    mesh->calc = std::make_unique<CCrossSectionForcesPost>(nodes, shells, frames, mesh->loadCases, 0.005);
    return mesh;
}

Mesh& meshOf(std::int32_t n, std::int32_t cases) {
    static std::map<std::pair<std::int32_t, std::int32_t>, std::unique_ptr<Mesh>> cache;
    auto& slot = cache[{n, cases}];
    if (!slot) slot = buildMesh(n, cases);
    return *slot;
}

// One case per request, named by its number, or `count` combinations of the cases.
std::vector<ResultRequest> singleCases(std::int32_t count) {
    std::vector<ResultRequest> requests;
    for (std::int32_t lc = 1; lc <= count; ++lc) requests.push_back({std::to_string(lc), {{lc, 1.0}}});
    return requests;
}

std::vector<ResultRequest> combinations(std::int32_t count, std::int32_t cases) {
    std::vector<ResultRequest> requests;
    for (std::int32_t r = 0; r < count; ++r) {
        ResultRequest q{"combination " + std::to_string(r), {}};
        for (std::int32_t lc = 1; lc <= cases; ++lc) q.terms.push_back({lc, 1.0 + 0.05 * ((r * 7 + lc * 3) % 11)});
        requests.push_back(q);
    }
    return requests;
}

// The cut of the force benchmark: across the whole mesh, corner region to corner region.
std::pair<CVertex, CVertex> across(const Mesh& mesh) {
    return {mesh.Global(-0.5, 0.3), mesh.Global(mesh.n + 0.5, mesh.n - 0.3)};
}

// 100 requests on one cut: args (mesh size, load cases); 100 cases means one case per request.
void BM_HundredRequestsCutter(benchmark::State& state) {
    const auto cases = static_cast<std::int32_t>(state.range(1));
    Mesh& mesh = meshOf(static_cast<std::int32_t>(state.range(0)), cases);
    const SectionCutter cutter(*mesh.calc, NodalForceSense::OnElement, 1);
    const std::vector<ResultRequest> requests = cases == 100 ? singleCases(100) : combinations(100, cases);
    for (auto _ : state) {
        const SectionTable t = cutter.Cut({across(mesh)}, requests);
        if (!t.error.empty() || t.sections[0].status != CS_SUCCESS) state.SkipWithError("the cut failed");
        benchmark::DoNotOptimize(t.sections.data());
    }
}

// What a host does for the same 100 requests without the cutter: one call per request.
void BM_HundredRequestsHost(benchmark::State& state) {
    Mesh& mesh = meshOf(static_cast<std::int32_t>(state.range(0)), static_cast<std::int32_t>(state.range(1)));
    const auto cases = static_cast<std::int32_t>(state.range(1));
    std::vector<double> F1, F2, F3, M1, M2, M3;
    for (auto _ : state)
        for (std::int32_t r = 0; r < 100; ++r) {
            auto [a, b] = across(mesh);
            if (mesh.calc->GetForcesOnSection(1 + r % cases, &a, &b, F1, F2, F3, M1, M2, M3, 1, false, true,
                                              nullptr) != 1)
                state.SkipWithError("the cut failed");
            benchmark::DoNotOptimize(F1.data());
        }
}

// 1000 stations along the mesh, 10 static requests (the 2 cases alone and 8 combinations); arg:
// threads (0: every core).
void BM_ThousandStations(benchmark::State& state) {
    Mesh& mesh = meshOf(1000, 2);
    const SectionCutter cutter(*mesh.calc, NodalForceSense::OnElement, static_cast<unsigned>(state.range(0)));
    std::vector<ResultRequest> requests = singleCases(2);
    for (const ResultRequest& c : combinations(8, 2)) requests.push_back(c);
    const CVertex a = mesh.Global(0.25, 500.0), b = mesh.Global(999.75, 500.0);
    for (auto _ : state) {
        const SectionTable t = cutter.Stations(a, b, 1000, requests);
        if (!t.error.empty() || t.sections.back().status != CS_SUCCESS) state.SkipWithError("the stations failed");
        benchmark::DoNotOptimize(t.sections.data());
    }
}

// A square core of four walls, `around` shells round each ring and `rows` rings of 0.75 up, with
// the plane mesh's 2 static cases. The host's maps are kept for the construction benchmarks.
struct Core {
    std::int32_t around = 0, rows = 0;
    std::map<std::int32_t, CVertex> nodes;
    std::map<std::int32_t, CShellElement> shells;
    std::map<std::int32_t, CFrameElement> frames;
    std::map<std::int32_t, CLoadCaseInfo> loadCases;
    std::unique_ptr<Assembly> assembly;
    double Height() const { return 0.75 * rows; }
};

Core& coreOf(std::int32_t around, std::int32_t rows) {
    static std::map<std::pair<std::int32_t, std::int32_t>, std::unique_ptr<Core>> cache;
    auto& slot = cache[{around, rows}];
    if (slot) return *slot;
    slot = std::make_unique<Core>();
    Core& core = *slot;
    core.around = around;
    core.rows = rows;
    const std::int32_t side = around / 4;
    const double step = 0.1;
    auto ring = [&](std::int32_t i) {  // point i of a ring, anticlockwise from the corner (0, 0)
        const std::int32_t wall = i / side, k = i % side;
        const double s = step * k, L = step * side;
        const double xy[4][2] = {{s, 0}, {L, s}, {L - s, L}, {0, L - s}};
        return std::pair{xy[wall][0], xy[wall][1]};
    };
    auto nodeAt = [&](std::int32_t i, std::int32_t row) { return 1 + row * around + (i % around); };
    for (std::int32_t row = 0; row <= rows; ++row)
        for (std::int32_t i = 0; i < around; ++i) {
            const auto [x, y] = ring(i);
            core.nodes.emplace_hint(core.nodes.end(), nodeAt(i, row), CVertex(x, y, 0.75 * row));
        }
    for (std::int32_t row = 0; row < rows; ++row)
        for (std::int32_t i = 0; i < around; ++i) {
            const std::int32_t number = 1 + row * around + i;
            CShellElement& shell = core.shells.emplace_hint(core.shells.end(), number, CShellElement())->second;
            shell.nodes = {nodeAt(i, row), nodeAt(i + 1, row), nodeAt(i + 1, row + 1), nodeAt(i, row + 1)};
            for (std::int32_t lc = 1; lc <= 2; ++lc) {
                auto& byNode = shell.staticResults[lc];
                for (std::int32_t node : shell.nodes) {
                    const double v = std::sin(0.37 * number + 0.11 * node + 0.05 * lc);
                    byNode[node] = {v, 0.5 * v, -v, 0.25 * v, 0.1 * v, -0.3 * v};
                }
            }
        }
    for (std::int32_t lc = 1; lc <= 2; ++lc) core.loadCases[lc].caseType = LOAD_CASE_STATIC;
    core.assembly = std::make_unique<Assembly>(core.nodes, core.shells, core.frames, core.loadCases, 0.005);
    return core;
}

// The requests of BM_ThousandStations: the 2 cases alone and 8 combinations.
std::vector<ResultRequest> tenRequests() {
    std::vector<ResultRequest> requests = singleCases(2);
    for (const ResultRequest& c : combinations(8, 2)) requests.push_back(c);
    return requests;
}

// Stations up the 1M-shell core, between its rings: args (stations, threads, full scan).
void BM_CoreStations(benchmark::State& state) {
    Core& core = coreOf(1000, 1000);
    const auto count = static_cast<std::int32_t>(state.range(0));
    const AssemblyCutter cutter(*core.assembly, static_cast<unsigned>(state.range(1)));
    const std::vector<ResultRequest> requests = tenRequests();
    const CVertex a(12.5, 12.5, 0.25 * 0.75), b(12.5, 12.5, core.Height() - 0.25 * 0.75);
    detail::UseFullScan(state.range(2) != 0);
    for (auto _ : state) {
        const SectionTable t = cutter.Stations(a, b, count, requests);
        if (!t.error.empty() || t.sections.back().status != CS_SUCCESS || t.sections.back().shells.size() != 1000)
            state.SkipWithError("the stations failed");
        benchmark::DoNotOptimize(t.sections.data());
    }
    detail::UseFullScan(false);
    // Seconds per station, printed with its prefix (u: microseconds).
    state.counters["per_station"] = benchmark::Counter(
        static_cast<double>(count), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The assembly's construction, and the floor it is measured against: copying the host's four maps.
void BM_CoreConstruct(benchmark::State& state) {
    Core& core = coreOf(1000, 1000);
    for (auto _ : state) {
        const Assembly assembly(core.nodes, core.shells, core.frames, core.loadCases, 0.005);
        if (!assembly.Error().empty()) state.SkipWithError("the assembly was refused");
    }
}

void BM_CoreDeepCopy(benchmark::State& state) {
    Core& core = coreOf(1000, 1000);
    for (auto _ : state) {
        auto nodes = core.nodes;
        auto shells = core.shells;
        auto frames = core.frames;
        auto loadCases = core.loadCases;
        benchmark::DoNotOptimize(shells.size());
    }
}

// One step of a time history at 25 stations across a 100 x 100-shell mesh: cutting the stations again
// on a model that holds the step as a static case, against the plan of the same stations applied to
// the step. Arg: 0 the cutter, 1 the plan.
void BM_OneStepOfTwentyFiveStations(benchmark::State& state) {
    Mesh& mesh = meshOf(100, 1);
    const SectionCutter cutter(*mesh.calc, NodalForceSense::OnElement, 1);
    const CVertex a = mesh.Global(0.25, 50.0), b = mesh.Global(99.75, 50.0);
    const SectionPlan plan = cutter.StationPlan(a, b, 25);
    // The step as a record holds it: the case's forces in global axes, shell by shell, corner by corner.
    std::vector<double> step;
    for (std::int32_t number = 1; number <= 100 * 100; ++number)
        for (std::int32_t corner = 0; corner < 4; ++corner) {
            const std::int32_t j = (number - 1) / 100, i = (number - 1) % 100;
            const std::int32_t node = 1 + (j + (corner >= 2)) * 101 + i + (corner == 1 || corner == 2);
            const double s = std::sin(0.37 * number + 0.11 * node + 0.05);
            for (double v : {s, 0.5 * s, -s, 0.25 * s, 0.1 * s, -0.3 * s}) step.push_back(v);
        }
    std::vector<double> out(25 * 6);
    // Both give the same values, or the comparison would mean nothing.
    plan.Apply(step.data(), nullptr, 1, out.data());
    const SectionTable check = cutter.Stations(a, b, 25, {{"1", {{1, 1.0}}}});
    for (std::size_t i = 0; i < 25; ++i) {
        const SectionForces& f = check.sections[i].values.at(0).max;
        const double want[6] = {f.N, f.Vt, f.Vk, f.Mn, f.Mt, f.Mk};
        for (std::size_t c = 0; c < 6; ++c)
            if (!(std::fabs(out[6 * i + c] - want[c]) <= 1e-9 * (1.0 + std::fabs(want[c]))))
                state.SkipWithError("the plan and the cutter differ");
    }
    for (auto _ : state) {
        if (state.range(0) == 0) {
            const SectionTable t = cutter.Stations(a, b, 25, {{"1", {{1, 1.0}}}});
            benchmark::DoNotOptimize(t.sections.data());
        } else {
            plan.Apply(step.data(), nullptr, 1, out.data());
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.SetLabel(state.range(0) == 0 ? "SectionCutter::Stations" : "SectionPlan::Apply");
}

BENCHMARK(BM_HundredRequestsCutter)->Args({100, 100})->Args({100, 5})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HundredRequestsHost)->Args({100, 100})->Args({100, 5})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneStepOfTwentyFiveStations)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ThousandStations)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CoreStations)->Args({1000, 0, 0})->Args({1000, 1, 0})->Args({10, 1, 1})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CoreConstruct)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CoreDeepCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
