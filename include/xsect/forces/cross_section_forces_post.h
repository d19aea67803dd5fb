#pragma once

#include <cstdint>
#include <iosfwd>
#include <map>
#include <vector>

#include "xsect/export.h"
#include "xsect/forces/geometry_types.h"
#include "xsect/forces/status.h"
#include "xsect/math/matrix.h"
#include "xsect/model/frame_element.h"
#include "xsect/model/load_case_info.h"
#include "xsect/model/node_results.h"
#include "xsect/model/shell_element.h"
#include "xsect/model/vertex.h"

namespace xsect {

// The section-force calculator. Construction copies the host's model (the maps are neither kept
// nor changed), sets up the plane of the shell surface and stores its nodes in plane coordinates;
// the outcome is the status word. Then GetForcesOnSection gives the six resultants of a cut.
class XSECT_API CCrossSectionForcesPost {
public:
    // The plane is set up from the three named nodes (the first becomes the origin, their order
    // fixes the normal) when all three are positive, otherwise from the model itself. A failure
    // shows only in the status: CS_NO_SHELLS or CS_PLANE_NOT_DEFINED.
    CCrossSectionForcesPost(std::map<std::int32_t, CVertex>& nodes, std::map<std::int32_t, CShellElement>& shells,
                            std::map<std::int32_t, CFrameElement>& frames,
                            std::map<std::int32_t, CLoadCaseInfo>& loadCases, double tolerance,
                            std::int32_t planeNode1 = 0, std::int32_t planeNode2 = 0, std::int32_t planeNode3 = 0);
    CCrossSectionForcesPost(const CCrossSectionForcesPost& other);
    CCrossSectionForcesPost& operator=(const CCrossSectionForcesPost& other);
    virtual ~CCrossSectionForcesPost();

    // The status word (a CROSS_SECTION_MESSAGES value) and its reset.
    std::int32_t GetCurrentStatus() const;
    void ResetCurrentStatus();

    // Writes the plane origin offset (the origin node rotated into plane axes) into x, y, z.
    void GetOrigin(CVertex& point) const;
    std::int32_t GetOriginNodeNo() const;

    // Convert a point in place: global to plane coordinates, and back.
    void ConvertTo2D(double* x, double* y, double* z);
    void ConvertTo3D(double* x, double* y, double* z);

    // The plane's axes, and the last cut's axes, as unit vectors in global coordinates.
    void GetPlaneMap(CVertex& xAxis, CVertex& yAxis, CVertex& normal) const;
    void GetCrossSectionMap(CVertex& axis1, CVertex& axis2, CVertex& axis3) const;

    // Empties the six vectors, then appends one value to each: the forces along and moments
    // about the cut's axes (or, for a static case with globalAxes, the global axes), taken about
    // the cut's midpoint or momentPoint. side non-zero gathers the nodes right of the directed
    // cut (and on it), zero those strictly left. start, end and an explicit momentPoint come
    // back converted to plane coordinates, start and end possibly exchanged. Returns 1, or -1
    // with the reason in the status.
    std::int32_t GetForcesOnSection(std::int32_t loadCase, CVertex* start, CVertex* end, std::vector<double>& F1,
                                    std::vector<double>& F2, std::vector<double>& F3, std::vector<double>& M1,
                                    std::vector<double>& M2, std::vector<double>& M3, std::int32_t side,
                                    bool globalAxes, bool momentAtMidpoint, CVertex* momentPoint);

    // Combines one component's modal values by the load case's rule, then its residual and sign.
    // values must hold at least modeCount entries; the CQC and close-modes rules combine to
    // quiet NaN when the coefficient or frequency array they need is null.
    static double ComputeRSPCombination(CLoadCaseInfo* loadCase, std::vector<double>& values);
    // Multiplies value by the sign that method gives for the modal values.
    static void ApplySigntoRSPValue(RSP_SIGN_METHOD method, std::int32_t mode, std::vector<double>& values,
                                    double& value);
    // -1 when the sum of |R| R over the values is negative, else 1.
    static double RSP_SignMethod1(std::vector<double>& values);
    // -1 when the value of the 1-based mode is negative, else 1 (also for a mode out of range).
    static double RSP_SignMethod2(std::vector<double>& values, std::int32_t mode);

private:
    friend class CCrossSectionStressesPost;
    friend struct CCrossSectionForcesPostTestAccess;

    // plane set-up
    bool ComputeTransformationMatrix(CVertex* p1, CVertex* p2, CVertex* p3, AG_Matrix& out);
    bool CheckPointsColinear(CVertex* p1, CVertex* p2, CVertex* p3);
    CROSS_SECTION_MESSAGES SetNodesToSetOutwardNormal(std::int32_t node1, std::int32_t node2, std::int32_t node3);
    CROSS_SECTION_MESSAGES Map3DTo2D();
    std::int32_t FindOrigin();
    CShellElement* FindShell(std::int32_t node);
    CROSS_SECTION_MESSAGES SetOriginAndConvertVertices(std::int32_t originNode);
    void ConvertTo2D(AG_Matrix* M, AG_ColVector* o, double* x, double* y, double* z);
    void ConvertTo3D(AG_Matrix* M, AG_ColVector* o, double* x, double* y, double* z);

