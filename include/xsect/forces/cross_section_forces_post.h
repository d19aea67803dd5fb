#pragma once

#include <cstdint>
#include <map>
#include <memory>
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

namespace detail {
struct PlaneModel;
struct HostState;
}

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

    // For the library's own calculators built over this one (the stress calculator and section
    // cutters): the shared model of the surface, and the state the stress calculator shares (the
    // model, the status word, the last cut's axes). Not exported: a host reaches them only through
    // the operations above.
    XSECT_LOCAL const std::shared_ptr<const detail::PlaneModel>& Model() const;
    XSECT_LOCAL detail::HostState& State();

private:
    // Writes the model's nodes, shell connectivity and static shell results to a fixed diagnostic
    // file; on systems where that path cannot exist it writes nothing.
    void PrintDataToFile();

    // The host's model in plane coordinates, with its results and spatial index (immutable, so
    // copies of this calculator share it), the status word and the last cut's axes. Never null, and
    // it stays at one address for the calculator's life, so a stress calculator can refer to it.
    std::unique_ptr<detail::HostState> state;
};

}  // namespace xsect
