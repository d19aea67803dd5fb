#pragma once

// The command line's small languages: points, cuts, number lists and quantity lists. Each
// parser returns false with a message saying what is wrong.

#include <set>
#include <string>
#include <vector>

#include <xsect/xsect.h>

#include "compute/vec3.h"

namespace xsect::cli {

bool ParsePoint(const std::string& text, Vec3& out, std::string& error);
bool ParseCut(const std::string& text, Vec3& start, Vec3& end, std::string& error);
bool ParseNumberList(const std::string& text, std::vector<double>& out, std::string& error);
// "St,Sts,Qt,Mts,Mt" or any of them.
bool ParseStressTypes(const std::string& text, std::set<CLStressType>& out, std::string& error);

}  // namespace xsect::cli
