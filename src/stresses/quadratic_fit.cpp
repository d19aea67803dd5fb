#include "xsect/stresses/quadratic_fit.h"

#include <cstddef>
#include <cstdint>

#include "xsect/math/matrix.h"

namespace xsect {

QuadraticFit FitQuadratic(const std::vector<double>& xs, const std::vector<double>& ys) {
    QuadraticFit fit;
    if (xs.size() != ys.size() || xs.size() < 3) return fit;

    const auto n = static_cast<std::int32_t>(xs.size());
    // Column 1 keeps the fill value: it is the constant term's column.
    AG_Matrix A(n, 3, 1.0);
    AG_ColVector y(n);
    for (std::int32_t i = 1; i <= n; ++i) {
        const double x = xs[static_cast<std::size_t>(i - 1)];
        A(i, 2) = x;
        A(i, 3) = x * x;
        y[i] = ys[static_cast<std::size_t>(i - 1)];
    }

    // The normal equations are solved by explicit inversion on purpose: the three-column system
    // is tiny, and a singular normal matrix (samples at fewer than three distinct x) shows up as
    // a NaN inverse that we turn into the zero polynomial instead of passing NaN on.
    const AG_Matrix At = A.T();
    const AG_Matrix inverse = (At * A).Inverse();
    if (inverse.HasNaN()) return fit;
    const AG_ColVector coef = (inverse * At) * y;

    fit.a = coef[3];
    fit.b = coef[2];
    fit.c = coef[1];
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
