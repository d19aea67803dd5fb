#include "compute/stations.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "compute/geometry.h"

namespace xsect::cli {

namespace {

constexpr double SectionForces::*kComponents[6] = {&SectionForces::N,  &SectionForces::Vt, &SectionForces::Vk,
                                                   &SectionForces::Mn, &SectionForces::Mt, &SectionForces::Mk};

// A section's values and envelope seen from the reversed cut. A component that Reversed() turns
// round turns its range round too: its greatest value is minus the least, governed by the same request.
void TurnRound(SectionResult& s) {
    const SectionForces turns = Reversed({1.0, 1.0, 1.0, 1.0, 1.0, 1.0});
    auto turn = [&](SectionForces& max, SectionForces& min, std::int32_t* maxRequest, std::int32_t* minRequest) {
        max = Reversed(max);
        min = Reversed(min);
        for (std::size_t c = 0; c < 6; ++c)
            if (turns.*kComponents[c] < 0.0) {
                std::swap(max.*kComponents[c], min.*kComponents[c]);
                if (maxRequest) std::swap(maxRequest[c], minRequest[c]);
            }
    };
    for (SectionValue& v : s.values) turn(v.max, v.min, nullptr, nullptr);
    turn(s.envelope.max, s.envelope.min, s.envelope.maxRequest.data(), s.envelope.minRequest.data());
}

// The largest finite force (N, Vt, Vk) and moment (Mn, Mt, Mk) over the computed sections.
void GrowScale(const std::vector<SectionResult>& sections, double& force, double& moment) {
    for (const SectionResult& s : sections)
        if (s.status == CS_SUCCESS)
            for (const SectionValue& v : s.values)
                for (std::size_t c = 0; c < 6; ++c)
                    for (double x : {v.max.*kComponents[c], v.min.*kComponents[c]})
                        if (std::isfinite(x)) (c < 3 ? force : moment) = std::max(c < 3 ? force : moment, std::fabs(x));
}

// What rounding is measured against: forces against the largest force, and moments against the
// largest moment or that force over the diagram's length, whichever is larger, so that a component
// that is zero up to rounding all along the axis (the moments of a tie) does not jump on its noise.
std::array<double, 6> ScaleOf(const std::vector<SectionResult>& a, const std::vector<SectionResult>& b) {
    double force = 0.0, moment = 0.0, length = 0.0;
    GrowScale(a, force, moment);
    GrowScale(b, force, moment);
    for (const SectionResult& s : a) length = std::max({length, s.position, s.coveredLength});
    force = std::max(force, length > 0.0 ? moment / length : 0.0);
    moment = std::max(moment, force * length);
    return {force, force, force, moment, moment, moment};
}

bool Differ(const SectionResult& a, const SectionResult& b, const std::array<double, 6>& scale) {
    if (a.status != CS_SUCCESS || b.status != CS_SUCCESS || a.values.size() != b.values.size()) return false;
    for (std::size_t r = 0; r < a.values.size(); ++r)
        for (std::size_t c = 0; c < 6; ++c)
            for (auto bound : {&SectionValue::max, &SectionValue::min})
                if (std::fabs(a.values[r].*bound.*kComponents[c] - b.values[r].*bound.*kComponents[c]) > 1e-9 * scale[c])
                    return true;
    return false;
}

// stationsAlong(from, to) gives the stations of the axis from -> to.
template <class StationsAlong>
AxisStations withJumps(const StationsAlong& stationsAlong, const CVertex& axisStart, const CVertex& axisEnd) {
    AxisStations out;
    SectionTable after = stationsAlong(axisStart, axisEnd);
    if (!after.error.empty()) {
        out.error = after.error;
        return out;
    }
    // The reversed axis meets the same stations in the opposite order; a single station stays where
    // it is, at the axis's start.
    const bool single = after.sections.size() == 1;
    SectionTable reversed =
        stationsAlong(single ? axisStart : axisEnd, single ? axisStart + (axisStart - axisEnd) : axisStart);
    out.after = std::move(after.sections);
    if (!reversed.error.empty() || reversed.sections.size() != out.after.size()) return out;

    for (SectionResult& s : reversed.sections) TurnRound(s);
    const std::array<double, 6> scale = ScaleOf(out.after, reversed.sections);
    const std::size_t n = out.after.size();
    for (std::size_t i = 0; i < n; ++i) {
        SectionResult& before = reversed.sections[n - 1 - i];
        const SectionResult& station = out.after[i];
        if (!Differ(before, station, scale)) continue;
        before.position = station.position;
        before.start = station.start;
        before.end = station.end;
        before.n = station.n;
        before.t = station.t;
        before.k = station.k;
        before.covered.clear();
        out.before.emplace_back(i, std::move(before));
    }
    return out;
}

}  // namespace

AxisStations StationsWithJumps(const SectionCutter& cutter, const CVertex& axisStart, const CVertex& axisEnd,
                               std::int32_t count, const std::vector<ResultRequest>& requests) {
    return withJumps([&](const CVertex& a, const CVertex& b) { return cutter.Stations(a, b, count, requests); },
                     axisStart, axisEnd);
}

AxisStations StationsWithJumps(const AssemblyCutter& cutter, const CVertex& axisStart, const CVertex& axisEnd,
                               std::int32_t count, const std::vector<ResultRequest>& requests,
                               const AssemblyOptions& options) {
    return withJumps(
        [&](const CVertex& a, const CVertex& b) { return cutter.Stations(a, b, count, requests, options); },
        axisStart, axisEnd);
}

}  // namespace xsect::cli
