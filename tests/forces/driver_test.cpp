#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "support/forces_access.h"
#include "support/strip_model.h"

using namespace xsect;
using namespace xsect::strip_model;
using Access = CCrossSectionForcesPostTestAccess;

namespace {

// A flat 4 x 1 strip in z = 0 whose plane origin is the global point (100, 200, 0), so plane
// coordinates are the global ones shifted by (-100, -200). Load cases: 1 static with results,
// 2 static without any, 3 unsupported, 4 of an unknown type, 5 response spectrum without results.
class Driver : public ::testing::Test {
protected:
    Driver() : strip(spec()) {
        strip.AddStaticCase(1, TipLoad{1.0, -2.0, 0.5, 0.0});
        strip.loadCases[2].caseType = LOAD_CASE_STATIC;
        strip.loadCases[3].caseType = LOAD_CASE_UNSUPPORTED;
        strip.loadCases[4].caseType = 3;
        strip.loadCases[5].caseType = LOAD_CASE_RESPONSE_SPECTRUM;
        strip.loadCases[5].modeCount = 2;
    }
    static StripSpec spec() {
        StripSpec s;
        s.length = 4;
        s.nx = 4;
        s.ny = 2;
        s.origin = {100, 200, 0};
        return s;
    }

    // Outputs pre-filled, so that emptying them shows.
    struct Out {
        std::vector<double> v[6] = {{9}, {9}, {9}, {9}, {9}, {9}};
        bool AllEmpty() const {
            for (const auto& x : v)
                if (!x.empty()) return false;
            return true;
        }
        std::array<double, 6> Values() const {
            return {v[0].at(0), v[1].at(0), v[2].at(0), v[3].at(0), v[4].at(0), v[5].at(0)};
        }
    };

    std::int32_t call(CCrossSectionForcesPost& calc, std::int32_t lc, CVertex& a, CVertex& b, Out& o,
                      std::int32_t side = 1, bool global = false, CVertex* momentPoint = nullptr) {
        return calc.GetForcesOnSection(lc, &a, &b, o.v[0], o.v[1], o.v[2], o.v[3], o.v[4], o.v[5], side, global,
                                       momentPoint == nullptr, momentPoint);
    }

    // A vertical cut across the strip at plane x = 1.5.
    static CVertex below() { return CVertex(101.5, 199.5, 0); }
    static CVertex above() { return CVertex(101.5, 202.5, 0); }

    Strip strip;
};

}  // namespace

TEST_F(Driver, SucceedsWithOneValuePerOutputAndPointsInPlaneCoordinates) {
    CCrossSectionForcesPost calc = strip.Calculator();
    CVertex a = below(), b = above();
    Out o;
    ASSERT_EQ(call(calc, 1, a, b, o), 1);
    for (const auto& x : o.v) EXPECT_EQ(x.size(), 1u);
    EXPECT_NEAR(a.x, 1.5, 1e-12);
    EXPECT_NEAR(a.y, -0.5, 1e-12);
    EXPECT_NEAR(b.y, 2.5, 1e-12);
    EXPECT_EQ(calc.GetCurrentStatus(), CS_SUCCESS);
}

