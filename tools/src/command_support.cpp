#include "command_support.h"

#include <cmath>
#include <cstdio>
#include <ostream>

#include <xsect/detail/segments.h>

#include "model_io.h"

namespace xsect::cli {

std::string Fmt(double v, int precision) {
    if (std::fabs(v) < 5e-13) v = 0.0;  // no "-0.000" for a value that is zero up to rounding
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", precision, v);
    std::string s = buf;
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    return s;
}

std::string VecText(Vec3 v, int precision) {
    return "(" + Fmt(v.x, precision) + ", " + Fmt(v.y, precision) + ", " + Fmt(v.z, precision) + ")";
}

void PrintSixRow(std::ostream& out, const char* label, int labelWidth, const std::array<double, 6>& v, int width,
                 int precision) {
    char text[256];
    std::snprintf(text, sizeof text, "  %-*s", labelWidth, label);
    out << text;
    for (double x : v) {
        std::snprintf(text, sizeof text, "%*s", width, Fmt(x, precision).c_str());
        out << text;
    }
    out << "\n";
}

bool LoadModel(const std::string& path, Model& model, Streams& io) {
    std::string error;
    if (ReadModelFile(path, model, error)) return true;
    io.err << "xsect: " << error << "\n";
    return false;
}

void PrintRefusal(Streams& io, const std::string& context, std::int32_t status) {
    io.err << "xsect: " << context << ": refused by the library: " << StatusName(status) << " (" << status
           << "): " << StatusMessage(status) << "\n";
}

void PrintBadInput(Streams& io, const std::string& message) { io.err << "xsect: " << message << "\n"; }

Vec3 ToPlane(CCrossSectionForcesPost& calc, Vec3 g) {
    calc.ConvertTo2D(&g.x, &g.y, &g.z);
    return g;
}

SectionResult ComputeSection(CCrossSectionForcesPost& calc, const Model& model, const CutSpec& cut,
                             std::int32_t loadCase, bool globalAxes, const std::optional<Vec3>& momentPoint) {
    SectionResult r;
    // The driver converts and may swap the points it is given: hand it copies.
    CVertex a(cut.start.x, cut.start.y, cut.start.z), b(cut.end.x, cut.end.y, cut.end.z);
    CVertex mp;
    if (momentPoint) mp = CVertex(momentPoint->x, momentPoint->y, momentPoint->z);
    std::vector<double> f1, f2, f3, m1, m2, m3;
    std::int32_t rc = calc.GetForcesOnSection(loadCase, &a, &b, f1, f2, f3, m1, m2, m3, cut.side, globalAxes,
                                              !momentPoint, momentPoint ? &mp : nullptr);
    if (rc != 1) {
        r.status = calc.GetCurrentStatus();
        if (r.status != CS_SUCCESS) {
            calc.ResetCurrentStatus();
        } else {
            auto lc = model.loadCases.find(loadCase);
            r.note = lc == model.loadCases.end()
                         ? "unknown load case " + std::to_string(loadCase)
                         : "load case " + std::to_string(loadCase) + " is of a type the library does not compute";
        }
        return r;
    }
    if (f1.size() != 1) {
        r.note = "load case " + std::to_string(loadCase) + " is of a type the library gives no values for";
        return r;
    }
    r.ok = true;
    r.values = {f1[0], f2[0], f3[0], m1[0], m2[0], m3[0]};
    CVertex x1, x2, x3;
    calc.GetCrossSectionMap(x1, x2, x3);
    r.axes[0] = Of(x1), r.axes[1] = Of(x2), r.axes[2] = Of(x3);
    return r;
}

namespace {

double Area2(Pt a, Pt b, Pt p) { return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x); }

bool SegmentsMeet(Pt a, Pt b, Pt c, Pt d, double tol) {
    CVertex A(a.x, a.y, 0), B(b.x, b.y, 0), C(c.x, c.y, 0), D(d.x, d.y, 0), out;
    return IntersectSegments2D(&A, &B, &C, &D, tol, &out);
}

}  // namespace

