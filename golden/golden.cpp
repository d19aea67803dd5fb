// Prints every output of the library's public interfaces over a fixed set of pseudo-random models,
// each double as the hex of its 64 bits, so that two builds can be compared with diff: a rewrite of
// the internals must leave this output unchanged to the bit. Each line starts with the interface it
// comes from (host, stress, sections; sections-extra and sections-thick for the newer fields), so a
// diff names the interface that moved. scripts/golden runs it; it has no expected output of its own.

#include <xsect/sections.h>
#include <xsect/xsect.h>

#include <algorithm>
#include <array>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

using namespace xsect;

namespace {

constexpr int kModels = 200;
constexpr int kCutsPerModel = 36;
constexpr std::int32_t kAbsent = 999999;  // a node or load case number no model has

// ---- output -----------------------------------------------------------------------------------------

// One line, ended when it goes out of scope. A double prints as its bits, so that one ulp, the sign
// of a zero and a NaN's payload all show.
class Line {
public:
    Line(std::string& out, const char* section) : out_(out) { out_ += section; }
    Line(const Line&) = delete;
    ~Line() { out_ += '\n'; }

    Line& operator<<(double v) {
        std::uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        char text[20];
        std::snprintf(text, sizeof text, " %016" PRIx64, bits);
        out_ += text;
        return *this;
    }
    template <class T, class = std::enable_if_t<std::is_integral_v<T>>>
    Line& operator<<(T v) { return *this << std::to_string(v); }
    Line& operator<<(const std::string& word) { (out_ += ' ') += word; return *this; }
    Line& operator<<(const char* word) { return *this << std::string(word); }
    Line& operator<<(const CVertex& p) { return *this << p.x << p.y << p.z; }
    Line& operator<<(const CutStretch& s) { return *this << s.from << s.to; }
    Line& operator<<(const SectionForces& f) { return *this << f.N << f.Vt << f.Vk << f.Mn << f.Mt << f.Mk; }
    Line& operator<<(const ForceResultant& f) {
        return *this << f.GetFx() << f.GetFy() << f.GetFz() << f.GetMx() << f.GetMy() << f.GetMz();
    }
    template <class T> Line& operator<<(const std::vector<T>& items) {
        *this << items.size();
        for (const T& item : items) *this << item;
        return *this;
    }
    template <class T, std::size_t N> Line& operator<<(const std::array<T, N>& items) {
        for (const T& item : items) *this << item;
        return *this;
    }

private:
    std::string& out_;
};

// ---- models -----------------------------------------------------------------------------------------

// The engine's sequence is fixed by the standard; the distributions' is not, so the mapping is ours.
// Two draws never meet in one expression or argument list, whose order of evaluation is unspecified.
class Random {
public:
    explicit Random(std::uint64_t seed) : engine_(seed) {}
    double Uniform(double a, double b) { return a + (b - a) * (static_cast<double>(engine_() >> 11) * 0x1p-53); }
    int Below(std::size_t n) { return static_cast<int>(engine_() % n); }
    bool Chance(double p) { return Uniform(0.0, 1.0) < p; }
    double Sign() { return Chance(0.5) ? -1.0 : 1.0; }

private:
    std::mt19937_64 engine_;
};

struct Vec { double x, y, z; };
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec operator*(double s, Vec a) { return {s * a.x, s * a.y, s * a.z}; }
Vec cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec unit(Vec a) { return (1.0 / std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z)) * a; }
Vec vec(const CVertex& v) { return {v.x, v.y, v.z}; }
CVertex vertex(Vec p) { return CVertex(p.x, p.y, p.z); }

// A model as the host holds it, with the plane and grid it was drawn on, for aiming the cuts.
struct Model {
    std::map<std::int32_t, CVertex> nodes;
    std::map<std::int32_t, CShellElement> shells;
    std::map<std::int32_t, CFrameElement> frames;
    std::map<std::int32_t, CLoadCaseInfo> cases;
    std::map<std::int32_t, std::vector<double>> frequencies, coefficients;  // the cases point into these
    double tolerance = 0.0;
    std::array<std::int32_t, 3> planeNodes{};
    Vec origin{}, e1{}, e2{}, normal{};
    double width = 0.0, height = 0.0;
    int nx = 0, ny = 0;
    std::vector<std::int32_t> grid;  // node numbers, row by row

