#include "compute/stress_fill.h"

#include <cmath>

namespace xsect::cli {

namespace {

// A symmetric tensor stored as xx, yy, zz, xy, yz, zx (the model file's order), applied to v.
CVertex Apply(const std::array<double, 6>& t, const CVertex& v) {
    return {t[0] * v.x + t[3] * v.y + t[5] * v.z, t[3] * v.x + t[1] * v.y + t[4] * v.z,
            t[5] * v.x + t[4] * v.y + t[2] * v.z};
}
double Form(const std::array<double, 6>& t, const CVertex& a, const CVertex& b) { return Dot(a, Apply(t, b)); }

// Weights of a point inside a polygon that reproduce linear fields; at a vertex or on an edge
// they fall back to that vertex or to the edge's linear weights, where the general formula divides
// by zero.
std::vector<double> MeanValueWeights(const std::vector<CVertex>& poly, const CVertex& p) {
    const std::size_t n = poly.size();
    std::vector<double> w(n, 0.0);
    std::vector<double> r(n);
    const double scale = 1e-12;
    for (std::size_t i = 0; i < n; ++i) {
        r[i] = std::hypot(poly[i].x - p.x, poly[i].y - p.y);
        if (r[i] < scale) {
            w[i] = 1.0;
            return w;
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        std::size_t j = (i + 1) % n;
        const CVertex a(poly[i].x - p.x, poly[i].y - p.y, 0.0), b(poly[j].x - p.x, poly[j].y - p.y, 0.0);
        double cross = a.x * b.y - a.y * b.x;
        double dot = a.x * b.x + a.y * b.y;
        if (std::fabs(cross) < scale * (r[i] + r[j]) && dot < 0.0) {
            w[i] = r[j] / (r[i] + r[j]);
            w[j] = r[i] / (r[i] + r[j]);
            return w;
        }
    }
    std::vector<double> tanHalf(n);
    for (std::size_t i = 0; i < n; ++i) {
        std::size_t j = (i + 1) % n;
        const CVertex a(poly[i].x - p.x, poly[i].y - p.y, 0.0), b(poly[j].x - p.x, poly[j].y - p.y, 0.0);
        double angle = std::atan2(a.x * b.y - a.y * b.x, a.x * b.x + a.y * b.y);
        tanHalf[i] = std::tan(angle / 2.0);
    }
    double sum = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        std::size_t prev = (i + n - 1) % n;
        w[i] = (tanHalf[prev] + tanHalf[i]) / r[i];
        sum += w[i];
    }
    for (double& v : w) v /= sum;
    return w;
}

// Bilinear shape functions of a quadrilateral at the point, found by Newton's method on the
// isoparametric map; a parallelogram converges in one step, a distorted quad in a few.
bool BilinearWeights(const std::vector<CVertex>& q, const CVertex& p, std::vector<double>& w) {
    const double xi[4] = {-1, 1, 1, -1}, eta[4] = {-1, -1, 1, 1};
    double s = 0.0, t = 0.0;
    for (int it = 0; it < 30; ++it) {
        double x = 0, y = 0, xs = 0, xt = 0, ys = 0, yt = 0;
        for (int k = 0; k < 4; ++k) {
            double n = 0.25 * (1 + xi[k] * s) * (1 + eta[k] * t);
            double ns = 0.25 * xi[k] * (1 + eta[k] * t), nt = 0.25 * eta[k] * (1 + xi[k] * s);
            x += n * q[k].x;
            y += n * q[k].y;
            xs += ns * q[k].x;
            xt += nt * q[k].x;
            ys += ns * q[k].y;
            yt += nt * q[k].y;
        }
        double det = xs * yt - xt * ys;
        if (std::fabs(det) < 1e-300) return false;
        double dx = p.x - x, dy = p.y - y;
        double ds = (yt * dx - xt * dy) / det, dt = (-ys * dx + xs * dy) / det;
        s += ds;
        t += dt;
        if (std::fabs(ds) + std::fabs(dt) < 1e-14) break;
    }
    if (!(std::fabs(s) < 1.5 && std::fabs(t) < 1.5)) return false;
    w.assign(4, 0.0);
    for (int k = 0; k < 4; ++k) w[static_cast<std::size_t>(k)] = 0.25 * (1 + xi[k] * s) * (1 + eta[k] * t);
    return true;
}

}  // namespace

CVertex ShellNormal(const Model& model, std::int32_t shell) {
    const auto& nodes = model.shells.at(shell).nodes;
    CVertex p0 = model.nodes.at(nodes[0]), p1 = model.nodes.at(nodes[1]), p2 = model.nodes.at(nodes[2]);
    return Unit(Cross(p1 - p0, p2 - p1));
}

bool InterpolateStress(const Model& model, std::int32_t shell, std::int32_t loadCase, CVertex point, NodeStress& out) {
    auto byShell = model.stresses.find(shell);
    if (byShell == model.stresses.end()) return false;
    auto byCase = byShell->second.find(loadCase);
    if (byCase == byShell->second.end()) return false;
    const auto& nodes = model.shells.at(shell).nodes;
    CVertex origin = model.nodes.at(nodes[0]);
    CVertex a = Unit(model.nodes.at(nodes[1]) - origin);
    CVertex b = Cross(ShellNormal(model, shell), a);
    std::vector<CVertex> poly;
    for (std::int32_t n : nodes) {
        CVertex d = model.nodes.at(n) - origin;
        poly.push_back({Dot(d, a), Dot(d, b), 0.0});
    }
    CVertex d = point - origin;
    const CVertex p(Dot(d, a), Dot(d, b), 0.0);
    std::vector<double> w;
    if (poly.size() != 4 || !BilinearWeights(poly, p, w)) w = MeanValueWeights(poly, p);
    out = NodeStress{};
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const NodeStress& s = byCase->second.at(nodes[i]);
        for (std::size_t k = 0; k < 6; ++k) out.S[k] += w[i] * s.S[k];
        for (std::size_t k = 0; k < 6; ++k) out.M[k] += w[i] * s.M[k];
        for (std::size_t k = 0; k < 3; ++k) out.Q[k] += w[i] * s.Q[k];
    }
    return true;
}

