#include "compute/result_coverage.h"

#include <algorithm>

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

// Every element of the list is among the ascending ids `without`.
bool AllWithout(const std::vector<std::int32_t>& elements, const std::vector<std::int32_t>& without) {
    return std::all_of(elements.begin(), elements.end(),
                       [&](std::int32_t id) { return std::binary_search(without.begin(), without.end(), id); });
}

}  // namespace

ResultCoverage::ResultCoverage(const io::Model& model, const std::vector<std::int32_t>& cases) {
    for (std::int32_t lc : cases) {
        Cover cover{lc, {}, {}};
        for (const auto& [id, shell] : model.shells)
            if (!HasResults(shell, lc)) cover.shellsWithout.push_back(id);
        for (const auto& [id, frame] : model.frames)
            if (!HasResults(frame, lc)) cover.framesWithout.push_back(id);
        // A case with results on every element is never missing: most models need no lookups at all.
        if (cover.shellsWithout.empty() && cover.framesWithout.empty()) continue;
        covers_.push_back(std::move(cover));
    }
}

std::vector<std::int32_t> ResultCoverage::Missing(const std::vector<std::int32_t>& shells,
                                                  const std::vector<std::int32_t>& frames) const {
    std::vector<std::int32_t> missing;
    if (shells.empty() && frames.empty()) return missing;
    for (const Cover& c : covers_)
        if (AllWithout(shells, c.shellsWithout) && AllWithout(frames, c.framesWithout)) missing.push_back(c.loadCase);
    return missing;
}

}  // namespace xsect::cli
