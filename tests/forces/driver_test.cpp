// The driver's outcomes and side effects; the values it returns are checked end to end by the
// statics tests.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "support/strip_model.h"

using namespace xsect;
using namespace xsect::strip_model;

namespace {

// A flat 4 x 1 strip in z = 0 whose plane origin is the global point (100, 200, 0), so plane
// coordinates are the global ones shifted by (-100, -200). Load cases: 1 static with results,
// 2 static without any, 3 unsupported, 4 of an unknown type, 5 response spectrum without results,
// 6 the same by a rule whose coefficients are missing, with a huge mode count.
class Driver : public ::testing::Test {
protected:
    Driver() : strip(shape()) {
        strip.AddStaticCase(1, TipLoad{1.0, -2.0, 0.5, 0.0});
        strip.loadCases[2].caseType = LOAD_CASE_STATIC;
        strip.loadCases[3].caseType = LOAD_CASE_UNSUPPORTED;
        strip.loadCases[4].caseType = 3;
        for (const std::int32_t lc : {5, 6}) strip.loadCases[lc].caseType = LOAD_CASE_RESPONSE_SPECTRUM;
        strip.loadCases[5].modeCount = 2;
        strip.loadCases[6].combinationMethod = RSP_COMBINE_CQC;
        strip.loadCases[6].modeCount = 1 << 30;
    }
    static StripShape shape() {
        StripShape s;
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
    };

    std::int32_t call(CCrossSectionForcesPost& calc, std::int32_t lc, CVertex* a, CVertex* b, Out& o,
                      CVertex* momentPoint = nullptr, bool pointGiven = false) {
        return calc.GetForcesOnSection(lc, a, b, o.v[0], o.v[1], o.v[2], o.v[3], o.v[4], o.v[5], 1, false,
                                       momentPoint == nullptr && !pointGiven, momentPoint);
    }

    // A vertical cut across the strip at plane x = 1.5.
    static CVertex below() { return CVertex(101.5, 199.5, 0); }
    static CVertex above() { return CVertex(101.5, 202.5, 0); }

    Strip strip;
};

}  // namespace

