#include "compute/combination.h"

namespace xsect::cli {

HostSection CombineSection(CCrossSectionForcesPost& calc, const Model& model, const CutSpec& cut,
                             const io::Combination& combination, bool globalAxes,
                             const std::optional<CVertex>& momentPoint) {
    HostSection sum;
    for (const io::Combination::Term& term : combination.terms) {
        if (model.loadCases.at(term.loadCase).info.caseType != LOAD_CASE_STATIC) {
            sum.ok = false;
            sum.note = "combination \"" + combination.name + "\" has load case " + std::to_string(term.loadCase) +
                       ", which is not static: the host convention sums static cases only (the sign rule, the default, "
                       "gives its range)";
            return sum;
        }
    }
    for (std::size_t k = 0; k < combination.terms.size(); ++k) {
        const io::Combination::Term& term = combination.terms[k];
        HostSection r = ComputeSection(calc, model, cut, term.loadCase, globalAxes, momentPoint);
        if (!r.ok) {
            if (!r.note.empty()) r.note = "combination \"" + combination.name + "\": " + r.note;
            return r;
        }
        if (k == 0) sum = r, sum.values = {};
        for (std::size_t i = 0; i < 6; ++i) sum.values[i] += term.factor * r.values[i];
    }
    return sum;
}

}  // namespace xsect::cli
