#pragma once

// Cut-line stresses of one cut: the library's sample points filled from the model's stress
// fields, smoothed and balanced, with what a person needs to judge the result (the samples'
// own resultant, the element bounds and, on request, dense curves for the diagrams).

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "compute/stress_fill.h"
#include "compute/geometry.h"

namespace xsect::cli {

struct StressRequest {
    CVertex start, end, face;
    std::int32_t loadCase = 0;
    std::int32_t divisions = 0;
    double spacing = 0.0;
    std::optional<std::vector<double>> positions;
    std::optional<double> outputSpacing;
    std::set<CLStressType> types;  // empty: all five
    bool balanceMz = false;
    bool qtInMy = false;
    bool diagrams = false;
};

struct DiagramSeries {
    CLStressType type = CL_STRESS_ST;
    std::vector<std::pair<double, double>> curve;    // smoothed, (cut-line coordinate, value)
    std::vector<std::pair<double, double>> samples;  // the fitted samples
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

// The quantities a request covers: the given ones, or all five.
std::set<CLStressType> RequestedTypes(const std::set<CLStressType>& types);

// A smoothed point's value of one quantity.
inline double ValueOf(const CLStress& s, CLStressType t) { return s.GetStress(std::vector<CLStressType>{t}).front(); }

}  // namespace xsect::cli
