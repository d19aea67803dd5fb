#pragma once

// The requests of a section call: checked against the model once, their load cases looked up, and
// the rules that turn the load cases' values at a section into each request's range and the envelope.

#include <cstdint>
#include <string>
#include <vector>

#include "core/arithmetic.h"
#include "core/plane_model.h"
#include "xsect/sections.h"

namespace xsect::detail {

struct ResolvedTerm {
    std::size_t use;  // into ResolvedRequests::cases
    double factor;
};

struct ResolvedRequests {
    // The load cases the requests name, each once, ascending, and whether each is a spectrum case.
    std::vector<std::int32_t> cases;
    std::vector<unsigned char> spectrum;
    std::vector<std::vector<ResolvedTerm>> requests;
};

// The requests an empty list stands for: every static and spectrum case of the model on its own,
// in case-number order, named by its number.
std::vector<ResultRequest> EveryCaseRequests(const ElementArrays& m);

// Checks the requests and looks their load cases up; an empty list asks for every static and
// spectrum case of the model on its own. Returns a sentence naming the first fault, or "".
std::string ResolveRequests(const ElementArrays& m, const std::vector<ResultRequest>& requests, ResolvedRequests& out);

// One request from its load cases' values at a section (a spectrum case's value is its combined
// magnitude): static terms add; a spectrum term widens the range by |factor| times its value.
SectionValue CombineRequest(const std::vector<ResolvedTerm>& terms, const std::vector<Six>& caseValues,
                            const std::vector<unsigned char>& spectrum);

// Per component, the greatest max and least min over the requests and the first request that gives
// each; a component that is NaN in every request stays NaN, naming request -1.
SectionEnvelope EnvelopeOf(const std::vector<SectionValue>& values);

inline SectionForces ToForces(const Six& v) { return {v[0], v[1], v[2], v[3], v[4], v[5]}; }
inline Six ToSix(const SectionForces& f) { return {f.N, f.Vt, f.Vk, f.Mn, f.Mt, f.Mk}; }

}  // namespace xsect::detail
