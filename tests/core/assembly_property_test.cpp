// Random assemblies of walls in any orientation and frames between them, every element in
// equilibrium, cut by random planes (through nodes, a tolerance off them, in any direction) and by
// stations along random axes: the tree gives the full scan's bits, so does any thread count, and the
// -n and +n parts give the same values.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "core/crossing.h"
#include "sections/section_checks.h"
#include "support/prism_model.h"

namespace xsect {
namespace {

using strip_model::Vec3;

Vec3 unitVector(std::mt19937& rng) {
    std::normal_distribution<double> g;
    const Vec3 v{g(rng), g(rng), g(rng)};
    return (1.0 / strip_model::Norm(v)) * v;
}

// Four walls of jittered quads and triangles in random planes, frames between random nodes, every
// element in equilibrium: a static case and a spectrum case of two modes.
struct Maps {
    std::map<std::int32_t, CVertex> nodes;
    std::map<std::int32_t, CShellElement> shells;
    std::map<std::int32_t, CFrameElement> frames;
    std::map<std::int32_t, CLoadCaseInfo> loadCases;
};

Maps randomAssembly(std::mt19937& rng) {
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    Maps m;
    std::int32_t node = 0, shell = 0;
    for (int wall = 0; wall < 4; ++wall) {
        const Vec3 origin{5 * unit(rng), 5 * unit(rng), 5 * unit(rng)}, u = unitVector(rng);
        const Vec3 across = strip_model::Cross(u, unitVector(rng)), w = (1.0 / strip_model::Norm(across)) * across;
        const int nx = 3 + wall, ny = 5 - wall / 2, first = node + 1;
        for (int j = 0; j <= ny; ++j)
            for (int i = 0; i <= nx; ++i) {
                const Vec3 p = origin + (i + 0.3 * unit(rng)) * u + (j + 0.3 * unit(rng)) * w;
                m.nodes[++node] = CVertex(p.x, p.y, p.z);
            }
        for (int j = 0; j < ny; ++j)
            for (int i = 0; i < nx; ++i) {
                const std::int32_t c = first + j * (nx + 1) + i, d = c + nx + 1;
                if ((i + j) % 3 == 0) m.shells[++shell].nodes = {c, c + 1, d + 1}, m.shells[++shell].nodes = {c, d + 1, d};
                else m.shells[++shell].nodes = {c, c + 1, d + 1, d};
            }
    }
    std::uniform_int_distribution<std::int32_t> anyNode(1, node);
    for (std::int32_t f = 1; f <= 12; ++f) m.frames[f].nodeA = anyNode(rng), m.frames[f].nodeB = anyNode(rng);
    for (std::int32_t mode : {0, 1, 2})
        prism_model::AddBalancedRandomCase(mode == 0 ? 1 : 2, mode, rng, m.nodes, m.shells, m.frames, m.loadCases);
    return m;
}

}  // namespace

TEST(AssemblyProperty, TheTreeAndAnyThreadCountGiveTheScansBitsAndBothPartsAgree) {
    std::mt19937 rng(2024);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    const double tol = 0.001;
    std::size_t computed = 0;
    for (int trial = 0; trial < 6; ++trial) {
        const Maps m = randomAssembly(rng);
        const Assembly assembly(m.nodes, m.shells, m.frames, m.loadCases, tol);
        // Planes through nodes, a tolerance either way off them, and along the global axes.
        std::vector<SectionPlane> planes;
        for (int k = 0; k < 40; ++k) {
            auto node = m.nodes.begin();
            std::advance(node, static_cast<long>(rng() % m.nodes.size()));
            const Vec3 n = k % 5 == 0 ? Vec3{0, 0, 1} : unitVector(rng);
            const double off = (k % 3 - 1) * tol;
            const CVertex& p = node->second;
            planes.push_back({CVertex(p.x + off * n.x, p.y + off * n.y, p.z + off * n.z), CVertex(n.x, n.y, n.z)});
        }
        const Vec3 d = unitVector(rng);
        const CVertex a(-9 * d.x, -9 * d.y, -9 * d.z), b(9 * d.x, 9 * d.y, 9 * d.z);
        const std::vector<ResultRequest> requests = {{"G", {{1, 1.0}}}, {"G+E", {{1, 0.8}, {2, 1.0}}}};
        auto run = [&](unsigned threads, bool positive) {
            AssemblyCutter cutter(assembly, threads);
            cutter.SumFromPositiveSide(positive);
            SectionTable t = cutter.Cut(planes, requests);
            SectionTable s = cutter.Stations(a, b, 31, requests);
            t.sections.insert(t.sections.end(), s.sections.begin(), s.sections.end());
            return t;
        };
        const SectionTable reference = run(1, false);
        const std::vector<unsigned char> bits = section_checks::BitsOf(reference);
        EXPECT_EQ(section_checks::BitsOf(run(3, false)), bits) << "three threads, trial " << trial;
        detail::UseFullScan(true);
        const SectionTable scanned = run(2, false);
        detail::UseFullScan(false);
        EXPECT_EQ(section_checks::BitsOf(scanned), bits) << "the full scan, trial " << trial;

        const SectionTable positive = run(0, true);
        for (std::size_t i = 0; i < reference.sections.size(); ++i) {
            const SectionResult &r = reference.sections[i], &p = positive.sections[i];
            if (r.status != CS_SUCCESS) continue;
            computed += r.shells.empty() ? 0 : 1;
            // Unit forces at a few dozen nodes and lever arms up to about 20.
            for (std::size_t q = 0; q < requests.size(); ++q)
                section_checks::ExpectValues(section_checks::Six(p.values[q].max), section_checks::Six(r.values[q].max),
                                             1e-3, "section " + std::to_string(i));
        }
    }
    EXPECT_GT(computed, 200u);
}

}  // namespace xsect
