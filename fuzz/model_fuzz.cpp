// Decodes bytes into a model and a series of requests and runs both calculators and the section
// cutter over them. Any
// crash, hang, leak or undefined behaviour is a finding; wrong numbers are the unit tests' job.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <xsect/xsect.h>

using namespace xsect;

namespace {

// Mostly small, tidy values so that the fuzzer reaches real geometry, with a share of the
// values hosts get wrong: NaN, infinities, huge and tiny numbers.
double pickDouble(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange<int>(0, 9)) {
    case 0: return std::numeric_limits<double>::quiet_NaN();
    case 1: return in.ConsumeBool() ? std::numeric_limits<double>::infinity() : -std::numeric_limits<double>::infinity();
    case 2: return in.ConsumeFloatingPoint<double>();
    case 3: return in.ConsumeBool() ? 1e300 : -1e-300;
    default: return static_cast<double>(in.ConsumeIntegralInRange<int>(-40, 40)) * 0.25;
    }
}

double smallCoordinate(FuzzedDataProvider& in) {
    if (in.ConsumeIntegralInRange<int>(0, 31) == 0) return pickDouble(in);
    return static_cast<double>(in.ConsumeIntegralInRange<int>(0, 16)) * 0.5;
}

std::int32_t pickId(FuzzedDataProvider& in, std::int32_t count) {
    // Usually an existing number, sometimes one that is missing or extreme.
    switch (in.ConsumeIntegralInRange<int>(0, 15)) {
    case 0: return in.ConsumeIntegral<std::int32_t>();
    case 1: return count + 1;
    default: return in.ConsumeIntegralInRange<std::int32_t>(1, count > 0 ? count : 1);
    }
}

CNodeResults pickResults(FuzzedDataProvider& in) {
    return {pickDouble(in), pickDouble(in), pickDouble(in), pickDouble(in), pickDouble(in), pickDouble(in)};
}