    std::int32_t Corner(int i, int j) const { return grid[static_cast<std::size_t>(j * (nx + 1) + i)]; }
    Vec At(double u, double v, double w = 0.0) const { return origin + u * e1 + v * e2 + w * normal; }
    Vec NodeAt(std::int32_t id) const { return nodes.count(id) ? vec(nodes.at(id)) : origin; }
    // A point at fractions of the grid's extent drawn from [lo, hi).
    Vec Within(Random& r, double lo, double hi) const {
        const double u = r.Uniform(lo, hi) * width;
        return At(u, r.Uniform(lo, hi) * height);
    }
    Vec Direction(Random& r) const {
        const std::array<double, 3> d{r.Uniform(0.1, 1.0), r.Sign(), r.Uniform(-1, 1)};
        return unit(d[0] * d[1] * e1 + d[2] * e2);
    }
};

// Planes on the global axes (either order, either sign), upright ones at a skew, and ones tilted off
// every global plane; the axes come from square roots alone, which round the same everywhere.
void chooseAxes(Random& r, int kind, Model& m) {
    const Vec global[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    if (kind == 0) {
        const int a = r.Below(3), b = (a + 1 + r.Below(2)) % 3;
        m.e1 = r.Sign() * global[a];
        m.e2 = r.Sign() * global[b];
        m.normal = cross(m.e1, m.e2);
        return;
    }
    const std::array<double, 6> d{r.Sign(), r.Uniform(0.2, 1.0), r.Sign(), r.Uniform(0.2, 1.0), r.Sign(),
                                  kind == 1 ? 0.0 : r.Uniform(0.2, 1.0)};
    m.normal = unit({d[0] * d[1], d[2] * d[3], d[4] * d[5]});
    m.e1 = unit(cross(m.normal, {r.Uniform(-1, 1), r.Uniform(-1, 1), 2.0}));
    m.e2 = cross(m.normal, m.e1);
}

CNodeResults randomResults(Random& r) {
    return {r.Uniform(-100, 100), r.Uniform(-100, 100), r.Uniform(-100, 100),
            r.Uniform(-50, 50),   r.Uniform(-50, 50),   r.Uniform(-50, 50)};
}

// Static, response-spectrum (every combination rule, with and without its arrays, both sign methods,
// a residual mode now and then) and unsupported load cases.
void addLoadCases(Random& r, Model& m) {
    const std::int32_t rules[] = {RSP_COMBINE_SUM, RSP_COMBINE_SRSS, RSP_COMBINE_ABS, RSP_COMBINE_CQC,
                                  RSP_COMBINE_CLOSE_MODES, 3};
    std::int32_t id = 1 + r.Below(3);
    for (int k = 0, count = 2 + r.Below(4); k < count; ++k, id += 1 + r.Below(3)) {
        CLoadCaseInfo& info = m.cases[id];
        const double kind = k == 0 ? 1.0 : r.Uniform(0, 1);
        if (kind < 0.08) info.caseType = LOAD_CASE_UNSUPPORTED;
        if (kind < 0.08 || kind > 0.55) continue;
        info.caseType = LOAD_CASE_RESPONSE_SPECTRUM;
        info.modeCount = 1 + r.Below(4);
        info.combinationMethod = rules[r.Below(6)];
        info.signMethod = r.Below(2);
        info.applySign = r.Chance(0.5);
        info.signMode = r.Below(static_cast<std::size_t>(info.modeCount) + 2);
        info.combineResidual = r.Chance(0.3);
        const auto n = static_cast<std::size_t>(info.modeCount);
        if (r.Chance(0.85)) {
            double f = r.Uniform(0.5, 3.0);
            for (std::size_t i = 0; i < n; ++i, f *= 1.0 + r.Uniform(0.0, 0.3)) m.frequencies[id].push_back(f);
        }
        if (r.Chance(0.85)) {
            std::vector<double>& c = m.coefficients[id];
            c.assign(n * n, 1.0);
            for (std::size_t i = 0; i < n; ++i)
                for (std::size_t j = i + 1; j < n; ++j) c[i * n + j] = c[j * n + i] = r.Uniform(0.0, 0.6);
        }
    }
    for (auto& [c, f] : m.frequencies) m.cases[c].modeFrequencies = f.data();
    for (auto& [c, f] : m.coefficients) m.cases[c].crossModalCoefficients = f.data();
}

// Results of one element end per load case; a spectrum case gets one mode more or less now and then.
template <class Store>
void addResults(Random& r, const Model& m, Store&& store) {
    for (const auto& [c, info] : m.cases) {
        if (r.Chance(0.05)) continue;
        const bool residual = r.Chance(0.3), fewer = r.Chance(0.1);
        const int modes = info.modeCount + (residual ? 1 : 0) - (fewer ? 1 : 0);
        if (info.caseType != LOAD_CASE_RESPONSE_SPECTRUM) store(c, 0, randomResults(r));
        for (int mode = 1; info.caseType == LOAD_CASE_RESPONSE_SPECTRUM && mode <= modes; ++mode)
            store(c, mode, randomResults(r));
    }
}

// A jittered grid of shells from triangles to hexagons, some wound the other way, numbered with gaps;
// frames between its nodes; and now and then a fault: a shell naming a missing node, or a plane that
// cannot be set up.
void makeModel(int seed, Random& r, Model& m) {
    m.tolerance = std::array<double, 3>{1e-3, 1e-4, 5e-3}[static_cast<std::size_t>(r.Below(3))];
    chooseAxes(r, seed % 4 == 3 ? 2 : seed % 4, m);
    m.origin = {r.Uniform(-10, 10), r.Uniform(-10, 10), r.Uniform(-10, 10)};
    m.nx = 2 + r.Below(6);
    m.ny = 2 + r.Below(5);
    const double hx = r.Uniform(0.3, 2.0), hy = r.Uniform(0.3, 2.0);
    m.width = m.nx * hx;
    m.height = m.ny * hy;
    for (std::int32_t j = 0, id = 1 + r.Below(20); j <= m.ny; ++j)
        for (std::int32_t i = 0; i <= m.nx; ++i, id += 1 + (r.Chance(0.2) ? r.Below(5) : 0)) {
            const double du = r.Chance(0.7) ? r.Uniform(-0.2, 0.2) * hx : 0.0;
            const double dv = r.Chance(0.7) ? r.Uniform(-0.2, 0.2) * hy : 0.0;
            m.nodes[id] = vertex(m.At(i * hx + du, j * hy + dv, r.Uniform(-1e-3, 1e-3) * m.tolerance));
            m.grid.push_back(id);
        }

    std::int32_t shellId = 1 + r.Below(10);
    auto add = [&](std::vector<std::int32_t> nodes) {
        if (r.Chance(0.25)) std::reverse(nodes.begin(), nodes.end());
        m.shells[shellId].nodes = std::move(nodes);
        shellId += 1 + (r.Chance(0.15) ? r.Below(4) : 0);
    };
    for (int j = 0; j < m.ny; ++j)
        for (int i = 0; i < m.nx; ++i) {
            const std::int32_t a = m.Corner(i, j), b = m.Corner(i + 1, j), c = m.Corner(i + 1, j + 1),
                               d = m.Corner(i, j + 1);
            const int kind = r.Below(6);
            if (kind == 0 && r.Chance(0.5)) {
                add({a, b, c});
                add({a, c, d});
            } else if (kind == 0) {
                add({a, b, d});
                add({b, c, d});
            } else if (kind == 1 && i + 1 < m.nx) {
                add({a, b, m.Corner(i + 2, j), m.Corner(i + 2, j + 1), c, d});
                ++i;
            } else if (kind == 2 && i + 1 < m.nx) {
                add({a, b, m.Corner(i + 2, j + 1), c, d});
                add({b, m.Corner(i + 2, j), m.Corner(i + 2, j + 1)});
                ++i;
            } else {
                add({a, b, c, d});
            }
        }
    if (r.Chance(0.1)) std::next(m.shells.begin(), r.Below(m.shells.size()))->second.nodes[0] = kAbsent;

    addLoadCases(r, m);
    for (auto& [id, shell] : m.shells)
        for (const std::int32_t node : shell.nodes)
            addResults(r, m, [&](std::int32_t c, int mode, CNodeResults f) {
                if (mode == 0) shell.StoreStaticCaseResults(c, node, f);
                else shell.StoreResponseSpectraCaseResults(c, node, mode, f);
            });
    for (int k = 0, count = r.Below(4); k < count; ++k) {
        CFrameElement& f = m.frames[1 + 10 * k];
        f.nodeA = m.grid[static_cast<std::size_t>(r.Below(m.grid.size()))];
        f.nodeB = r.Chance(0.1) ? kAbsent : m.grid[static_cast<std::size_t>(r.Below(m.grid.size()))];
        for (int end = 0; end < 2; ++end)
            addResults(r, m, [&](std::int32_t c, int mode, CNodeResults x) {
                if (mode == 0) (end == 0 ? f.staticResultsA : f.staticResultsB)[c] = x;
                else (end == 0 ? f.spectrumResultsA : f.spectrumResultsB)[c][mode] = x;
            });
    }

    std::array<std::int32_t, 3> corners{m.Corner(0, 0), m.Corner(m.nx, 0), m.Corner(0, m.ny)};
    const auto swapped = static_cast<std::size_t>(r.Below(3));
    std::swap(corners[swapped], corners[static_cast<std::size_t>(r.Below(3))]);
    if (seed % 3 == 0) m.planeNodes = corners;
    if (seed % 20 != 7) return;
    switch (seed / 20 % 4) {
        case 0: m.planeNodes = {corners[0], corners[0], corners[1]}; break;
        case 1: m.planeNodes = {corners[0], corners[1], kAbsent}; break;
        case 2: m.nodes[m.grid[m.grid.size() / 2]] = vertex(m.At(m.width / 2, m.height / 2, 100 * m.tolerance)); break;
        default: m.shells.clear();
    }
}

// ---- cuts -------------------------------------------------------------------------------------------

struct Cut { CVertex start, end, moment, face; };

// Cuts along mesh lines, through nodes, ending inside shells, reaching past the model, of no length,
// off the plane, drawn backwards along either plane axis, anywhere, and ending or passing just at the
// crossing test's slack (tolerance squared on the segment parameters) of an edge.
std::vector<Cut> makeCuts(Random& r, const Model& m) {
    const double W = m.width, H = m.height, e = m.tolerance * m.tolerance;
    auto node = [&] { return m.NodeAt(m.grid[static_cast<std::size_t>(r.Below(m.grid.size()))]); };
    auto inside = [&] { return m.Within(r, 0.1, 0.9); };
    auto anywhere = [&] { return m.Within(r, -0.5, 1.5); };
    std::vector<Cut> cuts;
    for (int k = 0; k < kCutsPerModel; ++k) {
        Vec a{}, b{};
        const int i = r.Below(static_cast<std::size_t>(m.nx)), j = r.Below(static_cast<std::size_t>(m.ny));
        const Vec p = m.NodeAt(m.Corner(i, j));
        const Vec q = m.NodeAt(k % 12 == 0 ? m.Corner(i + 1, j) : m.Corner(i, j + 1));
        Vec from = m.origin, to = m.origin;  // an edge of some shell, in the shell's own order
        if (!m.shells.empty()) {
            const auto& nodes = std::next(m.shells.begin(), r.Below(m.shells.size()))->second.nodes;
            const auto at = static_cast<std::size_t>(r.Below(nodes.size()));
            from = m.NodeAt(nodes[at]);
            to = m.NodeAt(nodes[(at + 1) % nodes.size()]);
        }
        const double length = r.Uniform(0.5, 3.0);
        const Vec edge = to - from, d = length * m.Direction(r);
        switch (k % 12) {
            case 0:
            case 1: a = p + -r.Uniform(0.5, 3.0) * (q - p); b = p + (1.0 + r.Uniform(0.5, 3.0)) * (q - p); break;
            case 2: a = node(); b = node(); break;
            case 3: a = inside(); b = inside(); break;
            case 4: a = inside() + -(W + H) * d; b = a + 2.0 * (W + H) * d; break;
            case 5: a = b = r.Chance(0.5) ? node() : anywhere(); break;
            case 6: a = anywhere() + 20.0 * m.tolerance * m.normal; b = r.Chance(0.5) ? anywhere() : a + d; break;
            case 7: { const double v = r.Uniform(-0.2, 1.2) * H; a = m.At(W + 1, v); b = m.At(-1, v); break; }
            case 8: { const double u = r.Uniform(-0.2, 1.2) * W; a = m.At(u, H + 1); b = m.At(u, -1); break; }
            case 9: a = anywhere(); b = anywhere(); break;
            case 10: {  // starts a slack before an edge, or ends a slack past one
                const Vec x = from + r.Uniform(0.2, 0.8) * edge;
                a = r.Chance(0.5) ? x + e * d : x + -(1.0 + e) * d;
                b = a + d;
                break;
            }
            default: {  // passes a slack beyond either end of an edge
                const Vec x = r.Chance(0.5) ? from + -e * edge : to + e * edge;
                a = x + -0.5 * d;
                b = x + 0.5 * d;
            }
        }
        // The moment point lies off the plane now and then; the face point lies on the cut now and then.
        const Vec moment = m.Within(r, 0.0, 1.0) + (r.Chance(0.15) ? 1.0 : 0.0) * m.normal;
        const std::array<double, 3> face{r.Chance(0.1) ? 0.0 : 1.0, r.Sign(), r.Uniform(0.2, 1.0)};
        const Vec mid = 0.5 * (a + b);
        const Vec across = face[0] * face[1] * face[2] * unit(cross(m.normal, b - a));
        cuts.push_back({vertex(a), vertex(b), vertex(moment), vertex(mid + across)});
    }
    return cuts;
}

// ---- host interface ---------------------------------------------------------------------------------

void printHost(std::string& out, int seed, Random& r, Model& m, CCrossSectionForcesPost& calc,
               const std::vector<Cut>& cuts) {
    CVertex origin, x, y, z;
    calc.GetOrigin(origin);
    calc.GetPlaneMap(x, y, z);
    Line(out, "host") << "plane" << seed << calc.GetCurrentStatus() << calc.GetOriginNodeNo() << origin << x << y << z;
    for (std::size_t i = 0; i < 4; ++i) {
        CVertex p = cuts[i].start;
        calc.ConvertTo2D(&p.x, &p.y, &p.z);
        Line line(out, "host");
        line << "convert" << seed << i << p;
        calc.ConvertTo3D(&p.x, &p.y, &p.z);
        line << p;
    }
    std::vector<std::int32_t> loadCases;
    for (auto& [id, info] : m.cases) {
        loadCases.push_back(id);
        for (int k = 0; k < 3 && info.caseType == LOAD_CASE_RESPONSE_SPECTRUM; ++k) {
            std::vector<double> values(static_cast<std::size_t>(info.modeCount + r.Below(2)));
            for (double& v : values) v = r.Uniform(-10, 10);
            using Calc = CCrossSectionForcesPost;
            Line(out, "host") << "rsp" << seed << id << values << Calc::ComputeRSPCombination(&info, values)
                              << Calc::RSP_SignMethod1(values) << Calc::RSP_SignMethod2(values, info.signMode);
        }
    }
    // One call, with the points it converts in place and the status it leaves, which is then reset
    // so that the next call is not refused for it.
    auto cut = [&](Line& line, const Cut& c, std::int32_t loadCase, int side, bool global, bool explicitPoint) {
        CVertex a = c.start, b = c.end, p = c.moment;
        std::vector<double> F[6];
        line << calc.GetForcesOnSection(loadCase, &a, &b, F[0], F[1], F[2], F[3], F[4], F[5], side, global,
                                        !explicitPoint, explicitPoint ? &p : nullptr)
             << calc.GetCurrentStatus() << a << b;
        if (explicitPoint) line << p;
        for (const auto& f : F) line << f;
        calc.ResetCurrentStatus();
    };
    for (std::size_t i = 0; i < cuts.size(); ++i) {
        cut(Line(out, "host") << "absent" << seed << i, cuts[i], kAbsent, 0, false, false);
        for (int side = 0; side < 2; ++side) {
            for (int global = 0; global < 2; ++global)
                for (int explicitPoint = 0; explicitPoint < 2; ++explicitPoint)
                    for (const std::int32_t loadCase : loadCases)
                        cut(Line(out, "host") << "cut" << seed << i << side << global << explicitPoint << loadCase,
                            cuts[i], loadCase, side, global, explicitPoint);
            calc.GetCrossSectionMap(x, y, z);
            Line(out, "host") << "map" << seed << i << side << x << y << z;
        }
    }
}

// ---- cut-line stresses ------------------------------------------------------------------------------

using Rows = std::vector<std::shared_ptr<ElemStressPoints>>;

// Stresses that vary along each row and from shell to shell, so that a fit, a join or a sign that
// changes shows; the last row is left unset when asked, for the refusal.
void fillStresses(const Rows& rows, bool leaveLastUnset) {
    for (std::size_t k = 0; k + (leaveLastUnset ? 1 : 0) < rows.size(); ++k)
        for (StressPoint& p : rows[k]->GetStressPoints()) {
            const double s = p.Get1DCoor(), e = rows[k]->GetElemID() % 13;
            double c[8];
            for (int j = 0; j < 8; ++j) c[j] = (j + 1) * (1.0 + 0.1 * e) + (j - 3.5) * s + 0.05 * j * s * s;
            p.SetStressValue_ZEL(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]);
        }
}

