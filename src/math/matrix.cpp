#include "xsect/math/matrix.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>
#include <utility>

namespace xsect {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::size_t elementCount(std::int32_t rows, std::int32_t columns) {
    // Negative sizes make an empty matrix rather than a huge allocation.
    if (rows <= 0 || columns <= 0) return 0;
    return static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns);
}

}  // namespace

// ---- AG_MatrixAux ----------------------------------------------------------------------------

AG_MatrixAux& AG_MatrixAux::operator=(double value) {
    *element_ = value;
    return *this;
}

AG_MatrixAux& AG_MatrixAux::operator=(const AG_MatrixAux& other) {
    *element_ = *other.element_;
    return *this;
}

AG_MatrixAux::operator double() const { return *element_; }

// ---- AG_Matrix -------------------------------------------------------------------------------

AG_Matrix::AG_Matrix() = default;

AG_Matrix::AG_Matrix(std::int32_t rows, std::int32_t columns, double fill) { AG_Matrix::ReDimension(rows, columns, fill); }

AG_Matrix::AG_Matrix(const AG_Matrix&) = default;
AG_Matrix::AG_Matrix(AG_Matrix&& other) noexcept
    : rows_(std::exchange(other.rows_, 0)), columns_(std::exchange(other.columns_, 0)), data_(std::move(other.data_)) {
    other.data_.clear();
}
AG_Matrix& AG_Matrix::operator=(const AG_Matrix&) = default;
AG_Matrix& AG_Matrix::operator=(AG_Matrix&& other) noexcept {
    if (this != &other) {
        rows_ = std::exchange(other.rows_, 0);
        columns_ = std::exchange(other.columns_, 0);
        data_ = std::move(other.data_);
        other.data_.clear();
    }
    return *this;
}
AG_Matrix::~AG_Matrix() = default;

AG_MatrixAux AG_Matrix::operator()(std::int32_t row, std::int32_t column) {
    assert(row >= 1 && row <= rows_ && column >= 1 && column <= columns_);
    return AG_MatrixAux(&data_[static_cast<std::size_t>(row - 1) * columns_ + (column - 1)]);
}

double AG_Matrix::operator()(std::int32_t row, std::int32_t column) const {
    assert(row >= 1 && row <= rows_ && column >= 1 && column <= columns_);
    return data_[static_cast<std::size_t>(row - 1) * columns_ + (column - 1)];
}

void AG_Matrix::ReDimension(std::int32_t rows, std::int32_t columns, double fill) {
    const std::size_t n = elementCount(rows, columns);
    rows_ = n ? rows : 0;
    columns_ = n ? columns : 0;
    data_.assign(n, fill);
}

AG_Matrix AG_Matrix::T() const {
    AG_Matrix t(columns_, rows_);
    for (std::int32_t r = 1; r <= rows_; ++r)
        for (std::int32_t c = 1; c <= columns_; ++c) t(c, r) = (*this)(r, c);
    return t;
}

bool AG_Matrix::HasNaN() const {
    return std::any_of(data_.begin(), data_.end(), [](double v) { return std::isnan(v); });
}

// Gauss-Jordan elimination with partial pivoting. Only a pivot that is exactly zero, or not
// finite, makes the matrix singular: a pivot small beside the largest element is the mark of a
// system with widely different scales (a short row's normal matrix), not of a singular one, and
// its inverse is still the answer. A singular matrix, and one whose inverse overflows, gives all
// NaN, so no caller can mistake it for an answer.
AG_Matrix AG_Matrix::Inverse() const {
    const std::int32_t n = rows_;
    AG_Matrix failed(rows_, columns_, kNaN);
    if (n != columns_ || n == 0) return failed;
    if (!std::all_of(data_.begin(), data_.end(), [](double v) { return std::isfinite(v); })) return failed;

    AG_Matrix a(*this);
    AG_Matrix inv(n, n, 0.0);
    for (std::int32_t i = 1; i <= n; ++i) inv(i, i) = 1.0;

    for (std::int32_t col = 1; col <= n; ++col) {
        std::int32_t pivotRow = col;
        for (std::int32_t r = col + 1; r <= n; ++r)
            if (std::fabs(a(r, col)) > std::fabs(static_cast<const AG_Matrix&>(a)(pivotRow, col))) pivotRow = r;
        const double pivot = static_cast<const AG_Matrix&>(a)(pivotRow, col);
        if (pivot == 0.0 || !std::isfinite(pivot)) return failed;
        if (pivotRow != col) {
            for (std::int32_t c = 1; c <= n; ++c) {
                const double t1 = a(col, c);
                a(col, c) = static_cast<double>(a(pivotRow, c));
                a(pivotRow, c) = t1;
                const double t2 = inv(col, c);
                inv(col, c) = static_cast<double>(inv(pivotRow, c));
                inv(pivotRow, c) = t2;
            }
        }
        for (std::int32_t c = 1; c <= n; ++c) {
            a(col, c) = a(col, c) / pivot;
            inv(col, c) = inv(col, c) / pivot;
        }
        for (std::int32_t r = 1; r <= n; ++r) {
            if (r == col) continue;
            const double factor = a(r, col);
            if (factor == 0.0) continue;
            for (std::int32_t c = 1; c <= n; ++c) {
                a(r, c) = a(r, c) - factor * a(col, c);
                inv(r, c) = inv(r, c) - factor * inv(col, c);
            }
        }
    }
    if (!std::all_of(inv.data_.begin(), inv.data_.end(), [](double v) { return std::isfinite(v); })) return failed;
    return inv;
}

