// The section-force driver: one cut, one load case, six resultants.

#include <algorithm>
#include <cmath>

#include "xsect/forces/cross_section_forces_post.h"

namespace xsect {

namespace {

// The highest mode number any crossed element has results filed under for the load case. Modes
// above it gather nothing and combine as zeros, so the mode loop can stop there: a host's
// modeCount of millions then costs nothing.
std::int32_t highestFiledMode(std::int32_t loadCase, const std::map<std::int32_t, CShellElement*>& shells,
                              const std::map<std::int32_t, CFrameElement*>& frames) {
    std::int32_t highest = 0;
    auto take = [&](const std::map<std::int32_t, CNodeResults>& modes) {
        if (!modes.empty()) highest = std::max(highest, modes.rbegin()->first);
    };
    for (const auto& [number, shell] : shells) {
        (void)number;
        auto lc = shell->spectrumResults.find(loadCase);
        if (lc == shell->spectrumResults.end()) continue;
        for (const auto& [node, modes] : lc->second) take(modes), (void)node;
    }
    for (const auto& [number, frame] : frames) {
        (void)number;
        for (const auto* ends : {&frame->spectrumResultsA, &frame->spectrumResultsB}) {
            auto lc = ends->find(loadCase);
            if (lc != ends->end()) take(lc->second);
        }
    }
    return highest;
}

}  // namespace

std::int32_t CCrossSectionForcesPost::GetForcesOnSection(std::int32_t loadCase, CVertex* start, CVertex* end,
                                                         std::vector<double>& F1, std::vector<double>& F2,
                                                         std::vector<double>& F3, std::vector<double>& M1,
                                                         std::vector<double>& M2, std::vector<double>& M3,
                                                         std::int32_t side, bool globalAxes, bool momentAtMidpoint,
                                                         CVertex* momentPoint) {
    // Every call starts from empty outputs, a refused one too.
    std::vector<double>* outputs[6] = {&F1, &F2, &F3, &M1, &M2, &M3};
    for (std::vector<double>* out : outputs) out->clear();
    auto append = [&outputs](double f1, double f2, double f3, double m1, double m2, double m3) {
        const double values[6] = {f1, f2, f3, m1, m2, m3};
        for (int i = 0; i < 6; ++i) outputs[i]->push_back(values[i]);
    };

    // A standing status refuses the cut; so does a plane that was never set up, even after a
    // reset, since everything below needs it.
    if (currentStatus != CS_SUCCESS) return -1;
    if (!PlaneReady()) return -1;
    // Missing points are a host error with no status of their own: refuse without touching anything.
    if (start == nullptr || end == nullptr || (!momentAtMidpoint && momentPoint == nullptr)) return -1;

    // The cut's ends go to plane coordinates in place and must lie in the plane.
    ConvertTo2D(&start->x, &start->y, &start->z);
    ConvertTo2D(&end->x, &end->y, &end->z);
    if (std::fabs(start->z) > tolerance || std::fabs(end->z) > tolerance) {
        currentStatus = CS_CUT_LINE_OFF_PLANE;
        return -1;
    }

    // The moment point: the cut's midpoint or the host's point, which must lie in the plane.
    double mx = 0.0, my = 0.0, mz = 0.0;
    currentStatus = SetMomentPoint(momentAtMidpoint, momentPoint, start, end, mx, my, mz);
    if (currentStatus != CS_SUCCESS) return -1;

    // Classify the cut and run an axis-parallel one in the axis' positive sense; the side
    // selector follows the swap, the moment point stays.
    const CROSS_SECTION_CUT_TYPE cutType = DetermineCrossSectionType(start, end);
    std::int32_t cutSide = side;
    AdjustCrossSectionOrientation(cutType, start, end, cutSide);

    // Find the crossed elements; a cut that misses them all has no section.
    std::map<std::int32_t, CShellElement*> crossedShells;
    std::map<std::int32_t, CFrameElement*> crossedFrames;
    std::map<std::int32_t, std::vector<CEdge>> crossedEdges;
    FindShellsCrossedWithLine(start, end, crossedShells, crossedEdges);
    FindFramesCrossedWithLine(start, end, crossedFrames, crossedEdges);
    if (crossedShells.empty() && crossedFrames.empty()) {
        currentStatus = CS_NO_ELEMENTS_CROSSED;
        return -1;
    }

    // The cut's own axes, in plane coordinates (T) and, kept for the host, in global ones.
    AG_Matrix T(3, 3, 0.0);
    currentStatus = CalculateCrossSectionMap(cutSide, cutType, start, end, T);
    if (currentStatus != CS_SUCCESS) return -1;
    const AG_Matrix planeToGlobal = planeMatrix.T();
    sectionMatrix.ReDimension(3, 3, 0.0);
    for (std::int32_t i = 1; i <= 3; ++i) {
        AG_ColVector row(3);
        for (std::int32_t j = 1; j <= 3; ++j) row[j] = static_cast<double>(T(i, j));
        const AG_ColVector global = planeToGlobal * row;
        for (std::int32_t j = 1; j <= 3; ++j) sectionMatrix(i, j) = global[j];
    }

    // Unknown and unsupported load cases give nothing; a case type beyond the known ones
    // succeeds with empty outputs.
    CLoadCaseInfo* caseInfo = GetLoadCasePtr(loadCase);
    if (caseInfo == nullptr) return -1;
    if (caseInfo->caseType == LOAD_CASE_UNSUPPORTED) return -1;
    if (caseInfo->caseType != LOAD_CASE_RESPONSE_SPECTRUM && caseInfo->caseType != LOAD_CASE_STATIC) return 1;

    if (caseInfo->caseType == LOAD_CASE_RESPONSE_SPECTRUM) {
        // Gather and integrate mode by mode, then combine; the result stays in cut axes.
        std::map<std::int32_t, std::map<std::int32_t, CNodeResults>> modalResults;
        const std::int32_t lastMode = std::min(caseInfo->modeCount, highestFiledMode(loadCase, crossedShells, crossedFrames));
        for (std::int32_t mode = 1; mode <= lastMode; ++mode) {
            std::map<std::int32_t, CNodeResults> gathered;
            FillInRSPAnalysisResults(loadCase, start, end, crossedShells, cutSide, mode, gathered);
            FillInRSPAnalysisResults(loadCase, start, end, crossedFrames, cutSide, mode, gathered);
            modalResults.emplace(mode, std::move(gathered));
        }
        double f1 = 0.0, f2 = 0.0, f3 = 0.0, m1 = 0.0, m2 = 0.0, m3 = 0.0;
        CalculateRSPResultants(caseInfo, T, start, end, modalResults, mx, my, mz, f1, f2, f3, m1, m2, m3);
        append(f1, f2, f3, m1, m2, m3);
        return 1;
    }

    // Static: gather the chosen side in plane axes and integrate it about the moment point.
    std::map<std::int32_t, CNodeResults> gathered;
    FillInAnalysisResults(loadCase, start, end, crossedShells, crossedEdges, cutSide, gathered);
    FillInAnalysisResults(loadCase, start, end, crossedFrames, crossedEdges, cutSide, gathered);
    double f1 = 0.0, f2 = 0.0, f3 = 0.0, m1 = 0.0, m2 = 0.0, m3 = 0.0;
    CalculateResultants(T, start, end, gathered, mx, my, mz, f1, f2, f3, m1, m2, m3);

    if (globalAxes) {
        // Back from the cut's axes to the model's: R = planeMatrix^T * T^T.
        AG_Matrix R = planeToGlobal * T.T();
        ApplyTransformation(f1, f2, f3, f1, f2, f3, R);
        ApplyTransformation(m1, m2, m3, m1, m2, m3, R);
    }
    append(f1, f2, f3, m1, m2, m3);
    return 1;
}

}  // namespace xsect
