#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "xsect/export.h"
#include "xsect/forces/cross_section_forces_post.h"
#include "xsect/forces/geometry_types.h"
#include "xsect/math/matrix.h"
#include "xsect/model/vertex.h"
#include "xsect/stresses/cl_stress.h"
#include "xsect/stresses/elem_stress_points.h"
#include "xsect/stresses/stress_types.h"

namespace xsect {

// The cut-line stress calculator, built over a section-force calculator that must outlive it
// and whose status word it shares. Stage 1 hands the host sample rows to fill; the smoothing
// turns the filled rows into a balanced distribution of the five cut-line quantities.
class XSECT_API CCrossSectionStressesPost {
public:
    explicit CCrossSectionStressesPost(CCrossSectionForcesPost* forces);
    // Copies share the force calculator and the sample rows.
    CCrossSectionStressesPost(const CCrossSectionStressesPost& other);
    CCrossSectionStressesPost& operator=(const CCrossSectionStressesPost& other);
    virtual ~CCrossSectionStressesPost();

    // The force calculator's status word (CS_PLANE_NOT_DEFINED without a force calculator).
    std::int32_t GetStatus() const;
    void ResetStatus();

    // Target resultant of the last smoothing, and the resultant of its smoothed distribution.
    const ForceResultant& GetBalanceResultantForce() const;
    const ForceResultant& GetSmoothedStressResultantForce() const;

    // Stage 1: per shell the cut passes through, in increasing cut-line coordinate, a row of
    // evenly spaced sample points (global coordinates unless inPlaneCoordinates) for the host to
    // fill. facePoint fixes the side. A row gets at most 100000 intervals, however fine the
    // divisions or spacing asked for. Refusals leave a status (CS_CUT_LINE_OFF_PLANE,
    // CS_THIRD_POINT_ON_CUT_LINE, CS_NO_ELEMENTS_CROSSED) and give an empty list.
    std::vector<std::shared_ptr<ElemStressPoints>> GetCutlineStressInputPoints(CVertex cutStart, CVertex cutEnd,
                                                                               CVertex facePoint,
                                                                               std::int32_t divisions, double spacing,
                                                                               bool inPlaneCoordinates);

    // Smoothing at the given cut-line positions (sorted, clipped to the rows, at least four).
    // Corrects the signs of the rows' components in place, fits, balances against the section
    // resultant of loadCase and evaluates. An empty types set means all five quantities.
    // Refusals (CS_NO_STRESS_INPUT_POINTS, CS_NO_THICKNESS, CS_NONPOSITIVE_THICKNESS,
    // CS_STRESS_NOT_SET, CS_STRESS_CS_INVALID) change nothing and give an empty list.
    std::vector<std::shared_ptr<CLStressPoint>> SmoothBalanceCutlineStress(std::int32_t loadCase,
                                                                           std::vector<double> positions,
                                                                           std::set<CLStressType> types,
                                                                           bool balanceMz, bool includeQtInMy);
    // The same at the sample points' own coordinates.
    std::vector<std::shared_ptr<CLStressPoint>> SmoothBalanceCutlineStress(std::int32_t loadCase,
                                                                           std::set<CLStressType> types,
                                                                           bool balanceMz, bool includeQtInMy);
    // The same at evenly spaced positions.
    std::vector<std::shared_ptr<CLStressPoint>> SmoothBalanceCutlineStress(std::int32_t loadCase, double spacing,
                                                                           std::set<CLStressType> types,
                                                                           bool balanceMz, bool includeQtInMy);

private:
    // crossing points and cut-line coordinates; true when the cut touches any shell
    bool FindCrossPointsWithShells(CVertex* a, CVertex* b);
    void ComputeElementLcoalCoor_ZEL();
    bool Convert2DTo1D(double& x, const double& y) const;
    void Convert1DTo2D(double& s, double& y) const;

    // smoothing
    double CalcThickness(std::int32_t& k) const;

    // the section resultant the smoothing balances against
    std::int32_t GetForcesOnSection_Alternative(std::int32_t loadCase, CVertex* P1, CVertex* P2, double& F1,
                                                double& F2, double& F3, double& M1, double& M2, double& M3);

    // The force calculator's state (its model, status word and last cut's axes), which this
    // calculator reads and writes as its own; null without a force calculator.
    detail::HostState* shared = nullptr;
    std::map<std::int32_t, bool> elementNormalAligned;
    CVertex cutStart2D;
    CVertex cutEnd2D;
    CVertex facePoint2D;
    CVertex cutStart3D;
    CVertex cutEnd3D;
    CVertex facePoint3D;
    double cutLength = 0.0;
    POLYGON_DIRECTION facePointSide = POLYGON_CLOCKWISE;
    CVertex cutNormal2D;
    std::vector<std::shared_ptr<ElemStressPoints>> elementStressPoints;
    ForceResultant balanceResultant;
    ForceResultant smoothedResultant;
};

}  // namespace xsect
