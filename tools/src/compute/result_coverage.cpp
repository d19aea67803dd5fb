#include "compute/result_coverage.h"

namespace xsect::cli {

namespace {

bool HasResults(const CShellElement& shell, std::int32_t loadCase) {
    const auto s = shell.staticResults.find(loadCase);
    const auto r = shell.spectrumResults.find(loadCase);
    return (s != shell.staticResults.end() && !s->second.empty()) ||
           (r != shell.spectrumResults.end() && !r->second.empty());
}

bool HasResults(const CFrameElement& frame, std::int32_t loadCase) {
    return frame.staticResultsA.count(loadCase) || frame.staticResultsB.count(loadCase) ||
           frame.spectrumResultsA.count(loadCase) || frame.spectrumResultsB.count(loadCase);
}

}  // namespace

ResultCoverage::ResultCoverage(const Model& model, CCrossSectionForcesPost& calc, const std::vector<std::int32_t>& cases)
    : calc_(calc) {
    for (std::int32_t lc : cases) {
        Cover cover{lc, {}, {}};
        std::size_t i = 0;
        for (const auto& [id, shell] : model.shells) (HasResults(shell, lc) ? cover.with : cover.without).push_back(i++);
        for (const auto& [id, frame] : model.frames) (HasResults(frame, lc) ? cover.with : cover.without).push_back(i++);
        // A case with results on every element is never missing: most models need no geometry at all.
        if (cover.without.empty()) continue;
        covers_.push_back(std::move(cover));
    }
    if (!covers_.empty()) mesh_ = MakePlaneMesh(model, calc);
}

std::vector<std::int32_t> ResultCoverage::Missing(Vec3 start, Vec3 end) const {
    std::vector<std::int32_t> missing;
    if (covers_.empty()) return missing;
    const Pt a = PlanePoint(calc_, start), b = PlanePoint(calc_, end);
    auto anyMeets = [&](const std::vector<std::size_t>& elements) {
        for (std::size_t i : elements)
            if (Meets(mesh_.elements[i], a, b, mesh_.tolerance)) return true;
        return false;
    };
    for (const Cover& c : covers_)
        if (!anyMeets(c.with) && anyMeets(c.without)) missing.push_back(c.loadCase);
    return missing;
}

}  // namespace xsect::cli
