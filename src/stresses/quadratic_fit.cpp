#include "xsect/stresses/quadratic_fit.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "xsect/math/matrix.h"

namespace xsect {

QuadraticFit FitQuadratic(const std::vector<double>& xs, const std::vector<double>& ys) {
    QuadraticFit fit;
    if (xs.size() != ys.size() || xs.size() < 3) return fit;
    if (!std::all_of(xs.begin(), xs.end(), [](double x) { return std::isfinite(x); })) return fit;

    // Three distinct x exist exactly when one lies strictly between the smallest and the largest;
    // deciding it on the values themselves, not on a pivot, keeps a short row's fit.
    const auto [lowest, highest] = std::minmax_element(xs.begin(), xs.end());
    const double xLow = *lowest;
    const double xHigh = *highest;
    if (std::none_of(xs.begin(), xs.end(), [&](double x) { return xLow < x && x < xHigh; })) return fit;

    // The fit is made in t = (x - mid) / half, the samples scaled to [-1, 1]: in the caller's x
    // the normal matrix of a row h long holds terms from 1 to h^4, and its inverse would carry
    // that spread into every coefficient. Halving each end first cannot overflow.
    const double mid = 0.5 * xLow + 0.5 * xHigh;
    const double half = 0.5 * xHigh - 0.5 * xLow;
    const auto n = static_cast<std::int32_t>(xs.size());
    // Column 1 keeps the fill value: it is the constant term's column.
    AG_Matrix A(n, 3, 1.0);
    AG_ColVector y(n);
    for (std::int32_t i = 1; i <= n; ++i) {
        const double t = (xs[static_cast<std::size_t>(i - 1)] - mid) / half;
        A(i, 2) = t;
        A(i, 3) = t * t;
        y[i] = ys[static_cast<std::size_t>(i - 1)];
    }

    // The normal equations are solved by explicit inversion: the three-column system is tiny and
    // well scaled in t. Distinct x that differ only in digits lost to the scaling can still meet
    // at one t; the inverse is then NaN, and we return the zero polynomial rather than pass NaN on.
    const AG_Matrix At = A.T();
    const AG_Matrix inverse = (At * A).Inverse();
    if (inverse.HasNaN()) return fit;
    const AG_ColVector coef = (inverse * At) * y;

    // Back to x: alpha t^2 + beta t + gamma with t = (x - mid) / half. For a row in its own
    // coordinate (x from 0) the ratio u is 1 and c is the fit's value at the row's start.
    const double alpha = coef[3];
    const double beta = coef[2];
    const double gamma = coef[1];
    const double u = mid / half;
    const double a = alpha / half / half;
    const double b = (beta - 2.0 * alpha * u) / half;
    const double c = gamma - beta * u + alpha * u * u;
    // A row so short (below some 1e-150) that a finite fit in t overflows in x has no polynomial
    // to give: the zero polynomial keeps infinities out of the smoothing. Samples that are not
    // numbers still pass their NaN on, as the fit of them is.
    const bool finiteInT = std::isfinite(alpha) && std::isfinite(beta) && std::isfinite(gamma);
    if (finiteInT && !(std::isfinite(a) && std::isfinite(b) && std::isfinite(c))) return fit;
    fit.a = a;
    fit.b = b;
    fit.c = c;
    fit.valid = true;
    return fit;
}

double Evaluate(const QuadraticFit& f, double x) { return x * f.a * x + x * f.b + f.c; }

double Integrate(const QuadraticFit& f, double x0, double x1) {
    return f.a * (x1 * x1 * x1 - x0 * x0 * x0) / 3.0 + f.b * (x1 * x1 - x0 * x0) * 0.5 + f.c * (x1 - x0);
}

double IntegrateMoment(const QuadraticFit& f, double x0, double x1, double d) {
    const double dx4 = x1 * x1 * x1 * x1 - x0 * x0 * x0 * x0;
    const double dx3 = x1 * x1 * x1 - x0 * x0 * x0;
    const double dx2 = x1 * x1 - x0 * x0;
    return f.a * dx4 * 0.25 + (f.b - f.a * d) * dx3 / 3.0 + (f.c - f.b * d) * dx2 * 0.5 - f.c * d * (x1 - x0);
}

}  // namespace xsect
