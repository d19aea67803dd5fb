// Products, transposes and cross products are exercised end to end by the section-force
// statics; here what those runs cannot reach: proxies, storage, copies and inversion.

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include <xsect/math/matrix.h>

using namespace xsect;

namespace {

AG_Matrix fromRows(std::initializer_list<std::initializer_list<double>> rows) {
    AG_Matrix m(static_cast<std::int32_t>(rows.size()), static_cast<std::int32_t>(rows.begin()->size()));
    std::int32_t r = 1;
    for (const auto& row : rows) {
        std::int32_t c = 1;
        for (double v : row) m(r, c++) = v;
        ++r;
    }
    return m;
}

}  // namespace

TEST(Matrix, ProxiesStorageAndCopies) {
    AG_Matrix m(2, 3, 7.0);
    m(1, 1) = 1.0;
    m(2, 3) = 6.0;
    EXPECT_EQ(static_cast<double>(m(1, 1)), 1.0);  // read back through a second proxy
    const AG_Matrix& cm = m;
    m(1, 2) = m(2, 3);  // proxy to proxy copies the value
    EXPECT_EQ(cm(1, 2), 6.0);
    EXPECT_EQ(cm(2, 1), 7.0);
    m.ReDimension(3, 1, 0.0);
    EXPECT_EQ(m.Rows() * 10 + m.Columns(), 31);
    EXPECT_EQ(cm(3, 1), 0.0);

    AG_Matrix b(m);
    b(1, 1) = 5.0;
    EXPECT_EQ(cm(1, 1), 0.0);  // copies are deep
    AG_Matrix c(std::move(b));
    EXPECT_EQ(c(1, 1), 5.0);
    EXPECT_EQ(b.Rows(), 0);
    EXPECT_EQ(AG_Matrix(-2, 3, 1.0).Rows(), 0);  // a negative size is an empty matrix, not a huge one

    AG_ColVector v(4, 1.5);
    v.Data()[3] = 9.0;
    EXPECT_EQ(v[4], 9.0);
    EXPECT_EQ(&v[2], v.Data() + 1);
    v.ReDimension(3, 3, 0.0);  // a vector stays one column
    EXPECT_EQ(v.Columns(), 1);
    EXPECT_EQ(v.Size(), 3);
}

TEST(Matrix, InverseOfWellConditionedMatricesAndNaNWhenSingular) {
    const AG_Matrix a = fromRows({{4, 7, 2}, {3, 6, 1}, {2, 5, 3}});
    const AG_Matrix id = a * a.Inverse();
    for (int r = 1; r <= 3; ++r) {
        for (int c = 1; c <= 3; ++c) EXPECT_NEAR(id(r, c), r == c ? 1.0 : 0.0, 1e-14);
    }
    // Needs a row exchange: the first pivot is zero.
    const AG_Matrix bi = fromRows({{0, 1}, {1, 0}}).Inverse();
    EXPECT_EQ(bi(1, 2), 1.0);
    EXPECT_FALSE(bi.HasNaN());

    const AG_Matrix si = fromRows({{1, 2, 3}, {2, 4, 6}, {1, 0, 1}}).Inverse();
    EXPECT_TRUE(si.HasNaN());
    EXPECT_EQ(si.Rows(), 3);
    EXPECT_TRUE(AG_Matrix(2, 3, 1.0).Inverse().HasNaN());  // not square
    EXPECT_TRUE(AG_Matrix(2, 2, 0.0).Inverse().HasNaN());  // zero
    EXPECT_TRUE(fromRows({{1e-310, 0}, {0, 1}}).Inverse().HasNaN());  // the inverse overflows
}

// Regression: pivots small beside the matrix's largest element were taken for zero, so a
// well-posed system with widely different scales had no inverse.
TEST(Matrix, SmallPivotsAreNotZeroPivots) {
    const AG_Matrix d = fromRows({{1e-12, 0}, {0, 1}}).Inverse();
    ASSERT_FALSE(d.HasNaN());
    EXPECT_EQ(d(1, 1), 1.0 / 1e-12);  // one correctly rounded division
    EXPECT_EQ(d(2, 2), 1.0);

    // The normal matrix of five samples along a row h = 1e-3 long: entries from 5 down to
    // 1e-12. Its inverse must solve the normal equations of y = 1 + 2 x/h + 3 (x/h)^2.
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
    const AG_Matrix inverse = normal.Inverse();
    ASSERT_FALSE(inverse.HasNaN());
    const AG_ColVector coef = (inverse * design.T()) * y;
    // Its condition, near 1e14, comes from the scales of its columns, which pivoting does not
    // feel; on the row scaled to unit length it is near 300, so some hundreds of ulps.
    EXPECT_NEAR(coef[1], 1.0, 1e-12);
    EXPECT_NEAR(coef[2], 2.0 / h, 1e-12 * 2.0 / h);
    EXPECT_NEAR(coef[3], 3.0 / (h * h), 1e-12 * 3.0 / (h * h));
}