AG_Matrix operator*(const AG_Matrix& a, const AG_Matrix& b) {
    assert(a.Columns() == b.Rows());
    if (a.Columns() != b.Rows()) return AG_Matrix(a.Rows(), b.Columns(), std::numeric_limits<double>::quiet_NaN());
    AG_Matrix p(a.Rows(), b.Columns(), 0.0);
    for (std::int32_t r = 1; r <= a.Rows(); ++r)
        for (std::int32_t c = 1; c <= b.Columns(); ++c) {
            double s = 0.0;
            for (std::int32_t k = 1; k <= a.Columns(); ++k) s += a(r, k) * b(k, c);
            p(r, c) = s;
        }
    return p;
}

// ---- AG_ColVector ----------------------------------------------------------------------------

AG_ColVector::AG_ColVector() = default;
AG_ColVector::AG_ColVector(std::int32_t n) : AG_ColVector(n, 0.0) {}
AG_ColVector::AG_ColVector(std::int32_t n, double fill) { AG_ColVector::ReDimension(n, 1, fill); }
AG_ColVector::AG_ColVector(const AG_ColVector&) = default;
AG_ColVector::AG_ColVector(AG_ColVector&&) noexcept = default;
AG_ColVector& AG_ColVector::operator=(const AG_ColVector&) = default;
AG_ColVector& AG_ColVector::operator=(AG_ColVector&&) noexcept = default;
AG_ColVector::~AG_ColVector() = default;

AG_MatrixAux AG_ColVector::operator()(std::int32_t row, std::int32_t column) {
    return AG_Matrix::operator()(row, column);
}

void AG_ColVector::ReDimension(std::int32_t rows, std::int32_t /*columns*/, double fill) {
    AG_Matrix::ReDimension(rows, 1, fill);
}

double& AG_ColVector::operator[](std::int32_t i) {
    assert(i >= 1 && i <= rows_);
    return data_[static_cast<std::size_t>(i - 1)];
}

const double& AG_ColVector::operator[](std::int32_t i) const {
    assert(i >= 1 && i <= rows_);
    return data_[static_cast<std::size_t>(i - 1)];
}

AG_ColVector& AG_ColVector::operator+=(const AG_ColVector& other) {
    assert(Size() == other.Size());
    const std::size_t n = std::min(data_.size(), other.data_.size());
    for (std::size_t i = 0; i < n; ++i) data_[i] += other.data_[i];
    return *this;
}

AG_ColVector AG_ColVector::Cross(const AG_ColVector& o) const {
    assert(Size() == 3 && o.Size() == 3);
    AG_ColVector r(3);
    if (Size() != 3 || o.Size() != 3) return AG_ColVector(3, std::numeric_limits<double>::quiet_NaN());
    const double* a = Data();
    const double* b = o.Data();
    r[1] = a[1] * b[2] - a[2] * b[1];
    r[2] = a[2] * b[0] - a[0] * b[2];
    r[3] = a[0] * b[1] - a[1] * b[0];
    return r;
}

double AG_ColVector::Norm() const {
    double s = 0.0;
    for (double v : data_) s += v * v;
    return std::sqrt(s);
}

AG_ColVector operator*(const AG_Matrix& a, const AG_ColVector& v) {
    assert(a.Columns() == v.Size());
    if (a.Columns() != v.Size()) return AG_ColVector(a.Rows(), std::numeric_limits<double>::quiet_NaN());
    AG_ColVector p(a.Rows());
    for (std::int32_t r = 1; r <= a.Rows(); ++r) {
        double s = 0.0;
        for (std::int32_t k = 1; k <= a.Columns(); ++k) s += a(r, k) * v[k];
        p[r] = s;
    }
    return p;
}

AG_ColVector operator+(const AG_ColVector& a, const AG_ColVector& b) {
    AG_ColVector r(a);
    r += b;
    return r;
}

AG_ColVector operator-(const AG_ColVector& a, const AG_ColVector& b) {
    assert(a.Size() == b.Size());
    AG_ColVector r(a);
    const std::int32_t n = std::min(a.Size(), b.Size());
    for (std::int32_t i = 1; i <= n; ++i) r[i] -= b[i];
    return r;
}

AG_ColVector operator*(double s, const AG_ColVector& v) {
    AG_ColVector r(v);
    for (std::int32_t i = 1; i <= r.Size(); ++i) r[i] *= s;
    return r;
}

}  // namespace xsect
