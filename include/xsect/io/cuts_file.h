#pragma once

// A table of cuts (docs/cuts-format.md): one cut per row, its ends in global coordinates, an
// optional name and side.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace xsect::io {

struct CutRow {
    std::string name;  // the row's name, or its number from 1
    std::array<double, 3> start{}, end{};
    std::int32_t side = 0;
};

// Reads the table; rows without a side take defaultSide. false with "file:line:column: what".
bool ReadCutsFile(const std::string& path, std::int32_t defaultSide, std::vector<CutRow>& cuts, std::string& error);

}  // namespace xsect::io
