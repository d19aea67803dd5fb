#include <gtest/gtest.h>

#include <cmath>

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

TEST(Matrix, ElementsAreOneBasedAndRowMajorThroughTheProxy) {
    AG_Matrix m(2, 3, 7.0);
    EXPECT_EQ(static_cast<double>(m(2, 3)), 7.0);
    m(1, 1) = 1.0;
    m(2, 3) = 6.0;
    EXPECT_EQ(static_cast<double>(m(1, 1)), 1.0);  // read back through a second proxy
    const AG_Matrix& cm = m;
    EXPECT_EQ(cm(2, 3), 6.0);
    m(1, 2) = m(2, 3);  // proxy to proxy copies the value
    EXPECT_EQ(cm(1, 2), 6.0);
    m.ReDimension(3, 1, 0.0);
    EXPECT_EQ(m.Rows(), 3);
    EXPECT_EQ(m.Columns(), 1);
    EXPECT_EQ(cm(3, 1), 0.0);
}

TEST(Matrix, TransposeAndProducts) {
    const AG_Matrix a = fromRows({{1, 2, 3}, {4, 5, 6}});
    const AG_Matrix t = a.T();
    EXPECT_EQ(t.Rows(), 3);
    EXPECT_EQ(t(3, 2), 6.0);
    const AG_Matrix p = a * t;  // [[14, 32], [32, 77]]
    EXPECT_EQ(p(1, 1), 14.0);
    EXPECT_EQ(p(1, 2), 32.0);
    EXPECT_EQ(p(2, 2), 77.0);

    AG_ColVector v(3);
    v[1] = 1;
    v[2] = 0;
    v[3] = -1;
    const AG_ColVector av = a * v;
    EXPECT_EQ(av.Size(), 2);
    EXPECT_EQ(av[1], -2.0);
    EXPECT_EQ(av[2], -2.0);
}

TEST(Matrix, InverseOfWellConditionedMatricesAndNaNWhenSingular) {
    const AG_Matrix a = fromRows({{4, 7, 2}, {3, 6, 1}, {2, 5, 3}});
    const AG_Matrix id = a * a.Inverse();
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c) EXPECT_NEAR(id(r, c), r == c ? 1.0 : 0.0, 1e-14);

    // Needs a row exchange: the first pivot is zero.
    const AG_Matrix b = fromRows({{0, 1}, {1, 0}});
    const AG_Matrix bi = b.Inverse();
    EXPECT_EQ(bi(1, 2), 1.0);
    EXPECT_FALSE(bi.HasNaN());

    const AG_Matrix singular = fromRows({{1, 2, 3}, {2, 4, 6}, {1, 0, 1}});
    const AG_Matrix si = singular.Inverse();
    EXPECT_TRUE(si.HasNaN());
    EXPECT_EQ(si.Rows(), 3);
    EXPECT_TRUE(AG_Matrix(2, 3, 1.0).Inverse().HasNaN());   // not square
    EXPECT_TRUE(AG_Matrix(2, 2, 0.0).Inverse().HasNaN());   // zero
    // A normal matrix of samples at only two distinct positions is singular up to rounding.
    const double xs[] = {0.1, 0.1, 1.3, 1.3, 0.1};
    AG_Matrix design(5, 3, 1.0);
    for (int i = 1; i <= 5; ++i) {
        design(i, 2) = xs[i - 1];
        design(i, 3) = xs[i - 1] * xs[i - 1];
    }
    EXPECT_TRUE((design.T() * design).Inverse().HasNaN());
}

TEST(ColVector, ArithmeticCrossNormAndContiguousStorage) {
    AG_ColVector a(3, 0.0), b(3, 0.0);
    a[1] = 1;
    b[2] = 1;
    const AG_ColVector c = a.Cross(b);
    EXPECT_EQ(c[3], 1.0);  // x cross y = z
    EXPECT_EQ(b.Cross(a)[3], -1.0);
    EXPECT_DOUBLE_EQ((a + b).Norm(), std::sqrt(2.0));
    EXPECT_EQ((a - b)[2], -1.0);
    EXPECT_EQ((2.5 * a)[1], 2.5);
    a += b;
    EXPECT_EQ(a[2], 1.0);

    AG_ColVector v(4, 1.5);
    v.Data()[3] = 9.0;
    EXPECT_EQ(v[4], 9.0);
    EXPECT_EQ(&v[2], v.Data() + 1);
    v.ReDimension(3, 3, 0.0);  // a vector stays one column
    EXPECT_EQ(v.Columns(), 1);
    EXPECT_EQ(v.Size(), 3);
}

TEST(Matrix, CopiesAreDeepAndMovesEmptyTheSource) {
    AG_Matrix a(2, 2, 1.0);
    AG_Matrix b(a);
    b(1, 1) = 5.0;
    EXPECT_EQ(static_cast<double>(a(1, 1)), 1.0);
    AG_Matrix c(std::move(b));
    EXPECT_EQ(c(1, 1), 5.0);
    EXPECT_EQ(b.Rows(), 0);
    AG_Matrix neg(-2, 3, 1.0);  // a negative size is an empty matrix, not a huge one
    EXPECT_EQ(neg.Rows(), 0);
}
