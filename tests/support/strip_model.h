#pragma once

// Model builders for the section-force tests:
// - SmallModel: hand-placed nodes, shells and frames over a plane whose axes and origin are the
//   global ones, for tests of single steps;
// - Strip: a cantilever strip of quad shells in an arbitrary plane of space whose element nodal
//   forces come from an exact equilibrium stress field, so that every free body cut out of it
//   has a resultant known from statics.

#include <cmath>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include <xsect/xsect.h>

namespace xsect::strip_model {

struct Vec3 {
    double x = 0.0, y = 0.0, z = 0.0;
};

inline Vec3 operator+(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(double s, const Vec3& v) { return {s * v.x, s * v.y, s * v.z}; }
inline double Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Norm(const Vec3& v) { return std::sqrt(Dot(v, v)); }

// A force and a moment.
struct Wrench {
    Vec3 force, moment;
};
inline Wrench operator-(const Wrench& w) { return {-1.0 * w.force, -1.0 * w.moment}; }

// Hand-built model whose calculator has planeMatrix = identity and planeOrigin = 0: three anchor
// nodes at (0,0,0), (1,0,0), (0,1,0) name the plane (they belong to no element).
struct SmallModel {
    static constexpr std::int32_t kAnchor = 1000001;

    std::map<std::int32_t, CVertex> nodes;
    std::map<std::int32_t, CShellElement> shells;
    std::map<std::int32_t, CFrameElement> frames;
    std::map<std::int32_t, CLoadCaseInfo> loadCases;

    SmallModel();
    void AddNode(std::int32_t id, double x, double y, double z = 0.0) { nodes[id] = CVertex(x, y, z); }
    CShellElement& AddShell(std::int32_t id, std::vector<std::int32_t> shellNodes) {
        shells[id].nodes = std::move(shellNodes);
        return shells[id];
    }
    CFrameElement& AddFrame(std::int32_t id, std::int32_t nodeA, std::int32_t nodeB) {
        frames[id].nodeA = nodeA;
        frames[id].nodeB = nodeB;
        return frames[id];
    }
    CCrossSectionForcesPost Build(double tolerance = 0.005);
};

// What the free end of the strip carries: axial force, in-plane shear and out-of-plane shear
// (components along the strip's x, y and normal), and the tension of a straight tie (a frame)
// along the strip's top edge from the root corner to the tip corner.
struct TipLoad {
    double axial = 0.0, shear = 0.0, outOfPlane = 0.0, tie = 0.0;
};

struct StripShape {
    double length = 10.0;  // strip x from 0 to length
    double depth = 2.0;    // strip y from -depth/2 to depth/2
    std::int32_t nx = 10, ny = 4;
    // Global position of strip point (0, -depth/2) and the strip's axes (orthonormal).
    Vec3 origin{0.0, 0.0, 0.0}, e1{1.0, 0.0, 0.0}, e2{0.0, 1.0, 0.0};
};

// A plane through (5, -3, 7) that is neither parallel to a global plane nor to a global axis.
StripShape TiltedStrip();

// A cantilever clamped at x = 0 and loaded at x = length through the exact plane-stress and
// plate solution (parabolic shear, linear bending stress, linear plate moment). Every element's
// nodal forces are the consistent (Simpson-exact) lumping of the tractions on its four edges,
// so each element, and each free body of elements and nodes, is in equilibrium. The tie is frame
// number 1, from the root's top corner to the tip's top corner.
class Strip {
public:
    explicit Strip(const StripShape& shape);

    const StripShape& Shape() const { return shape_; }
    Vec3 Normal() const { return Cross(shape_.e1, shape_.e2); }
    std::int32_t NodeAt(std::int32_t i, std::int32_t j) const { return 1 + j * (shape_.nx + 1) + i; }
    // Strip coordinates (x along, y across from the centre line) to a global point.
    CVertex GlobalVertex(double x, double y) const;
    // Strip-axis components to global components, and back.
    Vec3 GlobalVector(const Vec3& v) const { return v.x * shape_.e1 + v.y * shape_.e2 + v.z * Normal(); }
    Vec3 StripVector(const Vec3& v) const { return {Dot(v, shape_.e1), Dot(v, shape_.e2), Dot(v, Normal())}; }
    Wrench GlobalWrench(const Wrench& w) const { return {GlobalVector(w.force), GlobalVector(w.moment)}; }

    // Files a static load case, or one mode of a response-spectrum case, on every element.
    void AddStaticCase(std::int32_t loadCase, const TipLoad& load);
    void AddSpectrumMode(std::int32_t loadCase, std::int32_t mode, const TipLoad& load);

    // Resultant of all that acts on the part of the strip beyond a cut (the tip, x = length,
    // included), about strip point (mx, my), in strip axes.
    Wrench TipPartWrench(const TipLoad& load, double mx, double my) const;

    // Free body built from the stored static results: the sum over every node for which
    // inPart(x, y) holds of what all elements exert there, about (mx, my), in strip axes.
    template <class Pred>
    Wrench FreeBody(std::int32_t loadCase, Pred inPart, double mx, double my) const;

    // A calculator whose plane axes are the strip's, with the plane origin at strip (0, -depth/2).
    CCrossSectionForcesPost Calculator(double tolerance = 0.005);
    // A calculator that finds its plane from the model itself.
    CCrossSectionForcesPost CalculatorWithOwnPlane(double tolerance = 0.005);

    std::map<std::int32_t, CVertex> nodes;
    std::map<std::int32_t, CShellElement> shells;
    std::map<std::int32_t, CFrameElement> frames;
    std::map<std::int32_t, CLoadCaseInfo> loadCases;
    std::map<std::int32_t, std::pair<double, double>> stripXY;  // node -> strip (x, y)

private:
    // The nodal forces of one shell, per node, in strip axes.
    std::map<std::int32_t, Wrench> ElementLoads(std::int32_t shell, const TipLoad& load) const;
    Wrench NodalSum(std::int32_t node, const CNodeResults& r, double mx, double my) const;

    StripShape shape_;
};

template <class Pred>
Wrench Strip::FreeBody(std::int32_t loadCase, Pred inPart, double mx, double my) const {
    Wrench sum;
    auto add = [&](std::int32_t node, const CNodeResults& r) {
        const auto& [x, y] = stripXY.at(node);
        if (!inPart(x, y)) return;
        const Wrench w = NodalSum(node, r, mx, my);
        sum.force = sum.force + w.force;
        sum.moment = sum.moment + w.moment;
    };
    for (const auto& [number, shell] : shells) {
        auto lc = shell.staticResults.find(loadCase);
        if (lc == shell.staticResults.end()) continue;
        for (const auto& [node, r] : lc->second) add(node, r);
    }
    for (const auto& [number, frame] : frames) {
        if (auto a = frame.staticResultsA.find(loadCase); a != frame.staticResultsA.end()) add(frame.nodeA, a->second);
        if (auto b = frame.staticResultsB.find(loadCase); b != frame.staticResultsB.end()) add(frame.nodeB, b->second);
    }
    return sum;
}

}  // namespace xsect::strip_model
