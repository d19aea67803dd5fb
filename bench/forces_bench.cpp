// Section forces on synthetic plane meshes of quad shells in a tilted plane, timed through the public
// API. Every cut is timed twice in one run: on the spatial index (the library's path) and on the
// full scan of every element (the reference path), so the two figures and their ratio come from the
// same build and the same machine state. Construction is timed beside a plain deep copy of the
// host's four maps, its floor.
//
//   mesh         shells     load cases
//   100 x 100    10,000     5 static + one of 50 modes
//   316 x 316    99,856     5 static + one of 50 modes
//   1000 x 1000  1,000,000  1 static
//   100 x 1000   100,000    1 static + one of 100 modes (cut along its length)
//   100 x 100    10,000     1 static (the 1000 x 1000 mesh's records, a hundredth as many)
//
// Cut/... times a static cut in both directions on the two one-case meshes: along a row of shells
// (neighbours in element number) and across the rows (each crossed shell in another row), each
// slightly inclined and crossing one shell per row or column. "first" cuts a new place every
// iteration, so that the model's records come from memory as they do for a host's first cut there;
// "again" cuts the same place every time.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <xsect/xsect.h>

#include "core/crossing.h"
#include "core/plane_model.h"

namespace {

using namespace xsect;

constexpr std::int32_t kSpectrumCase = 100;

struct MeshShape {
    std::int32_t nx, ny, staticCases, modes;
};

constexpr MeshShape kMeshes[] = {
    {100, 100, 5, 50}, {316, 316, 5, 50}, {1000, 1000, 1, 0}, {100, 1000, 1, 100}, {100, 100, 1, 0}};

struct Mesh {
    MeshShape shape{};
    std::map<std::int32_t, CVertex> nodes;
    std::map<std::int32_t, CShellElement> shells;
    std::map<std::int32_t, CFrameElement> frames;
    std::map<std::int32_t, CLoadCaseInfo> loadCases;
    std::unique_ptr<CCrossSectionForcesPost> calc;
    double hostBytes = 0.0;  // heap held by the four maps