void printStress(std::string& out, int seed, Random& r, const Model& m, CCrossSectionForcesPost& calc,
                 const std::vector<Cut>& cuts) {
    CCrossSectionStressesPost stresses(&calc);
    // Every fifth cut, starting where the model number says, so that the models share out the kinds.
    for (auto i = static_cast<std::size_t>(seed % 5); i < cuts.size(); i += 5) {
        const std::int32_t divisions = 1 + r.Below(5);
        const double spacing = r.Chance(0.3) ? r.Uniform(0.1, 0.8) : 0.0;
        const bool inPlane = r.Chance(0.15);
        const Rows rows = stresses.GetCutlineStressInputPoints(cuts[i].start, cuts[i].end, cuts[i].face, divisions,
                                                               spacing, inPlane);
        Line(out, "stress") << "input" << seed << i << divisions << spacing << inPlane << stresses.GetStatus()
                            << rows.size();
        stresses.ResetStatus();
        for (const auto& row : rows) {
            Line(out, "stress") << "row" << row->GetElemID() << row->GetFaceThirdPoint() << row->GetCornerThickness();
            for (const StressPoint& p : row->GetStressPoints())
                Line(out, "stress") << "point" << p.Get1DCoor() << p.GetPoint();
            row->SetAvgThickness(i % 7 == 3 && row == rows.front() ? 0.0 : 0.1 + 0.01 * (row->GetElemID() % 7));
        }
        if (rows.empty() || rows.front()->GetStressPoints().empty() || rows.back()->GetStressPoints().empty())
            continue;
        // Positions reach a little past the rows, where they are clipped.
        const double first = rows.front()->GetStressPoints().front().Get1DCoor() - 0.2;
        const double last = rows.back()->GetStressPoints().back().Get1DCoor() + 0.2;

        const std::int32_t loadCase =
            r.Chance(0.1) ? kAbsent : std::next(m.cases.begin(), r.Below(m.cases.size()))->first;
        std::set<CLStressType> types;
        for (int t = 0, bits = r.Below(32); t < 5; ++t)
            if ((bits >> t) & 1) types.insert(static_cast<CLStressType>(t));
        const bool balanceMz = r.Chance(0.5), qtInMy = r.Chance(0.5);
        std::vector<double> positions(static_cast<std::size_t>(4 + r.Below(5)));
        for (double& s : positions) s = r.Uniform(first, last);
        std::sort(positions.begin(), positions.end());
        const double outputSpacing = r.Uniform(0.05, 0.6);
        for (int form = 0; form < 3; ++form) {
            // The smoothing corrects the rows' signs in place: each form starts from the host's values.
            fillStresses(rows, i % 11 == 5);
            const auto points =
                form == 0   ? stresses.SmoothBalanceCutlineStress(loadCase, positions, types, balanceMz, qtInMy)
                : form == 1 ? stresses.SmoothBalanceCutlineStress(loadCase, types, balanceMz, qtInMy)
                            : stresses.SmoothBalanceCutlineStress(loadCase, outputSpacing, types, balanceMz, qtInMy);
            Line(out, "stress") << "smooth" << seed << i << form << loadCase << balanceMz << qtInMy
                                << stresses.GetStatus() << points.size() << stresses.GetBalanceResultantForce()
                                << stresses.GetSmoothedStressResultantForce();
            for (const auto& p : points) {
                const CLStress& s = p->GetStress();
                Line(out, "stress") << "out" << p->GetCLCoor() << p->GetPoint3D() << s.GetSt() << s.GetSts()
                                    << s.GetMts() << s.GetMt() << s.GetQt();
            }
            stresses.ResetStatus();
        }
    }
}

