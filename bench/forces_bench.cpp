// Section forces on synthetic plane meshes: n x n quad shells in a tilted plane, each node of
// each shell with results for five static cases and one response-spectrum case of 50 modes.
// Times the calculator's construction (model copy and plane set-up) and one cut across the
// whole mesh per kind of load case.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include <xsect/xsect.h>

namespace {

using namespace xsect;

constexpr std::int32_t kStaticCases = 5;
constexpr std::int32_t kSpectrumCase = 100;
constexpr std::int32_t kModes = 50;

struct Mesh {
    std::int32_t n = 0;
    std::map<std::int32_t, CVertex> nodes;
    std::map<std::int32_t, CShellElement> shells;
    std::map<std::int32_t, CFrameElement> frames;
    std::map<std::int32_t, CLoadCaseInfo> loadCases;
    std::unique_ptr<CCrossSectionForcesPost> calc;

    std::int32_t NodeAt(std::int32_t i, std::int32_t j) const { return 1 + j * (n + 1) + i; }

    // Grid point (x, y) in the tilted plane through (5, -3, 7).
    CVertex Global(double x, double y) const {
        const double e1[3] = {2.0 / 3.0, 1.0 / 3.0, 2.0 / 3.0};
        const double r5 = std::sqrt(5.0);
        const double e2[3] = {-1.0 / r5, 2.0 / r5, 0.0};
        return CVertex(5 + x * e1[0] + y * e2[0], -3 + x * e1[1] + y * e2[1], 7 + x * e1[2] + y * e2[2]);
    }
};

// Deterministic, varied values; their meaning does not matter for timing.
CNodeResults values(std::int32_t a, std::int32_t b, std::int32_t c) {
    const double s = std::sin(0.37 * a + 0.11 * b + 0.05 * c);
    return {s, 0.5 * s, -s, 0.25 * s, 0.1 * s, -0.3 * s};
}

std::unique_ptr<Mesh> buildMesh(std::int32_t n) {
    auto mesh = std::make_unique<Mesh>();
    mesh->n = n;
    for (std::int32_t j = 0; j <= n; ++j)
        for (std::int32_t i = 0; i <= n; ++i)
            mesh->nodes.emplace_hint(mesh->nodes.end(), mesh->NodeAt(i, j), mesh->Global(i, j));
    for (std::int32_t j = 0; j < n; ++j) {
        for (std::int32_t i = 0; i < n; ++i) {
            const std::int32_t number = 1 + j * n + i;
            CShellElement& shell = mesh->shells.emplace_hint(mesh->shells.end(), number, CShellElement())->second;
            shell.nodes = {mesh->NodeAt(i, j), mesh->NodeAt(i + 1, j), mesh->NodeAt(i + 1, j + 1),
                           mesh->NodeAt(i, j + 1)};
            for (std::int32_t lc = 1; lc <= kStaticCases; ++lc)
                for (std::int32_t node : shell.nodes) shell.staticResults[lc][node] = values(number, node, lc);
            auto& spectrum = shell.spectrumResults[kSpectrumCase];
            for (std::int32_t node : shell.nodes) {
                auto& modes = spectrum[node];
                for (std::int32_t mode = 1; mode <= kModes; ++mode)
                    modes.emplace_hint(modes.end(), mode, values(number, node, mode));
            }
        }
    }
    for (std::int32_t lc = 1; lc <= kStaticCases; ++lc) mesh->loadCases[lc].caseType = LOAD_CASE_STATIC;
    CLoadCaseInfo& rsp = mesh->loadCases[kSpectrumCase];
    rsp.caseType = LOAD_CASE_RESPONSE_SPECTRUM;
    rsp.combinationMethod = RSP_COMBINE_SRSS;
    rsp.modeCount = kModes;
    mesh->calc = std::make_unique<CCrossSectionForcesPost>(mesh->nodes, mesh->shells, mesh->frames,
                                                           mesh->loadCases, 0.005);
    return mesh;
}

// One mesh per size, built on first use and kept for the whole run.
Mesh& meshOf(std::int32_t n) {
    static std::map<std::int32_t, std::unique_ptr<Mesh>> cache;
    auto& slot = cache[n];
    if (!slot) slot = buildMesh(n);
    return *slot;
}

void setCounters(benchmark::State& state, const Mesh& mesh) {
    state.counters["shells"] = static_cast<double>(mesh.shells.size());
}

void BM_Construct(benchmark::State& state) {
    Mesh& mesh = meshOf(static_cast<std::int32_t>(state.range(0)));
    for (auto _ : state) {
        CCrossSectionForcesPost calc(mesh.nodes, mesh.shells, mesh.frames, mesh.loadCases, 0.005);
        benchmark::DoNotOptimize(calc.GetCurrentStatus());
        if (calc.GetCurrentStatus() != CS_SUCCESS) state.SkipWithError("plane set-up failed");
    }
    setCounters(state, mesh);
}

// A cut across the whole mesh, corner region to corner region, passing no node.
void cutAcross(benchmark::State& state, std::int32_t loadCase) {
    Mesh& mesh = meshOf(static_cast<std::int32_t>(state.range(0)));
    const double n = mesh.n;
    std::vector<double> F1, F2, F3, M1, M2, M3;
    for (auto _ : state) {
        CVertex a = mesh.Global(-0.5, 0.3);
        CVertex b = mesh.Global(n + 0.5, n - 0.3);
        const std::int32_t rc = mesh.calc->GetForcesOnSection(loadCase, &a, &b, F1, F2, F3, M1, M2, M3, 1, false,
                                                              true, nullptr);
        if (rc != 1) state.SkipWithError("the cut failed");
        benchmark::DoNotOptimize(F1.data());
    }
    setCounters(state, mesh);
}

void BM_StaticCut(benchmark::State& state) { cutAcross(state, 1); }
void BM_SpectrumCut(benchmark::State& state) { cutAcross(state, kSpectrumCase); }

// 32 x 32 = 1024, 100 x 100 = 10000, 316 x 316 = 99856 shells.
BENCHMARK(BM_Construct)->Arg(32)->Arg(100)->Arg(316)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StaticCut)->Arg(32)->Arg(100)->Arg(316)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SpectrumCut)->Arg(32)->Arg(100)->Arg(316)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
