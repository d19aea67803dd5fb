#include "compute/model_check.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <unordered_map>

#include "compute/geometry.h"

namespace xsect::cli {

namespace {

CVertex ForceOf(const CNodeResults& r) { return {r.Fx, r.Fy, r.Fz}; }
CVertex MomentOf(const CNodeResults& r) { return {r.Mx, r.My, r.Mz}; }

// Sums nodal records of one element in one state; moments about the first point given.
class Balance {
public:
    void Add(CVertex at, const CNodeResults& r) {
        if (count_++ == 0) origin_ = at;
        const CVertex f = ForceOf(r), lever = at - origin_;
        force_ = force_ + f;
        moment_ = moment_ + MomentOf(r) + Cross(lever, f);
        scale_ = std::max(scale_, Norm(f));
        size_ = std::max(size_, Norm(lever));
    }
    ElementResidual Residual(bool frame, std::int32_t id, std::int32_t mode) const {
        ElementResidual e{frame, id, mode, Norm(force_), Norm(moment_), scale_, 0.0};
        // Forces are compared with the largest nodal force, moments with that force times the
        // element's size; an element without forces has nothing to balance.
        if (scale_ > 0.0) e.relative = std::max(e.force / scale_, size_ > 0.0 ? e.moment / (scale_ * size_) : 0.0);
        else if (e.moment > 0.0) e.relative = std::numeric_limits<double>::infinity();
        return e;
    }

private:
    std::size_t count_ = 0;
    CVertex origin_, force_, moment_;
    double scale_ = 0.0, size_ = 0.0;
};

void Record(CaseEquilibrium& c, const ElementResidual& e, double tolerance, std::size_t worstCount) {
    if (!(e.relative <= tolerance)) ++c.failing;
    else return;
    c.worst.push_back(e);
    std::sort(c.worst.begin(), c.worst.end(),
              [](const ElementResidual& a, const ElementResidual& b) { return a.relative > b.relative; });
    if (c.worst.size() > worstCount) c.worst.pop_back();
}

void CheckEquilibrium(const io::Model& m, double tolerance, std::size_t worstCount, CheckReport& report) {
    std::map<std::int32_t, CaseEquilibrium> byCase;
    for (const auto& [id, lc] : m.loadCases) byCase[id].loadCase = id;
    for (const auto& [id, shell] : m.shells) {
        for (const auto& [lc, byNode] : shell.staticResults) {
            Balance b;
            for (const auto& [node, r] : byNode) b.Add(m.nodes.at(node), r);
            ++byCase[lc].elements;
            Record(byCase[lc], b.Residual(false, id, 0), tolerance, worstCount);
        }
        for (const auto& [lc, byNode] : shell.spectrumResults) {
            std::map<std::int32_t, Balance> byMode;
            for (const auto& [node, modes] : byNode)
                for (const auto& [mode, r] : modes) byMode[mode].Add(m.nodes.at(node), r);
            ++byCase[lc].elements;
            for (const auto& [mode, b] : byMode) Record(byCase[lc], b.Residual(false, id, mode), tolerance, worstCount);
        }
    }
    for (const auto& [id, frame] : m.frames) {
        const CVertex a = m.nodes.at(frame.nodeA), b = m.nodes.at(frame.nodeB);
        std::map<std::int32_t, Balance> statics;
        for (const auto& [lc, r] : frame.staticResultsA) statics[lc].Add(a, r);
        for (const auto& [lc, r] : frame.staticResultsB) statics[lc].Add(b, r);
        for (const auto& [lc, bal] : statics) {
            ++byCase[lc].elements;
            Record(byCase[lc], bal.Residual(true, id, 0), tolerance, worstCount);
        }
        std::map<std::int32_t, std::map<std::int32_t, Balance>> modal;
        for (const auto& [lc, modes] : frame.spectrumResultsA)
            for (const auto& [mode, r] : modes) modal[lc][mode].Add(a, r);
        for (const auto& [lc, modes] : frame.spectrumResultsB)
            for (const auto& [mode, r] : modes) modal[lc][mode].Add(b, r);
        for (const auto& [lc, modes] : modal) {
            ++byCase[lc].elements;
            for (const auto& [mode, bal] : modes) Record(byCase[lc], bal.Residual(true, id, mode), tolerance, worstCount);
        }
    }
    for (auto& [id, c] : byCase) {
        if (c.elements == 0) report.casesWithoutResults.push_back(id);
        report.equilibrium.push_back(std::move(c));
    }
}

void CheckUnusedNodes(const io::Model& m, CheckReport& report) {
    std::vector<std::int32_t> used;
    for (const auto& [id, s] : m.shells) used.insert(used.end(), s.nodes.begin(), s.nodes.end());
    for (const auto& [id, f] : m.frames) used.push_back(f.nodeA), used.push_back(f.nodeB);
    std::sort(used.begin(), used.end());
    for (const auto& [id, v] : m.nodes)
        if (!std::binary_search(used.begin(), used.end(), id)) report.unusedNodes.push_back(id);
}

void CheckPlane(io::Model& m, std::size_t worstCount, CheckReport& report) {
    const auto calculator = io::MakeForceCalculator(m);
    report.plane = PlaneFitOf(*calculator);
    report.assembly = io::IsAssembly(m, *calculator);
    std::vector<NodeOffPlane>& off = report.plane.offPlane;
    report.offPlane = off.size();
    // A distance that is not a number is the worst of all.
    const auto key = [](const NodeOffPlane& n) { return std::isnan(n.distance) ? HUGE_VAL : n.distance; };
    std::stable_sort(off.begin(), off.end(), [&](const NodeOffPlane& a, const NodeOffPlane& b) { return key(a) > key(b); });
    if (off.size() > worstCount) off.resize(worstCount);
}

// Nodes within the tolerance of one another, found on a grid of cells the tolerance wide: each
// node is compared only with the nodes of its own and the 26 neighbouring cells.
void CheckDuplicates(const io::Model& m, CheckReport& report) {
    const double cell = m.tolerance;
    auto index = [&](double v) {
        const double c = std::floor(v / cell);
        return static_cast<std::int64_t>(std::max(-4e18, std::min(4e18, std::isfinite(c) ? c : 0.0)));
    };
    struct Key {
        std::int64_t x, y, z;
        bool operator==(const Key& o) const { return x == o.x && y == o.y && z == o.z; }
    };
    struct Hash {
        std::size_t operator()(const Key& k) const {
            const auto u = [](std::int64_t v) { return static_cast<std::uint64_t>(v); };
            return static_cast<std::size_t>(u(k.x) * 73856093u ^ u(k.y) * 19349663u ^ u(k.z) * 83492791u);
        }
    };
    std::unordered_map<Key, std::vector<std::int32_t>, Hash> grid;
    grid.reserve(m.nodes.size());
    for (const auto& [id, v] : m.nodes) {
        const Key k{index(v.x), index(v.y), index(v.z)};
        for (std::int64_t dx = -1; dx <= 1; ++dx)
            for (std::int64_t dy = -1; dy <= 1; ++dy)
                for (std::int64_t dz = -1; dz <= 1; ++dz) {
                    auto it = grid.find(Key{k.x + dx, k.y + dy, k.z + dz});
                    if (it == grid.end()) continue;
                    for (std::int32_t other : it->second)
                        if (Norm(v - m.nodes.at(other)) <= cell) report.duplicates.emplace_back(other, id);
                }
        grid[k].push_back(id);
    }
}

}  // namespace

bool CheckReport::Clean() const {
    for (const CaseEquilibrium& c : equilibrium)
        if (c.failing) return false;
    return casesWithoutResults.empty() && unusedNodes.empty() &&
           (assembly || (plane.status == CS_SUCCESS && offPlane == 0)) && duplicates.empty();
}

CheckReport CheckModel(io::Model& model, double relativeTolerance, std::size_t worstCount) {
    CheckReport report;
    CheckEquilibrium(model, relativeTolerance, worstCount, report);
    CheckUnusedNodes(model, report);
    CheckPlane(model, worstCount, report);
    CheckDuplicates(model, report);
    return report;
}

}  // namespace xsect::cli