    // cut geometry
    CROSS_SECTION_CUT_TYPE DetermineCrossSectionType(CVertex* a, CVertex* b);
    void AdjustCrossSectionOrientation(CROSS_SECTION_CUT_TYPE type, CVertex* a, CVertex* b, std::int32_t& side);
    CROSS_SECTION_MESSAGES CalculateCrossSectionMap(std::int32_t side, CROSS_SECTION_CUT_TYPE type, CVertex* a,
                                                    CVertex* b, AG_Matrix& out);
    CROSS_SECTION_MESSAGES SetMomentPoint(bool atMidpoint, CVertex* p, CVertex* a, CVertex* b, double& x, double& y,
                                          double& z);
    // Refuses work after a failed plane set-up: puts the set-up's failure back into the status.
    bool PlaneReady();

    // crossing detection
    void FindShellsCrossedWithLine(CVertex* a, CVertex* b, std::map<std::int32_t, CShellElement*>& crossedShells,
                                   std::map<std::int32_t, std::vector<CEdge>>& crossedEdges);
    void FindFramesCrossedWithLine(CVertex* a, CVertex* b, std::map<std::int32_t, CFrameElement*>& crossedFrames,
                                   std::map<std::int32_t, std::vector<CEdge>>& crossedEdges);
    bool CheckLinesCrossing(CVertex* a, CVertex* b, CVertex* c, CVertex* d);

    // gathering
    POLYGON_DIRECTION PolygonDirection(std::vector<CVertex*>& polygon);
    void TryNode(POLYGON_DIRECTION wanted, std::int32_t node, CVertex* vertex, CNodeResults* results,
                 std::vector<CVertex*>& polygon, std::map<std::int32_t, CNodeResults>& gathered);
    void AddResults(CNodeResults* results, std::int32_t node, std::map<std::int32_t, CNodeResults>& gathered);
    void FillInAnalysisResults(std::int32_t loadCase, CVertex* P1, CVertex* P2,
                               std::map<std::int32_t, CShellElement*>& crossedShells,
                               std::map<std::int32_t, std::vector<CEdge>>& crossedEdges, std::int32_t side,
                               std::map<std::int32_t, CNodeResults>& gathered);
    void FillInAnalysisResults(std::int32_t loadCase, CVertex* P1, CVertex* P2,
                               std::map<std::int32_t, CFrameElement*>& crossedFrames,
                               std::map<std::int32_t, std::vector<CEdge>>& crossedEdges, std::int32_t side,
                               std::map<std::int32_t, CNodeResults>& gathered);
    void FillInRSPAnalysisResults(std::int32_t loadCase, CVertex* P1, CVertex* P2,
                                  std::map<std::int32_t, CShellElement*>& crossedShells, std::int32_t side,
                                  std::int32_t mode, std::map<std::int32_t, CNodeResults>& gathered);
    void FillInRSPAnalysisResults(std::int32_t loadCase, CVertex* P1, CVertex* P2,
                                  std::map<std::int32_t, CFrameElement*>& crossedFrames, std::int32_t side,
                                  std::int32_t mode, std::map<std::int32_t, CNodeResults>& gathered);

    // integration
    void AddForcesAndMoments(AG_Matrix& T, double dx, double dy, double dz, double fx, double fy, double fz,
                             double mx, double my, double mz, double& F1, double& F2, double& F3, double& M1,
                             double& M2, double& M3);
    void CalculateResultants(AG_Matrix& T, CVertex* P1, CVertex* P2, std::map<std::int32_t, CNodeResults>& gathered,
                             double x, double y, double z, double& F1, double& F2, double& F3, double& M1,
                             double& M2, double& M3);
    void CalculateMomentPoint(CVertex* P1, CVertex* P2, double& x, double& y, double& z);
    void ApplyTransformation(double& a, double& b, double& c, double x, double y, double z, AG_Matrix& R);

    // response spectrum
    void CalculateRSPResultants(CLoadCaseInfo* loadCase, AG_Matrix& T, CVertex* P1, CVertex* P2,
                                std::map<std::int32_t, std::map<std::int32_t, CNodeResults>>& modalResults, double x,
                                double y, double z, double& F1, double& F2, double& F3, double& M1, double& M2,
                                double& M3);

    CLoadCaseInfo* GetLoadCasePtr(std::int32_t loadCase);

    // diagnostic dump
    void PrintDataToFile();
    void WriteDataDump(std::ostream& out) const;

    std::int32_t currentStatus = CS_SUCCESS;
    std::map<std::int32_t, CVertex> vertices;
    std::map<std::int32_t, CShellElement> shells;
    std::map<std::int32_t, CFrameElement> frames;
    std::map<std::int32_t, CLoadCaseInfo> loadCases;
    double tolerance = 0.0;
    AG_Matrix planeMatrix{3, 3, 0.0};
    AG_ColVector planeOrigin{3, 0.0};
    AG_ColVector originPoint{3, 0.0};
    AG_Matrix sectionMatrix{3, 3, 0.0};
    std::int32_t originNodeNo = -1;
    // Outcome of the plane set-up, kept so that work is refused after a failed set-up even
    // when the host has reset the status.
    std::int32_t planeSetupStatus = CS_SUCCESS;
};

}  // namespace xsect
