#pragma once

#include <cstdint>
#include <vector>

#include "xsect/export.h"

namespace xsect {

// A short-lived handle to one matrix element: assign a double to write it, convert to read it.
class XSECT_API AG_MatrixAux {
public:
    explicit AG_MatrixAux(double* element) : element_(element) {}
    AG_MatrixAux& operator=(double value);
    AG_MatrixAux& operator=(const AG_MatrixAux& other);  // copies the value, not the handle
    AG_MatrixAux(const AG_MatrixAux&) = default;
    operator double() const;

private:
    double* element_;
};

// A dense rows x columns matrix of doubles with 1-based element access and deep copies.
// Indices out of range and mismatched dimensions are programming errors (asserted in debug
// builds). Inverse() of a non-square matrix, of one with an element that is not finite, of one
// whose elimination meets an exactly zero pivot, or of one whose inverse overflows, is a matrix of
// quiet NaN of the same shape; callers that must react test for it with HasNaN(). A pivot that is
// merely small beside the other elements does not make the matrix singular.
class XSECT_API AG_Matrix {
public:
    AG_Matrix();
    AG_Matrix(std::int32_t rows, std::int32_t columns, double fill = 0.0);
    AG_Matrix(const AG_Matrix&);
    AG_Matrix(AG_Matrix&&) noexcept;
    AG_Matrix& operator=(const AG_Matrix&);
    AG_Matrix& operator=(AG_Matrix&&) noexcept;
    virtual ~AG_Matrix();

    // Element (row, column), both 1-based.
    virtual AG_MatrixAux operator()(std::int32_t row, std::int32_t column);
    double operator()(std::int32_t row, std::int32_t column) const;

    // Makes the matrix rows x columns with every element equal to fill.
    virtual void ReDimension(std::int32_t rows, std::int32_t columns, double fill = 0.0);

    std::int32_t Rows() const { return rows_; }
    std::int32_t Columns() const { return columns_; }

    AG_Matrix T() const;
    AG_Matrix Inverse() const;
    bool HasNaN() const;

protected:
    std::int32_t rows_ = 0;
    std::int32_t columns_ = 0;
    std::vector<double> data_;  // row by row
};

// A column vector: an n x 1 matrix whose elements lie in one contiguous array (Data()[i - 1]
// is element i).
class XSECT_API AG_ColVector : public AG_Matrix {
public:
    AG_ColVector();
    explicit AG_ColVector(std::int32_t n);
    AG_ColVector(std::int32_t n, double fill);
    AG_ColVector(const AG_ColVector&);
    AG_ColVector(AG_ColVector&&) noexcept;
    AG_ColVector& operator=(const AG_ColVector&);
    AG_ColVector& operator=(AG_ColVector&&) noexcept;
    ~AG_ColVector() override;

    AG_MatrixAux operator()(std::int32_t row, std::int32_t column) override;
    using AG_Matrix::operator();
    // Re-dimensions to rows x 1; a vector has one column whatever is asked.
    void ReDimension(std::int32_t rows, std::int32_t columns, double fill = 0.0) override;

    double& operator[](std::int32_t i);  // 1-based
    const double& operator[](std::int32_t i) const;
    std::int32_t Size() const { return rows_; }
    double* Data() { return data_.data(); }
    const double* Data() const { return data_.data(); }

    AG_ColVector& operator+=(const AG_ColVector& other);
    // this x other, for 3-vectors.
    AG_ColVector Cross(const AG_ColVector& other) const;
    double Norm() const;
};

XSECT_API AG_Matrix operator*(const AG_Matrix& a, const AG_Matrix& b);
XSECT_API AG_ColVector operator*(const AG_Matrix& a, const AG_ColVector& v);
XSECT_API AG_ColVector operator+(const AG_ColVector& a, const AG_ColVector& b);
XSECT_API AG_ColVector operator-(const AG_ColVector& a, const AG_ColVector& b);
XSECT_API AG_ColVector operator*(double s, const AG_ColVector& v);

}  // namespace xsect
