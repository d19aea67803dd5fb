// The stress command fills the library's sample points from stress fields given in global axes.
// These tests prove the convention on a wall whose stress fields and element nodal forces come
// from one equilibrium state: the samples integrate to the section force the library balances
// against, shells whose normal is reversed give the same result, and the balanced output is the
// known beam-theory distribution.

#include <cmath>

#include <gtest/gtest.h>

#include "compute/cut_line_stresses.h"
#include "compute/demo_model.h"
#include "compute/section.h"

namespace xsect::cli {
namespace {

const double V = 120, N = -300, Q = 15;  // top loads: shear, axial, out of plane
const Wall kWall;

Model WallModel() {
    std::map<std::int32_t, LoadCase> cases;
    cases[1].name = "top load";
    return MakeWallModel(kWall, cases, {{1, 0, {{kWall.height, V, N, Q}}}}, true);
}

// The beam-theory normal stress across a horizontal cut at height z, at x.
double Szz(double x, double z) {
    const double area = kWall.width * kWall.thickness, b = kWall.width / 2;
    return N / area - 3 * V / (area * b * b) * (kWall.height - z) * (x - b);
}

StressOutcome Cut(Model& m, double z, double faceZ, bool balanceMz) {
    auto calc = io::MakeForceCalculator(m);
    EXPECT_EQ(calc->GetCurrentStatus(), CS_SUCCESS);
    StressRequest q;
    q.start = {-0.25, 0.0, z};
    q.end = {kWall.width + 0.25, 0.0, z};
    q.face = {2.0, 0.0, faceZ};
    q.loadCase = 1;
    q.divisions = 4;
    q.balanceMz = balanceMz;
    return ComputeStresses(m, *calc, q);
}

std::array<double, 6> Six(const ForceResultant& r) {
    return {r.GetFx(), r.GetFy(), r.GetFz(), r.GetMx(), r.GetMy(), r.GetMz()};
}

// Fx comes from the parabolic shear stress, which the bilinear interpolation inside each shell
// only approximates (1.6 % with 8 shells across); the other five are linear or constant along the
// cut and come out exact up to rounding.
void ExpectSamplesMatchBalance(const StressOutcome& r, const char* what) {
    const auto balance = Six(r.balance);
    const double scale = 1000.0;
    EXPECT_NEAR(r.samples[0], balance[0], 0.02 * std::fabs(balance[0])) << what;
    for (std::size_t k = 1; k < 6; ++k) EXPECT_NEAR(r.samples[k], balance[k], 1e-9 * scale) << what << " component " << k;
}

TEST(StressConvention, SamplesIntegrateToTheSectionForceOfTheFace) {
    Model m = WallModel();
    for (double z : {0.75, 2.25, 4.25}) {
        StressOutcome above = Cut(m, z, z + 1.0, false);
        ASSERT_EQ(above.status, CS_SUCCESS);
        ASSERT_FALSE(above.points.empty());
        ExpectSamplesMatchBalance(above, "face above");
        StressOutcome below = Cut(m, z, z - 0.5, false);
        ASSERT_EQ(below.status, CS_SUCCESS);
        ExpectSamplesMatchBalance(below, "face below");
    }
}

TEST(StressConvention, ShellsWithReversedNormalsGiveTheSameDistribution) {
    Model aligned = WallModel();
    Model mixed = WallModel();
    // Reverse every other shell: its normal flips, and with it the sign of its plate moments and
    // shears, which are taken along the shell's own normal. Nodal forces and membrane stresses
    // do not depend on the shell's orientation.
    for (auto& [id, shell] : mixed.shells) {
        if (id % 2 == 0) continue;
        std::reverse(shell.nodes.begin() + 1, shell.nodes.end());
        for (auto& [lc, byNode] : mixed.stresses.at(id))
            for (auto& [node, s] : byNode) {
                for (double& v : s.M) v = -v;
                for (double& v : s.Q) v = -v;
            }
    }
    StressOutcome a = Cut(aligned, 2.25, 3.0, true), b = Cut(mixed, 2.25, 3.0, true);
    ASSERT_EQ(b.status, CS_SUCCESS);
    ExpectSamplesMatchBalance(b, "mixed normals");
    ASSERT_EQ(a.points.size(), b.points.size());
    for (std::size_t i = 0; i < a.points.size(); ++i) {
        const CLStress &sa = a.points[i]->GetStress(), &sb = b.points[i]->GetStress();
        EXPECT_NEAR(sa.GetSt(), sb.GetSt(), 1e-9 * 1e3) << i;
        EXPECT_NEAR(sa.GetSts(), sb.GetSts(), 1e-9 * 1e3) << i;
        EXPECT_NEAR(sa.GetQt(), sb.GetQt(), 1e-9 * 1e3) << i;
        EXPECT_NEAR(sa.GetMt(), sb.GetMt(), 1e-9 * 1e3) << i;
        EXPECT_NEAR(sa.GetMts(), sb.GetMts(), 1e-9 * 1e3) << i;
    }
}

TEST(StressConvention, BalancedOutputIsTheBeamTheoryDistribution) {
    Model m = WallModel();
    const double z = 2.25, lever = kWall.height - z;
    for (bool balanceMz : {false, true}) {
        StressOutcome r = Cut(m, z, 3.0, balanceMz);
        ASSERT_EQ(r.status, CS_SUCCESS);
        ASSERT_GE(r.points.size(), 9u);
        for (const auto& p : r.points) {
            const double x = p->GetPoint3D().x;
            const CLStress& s = p->GetStress();
            // Stress of magnitude up to ~1000 kN/m2; the fit of exact linear samples is exact.
            EXPECT_NEAR(s.GetSt(), Szz(x, z), 1e-9 * 1e3) << "x = " << x;
            EXPECT_NEAR(s.GetQt(), -Q / kWall.width, 1e-9 * 1e3) << "x = " << x;
            EXPECT_NEAR(s.GetMt(), -lever * Q / kWall.width, 1e-9 * 1e3) << "x = " << x;
            EXPECT_NEAR(s.GetMts(), 0.0, 1e-9 * 1e3) << "x = " << x;
        }
        EXPECT_NEAR(r.smoothed.GetMz(), -lever * V, 1e-9 * 1e3);
    }
}

}  // namespace
}  // namespace xsect::cli
