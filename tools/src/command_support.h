#pragma once

// What the commands share: loading with a one-line error, the library's refusals in words, one
// section-force evaluation, one cut-line stress evaluation and the plan picture of a cut.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "commands.h"
#include "model.h"
#include "stress_fill.h"
#include "svg.h"
#include "vec3.h"

namespace xsect::cli {

std::string Fmt(double v, int precision = 4);
std::string VecText(Vec3 v, int precision = 4);
// One table row: a left-aligned label, then six right-aligned values.
void PrintSixRow(std::ostream& out, const char* label, int labelWidth, const std::array<double, 6>& v, int width,
                 int precision);

bool LoadModel(const std::string& path, Model& model, Streams& io);
// "xsect: <context>: refused by the library: NAME (code): message"
void PrintRefusal(Streams& io, const std::string& context, std::int32_t status);
void PrintBadInput(Streams& io, const std::string& message);

Vec3 ToPlane(CCrossSectionForcesPost& calc, Vec3 global);

struct CutSpec {
    std::string name;
    Vec3 start, end;
    std::int32_t side = 0;
};

struct SectionResult {
    bool ok = false;
    std::int32_t status = CS_SUCCESS;
    std::string note;             // why nothing came back when the status is 0
    std::array<double, 6> values{};
    Vec3 axes[3];                 // the cut's axes in global coordinates
};

// One call of the driver on copies of the points; a refusal is reported in the result and the
// status is reset so that the next cut is tried afresh.
SectionResult ComputeSection(CCrossSectionForcesPost& calc, const Model& model, const CutSpec& cut,
                             std::int32_t loadCase, bool globalAxes, const std::optional<Vec3>& momentPoint);

PlanPicture MakePlan(const Model& model, CCrossSectionForcesPost& calc, const CutSpec& cut, const std::string& title);

struct StressRequest {
    Vec3 start, end, face;
    std::int32_t loadCase = 0;
    std::int32_t divisions = 0;
    double spacing = 0.0;
    std::optional<std::vector<double>> positions;
    std::optional<double> outputSpacing;
    std::set<CLStressType> types;
    bool balanceMz = false;
    bool qtInMy = false;
    bool diagrams = false;
};

struct StressOutcome {
    std::int32_t status = CS_SUCCESS;  // non-zero: refused, or (with points) the balance failed
    std::string stage;                 // which call refused
    std::vector<std::shared_ptr<CLStressPoint>> points;
    ForceResultant balance, smoothed;
    std::array<double, 6> samples{};  // resultant of the sign-corrected samples before balancing
    std::size_t rowCount = 0, sampleCount = 0;
    FillReport report;
    std::vector<DiagramSeries> diagrams;
    std::vector<double> bounds;
};

StressOutcome ComputeStresses(Model& model, CCrossSectionForcesPost& calc, const StressRequest& request);

std::string TypeName(CLStressType t);

}  // namespace xsect::cli