CVertex pickPoint(FuzzedDataProvider& in) { return CVertex(smallCoordinate(in), smallCoordinate(in), 0.0); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);

    std::map<std::int32_t, CVertex> nodes;
    std::map<std::int32_t, CShellElement> shells;
    std::map<std::int32_t, CFrameElement> frames;
    std::map<std::int32_t, CLoadCaseInfo> cases;
    std::vector<std::vector<double>> arrays;  // the host's modal arrays, alive as long as the calculators

    const std::int32_t nodeCount = in.ConsumeIntegralInRange<std::int32_t>(0, 24);
    const bool flat = in.ConsumeIntegralInRange<int>(0, 7) != 0;
    for (std::int32_t i = 1; i <= nodeCount; ++i) {
        CVertex v(smallCoordinate(in), smallCoordinate(in), flat ? 0.0 : smallCoordinate(in));
        if (in.ConsumeIntegralInRange<int>(0, 15) == 0) v.tolerance = pickDouble(in);
        nodes[i] = v;
    }

    const std::int32_t caseCount = in.ConsumeIntegralInRange<std::int32_t>(0, 3);
    for (std::int32_t c = 1; c <= caseCount; ++c) {
        CLoadCaseInfo lc;
        lc.caseType = in.ConsumeIntegralInRange<std::int32_t>(-1, 3);
        lc.combinationMethod = in.ConsumeIntegralInRange<std::int32_t>(-2, 5);
        lc.signMethod = in.ConsumeIntegralInRange<std::int32_t>(-1, 2);
        // Mostly a handful of modes; sometimes far more modes than any element has results for.
        switch (in.ConsumeIntegralInRange<int>(0, 9)) {
        case 0: lc.modeCount = 1 << 12; break;
        case 1: lc.modeCount = std::numeric_limits<std::int32_t>::max(); break;
        default: lc.modeCount = in.ConsumeIntegralInRange<std::int32_t>(-2, 6); break;
        }
        lc.applySign = in.ConsumeBool();
        lc.signMode = in.ConsumeIntegralInRange<std::int32_t>(-1, 7);
        lc.combineResidual = in.ConsumeBool();
        // The host's arrays may be shorter than modeCount (squared) asks for: results are filed for
        // modes up to 7 only, and the library must read no further than those modes need, that is
        // 8 frequencies and rows 0..7 of the coefficients.
        const std::size_t n = lc.modeCount > 0 ? static_cast<std::size_t>(lc.modeCount) : 0;
        if (in.ConsumeBool()) {
            arrays.emplace_back(std::min<std::size_t>(n, 8) + 1);
            for (double& f : arrays.back()) f = pickDouble(in);
            lc.modeFrequencies = arrays.back().data();
        }
        if (n <= (1u << 12) && in.ConsumeBool()) {
            std::vector<double>& rho = arrays.emplace_back(std::min(n * n, 8 * n + 8) + 1, 0.5);
            for (std::size_t i = 0; i < 8 && i < n; ++i)
                for (std::size_t j = 0; j < 8 && j < n; ++j) rho[i * n + j] = pickDouble(in);
            lc.crossModalCoefficients = rho.data();
        }
        cases[c] = lc;

        // The public combination on its own, with fewer modal values than modes.
        std::vector<double> values(static_cast<std::size_t>(in.ConsumeIntegralInRange<int>(0, 9)));
        for (double& v : values) v = pickDouble(in);
        CCrossSectionForcesPost::ComputeRSPCombination(&lc, values);
        double value = pickDouble(in);
        CCrossSectionForcesPost::ApplySigntoRSPValue(static_cast<RSP_SIGN_METHOD>(lc.signMethod), lc.signMode, values,
                                                     value);
    }

    const std::int32_t shellCount = in.ConsumeIntegralInRange<std::int32_t>(0, 12);
    for (std::int32_t e = 1; e <= shellCount; ++e) {
        CShellElement& s = shells[e];
        const int corners = in.ConsumeIntegralInRange<int>(0, 8);
        for (int k = 0; k < corners; ++k) s.nodes.push_back(pickId(in, nodeCount));
        for (std::int32_t node : s.nodes) {
            if (caseCount > 0 && in.ConsumeBool())
                s.StoreStaticCaseResults(pickId(in, caseCount), node, pickResults(in));
            if (caseCount > 0 && in.ConsumeBool())
                s.StoreResponseSpectraCaseResults(pickId(in, caseCount), node, in.ConsumeIntegralInRange<int>(-1, 7),
                                                  pickResults(in));
        }
    }
    const std::int32_t frameCount = in.ConsumeIntegralInRange<std::int32_t>(0, 4);
    for (std::int32_t e = 1; e <= frameCount; ++e) {
        CFrameElement& f = frames[e];
        f.nodeA = pickId(in, nodeCount);
        f.nodeB = in.ConsumeBool() ? f.nodeA : pickId(in, nodeCount);
        if (caseCount > 0) {
            f.staticResultsA[pickId(in, caseCount)] = pickResults(in);
            f.staticResultsB[pickId(in, caseCount)] = pickResults(in);
            f.spectrumResultsA[pickId(in, caseCount)][in.ConsumeIntegralInRange<int>(0, 6)] = pickResults(in);
            f.spectrumResultsB[pickId(in, caseCount)][in.ConsumeIntegralInRange<int>(0, 6)] = pickResults(in);
        }
    }

    const double tolerance = in.ConsumeIntegralInRange<int>(0, 7) == 0 ? pickDouble(in) : 0.001;
    std::int32_t plane[3] = {0, 0, 0};
    if (in.ConsumeBool())
        for (auto& p : plane) p = pickId(in, nodeCount);
    CCrossSectionForcesPost forces(nodes, shells, frames, cases, tolerance, plane[0], plane[1], plane[2]);
    if (in.ConsumeBool()) forces.ResetCurrentStatus();

    std::vector<double> F1, F2, F3, M1, M2, M3;
    const int cuts = in.ConsumeIntegralInRange<int>(0, 4);
    for (int i = 0; i < cuts; ++i) {
        CVertex a = pickPoint(in), b = pickPoint(in), m = pickPoint(in);
        const bool mid = in.ConsumeBool();
        forces.GetForcesOnSection(pickId(in, caseCount), &a, &b, F1, F2, F3, M1, M2, M3,
                                  in.ConsumeIntegralInRange<std::int32_t>(-1, 2), in.ConsumeBool(), mid,
                                  mid ? nullptr : &m);
        if (in.ConsumeBool()) forces.ResetCurrentStatus();
    }

    CCrossSectionStressesPost stresses(&forces);
    const int rounds = in.ConsumeIntegralInRange<int>(0, 3);
    for (int r = 0; r < rounds; ++r) {
        if (in.ConsumeBool()) stresses.ResetStatus();
        const std::int32_t divisions = in.ConsumeIntegralInRange<std::int32_t>(-5, 64);
        const double spacing = in.ConsumeIntegralInRange<int>(0, 3) == 0 ? pickDouble(in) : 0.0;
        auto rows = stresses.GetCutlineStressInputPoints(pickPoint(in), pickPoint(in), pickPoint(in), divisions,
                                                         spacing, in.ConsumeBool());
        for (auto& row : rows) {
            if (in.ConsumeIntegralInRange<int>(0, 7) != 0) row->SetAvgThickness(in.ConsumeBool() ? 0.2 : pickDouble(in));
            auto& points = row->GetStressPoints();
            if (in.ConsumeIntegralInRange<int>(0, 31) == 0) points.clear();
            for (auto& p : points)
                if (in.ConsumeIntegralInRange<int>(0, 15) != 0)
                    p.SetStressValue_ZEL(pickDouble(in), pickDouble(in), pickDouble(in), pickDouble(in), pickDouble(in),
                                         pickDouble(in), pickDouble(in), pickDouble(in));
        }
        std::set<CLStressType> types;
        const int typeCount = in.ConsumeIntegralInRange<int>(0, 5);
        for (int t = 0; t < typeCount; ++t) types.insert(static_cast<CLStressType>(in.ConsumeIntegralInRange<int>(0, 4)));
        const std::int32_t lc = pickId(in, caseCount);
        const bool balanceMz = in.ConsumeBool(), qtInMy = in.ConsumeBool();
        switch (in.ConsumeIntegralInRange<int>(0, 2)) {
        case 0: {
            std::vector<double> positions;
            const int count = in.ConsumeIntegralInRange<int>(0, 8);
            for (int k = 0; k < count; ++k) positions.push_back(pickDouble(in));
            stresses.SmoothBalanceCutlineStress(lc, positions, types, balanceMz, qtInMy);
            break;
        }
        case 1: stresses.SmoothBalanceCutlineStress(lc, types, balanceMz, qtInMy); break;
        default: stresses.SmoothBalanceCutlineStress(lc, pickDouble(in), types, balanceMz, qtInMy); break;
        }
    }
    // The section cutter over the same model: requests with unknown cases, empty names and terms,
    // repeated names and odd factors; cuts and stations anywhere, on up to three threads.
    std::vector<ResultRequest> requests;
    const int requestCount = in.ConsumeIntegralInRange<int>(0, 3);
    for (int r = 0; r < requestCount; ++r) {
        ResultRequest& q = requests.emplace_back();
        const int naming = in.ConsumeIntegralInRange<int>(0, 7);
        q.name = naming == 0 ? "" : naming == 1 ? "same" : std::to_string(r);
        const int terms = in.ConsumeIntegralInRange<int>(0, 3);
        for (int t = 0; t < terms; ++t)
            q.terms.push_back({pickId(in, caseCount), in.ConsumeBool() ? 1.0 : pickDouble(in)});
    }
    SectionCutter cutter(forces, in.ConsumeBool() ? NodalForceSense::OnElement : NodalForceSense::ByElement,
                         in.ConsumeIntegralInRange<unsigned>(0, 3));
    cutter.SumFromPositiveSide(in.ConsumeBool());
    std::vector<std::pair<CVertex, CVertex>> sectionCuts(static_cast<std::size_t>(in.ConsumeIntegralInRange<int>(0, 4)));
    for (auto& cut : sectionCuts) cut = {pickPoint(in), pickPoint(in)};
    cutter.Cut(sectionCuts, requests);
    // A few stations, or a count the cutter must refuse (a million valid ones would only be slow).
    const std::int32_t refused[] = {-1, 1000001, std::numeric_limits<std::int32_t>::max(),
                                    std::numeric_limits<std::int32_t>::min()};
    const std::int32_t stations = in.ConsumeIntegralInRange<int>(0, 15) == 0 ? refused[in.ConsumeIntegralInRange<int>(0, 3)]
                                                                             : in.ConsumeIntegralInRange<std::int32_t>(0, 24);
    cutter.Stations(pickPoint(in), pickPoint(in), stations, requests);

    CCrossSectionStressesPost nullStresses(nullptr);
    nullStresses.GetCutlineStressInputPoints(CVertex(), CVertex(1, 0, 0), CVertex(0, 1, 0), 2, 0.0, true);
    return 0;
}
