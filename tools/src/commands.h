#pragma once

// The four commands of the program, callable without a process so that the tests can run them.
// Each returns the exit status: 0 success, 1 a refusal by the library, 2 bad input.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "vec3.h"

namespace xsect::cli {

enum ExitCode : int { kExitOk = 0, kExitRefused = 1, kExitBadInput = 2 };
enum class Format { Table, Csv, Json };

struct Streams {
    std::ostream& out;
    std::ostream& err;
    bool progress = false;  // draw a progress bar on err
};

struct ForcesOptions {
    std::string model;
    std::optional<std::string> cut;      // "X1,Y1,Z1:X2,Y2,Z2"
    std::optional<std::string> cutsCsv;  // a table of cuts
    std::optional<std::int32_t> loadCase;
    bool allCases = false;
    std::int32_t side = 0;
    bool globalAxes = false;
    std::optional<std::string> momentPoint;
    Format format = Format::Table;
};

struct StressesOptions {
    std::string model;
    std::string cut;
    std::string face;
    std::int32_t loadCase = 0;
    std::int32_t divisions = 0;
    double spacing = 0.0;
    std::optional<std::string> positions;
    std::optional<double> outputSpacing;
    std::optional<std::string> types;
    bool balanceMz = false;
    bool qtInMy = false;
    std::optional<std::string> plot;
    Format format = Format::Table;
};

struct DemoOptions {
    std::optional<std::string> outDir;
    std::optional<std::string> writeModel;  // the demo model as a JSON model file
    std::optional<std::string> writeCsv;    // ... and as a manifest with CSV tables, in this directory
};

int RunForces(const ForcesOptions& options, Streams io);
int RunStresses(const StressesOptions& options, Streams io);
int RunInfo(const std::string& model, Streams io);
int RunDemo(const DemoOptions& options, Streams io);

// Parsing of the command line's small languages; false with a message saying what is wrong.
bool ParsePoint(const std::string& text, Vec3& out, std::string& error);
bool ParseCut(const std::string& text, Vec3& start, Vec3& end, std::string& error);
bool ParseNumberList(const std::string& text, std::vector<double>& out, std::string& error);

}  // namespace xsect::cli
