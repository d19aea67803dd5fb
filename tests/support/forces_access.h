#pragma once

// The one door the tests have into the section-force calculator's private operations and state.

#include <xsect/xsect.h>

namespace xsect {

struct CCrossSectionForcesPostTestAccess {
    using Calc = CCrossSectionForcesPost;
    using Gathered = std::map<std::int32_t, CNodeResults>;
    using Edges = std::map<std::int32_t, std::vector<CEdge>>;

    // state
    static std::map<std::int32_t, CVertex>& vertices(Calc& c) { return c.vertices; }
    static std::map<std::int32_t, CShellElement>& shells(Calc& c) { return c.shells; }
    static std::map<std::int32_t, CFrameElement>& frames(Calc& c) { return c.frames; }
    static std::map<std::int32_t, CLoadCaseInfo>& loadCases(Calc& c) { return c.loadCases; }
    static AG_Matrix& sectionMatrix(Calc& c) { return c.sectionMatrix; }
    static std::int32_t& currentStatus(Calc& c) { return c.currentStatus; }

    // plane set-up and cut geometry
    static bool ComputeTransformationMatrix(Calc& c, CVertex* p1, CVertex* p2, CVertex* p3, AG_Matrix& out) {
        return c.ComputeTransformationMatrix(p1, p2, p3, out);
    }
    static bool CheckPointsColinear(Calc& c, CVertex* p1, CVertex* p2, CVertex* p3) {
        return c.CheckPointsColinear(p1, p2, p3);
    }
    static std::int32_t FindOrigin(Calc& c) { return c.FindOrigin(); }
    static CShellElement* FindShell(Calc& c, std::int32_t node) { return c.FindShell(node); }
    static CROSS_SECTION_CUT_TYPE DetermineCrossSectionType(Calc& c, CVertex* a, CVertex* b) {
        return c.DetermineCrossSectionType(a, b);
    }
    static void AdjustCrossSectionOrientation(Calc& c, CROSS_SECTION_CUT_TYPE t, CVertex* a, CVertex* b,
                                              std::int32_t& side) {
        c.AdjustCrossSectionOrientation(t, a, b, side);
    }
    static CROSS_SECTION_MESSAGES SetMomentPoint(Calc& c, bool mid, CVertex* p, CVertex* a, CVertex* b, double& x,
                                                 double& y, double& z) {
        return c.SetMomentPoint(mid, p, a, b, x, y, z);
    }
    static void CalculateMomentPoint(Calc& c, CVertex* p1, CVertex* p2, double& x, double& y, double& z) {
        c.CalculateMomentPoint(p1, p2, x, y, z);
    }

    // crossing detection
    static void FindShellsCrossedWithLine(Calc& c, CVertex* a, CVertex* b,
                                          std::map<std::int32_t, CShellElement*>& crossed, Edges& edges) {
        c.FindShellsCrossedWithLine(a, b, crossed, edges);
    }
    static void FindFramesCrossedWithLine(Calc& c, CVertex* a, CVertex* b,
                                          std::map<std::int32_t, CFrameElement*>& crossed, Edges& edges) {
        c.FindFramesCrossedWithLine(a, b, crossed, edges);
    }
    static bool CheckLinesCrossing(Calc& c, CVertex* a, CVertex* b, CVertex* p, CVertex* q) {
        return c.CheckLinesCrossing(a, b, p, q);
    }

    // gathering
    static POLYGON_DIRECTION PolygonDirection(Calc& c, std::vector<CVertex*>& polygon) {
        return c.PolygonDirection(polygon);
    }
    template <class Elements>
    static void FillInAnalysisResults(Calc& c, std::int32_t lc, CVertex* p1, CVertex* p2, Elements& elements,
                                      Edges& edges, std::int32_t side, Gathered& g) {
        c.FillInAnalysisResults(lc, p1, p2, elements, edges, side, g);
    }

    // diagnostic dump
    static void WriteDataDump(const Calc& c, std::ostream& out) { c.WriteDataDump(out); }
    static void PrintDataToFile(Calc& c) { c.PrintDataToFile(); }
};

}  // namespace xsect