std::array<double, 8> CutComponents(const NodeStress& s, CVertex e1, CVertex nu, CVertex g) {
    CVertex n = Unit(Cross(nu, e1));
    CVertex q{s.Q[0], s.Q[1], s.Q[2]};
    return {Form(s.S, e1, e1), Form(s.S, n, n), Form(s.S, e1, n), Form(s.M, e1, e1),
            Form(s.M, n, n),   Form(s.M, e1, n), Dot(q, e1),       Dot(q, g)};
}

FillReport FillSamples(const Model& model, std::int32_t loadCase, CVertex cutStart, CVertex cutEnd, CVertex facePoint,
                       CVertex planeNormal, const std::vector<std::shared_ptr<ElemStressPoints>>& rows) {
    FillReport report;
    CVertex e1 = Unit(cutEnd - cutStart);
    CVertex w = facePoint - cutStart;
    w = w - Dot(w, e1) * e1;
    w = w - Dot(w, planeNormal) * planeNormal;
    CVertex g = Unit(w);
    for (const auto& row : rows) {
        std::int32_t shell = row->GetElemID();
        auto t = model.thickness.find(shell);
        if (t != model.thickness.end()) row->SetAvgThickness(t->second);
        else report.withoutThickness.push_back(shell);
        CVertex nu = ShellNormal(model, shell);
        bool missing = false;
        for (StressPoint& sp : row->GetStressPoints()) {
            NodeStress s;
            if (!InterpolateStress(model, shell, loadCase, sp.GetPoint(), s)) {
                missing = true;
                break;
            }
            auto c = CutComponents(s, e1, nu, g);
            sp.SetStressValue_ZEL(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]);
        }
        if (missing) report.withoutStress.push_back(shell);
    }
    return report;
}

}  // namespace xsect::cli
