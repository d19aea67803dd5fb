#include "commands/model_loading.h"

#include <filesystem>

#include "present/progress.h"
#include "xsect/io/model_file.h"

namespace xsect::cli {

namespace {

// Smaller files load in well under a second: a bar would only flicker.
constexpr std::uint64_t kProgressFrom = 50'000'000;

}  // namespace

bool LoadModel(const std::string& path, const std::optional<std::string>& combinationsFile, io::Model& model,
               Streams& io) {
    ProgressBar bar(io.err, io.terminal, "reading " + path);
    std::string error;
    const bool ok = io::ReadModelFile(path, model, error, [&](std::uint64_t done, std::uint64_t total) {
        if (total > kProgressFrom) bar.Update(done, total);
    });
    bar.Finish();
    if (ok && (!combinationsFile || io::ReadCombinationsFile(*combinationsFile, model, error))) return true;
    PrintBadInput(io, error);
    return false;
}

void RefuseAssembly(Streams& io, const std::string& path, const std::string& what) {
    PrintBadInput(io, path + " is an assembly (its nodes do not lie in one plane): " + what +
                          " works on a plane model only; cut an assembly by planes with forces --plane or diagram --axis");
}

bool WriteOutputFiles(const std::string& folder, const std::vector<std::pair<std::string, std::string>>& files,
                      Streams& io) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) return PrintBadInput(io, folder + ": cannot create the directory: " + ec.message()), false;
    std::string error;
    for (const auto& [name, text] : files) {
        if (!io::WriteTextFile(folder + name, text, error)) return PrintBadInput(io, error), false;
        io.out << "wrote " << folder << name << "\n";
    }
    return true;
}

}  // namespace xsect::cli
