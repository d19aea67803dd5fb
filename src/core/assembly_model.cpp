#include "core/assembly_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace xsect::detail {

namespace {

std::string numberText(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

// The box of an element's nodes; empty for an element the searches leave out.
Box3 boxOf(const AssemblyModel& m, const std::int32_t* nodes, std::size_t count) {
    Box3 b{{HUGE_VAL, HUGE_VAL, HUGE_VAL}, {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL}};
    for (std::size_t i = 0; i < count; ++i) {
        const Point& v = m.vertices[static_cast<std::size_t>(nodes[i])];
        const Vec3 p{v.x, v.y, v.z};
        for (std::size_t k = 0; k < 3; ++k) {
            b.lo[k] = std::min(b.lo[k], p[k]);
            b.hi[k] = std::max(b.hi[k], p[k]);
        }
    }
    return b;
}

void buildTree(AssemblyModel& m) {
    const Box3 none{{1.0, 1.0, 1.0}, {0.0, 0.0, 0.0}};
    std::vector<Box3> boxes;
    boxes.reserve(m.ShellCount() + m.FrameCount());
    for (std::size_t s = 0; s < m.ShellCount(); ++s)
        boxes.push_back(m.shellUsable[s] ? boxOf(m, m.CornersOf(s), m.CornerCount(s)) : none);
    for (std::size_t f = 0; f < m.FrameCount(); ++f)
        boxes.push_back(m.FrameUsable(f) ? boxOf(m, m.frameEnds[f].data(), 2) : none);
    m.tree.Build(boxes);
}

}  // namespace

std::shared_ptr<const AssemblyModel> BuildAssemblyModel(const std::map<std::int32_t, CVertex>& nodes,
                                                        const std::map<std::int32_t, CShellElement>& shells,
                                                        const std::map<std::int32_t, CFrameElement>& frames,
                                                        const std::map<std::int32_t, CLoadCaseInfo>& loadCases,
                                                        double tolerance, double sense,
                                                        const std::map<std::int32_t, double>& thickness,
                                                        std::string& error) {
    auto model = std::make_shared<AssemblyModel>();
    AssemblyModel& m = *model;
    if (!(tolerance > 0.0) || !std::isfinite(tolerance)) {
        error = "The tolerance must be a positive number, not " + numberText(tolerance) + ".";
        return model;
    }
    // A node that is not a point in space cannot be on either side of a plane.
    for (const auto& [id, v] : nodes)
        if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) {
            error = "Node " + std::to_string(id) + " has a coordinate that is not a finite number.";
            return model;
        }
    m.tolerance = tolerance;
    m.sense = sense;
    CopyElements(nodes, shells, frames, loadCases, m);
    FileResults(shells, frames, nullptr, m);

    m.thickness.assign(m.ShellCount(), 0.0);
    for (std::size_t s = 0; s < m.ShellCount(); ++s) {
        const auto it = thickness.find(m.shellIds[s]);
        if (it != thickness.end() && it->second > 0.0 && std::isfinite(it->second)) {
            m.thickness[s] = it->second;
            m.anyThickness = true;
        }
    }
    for (const Point& v : m.vertices)
        m.magnitude = std::max({m.magnitude, std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)});
    buildTree(m);
    return model;
}

}  // namespace xsect::detail
