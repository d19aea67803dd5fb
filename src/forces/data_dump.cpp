// A diagnostic dump of the calculator's model: nodes, shell connectivity and static shell
// results, comma-separated.

#include <fstream>
#include <ostream>

#include "xsect/forces/cross_section_forces_post.h"

namespace xsect {

void CCrossSectionForcesPost::PrintDataToFile() {
#ifdef _WIN32
    std::ofstream file("D:\\Quorvath\\DataOut.csv", std::ios::out | std::ios::trunc);
    if (!file.is_open()) return;
    WriteDataDump(file);
#endif
    // Elsewhere the fixed path cannot exist, so nothing is written.
}

void CCrossSectionForcesPost::WriteDataDump(std::ostream& out) const {
    // The dump is read by people: the stream's default number format, whatever the caller's
    // stream was set to, and a flush after every line so a crash still leaves what was written.
    const std::ios::fmtflags flags = out.flags();
    const std::streamsize precision = out.precision();
    out.flags(std::ios::dec | std::ios::skipws);
    out.precision(6);

    out << "NODES:" << std::endl;
    for (const auto& [number, v] : vertices) out << number << ',' << v.x << ',' << v.y << ',' << v.z << std::endl;

    out << "SHELLS CONNECTIVITY :" << std::endl;
    for (const auto& [number, shell] : shells) {
        out << number << ',';
        for (std::int32_t node : shell.nodes) out << node << ',';
        out << std::endl;
    }

    out << "SHELLS FORCES :" << std::endl;
    for (const auto& [number, shell] : shells) {
        for (const auto& [loadCase, nodes] : shell.staticResults)
            for (const auto& [node, r] : nodes)
                out << number << ',' << loadCase << ',' << node << ',' << r.Fx << ',' << r.Fy << ',' << r.Fz << ','
                    << r.Mx << ',' << r.My << ',' << r.Mz << std::endl;
        out << std::endl;
    }

    out.flags(flags);
    out.precision(precision);
}

}  // namespace xsect
