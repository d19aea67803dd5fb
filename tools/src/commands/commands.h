#pragma once

// The commands of the program, callable without a process so that the tests can run them. Each
// returns the exit status: 0 success, 1 a refusal by the library (or, for check, findings),
// 2 bad input.

#include <cstdint>
#include <optional>
#include <string>

#include "present/messages.h"
#include "present/text.h"

namespace xsect::cli {

enum ExitCode : int { kExitOk = 0, kExitRefused = 1, kExitBadInput = 2 };

// The sign rule of the section cutter (docs/sections.md), or the host interface's own output.
enum class Convention { SignRule, Host };

struct ForcesOptions {
    std::string model;
    std::optional<std::string> cut;      // "X1,Y1,Z1:X2,Y2,Z2"
    std::optional<std::string> cutsCsv;  // a table of cuts
    std::optional<std::int32_t> loadCase;
    std::optional<std::string> combination;   // one combination by name
    std::optional<std::string> combinationsFile;
    bool allCases = false;                    // every load case and every combination
    Convention convention = Convention::SignRule;
    std::optional<std::string> keep;          // "X,Y,Z": a point of the part whose forces are reported
    std::optional<std::int32_t> side;         // the host convention's side
    bool globalAxes = false;                  // host convention
    std::optional<std::string> momentPoint;   // host convention
    std::optional<std::string> plot;  // SVG plan of the (single) cut
    bool numbers = false;             // node and element numbers on the plan
    Format format = Format::Table;
};

struct StressesOptions {
    std::string model;
    std::string cut;
    std::string face;
    std::int32_t loadCase = 0;
    std::optional<std::int32_t> divisions;
    std::optional<double> spacing;
    std::optional<std::string> positions;
    std::optional<double> outputSpacing;
    std::optional<std::string> types;
    bool balanceMz = false;
    bool qtInMy = false;
    std::optional<std::string> plot;
    Format format = Format::Table;
};

struct DiagramOptions {
    std::string model;
    std::string axis;                          // "X1,Y1,Z1:X2,Y2,Z2"
    std::int32_t stations = 0;
    std::optional<std::string> cases;          // "1,2": these load cases, no model combinations
    bool allCases = false;
    std::optional<std::string> combinationsFile;
    bool envelope = false;
    std::optional<std::string> outDir;         // diagram.csv and diagram.svg; else the CSV to out
};

struct CheckOptions {
    std::string model;
    std::optional<std::string> combinationsFile;
    double relativeTolerance = 1e-6;  // of an element's residual against its force scale
    int worst = 5;                    // elements listed per load case
};

struct DemoOptions {
    std::optional<std::string> outDir;
    std::optional<std::string> writeModel;  // the demo model as a JSON model file
    std::optional<std::string> writeCsv;    // ... and as a manifest with CSV tables, in this directory
    bool numbers = false;
};

int RunForces(const ForcesOptions& options, Streams io);
int RunDiagram(const DiagramOptions& options, Streams io);
int RunStresses(const StressesOptions& options, Streams io);
int RunInfo(const std::string& model, const std::optional<std::string>& combinationsFile, Streams io);
int RunCheck(const CheckOptions& options, Streams io);
int RunDemo(const DemoOptions& options, Streams io);

}  // namespace xsect::cli
