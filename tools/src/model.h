#pragma once

// The tool's own copy of a model file: the four maps the calculators take, plus what only the tool
// needs (thicknesses, load case names, the modal arrays a load case points to, stress fields).

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <xsect/xsect.h>

namespace xsect::cli {

// Stress state at one node of one shell for one load case, in global axes. The plate part
// (moments per unit length and transverse shear) is taken with the through-thickness coordinate
// along the shell's own normal: the right-hand normal of its first three nodes.
struct NodeStress {
    std::array<double, 6> S{};  // Sxx, Syy, Szz, Sxy, Syz, Szx
    std::array<double, 6> M{};  // Mxx, Myy, Mzz, Mxy, Myz, Mzx
    std::array<double, 3> Q{};  // Qx, Qy, Qz
};

struct LoadCase {
    std::string name;
    CLoadCaseInfo info;  // its two pointers stay null here; see LibraryLoadCases
    std::vector<double> frequencies;
    std::vector<double> coefficients;  // row by row
};

struct Model {
    std::string source;  // file name, for messages
    std::string title;
    double tolerance = 0.001;
    std::array<std::int32_t, 3> planeNodes{0, 0, 0};
    std::map<std::int32_t, CVertex> nodes;
    std::map<std::int32_t, CShellElement> shells;
    std::map<std::int32_t, double> thickness;  // shells without an entry have none
    std::map<std::int32_t, CFrameElement> frames;
    std::map<std::int32_t, LoadCase> loadCases;
    // shell -> load case -> node -> stress
    std::map<std::int32_t, std::map<std::int32_t, std::map<std::int32_t, NodeStress>>> stresses;
};

// The load case map the calculators take, its arrays pointing into model: model must outlive
// every calculator built over the result and must not change meanwhile.
std::map<std::int32_t, CLoadCaseInfo> LibraryLoadCases(Model& model);

// A force calculator over the model (copies of the maps; the modal arrays stay the model's).
std::unique_ptr<CCrossSectionForcesPost> MakeForceCalculator(Model& model);

const char* LoadCaseTypeName(std::int32_t caseType);
const char* CombinationName(std::int32_t method);

}  // namespace xsect::cli
