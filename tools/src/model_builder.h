#pragma once

// The checks every reader shares: ids unique, every node a shell or frame names exists, results
// filed under known load cases, modes and element nodes. place names where the value came from
// (a JSON path or file:line:column); the message says what is wrong there.

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "model.h"

namespace xsect::cli {

class ModelBuilder {
public:
    explicit ModelBuilder(Model& model) : model_(model) {}

    const std::string& Error() const { return error_; }
    bool Fail(const std::string& place, const std::string& what);

    bool AddLoadCase(std::int32_t id, LoadCase loadCase, const std::string& place);
    bool AddNode(std::int32_t id, double x, double y, double z, const std::string& place);
    bool AddShell(std::int32_t id, const std::vector<std::int32_t>& nodes, std::optional<double> thickness,
                  const std::string& place);
    bool AddFrame(std::int32_t id, std::int32_t nodeA, std::int32_t nodeB, const std::string& place);
    // mode 0 files a static result; a response-spectrum case needs a mode 1..modes.
    bool AddShellResult(std::int32_t shell, std::int32_t node, std::int32_t loadCase, std::int32_t mode,
                        const std::array<double, 6>& values, const std::string& place);
    bool AddFrameResult(std::int32_t frame, bool endB, std::int32_t loadCase, std::int32_t mode,
                        const std::array<double, 6>& values, const std::string& place);
    bool AddShellStress(std::int32_t shell, std::int32_t node, std::int32_t loadCase, const NodeStress& stress,
                        const std::string& place);
    bool SetPlaneNodes(const std::array<std::int32_t, 3>& ids, const std::string& place);
    // Checks that need the whole model: a stress field of a load case covers every node of its shell.
    bool Finish(const std::string& place);

private:
    bool CheckResultKey(std::int32_t loadCase, std::int32_t mode, const std::string& place);

    Model& model_;
    std::string error_;
    std::set<std::tuple<std::int32_t, std::int32_t, std::int32_t, std::int32_t>> shellResultKeys_;
    std::set<std::tuple<std::int32_t, bool, std::int32_t, std::int32_t>> frameResultKeys_;
};

// Parses a combination rule name ("srss", "cqc", ...) or returns false.
bool CombinationFromName(const std::string& name, std::int32_t& method);
bool CaseTypeFromName(const std::string& name, std::int32_t& type);

}  // namespace xsect::cli
