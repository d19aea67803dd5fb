#include "sections/requests.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

namespace xsect::detail {

namespace {

std::string quoted(const std::string& name) { return "'" + name + "'"; }

// The request's terms in the model's case indices, or the sentence of its first fault.
std::string checkRequest(const ElementArrays& m, const ResultRequest& r, std::size_t number,
                         std::vector<std::int32_t>& caseIndices) {
    if (r.name.empty()) return "request " + std::to_string(number) + " has no name.";
    if (r.terms.empty()) return "request " + quoted(r.name) + " has no load case.";
    for (const CaseFactor& term : r.terms) {
        const std::int32_t c = m.CaseIndex(term.loadCase);
        if (c == kMissing)
            return "request " + quoted(r.name) + " names load case " + std::to_string(term.loadCase) +
                   ", which the model does not have.";
        if (!IsComputedCaseType(m.cases[static_cast<std::size_t>(c)].caseType))
            return "request " + quoted(r.name) + " names load case " + std::to_string(term.loadCase) +
                   ", which is neither static nor response spectrum.";
        if (!std::isfinite(term.factor))
            return "request " + quoted(r.name) + " has a factor for load case " + std::to_string(term.loadCase) +
                   " that is not a finite number.";
        caseIndices.push_back(c);
    }
    return {};
}

}  // namespace

std::vector<ResultRequest> EveryCaseRequests(const ElementArrays& m) {
    std::vector<ResultRequest> everyCase;
    for (std::size_t c = 0; c < m.cases.size(); ++c)
        if (IsComputedCaseType(m.cases[c].caseType))
            everyCase.push_back({std::to_string(m.caseIds[c]), {{m.caseIds[c], 1.0}}});
    return everyCase;
}

std::string ResolveRequests(const ElementArrays& m, const std::vector<ResultRequest>& requests, ResolvedRequests& out) {
    std::vector<ResultRequest> everyCase;
    if (requests.empty()) {
        everyCase = EveryCaseRequests(m);
        if (everyCase.empty()) return "The model has no static or response-spectrum load case to cut for.";
    }
    const std::vector<ResultRequest>& asked = requests.empty() ? everyCase : requests;

    std::vector<std::vector<std::int32_t>> caseIndices(asked.size());
    std::set<std::string> names;
    for (std::size_t r = 0; r < asked.size(); ++r) {
        std::string fault = checkRequest(m, asked[r], r + 1, caseIndices[r]);
        if (!fault.empty()) return fault;
        if (!names.insert(asked[r].name).second) return "Two requests are named " + quoted(asked[r].name) + ".";
    }

    out = ResolvedRequests{};
    for (const auto& indices : caseIndices) out.cases.insert(out.cases.end(), indices.begin(), indices.end());
    std::sort(out.cases.begin(), out.cases.end());
    out.cases.erase(std::unique(out.cases.begin(), out.cases.end()), out.cases.end());
    for (const std::int32_t c : out.cases)
        out.spectrum.push_back(m.cases[static_cast<std::size_t>(c)].caseType == LOAD_CASE_RESPONSE_SPECTRUM);
    for (std::size_t r = 0; r < asked.size(); ++r) {
        std::vector<ResolvedTerm>& terms = out.requests.emplace_back();
        for (std::size_t i = 0; i < caseIndices[r].size(); ++i) {
            const auto use =
                std::lower_bound(out.cases.begin(), out.cases.end(), caseIndices[r][i]) - out.cases.begin();
            terms.push_back({static_cast<std::size_t>(use), asked[r].terms[i].factor});
        }
    }
    return {};
}

SectionValue CombineRequest(const std::vector<ResolvedTerm>& terms, const std::vector<Six>& caseValues,
                            const std::vector<unsigned char>& spectrum) {
    Six fixed{}, spread{};
    for (const ResolvedTerm& term : terms)
        for (std::size_t i = 0; i < 6; ++i) {
            if (spectrum[term.use])
                spread[i] += std::fabs(term.factor) * caseValues[term.use][i];
            else
                fixed[i] += term.factor * caseValues[term.use][i];
        }
    Six high, low;
    for (std::size_t i = 0; i < 6; ++i) {
        high[i] = fixed[i] + spread[i];
        low[i] = fixed[i] - spread[i];
    }
    return {ToForces(high), ToForces(low)};
}

SectionEnvelope EnvelopeOf(const std::vector<SectionValue>& values) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Six high, low;
    high.fill(nan);
    low.fill(nan);
    SectionEnvelope e{};
    e.maxRequest.fill(-1);
    e.minRequest.fill(-1);
    for (std::size_t r = 0; r < values.size(); ++r) {
        const Six h = ToSix(values[r].max), l = ToSix(values[r].min);
        for (std::size_t i = 0; i < 6; ++i) {
            // A NaN never governs; a tie keeps the earlier request.
            if (!std::isnan(h[i]) && (e.maxRequest[i] < 0 || h[i] > high[i])) {
                high[i] = h[i];
                e.maxRequest[i] = static_cast<std::int32_t>(r);
            }
            if (!std::isnan(l[i]) && (e.minRequest[i] < 0 || l[i] < low[i])) {
                low[i] = l[i];
                e.minRequest[i] = static_cast<std::int32_t>(r);
            }
        }
    }
    e.max = ToForces(high);
    e.min = ToForces(low);
    return e;
}

}  // namespace xsect::detail
