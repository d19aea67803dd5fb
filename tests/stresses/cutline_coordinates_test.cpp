#include <gtest/gtest.h>

#include <cmath>

#include "support/stress_models.h"
#include "support/stresses_access.h"

namespace xsect {
namespace {

using stress_models::BuildGrid;
using stress_models::GridSpec;
using Access = CCrossSectionStressesPostTestAccess;

// Coordinates of a few tens after one rotation: rounding stays far below this.
constexpr double kGeom = 1e-12;

// A calculator over a tilted 6 x 6 grid whose last stage 1 had the cut (1, 1) -> (4, 5) in
// plane coordinates: length 5, direction (0.6, 0.8).
struct Fixture {
    std::unique_ptr<stress_models::GridModel> model;
    std::unique_ptr<CCrossSectionStressesPost> calc;

    Fixture() {
        GridSpec spec;
        spec.columns = 6;
        spec.rows = 6;
        spec.frame = stress_models::TiltedFrame();
        model = BuildGrid(spec);
        calc = std::make_unique<CCrossSectionStressesPost>(model->forces.get());
        calc->GetCutlineStressInputPoints(model->Global(1, 1), model->Global(4, 5), model->Global(0, 5), 0, 0.0,
                                          true);
    }
};

TEST(CutlineCoordinates, PlanePointsMapToSignedDistanceAlongTheCut) {
    Fixture f;
    ASSERT_EQ(f.calc->GetStatus(), CS_SUCCESS);
    ASSERT_NEAR(Access::cutLength(*f.calc), 5.0, kGeom);
    struct Case {
        double x, y;
        bool onLine;
        double s;
    };
    const double tol = 0.005;
    const Case cases[] = {
        {1, 1, true, 0.0},
        {4, 5, true, 5.0},
        {2.5, 3, true, 2.5},
        {0.4, 0.2, true, -1.0},  // one unit before the start
        {7, 9, true, 10.0},
        // 2 tolerances off the line along its normal (-0.8, 0.6)
        {2.5 - 0.8 * 2 * tol, 3 + 0.6 * 2 * tol, false, 0.0},
        // half a tolerance off: on the line, distance measured to the point itself
        {2.5 - 0.8 * 0.5 * tol, 3 + 0.6 * 0.5 * tol, true, std::hypot(1.5 - 0.4 * tol, 2.0 + 0.3 * tol)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
        double x = c.x;
        const bool on = Access::Convert2DTo1D(*f.calc, x, c.y);
        EXPECT_EQ(on, c.onLine);
        EXPECT_NEAR(x, c.onLine ? c.s : c.x, kGeom);
    }
}

TEST(CutlineCoordinates, GlobalPointsMapToTheSameCoordinate) {
    Fixture f;
    const double tol = 0.005;
    struct Case {
        CVertex p;
        bool onLine;
        double s;
    };
    const Case cases[] = {
        {f.model->Global(1, 1), true, 0.0},
        {f.model->Global(4, 5), true, 5.0},
        {f.model->Global(0.4, 0.2), true, -1.0},
        {f.model->Global(2.5, 3, 2 * tol), false, 0.0},  // off the plane, so off the line
        {f.model->Global(2.5, 3, 0.5 * tol), true, std::hypot(2.5, 0.5 * tol)},
    };
    for (const Case& c : cases) {
        double x = c.p.x;
        EXPECT_EQ(Access::Convert3DTo1D(*f.calc, x, c.p.y, c.p.z), c.onLine);
        EXPECT_NEAR(x, c.onLine ? c.s : c.p.x, kGeom);
    }
}

TEST(CutlineCoordinates, CoordinateBackToPlaneAndGlobal) {
    Fixture f;
    struct Case {
        double s, x, y;
    };
    const Case cases[] = {{0, 1, 1}, {5, 4, 5}, {2.5, 2.5, 3}, {-1, 0.4, 0.2}, {10, 7, 9}};
    for (const Case& c : cases) {
        double s = c.s;
        double y = -99;
        Access::Convert1DTo2D(*f.calc, s, y);
        EXPECT_NEAR(s, c.x, kGeom);
        EXPECT_NEAR(y, c.y, kGeom);

        double gx = c.x;
        double gy = c.y;
        double gz = 123.0;  // the plane z handed in plays no part
        Access::Convert2DTo3D(*f.calc, gx, gy, gz);
        const CVertex want = f.model->Global(c.x, c.y);
        EXPECT_NEAR(gx, want.x, kGeom);
        EXPECT_NEAR(gy, want.y, kGeom);
        EXPECT_NEAR(gz, want.z, kGeom);
    }
}

TEST(CutlineCoordinates, OffLineTestUsesTheCutStartsOwnTolerance) {
    Fixture f;
    CVertex a = f.model->Global(1, 1);
    a.tolerance = 0.05;
    f.calc->GetCutlineStressInputPoints(a, f.model->Global(4, 5), f.model->Global(0, 5), 0, 0.0, true);
    double x = 2.5 - 0.8 * 0.02;  // 0.02 off the line: beyond the calculator's 0.005, within 0.05
    EXPECT_TRUE(Access::Convert2DTo1D(*f.calc, x, 3 + 0.6 * 0.02));
    EXPECT_NEAR(x, std::hypot(1.5 - 0.016, 2.0 + 0.012), kGeom);
}

}  // namespace
}  // namespace xsect
