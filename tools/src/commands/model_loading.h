#pragma once

// Loading the model a command names: with a progress bar for a large file on a terminal, the
// combinations of a separate file added, and a one-line message on failure.

#include <optional>
#include <string>

#include "present/messages.h"
#include "xsect/io/model.h"

namespace xsect::cli {

bool LoadModel(const std::string& path, const std::optional<std::string>& combinationsFile, io::Model& model,
               Streams& io);

// Refuses an assembly (a model whose nodes do not lie in one plane) to what cuts plane models only,
// in one sentence that says what cuts it instead.
void RefuseAssembly(Streams& io, const std::string& path, const std::string& what);

}  // namespace xsect::cli
