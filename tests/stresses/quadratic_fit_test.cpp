#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <vector>

#include <xsect/stresses/quadratic_fit.h>

namespace xsect {
namespace {

QuadraticFit Poly(double a, double b, double c) { return {a, b, c, false}; }

TEST(QuadraticFit, SamplesGiveTheirParabolaOrTheZeroPolynomial) {
    struct Case {
        const char* name;
        std::vector<double> xs, ys;
        bool valid;
        double a, b, c;
    };
    const Case cases[] = {
        {"three samples of a parabola", {0, 1, 2}, {1, 3, 7}, true, 1, 1, 1},
        {"constant", {0, 0.5, 1.5, 2}, {5, 5, 5, 5}, true, 0, 0, 5},
        {"away from the origin", {3, 3.25, 3.5, 3.75, 4, 4.25, 4.5}, {}, true, -2, 0.5, 4},
        {"unordered with repeats", {2, 0, 1, 2, 0}, {}, true, 0.5, -1, 3},
        {"two samples", {0, 1}, {1, 2}, false, 0, 0, 0},
        {"lengths differ", {0, 1, 2, 3}, {1, 2, 3}, false, 0, 0, 0},
        {"no samples", {}, {}, false, 0, 0, 0},
        {"two distinct x that do not round exactly", {0.1, 0.1, 1.3, 1.3, 0.1}, {1, 2, 3, 4, 5}, false, 0, 0, 0},
        {"two distinct x a short way apart far out", {1e4, 1e4 + 1e-3, 1e4}, {1, 2, 3}, false, 0, 0, 0},
        {"one x", {7, 7, 7, 7}, {1, 2, 3, 4}, false, 0, 0, 0},
        {"an x that is not a number", {0, NAN, 1, 2}, {1, 2, 3, 4}, false, 0, 0, 0},
        {"distinct x that meet when scaled to the row", {0, 1e-300, 1}, {1, 2, 3}, false, 0, 0, 0},
        {"a row too short for its coefficients", {0, 1e-320, 2e-320}, {1, 2, 3}, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<double> ys = c.ys;
        if (ys.empty())
            for (const double x : c.xs) ys.push_back(c.a * x * x + c.b * x + c.c);
        const QuadraticFit f = FitQuadratic(c.xs, ys);
        EXPECT_EQ(f.valid, c.valid);
        // Order-one coefficients: "away from the origin" carries them from [3, 4.5] back to x = 0
        // through terms some 30 times their size, which costs a few hundred ulps.
        const double tol = c.valid ? 1e-12 : 0.0;
        EXPECT_NEAR(f.a, c.a, tol);
        EXPECT_NEAR(f.b, c.b, tol);
        EXPECT_NEAR(f.c, c.c, tol);
    }
    EXPECT_NEAR(Evaluate(FitQuadratic({0, 1, 2}, {1, 3, 7}), 3.0), 13.0, 1e-12);
}

// Regression: the normal matrix of a row about a millimetre long has pivots of order h^4 beside
// ones of order 1, and was taken for singular, so the row lost its fit. The smoothing fits every
// row in its own coordinate x = s - start, so a short row far along a long cut is the same case.
TEST(QuadraticFit, ShortRowsKeepTheirQuadraticWhereverTheyStart) {
    for (const double h : {0.001, 0.0007, 0.0012}) {
        for (const double start : {0.0, 1e4}) {
            SCOPED_TRACE(testing::Message() << "h = " << h << ", start = " << start);
            auto q = [h](double x) { return 1.0 + 2.0 * x / h + 3.0 * (x / h) * (x / h); };
            std::vector<double> xs, ys;
            for (int i = 0; i <= 4; ++i) {
                xs.push_back((start + i * h / 4.0) - start);  // as the smoothing forms it
                ys.push_back(q(xs.back()));
            }
            const QuadraticFit f = FitQuadratic(xs, ys);
            EXPECT_TRUE(f.valid);
            // Exact but for rounding in scaling the row to [-1, 1], solving a system of condition
            // near 10 there, and scaling back: some tens of ulps of each coefficient.
            const double rel = 2e-14;
            EXPECT_NEAR(f.a, 3.0 / (h * h), rel * 3.0 / (h * h));
            EXPECT_NEAR(f.b, 2.0 / h, rel * 2.0 / h);
            EXPECT_NEAR(f.c, 1.0, rel);
            for (const double x : {0.0, h / 3.0, h}) EXPECT_NEAR(Evaluate(f, x), q(x), rel * q(x));
        }
    }
}

TEST(QuadraticFit, LeastSquaresResidualIsOrthogonalToTheBasis) {
    const std::vector<double> xs{0.0, 0.3, 0.7, 1.1, 1.6, 2.0};
    const std::vector<double> ys{1.0, -0.4, 2.2, 0.9, 3.1, -1.0};
    const QuadraticFit f = FitQuadratic(xs, ys);
    ASSERT_TRUE(f.valid);
    double r0 = 0.0, r1 = 0.0, r2 = 0.0;
    for (std::size_t i = 0; i < xs.size(); ++i) {
        const double r = ys[i] - Evaluate(f, xs[i]);
        r0 += r;
        r1 += r * xs[i];
        r2 += r * xs[i] * xs[i];
    }
    // Sums of six residuals of order one.
    EXPECT_NEAR(r0, 0.0, 1e-12);
    EXPECT_NEAR(r1, 0.0, 1e-12);
    EXPECT_NEAR(r2, 0.0, 1e-12);
}

TEST(QuadraticFit, ClosedFormsAgreeWithExactQuadrature) {
    struct Case {
        double a, b, c, x0, x1, d;
    };
    for (const Case& c : {Case{1, 1, 1, 0, 2, 0}, Case{-3, 0.5, 2, 0, 1.5, 0.75}, Case{0.2, -4, 7, -1, 3, 5},
                         Case{2.5, 0, -1, 1, -2, -0.5}, Case{0, 3, 0, 0.4, 0.4, 1}}) {
        const QuadraticFit f = Poly(c.a, c.b, c.c);
        // Simpson's rule is exact for the quadratic and for the cubic moment integrand.
        auto simpson = [&](bool moment) {
            auto g = [&](double x) { return (c.a * x * x + c.b * x + c.c) * (moment ? x - c.d : 1.0); };
            return (c.x1 - c.x0) / 6.0 * (g(c.x0) + 4.0 * g((c.x0 + c.x1) * 0.5) + g(c.x1));
        };
        EXPECT_NEAR(Integrate(f, c.x0, c.x1), simpson(false), 1e-12 * (1.0 + std::fabs(simpson(false))));
        EXPECT_NEAR(IntegrateMoment(f, c.x0, c.x1, c.d), simpson(true), 1e-12 * (1.0 + std::fabs(simpson(true))));
    }
}

}  // namespace
}  // namespace xsect
