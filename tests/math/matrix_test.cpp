// Inversion is the matrix layer's one decision: a small pivot is not a zero pivot. (The fit's own
// regression, rows a millimetre long, is in quadratic_fit_test.)

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
}

}  // namespace