TEST_F(Driver, OutcomeTableWithItsSideEffects) {
    enum Outputs { kEmpty, kOneEach, kZeros, kNaNs };
    const CVertex onPlane(103, 201, 0), offPlane(103, 201, 0.02);
    struct Row {
        const char* name;
        std::int32_t lc;
        CVertex a, b;
        const CVertex* point;
        std::int32_t rc, status;
        Outputs outputs;
    } rows[] = {
        {"static case", 1, below(), above(), &onPlane, 1, CS_SUCCESS, kOneEach},
        {"static case without results", 2, below(), above(), nullptr, 1, CS_SUCCESS, kZeros},
        {"spectrum case without results", 5, below(), above(), nullptr, 1, CS_SUCCESS, kZeros},
        // Modes past the filed ones are left out, but one is kept so that the missing array shows.
        {"spectrum case missing its coefficients", 6, below(), above(), nullptr, 1, CS_SUCCESS, kNaNs},
        {"load case of an unknown type", 4, below(), above(), nullptr, 1, CS_SUCCESS, kEmpty},
        {"unknown load case", 42, below(), above(), nullptr, -1, CS_SUCCESS, kEmpty},
        {"unsupported load case", 3, below(), above(), nullptr, -1, CS_SUCCESS, kEmpty},
        {"end exactly at the tolerance", 1, below(), CVertex(101.5, 202.5, 0.005), nullptr, 1, CS_SUCCESS, kOneEach},
        {"end off the plane", 1, below(), CVertex(101.5, 202.5, 0.01), nullptr, -1, CS_CUT_LINE_OFF_PLANE, kEmpty},
        {"start off the plane", 1, CVertex(101.5, 199.5, -0.01), above(), nullptr, -1, CS_CUT_LINE_OFF_PLANE, kEmpty},
        {"moment point off the plane", 1, below(), above(), &offPlane, -1, CS_MOMENT_POINT_OFF_PLANE, kEmpty},
        {"crossing nothing", 1, CVertex(101.5, 203, 0), CVertex(101.5, 205, 0), nullptr, -1, CS_NO_ELEMENTS_CROSSED,
         kEmpty},
        // Shorter than the tolerance, yet it crosses the tie along the top edge (4 long, so the
        // determinant passes): its axes cannot be built.
        {"cut too short for axes", 1, CVertex(101.5, 201.998, 0), CVertex(101.5, 202.002, 0), nullptr, -1,
         CS_SECTION_MAP_FAILED, kEmpty},
    };
    for (Row& r : rows) {
        CCrossSectionForcesPost calc = strip.Calculator();
        CVertex h1(99, 201.3, 0), h2(106, 201.3, 0);  // a horizontal cut first: its axes are the plane's
        Out o;
        ASSERT_EQ(call(calc, 1, &h1, &h2, o), 1);
        CVertex point = r.point != nullptr ? *r.point : CVertex();
        EXPECT_EQ(call(calc, r.lc, &r.a, &r.b, o, r.point != nullptr ? &point : nullptr), r.rc) << r.name;
        EXPECT_EQ(calc.GetCurrentStatus(), r.status) << r.name;
        EXPECT_EQ(o.AllEmpty(), r.outputs == kEmpty) << r.name;
        for (const auto& x : o.v) {
            if (r.outputs == kEmpty) continue;
            ASSERT_EQ(x.size(), 1u) << r.name;
            EXPECT_TRUE(r.outputs != kZeros || x[0] == 0.0) << r.name;
            EXPECT_EQ(std::isnan(x[0]), r.outputs == kNaNs) << r.name;
        }
        // The ends, and a moment point that was reached, come back converted whatever the outcome.
        EXPECT_NEAR(r.a.x, 1.5, 1e-9) << r.name;
        EXPECT_NEAR(r.b.x, 1.5, 1e-9) << r.name;
        if (r.point != nullptr) { EXPECT_NEAR(point.y, 1, 1e-12) << r.name; }
        // Every call that builds the vertical cut's axes replaces the stored ones, even if it fails
        // later; one that stops before keeps the horizontal cut's (first axis along x, so y = 0).
        CVertex x, y, z;
        calc.GetCrossSectionMap(x, y, z);
        EXPECT_EQ(x.y > 0.5, r.status == CS_SUCCESS) << r.name << ": " << x.y;

        // A status blocks later calls, before any conversion, until a reset; a failure without
        // one does not.
        CVertex c = below(), d = above();
        Out next;
        EXPECT_EQ(call(calc, 1, &c, &d, next), r.status == CS_SUCCESS ? 1 : -1) << r.name;
        if (r.status == CS_SUCCESS) continue;
        EXPECT_TRUE(next.AllEmpty()) << r.name;
        EXPECT_EQ(c.x, 101.5) << r.name;
        EXPECT_EQ(calc.GetCurrentStatus(), r.status) << r.name;
        calc.ResetCurrentStatus();
        EXPECT_EQ(call(calc, 1, &c, &d, next), 1) << r.name;
    }
}

TEST_F(Driver, HostErrorsRefuseWithoutACrash) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    CCrossSectionForcesPost calc = strip.Calculator();
    CVertex a = below(), b = above(), noNumber(nan, 199.5, 0), far(101.5, 199.5, inf);
    Out o;
    EXPECT_EQ(call(calc, 1, &noNumber, &b, o), -1);
    EXPECT_EQ(calc.GetCurrentStatus(), CS_NO_ELEMENTS_CROSSED);  // an end that is not a number crosses nothing
    calc.ResetCurrentStatus();
    EXPECT_EQ(call(calc, 1, &far, &b, o), -1);
    EXPECT_EQ(calc.GetCurrentStatus(), CS_CUT_LINE_OFF_PLANE);
    calc.ResetCurrentStatus();
    // A missing point is a host error with no status of its own.
    EXPECT_EQ(call(calc, 1, nullptr, &b, o), -1);
    EXPECT_EQ(call(calc, 1, &a, &b, o, nullptr, true), -1);
    EXPECT_TRUE(o.AllEmpty());
    EXPECT_EQ(calc.GetCurrentStatus(), CS_SUCCESS);
    EXPECT_EQ(a.x, 101.5);

    // A plane that could not be set up refuses, and a reset does not bring it back.
    std::map<std::int32_t, CShellElement> noShells;
    CCrossSectionForcesPost failed(strip.nodes, noShells, strip.frames, strip.loadCases, 0.005);
    ASSERT_EQ(failed.GetCurrentStatus(), CS_NO_SHELLS);
    failed.ResetCurrentStatus();
    EXPECT_EQ(call(failed, 1, &a, &b, o), -1);
    EXPECT_TRUE(o.AllEmpty());
    EXPECT_EQ(failed.GetCurrentStatus(), CS_NO_SHELLS);
    EXPECT_EQ(a.x, 101.5);
}
