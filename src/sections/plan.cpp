// A compiled plan applied to steps of element nodal forces, and renumbered to other row orders.

#include "xsect/plan.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "sections/plan_data.h"

namespace xsect {

namespace {

// The plan of no sections, shared by every default plan so that making one allocates nothing.
const std::shared_ptr<const detail::PlanData> kEmptyPlan = std::make_shared<detail::PlanData>();

// Where a term's record lies in one step's array: `full` arrays hold every row of the model, the
// plan's own rows hold its elements in the order it lists them.
struct StepLayout {
    bool full;
    std::size_t corners;
    const detail::PlanData& d;
    std::size_t ShellStride() const { return (full ? d.shellRows : d.shells.size()) * corners * 6; }
    std::size_t FrameStride() const { return (full ? d.frameRows : d.frames.size()) * 12; }
    std::size_t Offset(const detail::PlanTerm& t) const {
        const auto element = static_cast<std::size_t>(t.element);
        const std::vector<std::int32_t>& rows = t.frame ? d.frames : d.shells;
        const std::size_t row = full ? static_cast<std::size_t>(rows[element]) : element;
        return (row * (t.frame ? 2 : corners) + static_cast<std::size_t>(t.slot)) * 6;
    }
};

// Each section's nodes summed as the cutter sums a side: forces, and moments with each force's
// moment about the moment point, then the transfer into the section's axes.
void applySteps(const detail::PlanData& d, const StepLayout& at, const double* shells, const double* frames,
                std::size_t steps, double* out) {
    const std::size_t count = d.sections.size();
    const std::size_t shellStride = at.ShellStride(), frameStride = at.FrameStride();
    for (std::size_t step = 0; step < steps; ++step) {
        const double* stepShells = shells ? shells + step * shellStride : nullptr;
        const double* stepFrames = frames ? frames + step * frameStride : nullptr;
        for (std::size_t i = 0; i < count; ++i) {
            double* o = out + (step * count + i) * 6;
            if (d.sections[i].status != CS_SUCCESS) {
                std::fill(o, o + 6, std::numeric_limits<double>::quiet_NaN());
                continue;
            }
            detail::Vec3 force{}, moment{};
            for (std::size_t k = d.termStart[i]; k < d.termStart[i + 1]; ++k) {
                const detail::PlanTerm& t = d.terms[k];
                const double* base = t.frame ? stepFrames : stepShells;
                if (base == nullptr) continue;
                const double* r = base + at.Offset(t);
                const detail::Vec3 f{r[0], r[1], r[2]};
                const detail::Vec3 c = detail::cross(t.arm, f);
                for (std::size_t j = 0; j < 3; ++j) {
                    force[j] += f[j];
                    moment[j] += r[3 + j] + c[j];
                }
            }
            const detail::Vec3 F = detail::multiply(d.transfer[i], force), M = detail::multiply(d.transfer[i], moment);
            std::copy(F.begin(), F.end(), o);
            std::copy(M.begin(), M.end(), o + 3);
        }
    }
}

// Whether rows is a permutation of 0..count-1.
bool permutation(const std::vector<std::int32_t>& rows, std::size_t count) {
    if (rows.size() != count) return false;
    std::vector<unsigned char> seen(count, 0);
    for (const std::int32_t r : rows) {
        if (r < 0 || static_cast<std::size_t>(r) >= count || seen[static_cast<std::size_t>(r)]) return false;
        seen[static_cast<std::size_t>(r)] = 1;
    }
    return true;
}

// The rows a plan reads, taken through rowOf and sorted, with where each old place went.
std::vector<std::int32_t> renumber(const std::vector<std::int32_t>& rows, const std::vector<std::int32_t>& rowOf,
                                   std::vector<std::int32_t>& newPlace) {
    std::vector<std::int32_t> moved(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) moved[i] = rowOf[static_cast<std::size_t>(rows[i])];
    std::vector<std::int32_t> sorted = moved;
    std::sort(sorted.begin(), sorted.end());
    newPlace.resize(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        newPlace[i] = static_cast<std::int32_t>(std::lower_bound(sorted.begin(), sorted.end(), moved[i]) - sorted.begin());
    return sorted;
}

}  // namespace

SectionPlan::SectionPlan() : data_(kEmptyPlan) {}

SectionPlan::SectionPlan(std::shared_ptr<const detail::PlanData> data)
    : data_(data ? std::move(data) : detail::RefusedPlan("Out of memory.")) {}

const std::string& SectionPlan::Error() const { return data_->error; }
const std::vector<SectionResult>& SectionPlan::Sections() const { return data_->sections; }
const std::vector<std::int32_t>& SectionPlan::Shells() const { return data_->shells; }
const std::vector<std::int32_t>& SectionPlan::Frames() const { return data_->frames; }
std::size_t SectionPlan::ShellRows() const { return data_->shellRows; }
std::size_t SectionPlan::FrameRows() const { return data_->frameRows; }
std::size_t SectionPlan::Corners() const { return data_->corners; }

void SectionPlan::Apply(const double* shellForces, const double* frameForces, std::size_t steps, double* out) const {
    applySteps(*data_, {true, data_->corners, *data_}, shellForces, frameForces, steps, out);
}

void SectionPlan::ApplyRows(const double* shellRows, const double* frameRows, std::size_t steps, double* out) const {
    applySteps(*data_, {false, data_->corners, *data_}, shellRows, frameRows, steps, out);
}

SectionPlan SectionPlan::Renumbered(const std::vector<std::int32_t>& shellRow,
                                    const std::vector<std::int32_t>& frameRow) const try {
    const detail::PlanData& d = *data_;
    if (!d.error.empty()) return *this;
    if (!permutation(shellRow, d.shellRows))
        return SectionPlan(detail::RefusedPlan("The shell rows are not an order of the plan's " +
                                               std::to_string(d.shellRows) + " shells."));
    if (!permutation(frameRow, d.frameRows))
        return SectionPlan(detail::RefusedPlan("The frame rows are not an order of the plan's " +
                                               std::to_string(d.frameRows) + " frames."));
    auto copy = std::make_shared<detail::PlanData>(d);
    std::vector<std::int32_t> shellPlace, framePlace;
    copy->shells = renumber(d.shells, shellRow, shellPlace);
    copy->frames = renumber(d.frames, frameRow, framePlace);
    // Within a section the terms keep their order, so the sums are taken as before.
    for (detail::PlanTerm& t : copy->terms)
        t.element = (t.frame ? framePlace : shellPlace)[static_cast<std::size_t>(t.element)];
    return SectionPlan(std::move(copy));
} catch (...) {
    return SectionPlan(detail::RefusedPlan("Out of memory."));
}

bool StepEnvelope::Add(const double* series, std::size_t steps, std::size_t width) try {
    if (!sized_) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        std::vector<double> max(width, nan), min(width, nan);
        std::vector<std::int64_t> maxStep(width, -1), minStep(width, -1);
        max_.swap(max);
        min_.swap(min);
        maxStep_.swap(maxStep);
        minStep_.swap(minStep);
        sized_ = true;
    } else if (width != max_.size()) {
        return false;
    }
    for (std::size_t s = 0; s < steps; ++s) {
        const std::int64_t step = steps_ + static_cast<std::int64_t>(s);
        const double* row = series + s * width;
        for (std::size_t j = 0; j < width; ++j) {
            const double v = row[j];
            if (std::isnan(v)) continue;
            // Strictly greater: on a tie the first step keeps it.
            if (maxStep_[j] < 0 || v > max_[j]) max_[j] = v, maxStep_[j] = step;
            if (minStep_[j] < 0 || v < min_[j]) min_[j] = v, minStep_[j] = step;
        }
    }
    steps_ += static_cast<std::int64_t>(steps);
    return true;
} catch (...) {
    return false;
}

}  // namespace xsect
