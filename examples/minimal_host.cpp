// The smallest useful host: one shell pulled along x, cut across the middle.
#include <xsect/xsect.h>

#include <cstdio>

using namespace xsect;

int main() {
    std::map<std::int32_t, CVertex> nodes{{1, {0, 0, 0}}, {2, {2, 0, 0}}, {3, {2, 1, 0}}, {4, {0, 1, 0}}};
    std::map<std::int32_t, CShellElement> shells;
    shells[1].nodes = {1, 2, 3, 4};
    // The element's nodal forces for load case 1: a pull of 10 along x, in equilibrium.
    for (auto [node, fx] : {std::pair{1, -5.0}, {4, -5.0}, {2, 5.0}, {3, 5.0}})
        shells[1].StoreStaticCaseResults(1, node, {fx, 0, 0, 0, 0, 0});
    std::map<std::int32_t, CFrameElement> frames;
    std::map<std::int32_t, CLoadCaseInfo> cases{{1, CLoadCaseInfo{}}};

    CCrossSectionForcesPost calc(nodes, shells, frames, cases, 0.001);
    CVertex start(1, -1, 0), end(1, 2, 0);  // converted in place to plane coordinates
    std::vector<double> F1, F2, F3, M1, M2, M3;
    if (calc.GetForcesOnSection(1, &start, &end, F1, F2, F3, M1, M2, M3, /*side*/ 0,
                                /*globalAxes*/ true, /*momentAtMidpoint*/ true, nullptr) != 1)
        return 1;
    std::printf("Fx = %g, Fy = %g, Mz = %g\n", F1[0], F2[0], M3[0]);  // sums of the left nodes' forces
    return F1[0] == -10.0 ? 0 : 1;
}
