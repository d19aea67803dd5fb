#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <vector>

#include <xsect/stresses/quadratic_fit.h>

namespace xsect {
namespace {

// Coefficients of order one fitted from a handful of samples: a few ulps of the inversion.
constexpr double kFitTol = 1e-9;

// Simpson's rule is exact for cubics, so it checks the closed forms independently of their
// algebra (the moment integrand is a cubic).
double Simpson(const QuadraticFit& f, double x0, double x1, double d, bool moment) {
    auto g = [&](double x) { return (f.a * x * x + f.b * x + f.c) * (moment ? x - d : 1.0); };
    return (x1 - x0) / 6.0 * (g(x0) + 4.0 * g((x0 + x1) * 0.5) + g(x1));
}

TEST(QuadraticFit, ThreeSamplesOfAParabolaGiveItsCoefficients) {
    const QuadraticFit f = FitQuadratic({0.0, 1.0, 2.0}, {1.0, 3.0, 7.0});
    EXPECT_TRUE(f.valid);
    EXPECT_NEAR(f.a, 1.0, kFitTol);
    EXPECT_NEAR(f.b, 1.0, kFitTol);
    EXPECT_NEAR(f.c, 1.0, kFitTol);
    EXPECT_NEAR(Evaluate(f, 3.0), 13.0, 10 * kFitTol);
}

TEST(QuadraticFit, ConstantSamplesGiveAConstant) {
    const QuadraticFit f = FitQuadratic({0.0, 0.5, 1.5, 2.0}, {5.0, 5.0, 5.0, 5.0});
    EXPECT_TRUE(f.valid);
    EXPECT_NEAR(f.a, 0.0, kFitTol);
    EXPECT_NEAR(f.b, 0.0, kFitTol);
    EXPECT_NEAR(f.c, 5.0, kFitTol);
}

TEST(QuadraticFit, ExactQuadraticIsReproducedAwayFromTheOrigin) {
    std::vector<double> xs, ys;
    for (int i = 0; i <= 6; ++i) {
        const double x = 3.0 + 0.25 * i;
        xs.push_back(x);
        ys.push_back(-2.0 * x * x + 0.5 * x + 4.0);
    }
    const QuadraticFit f = FitQuadratic(xs, ys);
    EXPECT_TRUE(f.valid);
    // x up to 4.5 squares the condition of the normal matrix; allow for it.
    EXPECT_NEAR(f.a, -2.0, 1e-7);
    EXPECT_NEAR(f.b, 0.5, 1e-6);
    EXPECT_NEAR(f.c, 4.0, 1e-6);
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
    EXPECT_NEAR(r0, 0.0, kFitTol);
    EXPECT_NEAR(r1, 0.0, kFitTol);
    EXPECT_NEAR(r2, 0.0, kFitTol);
}

TEST(QuadraticFit, BadSampleSetsGiveTheZeroPolynomial) {
    struct Case {
        const char* name;
        std::vector<double> xs, ys;
    };
    const Case cases[] = {
        {"two samples", {0.0, 1.0}, {1.0, 2.0}},
        {"lengths differ", {0.0, 1.0, 2.0, 3.0}, {1.0, 2.0, 3.0}},
        {"no samples", {}, {}},
        {"two distinct x make the normal matrix singular", {1.0, 1.0, 2.0}, {3.0, 4.0, 5.0}},
        {"all at one x", {2.0, 2.0, 2.0, 2.0}, {1.0, 2.0, 3.0, 4.0}},
    };
    for (const Case& c : cases) {
        const QuadraticFit f = FitQuadratic(c.xs, c.ys);
        EXPECT_FALSE(f.valid) << c.name;
        EXPECT_EQ(f.a, 0.0) << c.name;
        EXPECT_EQ(f.b, 0.0) << c.name;
        EXPECT_EQ(f.c, 0.0) << c.name;
    }
}

TEST(QuadraticFit, IntegralsOfAConstantMatchTheDocumentedValues) {
    QuadraticFit f;
    f.c = 2.0;
    EXPECT_DOUBLE_EQ(Integrate(f, 0.0, 3.0), 6.0);
    EXPECT_DOUBLE_EQ(IntegrateMoment(f, 0.0, 3.0, 1.5), 0.0);
    EXPECT_DOUBLE_EQ(IntegrateMoment(f, 0.0, 3.0, 0.0), 9.0);
}

TEST(QuadraticFit, ClosedFormsAgreeWithExactQuadrature) {
    struct Case {
        double a, b, c, x0, x1, d;
    };
    const Case cases[] = {
        {1.0, 1.0, 1.0, 0.0, 2.0, 0.0},    {-3.0, 0.5, 2.0, 0.0, 1.5, 0.75}, {0.2, -4.0, 7.0, -1.0, 3.0, 5.0},
        {2.5, 0.0, -1.0, 1.0, -2.0, -0.5}, {0.0, 3.0, 0.0, 0.4, 0.4, 1.0},
    };
    for (const Case& c : cases) {
        QuadraticFit f;
        f.a = c.a;
        f.b = c.b;
        f.c = c.c;
        const double scale = 1.0 + std::fabs(Simpson(f, c.x0, c.x1, c.d, false));
        EXPECT_NEAR(Integrate(f, c.x0, c.x1), Simpson(f, c.x0, c.x1, c.d, false), 1e-12 * scale);
        const double mscale = 1.0 + std::fabs(Simpson(f, c.x0, c.x1, c.d, true));
        EXPECT_NEAR(IntegrateMoment(f, c.x0, c.x1, c.d), Simpson(f, c.x0, c.x1, c.d, true), 1e-12 * mscale);
    }
}

TEST(QuadraticFit, EvaluateIsThePolynomial) {
    QuadraticFit f;
    f.a = 2.0;
    f.b = -3.0;
    f.c = 0.5;
    EXPECT_DOUBLE_EQ(Evaluate(f, 0.0), 0.5);
    EXPECT_DOUBLE_EQ(Evaluate(f, 2.0), 2.5);
    EXPECT_DOUBLE_EQ(Evaluate(f, -1.0), 5.5);
}

}  // namespace
}  // namespace xsect