TEST_F(Driver, FailureTable) {
    struct Row {
        const char* name;
        std::int32_t lc;
        CVertex a, b;
        std::int32_t rc;
        std::int32_t status;
    } rows[] = {
        {"end off the plane", 1, CVertex(101.5, 199.5, 0), CVertex(101.5, 202.5, 0.01), -1, CS_CUT_LINE_OFF_PLANE},
        {"start off the plane", 1, CVertex(101.5, 199.5, -0.01), CVertex(101.5, 202.5, 0), -1, CS_CUT_LINE_OFF_PLANE},
        {"end exactly at the tolerance", 1, CVertex(101.5, 199.5, 0), CVertex(101.5, 202.5, 0.005), 1, CS_SUCCESS},
        {"crossing nothing", 1, CVertex(101.5, 203, 0), CVertex(101.5, 205, 0), -1, CS_NO_ELEMENTS_CROSSED},
        // Shorter than the tolerance, yet it crosses the tie along the top edge (4 long, so the
        // determinant passes): its axes cannot be built.
        {"cut too short for axes", 1, CVertex(101.5, 201.998, 0), CVertex(101.5, 202.002, 0), -1,
         CS_SECTION_MAP_FAILED},
        {"unknown load case", 42, below(), above(), -1, CS_SUCCESS},
        {"unsupported load case", 3, below(), above(), -1, CS_SUCCESS},
        {"load case of an unknown type", 4, below(), above(), 1, CS_SUCCESS},
    };
    for (Row& r : rows) {
        CCrossSectionForcesPost calc = strip.Calculator();
        Out o;
        EXPECT_EQ(call(calc, r.lc, r.a, r.b, o), r.rc) << r.name;
        EXPECT_EQ(calc.GetCurrentStatus(), r.status) << r.name;
        if (r.rc == -1 || r.lc == 4) {
            EXPECT_TRUE(o.AllEmpty()) << r.name;
        }
        // The ends come back converted, whatever the outcome.
        EXPECT_NEAR(r.a.x, 1.5, 1e-9) << r.name;
        EXPECT_NEAR(r.b.x, 1.5, 1e-9) << r.name;
    }
}

TEST_F(Driver, StandingStatusRefusesUntilReset) {
    CCrossSectionForcesPost calc = strip.Calculator();
    CVertex a(110, 199.5, 0), b(110, 202.5, 0);
    Out o;
    ASSERT_EQ(call(calc, 1, a, b, o), -1);
    ASSERT_EQ(calc.GetCurrentStatus(), CS_NO_ELEMENTS_CROSSED);

    CVertex c = below(), d = above();
    Out refused;
    EXPECT_EQ(call(calc, 1, c, d, refused), -1);
    EXPECT_TRUE(refused.AllEmpty());
    EXPECT_EQ(c.x, 101.5);  // refused before any conversion
    EXPECT_EQ(calc.GetCurrentStatus(), CS_NO_ELEMENTS_CROSSED);

    calc.ResetCurrentStatus();
    Out ok;
    EXPECT_EQ(call(calc, 1, c, d, ok), 1);
}

TEST_F(Driver, UnknownLoadCaseDoesNotBlockTheNextCall) {
    CCrossSectionForcesPost calc = strip.Calculator();
    CVertex a = below(), b = above();
    Out o;
    EXPECT_EQ(call(calc, 42, a, b, o), -1);
    CVertex c = below(), d = above();
    EXPECT_EQ(call(calc, 1, c, d, o), 1);
}

TEST_F(Driver, FailedPlaneSetUpStaysRefusedAfterAReset) {
    std::map<std::int32_t, CShellElement> noShells;
    CCrossSectionForcesPost calc(strip.nodes, noShells, strip.frames, strip.loadCases, 0.005);
    ASSERT_EQ(calc.GetCurrentStatus(), CS_NO_SHELLS);
    CVertex a = below(), b = above();
    Out o;
    EXPECT_EQ(call(calc, 1, a, b, o), -1);
    EXPECT_TRUE(o.AllEmpty());
    calc.ResetCurrentStatus();
    Out again;
    EXPECT_EQ(call(calc, 1, a, b, again), -1);
    EXPECT_TRUE(again.AllEmpty());
    EXPECT_EQ(calc.GetCurrentStatus(), CS_NO_SHELLS);  // the set-up's failure is back
    EXPECT_EQ(a.x, 101.5);
}

TEST_F(Driver, MomentPointOffThePlaneIsReportedAfterConversion) {
    CCrossSectionForcesPost calc = strip.Calculator();
    CVertex a = below(), b = above();
    CVertex point(103, 201, 0.02);
    Out o;
    EXPECT_EQ(call(calc, 1, a, b, o, 1, false, &point), -1);
    EXPECT_EQ(calc.GetCurrentStatus(), CS_MOMENT_POINT_OFF_PLANE);
    EXPECT_TRUE(o.AllEmpty());
    EXPECT_NEAR(point.x, 3, 1e-12);
    EXPECT_NEAR(point.y, 1, 1e-12);
}