PlanPicture MakePlan(const Model& model, CCrossSectionForcesPost& calc, const CutSpec& cut, const std::string& title) {
    PlanPicture p;
    p.title = title;
    std::map<std::int32_t, Pt> plane;
    for (const auto& [id, v] : model.nodes) {
        Vec3 q = ToPlane(calc, Of(v));
        plane[id] = {q.x, q.y};
    }
    Vec3 s = ToPlane(calc, cut.start), e = ToPlane(calc, cut.end);
    p.cutStart = {s.x, s.y};
    p.cutEnd = {e.x, e.y};
    p.gatherLeft = cut.side == 0;
    auto onSide = [&](Pt q) {
        double a = Area2(p.cutStart, p.cutEnd, q);
        return cut.side != 0 ? a <= 0.0 : a > 0.0;
    };
    std::set<std::int32_t> gathered;
    for (const auto& [id, shell] : model.shells) {
        std::vector<Pt> poly;
        for (std::int32_t n : shell.nodes) poly.push_back(plane.at(n));
        bool crossed = false;
        for (std::size_t i = 0; i < poly.size() && !crossed; ++i)
            crossed = SegmentsMeet(p.cutStart, p.cutEnd, poly[i], poly[(i + 1) % poly.size()], model.tolerance);
        if (crossed) {
            p.crossed.insert(id);
            for (std::int32_t n : shell.nodes)
                if (onSide(plane.at(n))) gathered.insert(n);
        }
        p.shells.emplace_back(id, std::move(poly));
    }
    for (const auto& [id, frame] : model.frames) {
        Pt a = plane.at(frame.nodeA), b = plane.at(frame.nodeB);
        p.frames.emplace_back(a, b);
        if (SegmentsMeet(p.cutStart, p.cutEnd, a, b, model.tolerance))
            for (std::int32_t n : {frame.nodeA, frame.nodeB})
                if (onSide(plane.at(n))) gathered.insert(n);
    }
    for (std::int32_t n : gathered) p.gathered.push_back(plane.at(n));
    return p;
}

std::string TypeName(CLStressType t) {
    switch (t) {
        case CL_STRESS_ST: return "St";
        case CL_STRESS_STS: return "Sts";
        case CL_STRESS_QT: return "Qt";
        case CL_STRESS_MTS: return "Mts";
        case CL_STRESS_MT: return "Mt";
    }
    return "?";
}

namespace {

// Component of a sample row that holds each quantity, and whether it is weighted by thickness.
int SourceComponent(CLStressType t) {
    switch (t) {
        case CL_STRESS_ST: return 1;
        case CL_STRESS_STS: return 2;
        case CL_STRESS_QT: return 7;
        case CL_STRESS_MTS: return 5;
        case CL_STRESS_MT: return 4;
    }
    return 1;
}

double ValueOf(const CLStress& s, CLStressType t) {
    switch (t) {
        case CL_STRESS_ST: return s.GetSt();
        case CL_STRESS_STS: return s.GetSts();
        case CL_STRESS_QT: return s.GetQt();
        case CL_STRESS_MTS: return s.GetMts();
        case CL_STRESS_MT: return s.GetMt();
    }
    return 0.0;
}

const char* Meaning(CLStressType t) {
    switch (t) {
        case CL_STRESS_ST: return "normal stress across the cut";
        case CL_STRESS_STS: return "in-plane shear stress";
        case CL_STRESS_QT: return "transverse shear / length";
        case CL_STRESS_MTS: return "twisting moment / length";
        case CL_STRESS_MT: return "bending moment / length";
    }
    return "";
}

// The resultant of the samples as the host set them (after the library's sign corrections), each
// row fitted by the same least-squares quadratic the smoothing starts from.
std::array<double, 6> SampleResultant(const std::vector<std::shared_ptr<ElemStressPoints>>& rows, const Model& model) {
    std::array<double, 6> r{};
    if (rows.empty() || rows.front()->GetStressPoints().empty() || rows.back()->GetStressPoints().empty()) return r;
    const double s0 = rows.front()->GetStressPoints().front().Get1DCoor();
    const double sN = rows.back()->GetStressPoints().back().Get1DCoor();
    const double mid = (s0 + sN) * 0.5;
    for (const auto& row : rows) {
        const auto& pts = row->GetStressPoints();
        if (pts.size() < 2) continue;
        auto t = model.thickness.find(row->GetElemID());
        const double th = t == model.thickness.end() ? 0.0 : t->second;
        const double sa = pts.front().Get1DCoor(), L = pts.back().Get1DCoor() - sa;
        std::vector<double> xs;
        for (const StressPoint& p : pts) xs.push_back(p.Get1DCoor() - sa);
        auto fit = [&](int c) {
            std::vector<double> ys;
            for (const StressPoint& p : pts) ys.push_back(p.GetStress()[static_cast<std::size_t>(c)]);
            return FitQuadratic(xs, ys);
        };
        QuadraticFit st = fit(1), sts = fit(2), mt = fit(4), mts = fit(5), qt = fit(7);
        r[0] += th * Integrate(sts, 0, L);
        r[1] += th * Integrate(st, 0, L);
        r[2] += Integrate(qt, 0, L);
        r[3] += Integrate(mt, 0, L);
        r[4] += Integrate(mts, 0, L) - IntegrateMoment(qt, 0, L, mid - sa);
        r[5] += th * IntegrateMoment(st, 0, L, mid - sa);
    }
    return r;
}

}  // namespace

