#include "xsect/forces/plane_fit.h"

#include <cmath>

#include "core/plane_model.h"

namespace xsect {

PlaneFit PlaneFitOf(const CCrossSectionForcesPost& calculator) {
    const detail::PlaneModel& m = *calculator.Model();
    PlaneFit fit{m.planeStatus, m.framed, m.planeNodes, {}};
    if (!m.framed) return fit;
    // A framed set-up has taken every node into plane coordinates: z' is the node's distance.
    for (std::size_t i = 0; i < m.vertices.size(); ++i) {
        const double distance = std::fabs(m.vertices[i].z);
        if (!(distance <= m.tolerance)) fit.offPlane.push_back({m.nodeIds[i], distance});
    }
    return fit;
}

}  // namespace xsect
