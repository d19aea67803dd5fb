// Inversion is the matrix layer's one decision: a small pivot is not a zero pivot.

#include <gtest/gtest.h>

#include <xsect/math/matrix.h>

using namespace xsect;

namespace {

TEST(Matrix, OnlyAZeroPivotMakesAMatrixSingular) {
    AG_Matrix singular(2, 2, 1.0);
    EXPECT_TRUE(singular.Inverse().HasNaN());

    AG_Matrix d(2, 2, 0.0);
    d(1, 1) = 1e-12;
    d(2, 2) = 1.0;
    const AG_Matrix inverse = d.Inverse();
    ASSERT_FALSE(inverse.HasNaN());
    EXPECT_EQ(inverse(1, 1), 1.0 / 1e-12);  // one correctly rounded division
    EXPECT_EQ(inverse(2, 2), 1.0);

    // The normal matrix of five samples along a row h = 1e-3 long: entries from 5 down to 1e-12.
    // Its inverse must solve the normal equations of y = 1 + 2 x/h + 3 (x/h)^2.
    const double h = 1e-3;
    AG_Matrix design(5, 3, 1.0);
    AG_ColVector y(5);
    for (int i = 1; i <= 5; ++i) {
        const double x = (i - 1) * h / 4.0;
        design(i, 2) = x;
        design(i, 3) = x * x;
        y[i] = 1.0 + 2.0 * x / h + 3.0 * (x / h) * (x / h);
    }
    const AG_Matrix normal = design.T() * design;
    const AG_Matrix inv = normal.Inverse();
    ASSERT_FALSE(inv.HasNaN());
    const AG_ColVector coef = (inv * design.T()) * y;
    // Its condition, near 1e14, comes from the scales of its columns, which pivoting does not feel;
    // on the row scaled to unit length it is near 300, so some hundreds of ulps.
    EXPECT_NEAR(coef[1], 1.0, 1e-12);
    EXPECT_NEAR(coef[2], 2.0 / h, 1e-12 * 2.0 / h);
    EXPECT_NEAR(coef[3], 3.0 / (h * h), 1e-12 * 3.0 / (h * h));
}

}  // namespace
