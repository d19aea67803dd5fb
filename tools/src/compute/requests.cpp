#include "compute/requests.h"

#include <algorithm>

namespace xsect::cli {

NamedRequests MakeRequests(const io::Model& model, const std::vector<std::int32_t>& cases,
                           const std::vector<const io::Combination*>& combinations) {
    NamedRequests r;
    auto use = [&](std::int32_t loadCase) {
        if (std::find(r.cases.begin(), r.cases.end(), loadCase) == r.cases.end()) r.cases.push_back(loadCase);
    };
    for (std::int32_t id : cases) {
        const auto lc = model.loadCases.find(id);
        r.requests.push_back({"load case " + std::to_string(id), {{id, 1.0}}});
        r.labels.push_back(lc != model.loadCases.end() && !lc->second.name.empty() ? lc->second.name
                                                                                   : std::to_string(id));
        r.combinations.push_back(nullptr);
        use(id);
    }
    for (const io::Combination* c : combinations) {
        ResultRequest request{"combination " + c->name, {}};
        for (const io::Combination::Term& t : c->terms) {
            request.terms.push_back({t.loadCase, t.factor});
            use(t.loadCase);
        }
        r.requests.push_back(std::move(request));
        r.labels.push_back(c->name);
        r.combinations.push_back(c);
    }
    return r;
}

bool HasSectionValues(const io::LoadCase& loadCase) {
    return loadCase.info.caseType == LOAD_CASE_STATIC || loadCase.info.caseType == LOAD_CASE_RESPONSE_SPECTRUM;
}

std::string CaseText(const io::Model& model, std::int32_t loadCase) {
    const auto lc = model.loadCases.find(loadCase);
    const std::string number = std::to_string(loadCase);
    return lc == model.loadCases.end() || lc->second.name.empty() ? number : number + " (" + lc->second.name + ")";
}

}  // namespace xsect::cli
