// A diagnostic dump of the calculator's model: nodes, shell connectivity and static shell results,
// comma-separated, at a fixed path that exists only on the systems it was made for.

#include <fstream>
#include <ostream>

#include "core/plane_model.h"
#include "xsect/forces/cross_section_forces_post.h"

namespace xsect {

namespace {

[[maybe_unused]] void writeDump(const detail::PlaneModel& m, std::ostream& out) {
    // Read by people: the stream's default number format, and a flush after every line so that a
    // crash still leaves what was written.
    out << "NODES:" << std::endl;
    for (std::size_t i = 0; i < m.vertices.size(); ++i)
        out << m.nodeIds[i] << ',' << m.vertices[i].x << ',' << m.vertices[i].y << ',' << m.vertices[i].z << std::endl;

    out << "SHELLS CONNECTIVITY :" << std::endl;
    for (std::size_t s = 0; s < m.ShellCount(); ++s) {
        out << m.shellIds[s] << ',';
        for (std::size_t i = 0; i < m.CornerCount(s); ++i) {
            const std::int32_t node = m.CornersOf(s)[i];
            out << (node == detail::kMissing ? -1 : m.nodeIds[static_cast<std::size_t>(node)]) << ',';
        }
        out << std::endl;
    }

    // The results are held in plane axes; the dump turns them back into the host's global axes.
    out << "SHELLS FORCES :" << std::endl;
    for (std::size_t s = 0; s < m.ShellCount(); ++s) {
        for (std::size_t c = 0; c < m.caseIds.size(); ++c) {
            const detail::ResultBlock* block = m.shellResults.Find(s, static_cast<std::int32_t>(c));
            if (block == nullptr || m.cases[c].caseType != LOAD_CASE_STATIC) continue;
            for (std::size_t i = 0; i < m.CornerCount(s); ++i) {
                const double* r = m.shellResults.Record(*block, i, 1);
                if (r == nullptr) continue;
                const detail::Vec3 f = m.frame.DirectionToGlobal({r[0], r[1], r[2]});
                const detail::Vec3 mo = m.frame.DirectionToGlobal({r[3], r[4], r[5]});
                out << m.shellIds[s] << ',' << m.caseIds[c] << ','
                    << m.nodeIds[static_cast<std::size_t>(m.CornersOf(s)[i])] << ',' << f[0] << ',' << f[1] << ','
                    << f[2] << ',' << mo[0] << ',' << mo[1] << ',' << mo[2] << std::endl;
            }
        }
        out << std::endl;
    }
}

}  // namespace

void CCrossSectionForcesPost::PrintDataToFile() {
#ifdef _WIN32
    std::ofstream file("D:\\Quorvath\\DataOut.csv", std::ios::out | std::ios::trunc);
    if (file.is_open()) writeDump(*model, file);
#endif
}

}  // namespace xsect
