#pragma once

// The checks every reader shares: ids unique, every node a shell or frame names exists, results
// filed under known load cases, modes and element nodes, combinations of known cases. Each call
// returns false with Error() saying what is wrong; the reader puts the place in front (a JSON
// path or file:line:column).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "xsect/io/model.h"

namespace xsect::io {

class ModelBuilder {
public:
    explicit ModelBuilder(Model& model) : model_(model) {}

    const std::string& Error() const { return error_; }

    bool AddLoadCase(std::int32_t id, LoadCase loadCase);
    bool AddNode(std::int32_t id, double x, double y, double z);
    bool AddShell(std::int32_t id, const std::vector<std::int32_t>& nodes, std::optional<double> thickness);
    bool AddFrame(std::int32_t id, std::int32_t nodeA, std::int32_t nodeB);
    // mode 0 files a static result; a response-spectrum case needs a mode 1..modes.
    bool AddShellResult(std::int32_t shell, std::int32_t node, std::int32_t loadCase, std::int32_t mode,
                        const std::array<double, 6>& values);
    bool AddFrameResult(std::int32_t frame, bool endB, std::int32_t loadCase, std::int32_t mode,
                        const std::array<double, 6>& values);
    bool AddShellStress(std::int32_t shell, std::int32_t node, std::int32_t loadCase, const NodeStress& stress);
    bool SetPlaneNodes(const std::array<std::int32_t, 3>& ids);
    bool SetTolerance(double tolerance);
    bool SetUnits(const Units& units);
    // The name must be new and not empty; the terms come one by one after it.
    bool AddCombination(const std::string& name);
    bool AddCombinationTerm(std::int32_t loadCase, double factor);
    bool FinishCombination();
    // The name must be new and not empty, every element known and listed once, and at least one given.
    bool AddGroup(const std::string& name, const std::vector<std::int32_t>& shells,
                  const std::vector<std::int32_t>& frames);
    // Checks that need the whole model: a stress field of a load case covers every node of its shell.
    bool Finish();

private:
    bool Fail(const std::string& what);
    bool KnownNode(std::int32_t id);
    bool CheckResultKey(std::int32_t loadCase, std::int32_t mode);

    Model& model_;
    std::string error_;
    // Node ids in order, for the many lookups of element nodes: a flat array is several times
    // faster to search than the node map. Rebuilt when a node is added after a lookup.
    std::vector<std::int32_t> nodeIds_;
    bool nodeIdsStale_ = true;
    // The shell and load case of the last result: results come element by element, case by case.
    std::int32_t lastShellId_ = 0, lastCaseId_ = 0;
    CShellElement* lastShell_ = nullptr;
    const LoadCase* lastCase_ = nullptr;
};

}  // namespace xsect::io
