// From laid-out sections to a plan: each summed node's lever arm and each section's transfer, then
// the elements read numbered in row order.

#include <algorithm>

#include "sections/plan_data.h"

namespace xsect::detail {

namespace {


// The ascending, distinct elements of one kind (shells or frames) that the sections' nodes name.
std::vector<std::int32_t> elementsRead(const std::vector<PlannedSection>& sections, std::int32_t frame) {
    std::vector<std::int32_t> rows;
    for (const PlannedSection& s : sections)
        for (const PlanTerm& t : s.nodes)
            if (t.frame == frame && (rows.empty() || rows.back() != t.element)) rows.push_back(t.element);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

// Made when the library is loaded, so that running out of memory can still be said.
const std::shared_ptr<const PlanData> kOutOfMemory = [] {
    auto d = std::make_shared<PlanData>();
    d->error = "Out of memory.";
    return d;
}();

std::int32_t placeIn(const std::vector<std::int32_t>& rows, std::int32_t element) {
    return static_cast<std::int32_t>(std::lower_bound(rows.begin(), rows.end(), element) - rows.begin());
}

}  // namespace

void PlanSection(const ElementArrays& m, const SectionLayout& layout, const PlaneFrame* frame, PlannedSection& out) {
    // The section's axes in global coordinates are the geometry's own; the sign turns the summed
    // side's records into what the +n part exerts.
    const SectionResult& g = out.geometry;
    out.transfer = {scaled(vectorOf(g.n), layout.sign), scaled(vectorOf(g.t), layout.sign),
                    scaled(vectorOf(g.k), layout.sign)};
    out.nodes.clear();
    out.nodes.reserve(layout.side.size());
    for (const SideSlot& s : layout.side) {
        const Vec3 arm = difference(vectorOf(m.vertices[static_cast<std::size_t>(s.node)]), layout.momentPoint);
        out.nodes.push_back({s.element, s.slot, s.frame ? 1 : 0, frame ? frame->DirectionToGlobal(arm) : arm});
    }
}

std::size_t MostCorners(const ElementArrays& m) {
    std::size_t most = 0;
    for (std::size_t s = 0; s < m.ShellCount(); ++s) most = std::max(most, m.CornerCount(s));
    return most;
}

std::shared_ptr<const PlanData> AssemblePlan(std::vector<PlannedSection>&& sections, std::size_t shellRows,
                                             std::size_t frameRows, std::size_t corners) {
    auto d = std::make_shared<PlanData>();
    d->shellRows = shellRows;
    d->frameRows = frameRows;
    d->corners = corners;
    d->shells = elementsRead(sections, 0);
    d->frames = elementsRead(sections, 1);
    std::size_t terms = 0;
    for (const PlannedSection& s : sections) terms += s.nodes.size();
    d->terms.reserve(terms);
    d->sections.reserve(sections.size());
    d->transfer.reserve(sections.size());
    d->termStart.reserve(sections.size() + 1);
    for (PlannedSection& s : sections) {
        for (PlanTerm t : s.nodes) {
            t.element = placeIn(t.frame ? d->frames : d->shells, t.element);
            d->terms.push_back(t);
        }
        d->termStart.push_back(d->terms.size());
        s.geometry.values.clear();
        s.geometry.envelope = EnvelopeOf({});
        d->sections.push_back(std::move(s.geometry));
        d->transfer.push_back(s.transfer);
    }
    return d;
}

std::shared_ptr<const PlanData> RefusedPlan(std::string sentence) noexcept {
    try {
        auto d = std::make_shared<PlanData>();
        d->error = std::move(sentence);
        return d;
    } catch (...) {
        return kOutOfMemory;
    }
}

}  // namespace xsect::detail
