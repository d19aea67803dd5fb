// Collecting the nodal results of the crossed elements on the chosen side of a cut, rotated
// into plane axes and summed per node.

#include "xsect/forces/cross_section_forces_post.h"

namespace xsect {

namespace {

// side non-zero takes the nodes right of the directed cut and those on it (winding clockwise
// or zero area), side zero those strictly left.
POLYGON_DIRECTION wantedWinding(std::int32_t side) { return side != 0 ? POLYGON_CLOCKWISE : POLYGON_COUNTERCLOCKWISE; }

}  // namespace

POLYGON_DIRECTION CCrossSectionForcesPost::PolygonDirection(std::vector<CVertex*>& polygon) {
    const std::size_t k = polygon.size();
    double sum = 0.0;
    for (std::size_t i = 0; i < k; ++i) {
        const CVertex* p = polygon[i];
        const CVertex* q = polygon[(i + 1) % k];
        sum += p->x * q->y - p->y * q->x;
    }
    // Exactly zero, with no tolerance: a node on the cut line counts as clockwise.
    const double area = 0.5 * sum;
    return area <= 0.0 ? POLYGON_CLOCKWISE : POLYGON_COUNTERCLOCKWISE;
}

void CCrossSectionForcesPost::TryNode(POLYGON_DIRECTION wanted, std::int32_t node, CVertex* vertex,
                                      CNodeResults* results, std::vector<CVertex*>& polygon,
                                      std::map<std::int32_t, CNodeResults>& gathered) {
    polygon.push_back(vertex);
    if (PolygonDirection(polygon) == wanted) AddResults(results, node, gathered);
    polygon.pop_back();
}

void CCrossSectionForcesPost::AddResults(CNodeResults* results, std::int32_t node,
                                         std::map<std::int32_t, CNodeResults>& gathered) {
    // A pure rotation into plane axes; the lever arm is applied by the integration.
    AG_ColVector force(3);
    force[1] = results->Fx;
    force[2] = results->Fy;
    force[3] = results->Fz;
    AG_ColVector moment(3);
    moment[1] = results->Mx;
    moment[2] = results->My;
    moment[3] = results->Mz;
    const AG_ColVector f = planeMatrix * force;
    const AG_ColVector m = planeMatrix * moment;

    auto [it, inserted] = gathered.try_emplace(node);
    CNodeResults& sum = it->second;
    if (inserted) {
        sum.Fx = f[1];
        sum.Fy = f[2];
        sum.Fz = f[3];
        sum.Mx = m[1];
        sum.My = m[2];
        sum.Mz = m[3];
        return;
    }
    sum.Fx += f[1];
    sum.Fy += f[2];
    sum.Fz += f[3];
    sum.Mx += m[1];
    sum.My += m[2];
    sum.Mz += m[3];
}

void CCrossSectionForcesPost::FillInAnalysisResults(std::int32_t loadCase, CVertex* P1, CVertex* P2,
                                                    std::map<std::int32_t, CShellElement*>& crossedShells,
                                                    std::map<std::int32_t, std::vector<CEdge>>& /*crossedEdges*/,
                                                    std::int32_t side, std::map<std::int32_t, CNodeResults>& gathered) {
    // The crossed edges are not needed: the winding test alone decides a node's side.
    std::vector<CVertex*> polygon{P1, P2};
    const POLYGON_DIRECTION wanted = wantedWinding(side);
    for (auto& [number, shell] : crossedShells) {
        // A shell without results for the case has nothing to give: skip it before any lookup.
        auto caseResults = shell->staticResults.find(loadCase);
        if (caseResults == shell->staticResults.end()) continue;
        for (std::int32_t node : shell->nodes) {
            auto vertex = vertices.find(node);
            if (vertex == vertices.end()) continue;
            auto nodeResults = caseResults->second.find(node);
            if (nodeResults == caseResults->second.end()) continue;
            TryNode(wanted, node, &vertex->second, &nodeResults->second, polygon, gathered);
        }
    }
}

void CCrossSectionForcesPost::FillInAnalysisResults(std::int32_t loadCase, CVertex* P1, CVertex* P2,
                                                    std::map<std::int32_t, CFrameElement*>& crossedFrames,
                                                    std::map<std::int32_t, std::vector<CEdge>>& /*crossedEdges*/,
                                                    std::int32_t side, std::map<std::int32_t, CNodeResults>& gathered) {
    std::vector<CVertex*> polygon{P1, P2};
    const POLYGON_DIRECTION wanted = wantedWinding(side);
    for (auto& [number, frame] : crossedFrames) {
        // Both ends are tested on their own; normally one lies on each side of the cut.
        const std::pair<std::int32_t, std::map<std::int32_t, CNodeResults>*> ends[] = {
            {frame->nodeA, &frame->staticResultsA}, {frame->nodeB, &frame->staticResultsB}};
        for (const auto& [node, results] : ends) {
            auto vertex = vertices.find(node);
            if (vertex == vertices.end()) continue;
            auto caseResults = results->find(loadCase);
            if (caseResults == results->end()) continue;
            TryNode(wanted, node, &vertex->second, &caseResults->second, polygon, gathered);
        }
    }
}

void CCrossSectionForcesPost::FillInRSPAnalysisResults(std::int32_t loadCase, CVertex* P1, CVertex* P2,
                                                       std::map<std::int32_t, CShellElement*>& crossedShells,
                                                       std::int32_t side, std::int32_t mode,
                                                       std::map<std::int32_t, CNodeResults>& gathered) {
    std::vector<CVertex*> polygon{P1, P2};
    const POLYGON_DIRECTION wanted = wantedWinding(side);
    for (auto& [number, shell] : crossedShells) {
        auto caseResults = shell->spectrumResults.find(loadCase);
        if (caseResults == shell->spectrumResults.end()) continue;
        for (std::int32_t node : shell->nodes) {
            auto vertex = vertices.find(node);
            if (vertex == vertices.end()) continue;
            auto nodeResults = caseResults->second.find(node);
            if (nodeResults == caseResults->second.end()) continue;
            auto modeResults = nodeResults->second.find(mode);
            if (modeResults == nodeResults->second.end()) continue;
            TryNode(wanted, node, &vertex->second, &modeResults->second, polygon, gathered);
        }
    }
}

void CCrossSectionForcesPost::FillInRSPAnalysisResults(std::int32_t loadCase, CVertex* P1, CVertex* P2,
                                                       std::map<std::int32_t, CFrameElement*>& crossedFrames,
                                                       std::int32_t side, std::int32_t mode,
                                                       std::map<std::int32_t, CNodeResults>& gathered) {
    std::vector<CVertex*> polygon{P1, P2};
    const POLYGON_DIRECTION wanted = wantedWinding(side);
    for (auto& [number, frame] : crossedFrames) {
        const std::pair<std::int32_t, std::map<std::int32_t, std::map<std::int32_t, CNodeResults>>*> ends[] = {
            {frame->nodeA, &frame->spectrumResultsA}, {frame->nodeB, &frame->spectrumResultsB}};
        for (const auto& [node, results] : ends) {
            auto vertex = vertices.find(node);
            if (vertex == vertices.end()) continue;
            auto caseResults = results->find(loadCase);
            if (caseResults == results->end()) continue;
            auto modeResults = caseResults->second.find(mode);
            if (modeResults == caseResults->second.end()) continue;
            TryNode(wanted, node, &vertex->second, &modeResults->second, polygon, gathered);
        }
    }
}

}  // namespace xsect
