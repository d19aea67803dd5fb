// Loading a model file of 300 x 300 shells (90,000 shells, one static case with results at every
// node of every shell), written once to a temporary file as JSON and as a CSV manifest.
//
//   xsect_model_load_bench                     Google Benchmark timings of both readers
//   xsect_model_load_bench --write-model FILE  write the JSON model and stop
//   xsect_model_load_bench --load FILE         load FILE once, print seconds and peak memory
// The last two let a person measure the reader's memory alone: peak RSS of a process that only
// loads, against the size of the file.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "compute/demo_model.h"
#include "xsect/io/model_file.h"

namespace {

using namespace xsect;

constexpr std::int32_t kSide = 300;

io::Model BigModel() {
    cli::Wall wall;
    wall.width = 30.0;
    wall.height = 30.0;
    wall.nx = kSide;
    wall.nz = kSide;
    std::map<std::int32_t, io::LoadCase> cases;
    cases[1].name = "wind";
    return cli::MakeWallModel(wall, cases, {{1, 0, {{wall.height, 120.0, -800.0, 15.0}}}}, false);
}

std::string Scratch(const char* name) {
    return (std::filesystem::temp_directory_path() / ("xsect_model_load_bench_" + std::to_string(::getpid()) + name))
        .string();
}

// The files are written once per process and removed at exit.
struct Files {
    std::string json = Scratch(".json"), dir = Scratch("_csv");
    Files() {
        io::Model m = BigModel();
        std::string error;
        std::filesystem::create_directories(dir);
        if (!io::WriteModelJsonFile(m, json, error) || !io::WriteModelCsv(m, dir, error)) std::fprintf(stderr, "%s\n", error.c_str());
    }
    ~Files() {
        std::filesystem::remove(json);
        std::filesystem::remove_all(dir);
    }
};

const Files& files() {
    static Files f;
    return f;
}

void load(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        io::Model m;
        std::string error;
        if (!io::ReadModelFile(path, m, error)) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(m.shells.size());
    }
    // The size of the file, or of all the tables beside a manifest.
    std::uintmax_t bytes = 0;
    const auto where = std::filesystem::path(path);
    if (where.filename() == "manifest.json") {
        for (const auto& entry : std::filesystem::directory_iterator(where.parent_path())) bytes += entry.file_size();
    } else {
        bytes = std::filesystem::file_size(where);
    }
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_LoadJson(benchmark::State& state) { load(state, files().json); }
void BM_LoadCsv(benchmark::State& state) { load(state, files().dir + "/manifest.json"); }

BENCHMARK(BM_LoadJson)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoadCsv)->Unit(benchmark::kMillisecond)->Iterations(3);

int LoadOnce(const char* path) {
    auto t0 = std::chrono::steady_clock::now();
    io::Model m;
    std::string error;
    if (!io::ReadModelFile(path, m, error)) return std::fprintf(stderr, "%s\n", error.c_str()), 1;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    const double fileMb = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    const double peakMb = static_cast<double>(use.ru_maxrss) / 1e3;
    std::printf("%zu shells in %.3f s; file %.1f MB, peak memory %.1f MB (%.2f x the file)\n", m.shells.size(), seconds,
                fileMb, peakMb, peakMb / fileMb);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--write-model") == 0) {
        std::string error;
        if (io::WriteModelJsonFile(BigModel(), argv[2], error)) return 0;
        return std::fprintf(stderr, "%s\n", error.c_str()), 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "--load") == 0) return LoadOnce(argv[2]);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
