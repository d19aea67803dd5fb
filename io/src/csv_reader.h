#pragma once

// The CSV tables a manifest names, read into the model after the manifest itself.

#include <string>
#include <vector>

#include "model_builder.h"
#include "xsect/io/model_file.h"

namespace xsect::io {

struct ManifestTables {
    std::string nodes, elements;
    std::vector<std::string> forces, stresses;
};

// Reads the tables in the order nodes, elements, forces, stresses; file names are relative to
// baseDir. error is "file:line:column: what" on failure.
bool ReadManifestTables(const ManifestTables& tables, const std::string& baseDir, ModelBuilder& builder,
                        const ReadProgress& progress, std::string& error);

// dir/file, or file alone when it is absolute or dir is empty.
std::string JoinPath(const std::string& dir, const std::string& file);

}  // namespace xsect::io
