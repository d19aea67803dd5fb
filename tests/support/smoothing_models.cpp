#include "support/smoothing_models.h"

#include <cmath>
#include <cstddef>

namespace xsect::smoothing_models {

namespace {

// The tilted plane: through (10, 20, 30), rotated about the global y axis.
constexpr double kOrigin[3] = {10.0, 20.0, 30.0};
constexpr double kE1[3] = {0.6, 0.0, 0.8};
constexpr double kE2[3] = {0.0, 1.0, 0.0};
constexpr double kNormal[3] = {0.8, 0.0, -0.6};  // e1 x e2

// The consistent loads of a linear interpolation of f between the ends a and b of an edge: the
// integrals of f times each end's hat function, by Simpson's rule (exact for the quadratic and
// cubic fields the tests use when they need exactness).
void EdgeLoads(const Field& f, double sa, double sb, double weight, double& atA, double& atB) {
    const double L = sb - sa;
    const double m = (sa + sb) * 0.5;
    // hat of a: 1, 0.5, 0 at a, m, b; hat of b the other way.
    atA = weight * L / 6.0 * (f(sa) + 4.0 * f(m) * 0.5);
    atB = weight * L / 6.0 * (4.0 * f(m) * 0.5 + f(sb));
}

double Zero(double) { return 0.0; }

}  // namespace

Fields ZeroFields() {
    Fields f;
    f.St = f.Sts = f.Qt = f.Mts = f.Mt = &Zero;
    return f;
}

std::int32_t Strip::NodeAt(std::size_t column, std::size_t row) const {
    return static_cast<std::int32_t>(1 + row * spec.columns.size() + column);
}

std::int32_t Strip::ElementAt(std::size_t column, std::size_t row) const {
    // Numbered against the cut direction, so that row order must come from the coordinates.
    return static_cast<std::int32_t>(100 * (row + 1) + (spec.columns.size() - 1 - column));
}

CVertex Strip::Global(double x, double y) const {
    if (!spec.tilted) return CVertex(x, y, 0.0);
    return CVertex(kOrigin[0] + x * kE1[0] + y * kE2[0], kOrigin[1] + x * kE1[1] + y * kE2[1],
                   kOrigin[2] + x * kE1[2] + y * kE2[2]);
}

void Strip::GlobalDirection(double x, double y, double z, double out[3]) const {
    if (!spec.tilted) {
        out[0] = x;
        out[1] = y;
        out[2] = z;
        return;
    }
    for (int i = 0; i < 3; ++i) out[i] = x * kE1[i] + y * kE2[i] + z * kNormal[i];
}

CVertex Strip::FacePoint() const {
    return Global((spec.columns.front() + spec.columns.back()) * 0.5, spec.cutY + 0.3);
}

std::unique_ptr<Strip> BuildStrip(const StripSpec& spec, const Fields& loads) {
    auto strip = std::make_unique<Strip>();
    strip->spec = spec;
    Strip& s = *strip;
    const std::size_t columns = spec.columns.size();
    const double ys[3] = {0.0, spec.lower, spec.lower + spec.upper};
    for (std::size_t j = 0; j < 3; ++j)
        for (std::size_t i = 0; i < columns; ++i) s.nodes[s.NodeAt(i, j)] = s.Global(spec.columns[i], ys[j]);

    for (std::size_t row = 0; row < 2; ++row) {
        for (std::size_t k = 0; k + 1 < columns; ++k) {
            CShellElement shell;
            shell.nodes = {s.NodeAt(k, row), s.NodeAt(k + 1, row), s.NodeAt(k + 1, row + 1), s.NodeAt(k, row + 1)};
            if (row == 0 && static_cast<std::int32_t>(k) == spec.reversedElement)
                shell.nodes = {s.NodeAt(k, row), s.NodeAt(k, row + 1), s.NodeAt(k + 1, row + 1), s.NodeAt(k + 1, row)};
            s.shells[s.ElementAt(k, row)] = shell;
        }
    }

    // Loads of the crossed row: along the edge at y = lower, from x_k to x_k+1.
    for (std::size_t k = 0; k + 1 < columns; ++k) {
        const double sa = s.CoordinateOf(spec.columns[k]);
        const double sb = s.CoordinateOf(spec.columns[k + 1]);
        const double t = spec.thickness[k];
        double fy[2], fx[2], fz[2], mx[2], my[2];
        EdgeLoads(loads.St, sa, sb, t, fy[0], fy[1]);
        EdgeLoads(loads.Sts, sa, sb, t, fx[0], fx[1]);
        EdgeLoads(loads.Qt, sa, sb, 1.0, fz[0], fz[1]);
        EdgeLoads(loads.Mt, sa, sb, 1.0, mx[0], mx[1]);
        EdgeLoads(loads.Mts, sa, sb, 1.0, my[0], my[1]);
        CShellElement& shell = s.shells[s.ElementAt(k, 0)];
        for (std::size_t end = 0; end < 2; ++end) {
            double f[3], m[3];
            s.GlobalDirection(fx[end], fy[end], fz[end], f);
            s.GlobalDirection(mx[end], my[end], 0.0, m);
            shell.StoreStaticCaseResults(spec.loadCase, s.NodeAt(k + end, 1),
                                         CNodeResults{f[0], f[1], f[2], m[0], m[1], m[2]});
            shell.StoreStaticCaseResults(spec.loadCase, s.NodeAt(k + end, 0),
                                         CNodeResults{-f[0], -f[1], -f[2], -m[0], -m[1], -m[2]});
        }
    }
    s.loadCases[spec.loadCase] = CLoadCaseInfo{};

    s.forces = std::make_unique<CCrossSectionForcesPost>(s.nodes, s.shells, s.frames, s.loadCases, 0.005,
                                                         s.NodeAt(0, 0), s.NodeAt(1, 0), s.NodeAt(0, 1));
    s.stresses = std::make_unique<CCrossSectionStressesPost>(s.forces.get());
    s.rows = s.stresses->GetCutlineStressInputPoints(s.CutStart(), s.CutEnd(), s.FacePoint(), spec.divisions, 0.0,
                                                     false);
    return strip;
}

void FillRows(Strip& strip, const Fields& samples) {
    for (std::size_t k = 0; k < strip.rows.size(); ++k) {
        strip.rows[k]->SetAvgThickness(strip.spec.thickness[k]);
        for (StressPoint& p : strip.rows[k]->GetStressPoints()) {
            const double s = p.Get1DCoor();
            p.SetStressValue_ZEL(100.0 + s, samples.St(s), samples.Sts(s), -100.0, samples.Mt(s), samples.Mts(s),
                                 50.0 * s, samples.Qt(s));
        }
    }
}

}  // namespace xsect::smoothing_models