TEST_F(Driver, CasesWithoutResultsGiveZeros) {
    for (std::int32_t lc : {2, 5}) {
        CCrossSectionForcesPost calc = strip.Calculator();
        CVertex a = below(), b = above();
        Out o;
        ASSERT_EQ(call(calc, lc, a, b, o), 1) << lc;
        EXPECT_EQ(o.Values(), (std::array<double, 6>{})) << lc;
    }
}

TEST_F(Driver, DescendingHorizontalCutIsSwappedWithItsSide) {
    CCrossSectionForcesPost calc = strip.Calculator();
    CVertex a(99, 201.3, 0, 0.25), b(106, 201.3, 0, 0.5);
    a.id = 1;
    b.id = 2;
    Out forward;
    ASSERT_EQ(call(calc, 1, a, b, forward, 0), 1);

    CVertex c(106, 201.3, 0, 0.5), d(99, 201.3, 0, 0.25);
    c.id = 2;
    d.id = 1;
    Out backward;
    ASSERT_EQ(call(calc, 1, c, d, backward, 1), 1);
    EXPECT_EQ(backward.Values(), forward.Values());
    EXPECT_NE(forward.Values()[0], 0.0);  // the cut carries something
    // The host's records come back exchanged, all fields with them.
    EXPECT_EQ(c.id, 1);
    EXPECT_EQ(c.tolerance, 0.25);
    EXPECT_NEAR(c.x, -1, 1e-12);
    EXPECT_EQ(d.id, 2);
    EXPECT_NEAR(d.x, 6, 1e-12);

    // A vertical cut given downwards likewise.
    CVertex e = above(), f = below();
    Out down;
    ASSERT_EQ(call(calc, 1, e, f, down, 0), 1);
    CVertex g = below(), h = above();
    Out up;
    ASSERT_EQ(call(calc, 1, g, h, up, 1), 1);
    EXPECT_EQ(down.Values(), up.Values());
    EXPECT_NEAR(e.y, -0.5, 1e-12);
}

TEST_F(Driver, SectionMatrixIsReplacedOnlyBySuccessfulAxes) {
    CCrossSectionForcesPost calc = strip.Calculator();
    CVertex a = below(), b = above();
    Out o;
    ASSERT_EQ(call(calc, 42, a, b, o), -1);  // axes built before the load case is looked up
    CVertex x, y, z;
    calc.GetCrossSectionMap(x, y, z);
    EXPECT_NEAR(x.y, 1, 1e-12);
    EXPECT_NEAR(y.x, -1, 1e-12);
    EXPECT_NEAR(z.z, 1, 1e-12);
    CVertex c(110, 199.5, 0), d(110, 202.5, 0);
    call(calc, 1, c, d, o);  // crosses nothing: the stored axes stay
    calc.GetCrossSectionMap(x, y, z);
    EXPECT_NEAR(x.y, 1, 1e-12);
}

TEST_F(Driver, MissingPointsAreRefusedWithoutAStatus) {
    CCrossSectionForcesPost calc = strip.Calculator();
    CVertex a = below(), b = above();
    Out o;
    EXPECT_EQ(calc.GetForcesOnSection(1, nullptr, &b, o.v[0], o.v[1], o.v[2], o.v[3], o.v[4], o.v[5], 1, false, true,
                                      nullptr),
              -1);
    EXPECT_EQ(calc.GetForcesOnSection(1, &a, &b, o.v[0], o.v[1], o.v[2], o.v[3], o.v[4], o.v[5], 1, false, false,
                                      nullptr),
              -1);
    EXPECT_TRUE(o.AllEmpty());
    EXPECT_EQ(calc.GetCurrentStatus(), CS_SUCCESS);
    EXPECT_EQ(b.x, 101.5);
}