// ---- section cutter ---------------------------------------------------------------------------------

void printTable(std::string& out, const char* section, const std::string& label, const SectionTable& table) {
    Line(out, section) << label << "table" << table.sections.size() << (table.error.empty() ? "-" : table.error);
    for (std::size_t i = 0; i < table.sections.size(); ++i) {
        const SectionResult& s = table.sections[i];
        Line(out, section) << label << i << s.status << s.start << s.end << s.position << s.centroid
                           << s.coveredLength << s.endsInside << s.n << s.t << s.k << s.values.size();
        for (std::size_t v = 0; v < s.values.size(); ++v)
            Line(out, section) << label << i << "value" << v << s.values[v].max << s.values[v].min;
        const SectionEnvelope& e = s.envelope;
        Line(out, section) << label << i << "envelope" << e.max << e.min << e.maxRequest << e.minRequest;
        Line(out, "sections-extra") << label << i << "covered" << s.covered << "shells" << s.shells << "frames"
                                    << s.frames;
    }
}

struct CutterCalls {
    std::vector<std::pair<CVertex, CVertex>> cuts;
    std::vector<ResultRequest> requests;
    CVertex axisStart, axisEnd;
    std::int32_t stations;
};

// The same calls on one thread and on all cores, which must agree to the bit; one of them is printed.
void runCutter(std::string& out, const char* section, const std::string& label, const CCrossSectionForcesPost& calc,
               NodalForceSense sense, bool positiveSide, const std::map<std::int32_t, double>* thickness,
               const CutterCalls& calls) {
    std::string text[2];
    for (unsigned threads : {1u, 0u}) {
        SectionCutter cutter(calc, sense, threads);
        cutter.SumFromPositiveSide(positiveSide);
        if (thickness != nullptr) cutter.ShellThicknesses(*thickness);
        printTable(text[threads], section, label + " cut", cutter.Cut(calls.cuts, calls.requests));
        printTable(text[threads], section, label + " stations",
                   cutter.Stations(calls.axisStart, calls.axisEnd, calls.stations, calls.requests));
    }
    if (text[0] != text[1]) Line(out, "FAIL") << section << label << "differs between one thread and all cores";
    out += text[1];
}

