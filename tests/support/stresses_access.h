#pragma once

// The one door the tests have into the stress calculator's and the stress point's private parts.

#include <xsect/xsect.h>

namespace xsect {

struct CCrossSectionStressesPostTestAccess {
    using Calc = CCrossSectionStressesPost;

    static CCrossSectionForcesPost*& forceCalculator(Calc& c) { return c.forceCalculator; }
    static std::map<std::int32_t, bool>& elementNormalAligned(Calc& c) { return c.elementNormalAligned; }
    static CVertex& facePoint2D(Calc& c) { return c.facePoint2D; }
    static std::vector<std::shared_ptr<ElemStressPoints>>& elementStressPoints(Calc& c) {
        return c.elementStressPoints;
    }

    static void ComputeElementLcoalCoor_ZEL(Calc& c) { c.ComputeElementLcoalCoor_ZEL(); }
    static bool Convert3DTo1D(const Calc& c, double& x, const double& y, const double& z) {
        return c.Convert3DTo1D(x, y, z);
    }
    static bool Convert2DTo1D(const Calc& c, double& x, const double& y) { return c.Convert2DTo1D(x, y); }
    static std::int32_t GetForcesOnSection_Alternative(Calc& c, std::int32_t lc, CVertex* p1, CVertex* p2,
                                                       double& F1, double& F2, double& F3, double& M1, double& M2,
                                                       double& M3) {
        return c.GetForcesOnSection_Alternative(lc, p1, p2, F1, F2, F3, M1, M2, M3);
    }
    static void TryNode_Alternative(Calc& c, POLYGON_DIRECTION wanted, std::int32_t node, CVertex* v,
                                    CNodeResults* r, std::vector<CVertex*>& polygon,
                                    std::map<std::int32_t, CNodeResults>& gathered) {
        c.TryNode_Alternative(wanted, node, v, r, polygon, gathered);
    }
    static bool AdjustCrossSectionOrientation_Alternative(const Calc& c, CROSS_SECTION_CUT_TYPE t, const CVertex* a,
                                                          const CVertex* b) {
        return c.AdjustCrossSectionOrientation_Alternative(t, a, b);
    }
};

struct StressPointTestAccess {
    static StressCSType& csType(StressPoint& p) { return p.csType; }
};

}  // namespace xsect