    std::int32_t NodeAt(std::int32_t i, std::int32_t j) const { return 1 + j * (shape.nx + 1) + i; }

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

double heapInUse() { return static_cast<double>(mallinfo2().uordblks); }

std::unique_ptr<Mesh> buildMesh(const MeshShape& shape) {
    auto mesh = std::make_unique<Mesh>();
    mesh->shape = shape;
    const double before = heapInUse();
    for (std::int32_t j = 0; j <= shape.ny; ++j)
        for (std::int32_t i = 0; i <= shape.nx; ++i)
            mesh->nodes.emplace_hint(mesh->nodes.end(), mesh->NodeAt(i, j), mesh->Global(i, j));
    for (std::int32_t j = 0; j < shape.ny; ++j) {
        for (std::int32_t i = 0; i < shape.nx; ++i) {
            const std::int32_t number = 1 + j * shape.nx + i;
            CShellElement& shell = mesh->shells.emplace_hint(mesh->shells.end(), number, CShellElement())->second;
            shell.nodes = {mesh->NodeAt(i, j), mesh->NodeAt(i + 1, j), mesh->NodeAt(i + 1, j + 1),
                           mesh->NodeAt(i, j + 1)};
            for (std::int32_t lc = 1; lc <= shape.staticCases; ++lc)
                for (std::int32_t node : shell.nodes) shell.staticResults[lc][node] = values(number, node, lc);
            if (shape.modes == 0) continue;
            auto& spectrum = shell.spectrumResults[kSpectrumCase];
            for (std::int32_t node : shell.nodes) {
                auto& modes = spectrum[node];
                for (std::int32_t mode = 1; mode <= shape.modes; ++mode)
                    modes.emplace_hint(modes.end(), mode, values(number, node, mode));
            }
        }
    }
    for (std::int32_t lc = 1; lc <= shape.staticCases; ++lc) mesh->loadCases[lc].caseType = LOAD_CASE_STATIC;
    if (shape.modes > 0) {
        CLoadCaseInfo& rsp = mesh->loadCases[kSpectrumCase];
        rsp.caseType = LOAD_CASE_RESPONSE_SPECTRUM;
        rsp.combinationMethod = RSP_COMBINE_SRSS;
        rsp.modeCount = shape.modes;
    }
    mesh->hostBytes = heapInUse() - before;
    mesh->calc = std::make_unique<CCrossSectionForcesPost>(mesh->nodes, mesh->shells, mesh->frames,
                                                           mesh->loadCases, 0.005);
    return mesh;
}

// One mesh at a time, built on first use: the large ones take gigabytes.
Mesh& meshOf(std::int64_t which) {
    static std::unique_ptr<Mesh> current;
    static std::int64_t built = -1;
    if (built != which) {
        current.reset();
        current = buildMesh(kMeshes[which]);
        built = which;
    }
    return *current;
}

void setCounters(benchmark::State& state, const Mesh& mesh) {
    const double shells = static_cast<double>(mesh.shells.size());
    state.counters["shells"] = shells;
    state.counters["host_B_per_shell"] = mesh.hostBytes / shells;
    state.counters["model_B_per_shell"] = static_cast<double>(mesh.calc->Model()->Bytes()) / shells;
}

// The cut of each mesh: across the square ones, slightly inclined, and along the strip's length;
// it passes no node and crosses about one row of shells.
void cutEnds(const Mesh& mesh, CVertex& a, CVertex& b) {
    const double nx = mesh.shape.nx, ny = mesh.shape.ny;
    if (nx == ny) {
        a = mesh.Global(-0.5, ny * 0.5 + 0.3);
        b = mesh.Global(nx + 0.5, ny * 0.5 + 0.7);
    } else {
        a = mesh.Global(nx * 0.5 + 0.3, -0.5);
        b = mesh.Global(nx * 0.5 - 0.2, ny + 0.5);
    }
}

double cutOnce(Mesh& mesh, std::int32_t loadCase, std::vector<double>* F) {
    CVertex a, b;
    cutEnds(mesh, a, b);
    const std::int32_t rc =
        mesh.calc->GetForcesOnSection(loadCase, &a, &b, F[0], F[1], F[2], F[3], F[4], F[5], 1, false, true, nullptr);
    return rc == 1 ? F[0][0] : std::nan("");
}

// range(0): the mesh; range(1): 0 the index, 1 the full scan.
void cut(benchmark::State& state, std::int32_t loadCase) {
    Mesh& mesh = meshOf(state.range(0));
    const bool scan = state.range(1) != 0;
    detail::UseFullScan(scan);
    std::vector<double> F[6];
    for (auto _ : state) {
        const double f = cutOnce(mesh, loadCase, F);
        if (std::isnan(f)) state.SkipWithError("the cut failed");
        benchmark::DoNotOptimize(f);
    }
    detail::UseFullScan(false);
    setCounters(state, mesh);
    state.SetLabel(scan ? "full scan" : "index");
}

void BM_StaticCut(benchmark::State& state) { cut(state, 1); }
void BM_SpectrumCut(benchmark::State& state) { cut(state, kSpectrumCase); }

// The cut through row (along) or column (across) k of the mesh, rising by 0.4 of a shell over its
// length, so that it passes no node and crosses each of the row's shells once.
void directedCutEnds(const Mesh& mesh, bool across, std::int32_t k, CVertex& a, CVertex& b) {
    const double nx = mesh.shape.nx, ny = mesh.shape.ny;
    if (across) {
        a = mesh.Global(k + 0.3, -0.5);
        b = mesh.Global(k + 0.7, ny + 0.5);
    } else {
        a = mesh.Global(-0.5, k + 0.3);
        b = mesh.Global(nx + 0.5, k + 0.7);
    }
}

// The rows (or columns) in a fixed shuffled order: successive first-time cuts land far apart.
std::vector<std::int32_t> shuffledPlaces(std::int32_t count) {
    std::vector<std::int32_t> places(static_cast<std::size_t>(count));
    for (std::int32_t k = 0; k < count; ++k) places[static_cast<std::size_t>(k)] = k;
    std::uint64_t s = 0x2545F4914F6CDD1Dull;
    for (std::size_t k = places.size(); k > 1; --k) {
        s = s * 6364136223846793005ull + 1442695040888963407ull;
        std::swap(places[k - 1], places[static_cast<std::size_t>((s >> 33) % k)]);
    }
    return places;
}

// A static cut along the rows or across them, at a new place each iteration or again at one, on
// the index or by the full scan.
void BM_DirectedCut(benchmark::State& state, std::int64_t which, bool across, bool again, bool scan) {
    Mesh& mesh = meshOf(which);
    const std::int32_t count = across ? mesh.shape.nx : mesh.shape.ny;
    const std::vector<std::int32_t> places = again ? std::vector<std::int32_t>{count / 2} : shuffledPlaces(count);

    // What each cut crosses, from the library's own search: the two directions must cross as many.
    CVertex a, b;
    directedCutEnds(mesh, across, places[0], a, b);
    const detail::PlaneModel& m = *mesh.calc->Model();
    m.frame.CutIntoPlane(a, b, m.tolerance);
    state.counters["crossed"] = static_cast<double>(detail::FindCrossedElements(m, a, b, true).shells.size());

    detail::UseFullScan(scan);
    std::vector<double> F[6];
    std::size_t next = 0;
    for (auto _ : state) {
        directedCutEnds(mesh, across, places[next], a, b);
        next = next + 1 == places.size() ? 0 : next + 1;
        const std::int32_t rc =
            mesh.calc->GetForcesOnSection(1, &a, &b, F[0], F[1], F[2], F[3], F[4], F[5], 1, false, true, nullptr);
        if (rc != 1) state.SkipWithError("the cut failed");
        benchmark::DoNotOptimize(F[0].data());
    }
    detail::UseFullScan(false);
    setCounters(state, mesh);
    state.SetLabel(scan ? "full scan" : "index");
}

void registerDirectedCuts(std::int64_t m, const std::string& mesh) {
    for (const bool scan : {false, true})
        for (const bool again : {false, true})
            for (const bool across : {false, true}) {
                const std::string name = "Cut/" + mesh + (across ? "/across" : "/along") + (again ? "/again" : "/first") +
                                         (scan ? "/scan" : "/index");
                benchmark::RegisterBenchmark(name.c_str(), BM_DirectedCut, m, across, again, scan)
                    ->Unit(benchmark::kMicrosecond);
            }
}

void BM_Construct(benchmark::State& state) {
    Mesh& mesh = meshOf(state.range(0));
    for (auto _ : state) {
        CCrossSectionForcesPost calc(mesh.nodes, mesh.shells, mesh.frames, mesh.loadCases, 0.005);
        if (calc.GetCurrentStatus() != CS_SUCCESS) state.SkipWithError("plane set-up failed");
        benchmark::DoNotOptimize(calc.GetCurrentStatus());
    }
    setCounters(state, mesh);
}

// The floor construction is measured against: copying the host's four maps.
void BM_DeepCopy(benchmark::State& state) {
    Mesh& mesh = meshOf(state.range(0));
    for (auto _ : state) {
        auto nodes = mesh.nodes;
        auto shells = mesh.shells;
        auto frames = mesh.frames;
        auto loadCases = mesh.loadCases;
        benchmark::DoNotOptimize(shells.size());
    }
    setCounters(state, mesh);
}

}  // namespace

// Registered mesh by mesh, so that each mesh is built once.
int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const char* names[] = {"10k", "100k", "1M", "100k_strip", "10k_1case"};
    // The one-case 10k mesh only for the directions, just before the 1M mesh's; each mesh is built once.
    for (std::int64_t m : {0, 1, 4, 2, 3}) {
        const std::string mesh = names[m];
        if (kMeshes[m].staticCases == 1 && kMeshes[m].modes == 0) registerDirectedCuts(m, mesh);
        if (m == 4) continue;
        for (std::int64_t path : {0, 1}) {
            const std::string how = path == 0 ? "/index" : "/scan";
            benchmark::RegisterBenchmark(("StaticCut/" + mesh + how).c_str(), BM_StaticCut)
                ->Args({m, path})
                ->Unit(benchmark::kMicrosecond);
            if (kMeshes[m].modes > 0)
                benchmark::RegisterBenchmark(("SpectrumCut" + std::to_string(kMeshes[m].modes) + "/" + mesh + how).c_str(),
                                             BM_SpectrumCut)
                    ->Args({m, path})
                    ->Unit(benchmark::kMicrosecond);
        }
        benchmark::RegisterBenchmark(("Construct/" + mesh).c_str(), BM_Construct)->Arg(m)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("DeepCopy/" + mesh).c_str(), BM_DeepCopy)->Arg(m)->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