void printSections(std::string& out, int seed, Random& r, const Model& m, const CCrossSectionForcesPost& calc,
                   const std::vector<Cut>& cuts) {
    CutterCalls calls;
    for (const Cut& c : cuts) calls.cuts.emplace_back(c.start, c.end);
    std::vector<std::int32_t> usable;
    for (const auto& [id, info] : m.cases)
        if (info.caseType != LOAD_CASE_UNSUPPORTED) usable.push_back(id);
    for (const std::int32_t id : usable) calls.requests.push_back({"case " + std::to_string(id), {{id, 1.0}}});
    // Several terms of each kind, so that the order in which they are summed shows.
    for (int k = 0; k < 3; ++k) {
        ResultRequest& q = calls.requests.emplace_back(ResultRequest{"combination " + std::to_string(k), {}});
        for (int t = 0, count = 3 + r.Below(3); t < count; ++t)
            q.terms.push_back({usable[static_cast<std::size_t>(r.Below(usable.size()))], r.Uniform(-2.0, 2.0)});
    }
    const double v = r.Uniform(0, m.height), u = r.Uniform(0, m.width);
    const int axis = r.Below(3);
    calls.axisStart = vertex(axis == 1 ? m.At(u, -0.5) : m.At(-0.5, axis == 0 ? v : -0.5));
    calls.axisEnd = vertex(axis == 1 ? m.At(u, m.height + 0.5) : m.At(m.width + 0.5, axis == 0 ? v : m.height + 0.5));
    calls.stations = 1 + r.Below(12);

    const std::string model = "model " + std::to_string(seed);
    runCutter(out, "sections", model, calc, NodalForceSense::OnElement, false, nullptr, calls);
    runCutter(out, "sections", model + " positive", calc, NodalForceSense::OnElement, true, nullptr, calls);
    CutterCalls everyCase = calls;  // an empty request list asks for every load case alone
    everyCase.requests.clear();
    runCutter(out, "sections", model + " by-element", calc, NodalForceSense::ByElement, false, nullptr, everyCase);
    // A refused call of each kind, in turn over the models.
    CutterCalls bad = calls;
    switch (seed % 5) {
        case 0: bad.requests.push_back({"absent", {{kAbsent, 1.0}}}); break;
        case 1: bad.requests.push_back({"", {{usable[0], 1.0}}}); break;
        case 2: bad.requests.push_back({"case " + std::to_string(usable[0]), {{usable[0], 1.0}}}); break;
        case 3: bad.requests.back().terms.push_back({usable[0], std::nan("")}); break;
        default: bad.stations = 0;
    }
    runCutter(out, "sections", model + " refused", calc, NodalForceSense::OnElement, false, nullptr, bad);

    if (seed % 3 != 1) return;
    std::map<std::int32_t, double> thickness;
    for (const auto& [id, shell] : m.shells)
        if (!r.Chance(0.1)) thickness[id] = r.Chance(0.1) ? 0.0 : r.Uniform(0.1, 0.5);
    runCutter(out, "sections-thick", model, calc, NodalForceSense::OnElement, false, &thickness, calls);
}

}  // namespace

int main() {
    std::string out;
    for (std::int32_t status = -15; status <= 1; ++status)
        Line(out, "host") << "status" << status << StatusName(status) << StatusMessage(status);
    for (int seed = 0; seed < kModels; ++seed) {
        Random r(static_cast<std::uint64_t>(seed));
        Model m;
        makeModel(seed, r, m);
        CCrossSectionForcesPost calc(m.nodes, m.shells, m.frames, m.cases, m.tolerance, m.planeNodes[0],
                                     m.planeNodes[1], m.planeNodes[2]);
        const std::vector<Cut> cuts = makeCuts(r, m);
        printHost(out, seed, r, m, calc, cuts);
        printStress(out, seed, r, m, calc, cuts);
        printSections(out, seed, r, m, calc, cuts);
        std::fwrite(out.data(), 1, out.size(), stdout);
        out.clear();
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