StressOutcome ComputeStresses(Model& model, CCrossSectionForcesPost& calc, const StressRequest& q) {
    StressOutcome out;
    CCrossSectionStressesPost stresses(&calc);
    CVertex a(q.start.x, q.start.y, q.start.z), b(q.end.x, q.end.y, q.end.z), f(q.face.x, q.face.y, q.face.z);
    auto rows = stresses.GetCutlineStressInputPoints(a, b, f, q.divisions, q.spacing, false);
    if (rows.empty() || calc.GetCurrentStatus() != CS_SUCCESS) {
        out.status = calc.GetCurrentStatus() != CS_SUCCESS ? calc.GetCurrentStatus() : CS_NO_ELEMENTS_CROSSED;
        out.stage = "cut-line input points";
        calc.ResetCurrentStatus();
        return out;
    }
    CVertex px, py, normal;
    calc.GetPlaneMap(px, py, normal);
    out.rowCount = rows.size();
    for (const auto& row : rows) out.sampleCount += row->GetStressPoints().size();
    out.report = FillSamples(model, q.loadCase, q.start, q.end, q.face, Of(normal), rows);
    auto smooth = [&](const std::optional<std::vector<double>>& positions) {
        if (positions) return stresses.SmoothBalanceCutlineStress(q.loadCase, *positions, q.types, q.balanceMz, q.qtInMy);
        if (q.outputSpacing)
            return stresses.SmoothBalanceCutlineStress(q.loadCase, *q.outputSpacing, q.types, q.balanceMz, q.qtInMy);
        return stresses.SmoothBalanceCutlineStress(q.loadCase, q.types, q.balanceMz, q.qtInMy);
    };
    out.points = smooth(q.positions);
    if (out.points.empty()) {
        out.status = calc.GetCurrentStatus();
        out.stage = "smoothing";
        calc.ResetCurrentStatus();
        return out;
    }
    out.balance = stresses.GetBalanceResultantForce();
    out.smoothed = stresses.GetSmoothedStressResultantForce();
    out.status = calc.GetCurrentStatus();
    if (out.status != CS_SUCCESS) out.stage = "balance resultant";
    calc.ResetCurrentStatus();
    out.samples = SampleResultant(rows, model);
    for (const auto& row : rows) {
        out.bounds.push_back(row->GetStressPoints().front().Get1DCoor());
        out.bounds.push_back(row->GetStressPoints().back().Get1DCoor());
    }
    if (!q.diagrams) return out;

    // The smoothing corrects the rows' signs in place, so a second, dense evaluation for the
    // curves starts from freshly filled rows.
    std::vector<std::pair<CLStressType, std::vector<std::pair<double, double>>>> samples;
    std::set<CLStressType> shown = q.types;
    if (shown.empty()) shown = {CL_STRESS_ST, CL_STRESS_STS, CL_STRESS_QT, CL_STRESS_MTS, CL_STRESS_MT};
    if (shown.count(CL_STRESS_MTS)) shown.insert(CL_STRESS_QT);
    for (CLStressType t : shown) {
        std::vector<std::pair<double, double>> dots;
        for (const auto& row : rows)
            for (const StressPoint& p : row->GetStressPoints())
                dots.emplace_back(p.Get1DCoor(), p.GetStress()[static_cast<std::size_t>(SourceComponent(t))]);
        samples.emplace_back(t, std::move(dots));
    }
    FillSamples(model, q.loadCase, q.start, q.end, q.face, Of(normal), rows);
    const double s0 = out.bounds.front(), sN = out.bounds.back();
    std::vector<double> dense;
    for (int i = 0; i <= 240; ++i) dense.push_back(s0 + (sN - s0) * i / 240.0);
    // Both ends of every element, so the curve shows the joins the balancing made.
    for (double bnd : out.bounds) dense.push_back(bnd);
    auto curve = smooth(dense);
    calc.ResetCurrentStatus();
    for (auto& [t, dots] : samples) {
        DiagramSeries s;
        s.name = TypeName(t);
        s.meaning = Meaning(t);
        for (const auto& p : curve) s.curve.emplace_back(p->GetCLCoor(), ValueOf(p->GetStress(), t));
        s.samples = std::move(dots);
        out.diagrams.push_back(std::move(s));
    }
    return out;
}

}  // namespace xsect::cli
