#pragma once

// Loading the model a command names: with a progress bar for a large file on a terminal, the
// combinations of a separate file added, and a one-line message on failure; and writing what a
// command gives into its output folder.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "present/messages.h"
#include "xsect/io/model.h"

namespace xsect::cli {

bool LoadModel(const std::string& path, const std::optional<std::string>& combinationsFile, io::Model& model,
               Streams& io);

// Refuses an assembly (a model whose nodes do not lie in one plane) to what cuts plane models only,
// in one sentence that says what cuts it instead.
void RefuseAssembly(Streams& io, const std::string& path, const std::string& what);

// Creates the folder if need be and writes each (name, text) as folder + name, saying "wrote" of each;
// false, with the one-line message, on the first that fails.
bool WriteOutputFiles(const std::string& folder, const std::vector<std::pair<std::string, std::string>>& files,
                      Streams& io);

}  // namespace xsect::cli
