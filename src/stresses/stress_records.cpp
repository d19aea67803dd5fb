#include <utility>

#include "xsect/stresses/cl_stress.h"
#include "xsect/stresses/elem_stress_points.h"
#include "xsect/stresses/stress_point.h"

namespace xsect {

// ---- StressPoint ----

StressPoint::StressPoint(CVertex p, double coordinate) : coordinate1D(coordinate), point(p) {}

const CVertex& StressPoint::GetPoint() const { return point; }

void StressPoint::GetPoint(double& x, double& y, double& z) const {
    x = point.x;
    y = point.y;
    z = point.z;
}

double StressPoint::Get1DCoor() const { return coordinate1D; }

void StressPoint::SetStressValue_ZEL(double c0, double c1, double c2, double c3, double c4, double c5, double c6,
                                     double c7) {
    stress.components = {c0, c1, c2, c3, c4, c5, c6, c7};
    csType = STRESS_CS_ZEL;
}

const Stress& StressPoint::GetStress() const { return stress; }

StressCSType StressPoint::GetStressCSType() const { return csType; }

// The components that change sign when the element's normal is turned over: the in-plane shear
// along the line, the bending moment, and the two out-of-plane quantities.
void StressPoint::ReverseStressSign_ZEL() {
    for (std::size_t i : {std::size_t{2}, std::size_t{4}, std::size_t{6}, std::size_t{7}})
        stress.components[i] = -stress.components[i];
}

void StressPoint::ReverseStressSignMyToMt() { stress.components[4] = -stress.components[4]; }

// ---- ElemStressPoints ----

ElemStressPoints::ElemStressPoints(std::int32_t number, CVertex faceThird)
    : elementNumber(number), faceThirdPoint(faceThird) {}

// A moved-from vector is only "valid but unspecified"; the host is promised empty lists.
ElemStressPoints::ElemStressPoints(ElemStressPoints&& other) noexcept
    : elementNumber(other.elementNumber),
      faceThirdPoint(other.faceThirdPoint),
      cornerThickness(std::move(other.cornerThickness)),
      stressPoints(std::move(other.stressPoints)) {
    other.cornerThickness.clear();
    other.stressPoints.clear();
}

ElemStressPoints& ElemStressPoints::operator=(ElemStressPoints&& other) noexcept {
    if (this == &other) return *this;
    elementNumber = other.elementNumber;
    faceThirdPoint = other.faceThirdPoint;
    cornerThickness = std::move(other.cornerThickness);
    stressPoints = std::move(other.stressPoints);
    other.cornerThickness.clear();
    other.stressPoints.clear();
    return *this;
}

ElemStressPoints::~ElemStressPoints() = default;

std::int32_t ElemStressPoints::GetElemID() const { return elementNumber; }

const CVertex& ElemStressPoints::GetFaceThirdPoint() const { return faceThirdPoint; }

const std::vector<double>& ElemStressPoints::GetCornerThickness() const { return cornerThickness; }

void ElemStressPoints::SetAvgThickness(double t) { cornerThickness.assign(1, t); }

std::vector<StressPoint>& ElemStressPoints::GetStressPoints() { return stressPoints; }

// ---- CLStress ----

CLStress::CLStress(double st, double sts, double mts, double mt, double qt)
    : St(st), Sts(sts), Mts(mts), Mt(mt), Qt(qt) {}

void CLStress::GetStress(double& st, double& sts, double& mts, double& mt, double& qt) const {
    st = St;
    sts = Sts;
    mts = Mts;
    mt = Mt;
    qt = Qt;
}

// The enumeration's values do not follow the field order, so each is mapped by name. Values a
// host may have cast in from outside the enumeration are passed over.
std::vector<double> CLStress::GetStress(std::vector<CLStressType> types) const {
    for (CLStressType t : types) {
        switch (t) {
            case CL_STRESS_ST: return {St};
            case CL_STRESS_STS: return {Sts};
            case CL_STRESS_QT: return {Qt};
            case CL_STRESS_MTS: return {Mts};
            case CL_STRESS_MT: return {Mt};
        }
    }
    return {};
}

// ---- CLStressPoint ----

CLStressPoint::CLStressPoint(double coor, double St, double Sts, double Mts, double Mt, double Qt, CVertex p)
    : coordinate(coor), point(p), stress(St, Sts, Mts, Mt, Qt) {}

// ---- ForceResultant ----

ForceResultant::ForceResultant(double fx, double fy, double fz, double mx, double my, double mz)
    : Fx(fx), Fy(fy), Fz(fz), Mx(mx), My(my), Mz(mz) {}

}  // namespace xsect
