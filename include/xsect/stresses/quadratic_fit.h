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

// Least-squares quadratic through the samples, exact (to rounding) for samples of a quadratic
// however short the row. Fewer than three samples, lengths that differ, fewer than three distinct
// x, an x that is not finite, or a row too short for its quadratic to be held in doubles give
// the zero polynomial. Pass x in the row's own coordinate (from its start): far from x = 0 the
// coefficients of a short row cancel in evaluation.
XSECT_API QuadraticFit FitQuadratic(const std::vector<double>& xs, const std::vector<double>& ys);

// f(x).
XSECT_API double Evaluate(const QuadraticFit& f, double x);
// The integral of f from x0 to x1.
XSECT_API double Integrate(const QuadraticFit& f, double x0, double x1);
// The integral of f(x) (x - d) from x0 to x1.
XSECT_API double IntegrateMoment(const QuadraticFit& f, double x0, double x1, double d);

}  // namespace xsect
