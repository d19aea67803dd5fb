#pragma once

#include <vector>

#include "xsect/export.h"
#include "xsect/model/vertex.h"
#include "xsect/stresses/stress_types.h"

namespace xsect {

// The five smoothed cut-line quantities at one position.
class XSECT_API CLStress {
public:
    CLStress() = default;
    CLStress(double St, double Sts, double Mts, double Mt, double Qt);

    void GetStress(double& St, double& Sts, double& Mts, double& Mt, double& Qt) const;
    // The value of the first entry that names a quantity, as a one-element vector; empty when
    // no entry does.
    std::vector<double> GetStress(std::vector<CLStressType> types) const;
    const double& GetSt() const { return St; }
    const double& GetSts() const { return Sts; }
    const double& GetMts() const { return Mts; }
    const double& GetMt() const { return Mt; }
    const double& GetQt() const { return Qt; }

private:
    double St = 0.0;
    double Sts = 0.0;
    double Mts = 0.0;
    double Mt = 0.0;
    double Qt = 0.0;
};

// One smoothed output point: its cut-line coordinate, global position and five values.
class XSECT_API CLStressPoint {
public:
    CLStressPoint(double coordinate, double St, double Sts, double Mts, double Mt, double Qt, CVertex point);

    const double& GetCLCoor() const { return coordinate; }
    const CVertex& GetPoint3D() const { return point; }
    const CLStress& GetStress() const { return stress; }

private:
    double coordinate = 0.0;
    CVertex point;
    CLStress stress;
};

// Six section resultants in the cut's axes: x along the cut line, y in the plane across it,
// z out of the plane.
class XSECT_API ForceResultant {
public:
    ForceResultant() = default;
    ForceResultant(double Fx, double Fy, double Fz, double Mx, double My, double Mz);

    const double& GetFx() const { return Fx; }
    const double& GetFy() const { return Fy; }
    const double& GetFz() const { return Fz; }
    const double& GetMx() const { return Mx; }
    const double& GetMy() const { return My; }
    const double& GetMz() const { return Mz; }

private:
    double Fx = 0.0;
    double Fy = 0.0;
    double Fz = 0.0;
    double Mx = 0.0;
    double My = 0.0;
    double Mz = 0.0;
};

}  // namespace xsect
