#pragma once

#include <vector>

#include "xsect/export.h"

namespace xsect {

// f(x) = a x^2 + b x + c; valid is false for the zero polynomial returned on bad input.
struct QuadraticFit {
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
    bool valid = false;
};

// Least-squares quadratic through the samples. Fewer than three samples, lengths that differ, or
// samples at fewer than three distinct x (a singular normal matrix) give the zero polynomial.
XSECT_API QuadraticFit FitQuadratic(const std::vector<double>& xs, const std::vector<double>& ys);

// f(x).
XSECT_API double Evaluate(const QuadraticFit& f, double x);
// The integral of f from x0 to x1.
XSECT_API double Integrate(const QuadraticFit& f, double x0, double x1);
// The integral of f(x) (x - d) from x0 to x1.
XSECT_API double IntegrateMoment(const QuadraticFit& f, double x0, double x1, double d);

}  // namespace xsect
