// Builds a one-shell model against the installed package and checks the plane it gets.
#include <xsect/xsect.h>

#include <cmath>
#include <cstdio>
#include <map>

int main() {
    std::map<std::int32_t, xsect::CVertex> nodes{{1, {0, 0, 5}}, {2, {1, 0, 5}}, {3, {1, 1, 5}}, {4, {0, 1, 5}}};
    std::map<std::int32_t, xsect::CShellElement> shells;
    shells[1].nodes = {1, 2, 3, 4};
    std::map<std::int32_t, xsect::CFrameElement> frames;
    std::map<std::int32_t, xsect::CLoadCaseInfo> cases{{1, {}}};
    xsect::CCrossSectionForcesPost calc(nodes, shells, frames, cases, 0.001);
    xsect::CVertex origin;
    calc.GetOrigin(origin);
    if (calc.GetCurrentStatus() != xsect::CS_SUCCESS || calc.GetOriginNodeNo() != 1 || std::fabs(origin.z - 5) > 1e-12) {
        std::puts("unexpected plane");
        return 1;
    }
    std::puts("ok");
    return 0;
}
