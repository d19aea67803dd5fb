#pragma once

// A model file in memory: the four maps the calculators take, plus what only a program around
// them needs (thicknesses, load case names, the modal arrays a load case points to, stress
// fields, units and load combinations).

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <xsect/assembly.h>
#include <xsect/plan.h>
#include <xsect/sections.h>
#include <xsect/xsect.h>

namespace xsect::io {

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
    // A time history: its record file (docs/model-format.md) as the model names it, and that name
    // taken from the model file's folder. Empty for other cases. Its info says LOAD_CASE_UNSUPPORTED:
    // the calculators do not compute it, a plan applied to its record does.
    std::string record;
    std::string recordPath;
};

// The units the model's numbers are in, as the file names them; empty when it does not say.
struct Units {
    std::string length;
    std::string force;
};

// A named linear combination of load cases: the sum of factor x case over its terms.
struct Combination {
    struct Term {
        std::int32_t loadCase = 0;
        double factor = 0.0;
    };
    std::string name;
    std::vector<Term> terms;  // in the order the file gives them
};

// A named set of elements (a core, a pier, a girder): a section limited to it sums only them.
struct Group {
    std::string name;
    std::vector<std::int32_t> shells, frames;  // element numbers, in the file's order
};

struct Model {
    std::string source;  // file name, for messages
    std::string title;
    Units units;
    double tolerance = 0.001;
    std::array<std::int32_t, 3> planeNodes{0, 0, 0};
    std::map<std::int32_t, CVertex> nodes;
    std::map<std::int32_t, CShellElement> shells;
    std::map<std::int32_t, double> thickness;  // shells without an entry have none
    std::map<std::int32_t, CFrameElement> frames;
    // The shell and frame ids in the order the file or arrays gave them, which a time-history record
    // keeps for its rows; empty for a model built otherwise, whose rows go by ascending id.
    std::vector<std::int32_t> shellOrder, frameOrder;
    std::map<std::int32_t, LoadCase> loadCases;
    std::vector<Combination> combinations;
    std::vector<Group> groups;
    // shell -> load case -> node -> stress
    std::map<std::int32_t, std::map<std::int32_t, std::map<std::int32_t, NodeStress>>> stresses;
};

// The load case map the calculators take, its arrays pointing into model: model must outlive
// every calculator built over the result and must not change meanwhile.
std::map<std::int32_t, CLoadCaseInfo> LibraryLoadCases(Model& model);

// A force calculator over the model (copies of the maps; the modal arrays stay the model's).
std::unique_ptr<CCrossSectionForcesPost> MakeForceCalculator(Model& model);

// Whether the model is an assembly of shells and frames in space rather than a plane model: it names
// no plane nodes and the calculator could not set up a plane of it (its nodes do not lie in one).
bool IsAssembly(const Model& model, const CCrossSectionForcesPost& calculator);
// The model as an assembly (copies of the maps; the modal arrays stay the model's), its centroids
// weighted by the model's thicknesses.
Assembly MakeAssembly(Model& model);

// A section cutter over the calculator, weighting each section's centroid by the model's shell
// thicknesses where the model gives them.
SectionCutter MakeSectionCutter(const CCrossSectionForcesPost& calculator,
                                const std::map<std::int32_t, double>& thickness);

// The ids of the shells or frames in the order of a record's rows: `order`, or the map's ascending
// order when that is empty.
template <class Elements>
std::vector<std::int32_t> RowOrder(const Elements& elements, const std::vector<std::int32_t>& order) {
    if (!order.empty()) return order;
    std::vector<std::int32_t> ids;
    ids.reserve(elements.size());
    for (const auto& entry : elements) ids.push_back(entry.first);
    return ids;
}

// A plan over the model renumbered to read a record: its shells and frames as rows in the order of
// the model's file (the ids of shellOrder and frameOrder, ascending when empty).
SectionPlan PlanInFileOrder(const SectionPlan& plan, const std::vector<std::int32_t>& shellOrder,
                            const std::vector<std::int32_t>& frameOrder);

// The file format's names of a load case type, a modal combination rule and a sign method; "other"
// for a code without one. The *FromName functions are their inverses and return false for an
// unknown name.
const char* LoadCaseTypeName(std::int32_t caseType);
const char* CombinationRuleName(std::int32_t method);
const char* SignMethodName(std::int32_t method);
bool LoadCaseTypeFromName(const std::string& name, std::int32_t& type);
bool CombinationRuleFromName(const std::string& name, std::int32_t& method);
bool SignMethodFromName(const std::string& name, std::int32_t& method);

}  // namespace xsect::io
