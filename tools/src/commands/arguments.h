#pragma once

// The command line's small languages: points, cuts, number lists and quantity lists. Each
// parser returns false with a message saying what is wrong. And whether a cut can be asked of the
// library at all.

#include <optional>
#include <set>
#include <string>
#include <vector>

#include <xsect/xsect.h>

#include "present/text.h"
#include "xsect/io/model.h"

namespace CLI {
class App;
}

namespace xsect::cli {

bool ParsePoint(const std::string& text, CVertex& out, std::string& error);
bool ParseCut(const std::string& text, CVertex& start, CVertex& end, std::string& error);
bool ParseNumberList(const std::string& text, std::vector<double>& out, std::string& error);
// "St,Sts,Qt,Mts,Mt" or any of them.
bool ParseStressTypes(const std::string& text, std::set<CLStressType>& out, std::string& error);
// What limits and orients an assembly's sections: --group NAME (one of the model's groups), --up
// X,Y,Z and --moment-point X,Y,Z.
bool ParseAssemblyOptions(const io::Model& model, const std::optional<std::string>& group,
                          const std::optional<std::string>& up, const std::optional<std::string>& momentPoint,
                          AssemblyOptions& out, std::string& error);
// The same three as diagram and history take them for station planes; any of them given asks for
// station planes through a plane model too.
struct StationPlaneTexts {
    std::optional<std::string> group, up, momentPoint;
    bool Given() const { return group || up || momentPoint; }
};
void AddStationPlaneOptions(CLI::App& command, StationPlaneTexts& texts);
// "table", "csv" or "json", as --format checks it.
Format FormatNamed(const std::string& name);

// Whether a cut can be asked of the library, against the box of the model's nodes.
class CutLimits {
public:
    explicit CutLimits(const io::Model& model);
    // Why the cut cannot be asked, or "" when it can: ends that coincide within the model's
    // tolerance, or ends so far from the model that their coordinates lose all precision.
    std::string Problem(const CVertex& start, const CVertex& end) const;

private:
    CVertex lo_, hi_;
    double tolerance_;
};

}  // namespace xsect::cli
