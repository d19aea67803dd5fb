#pragma once

#include <array>
#include <cstddef>

#include "xsect/export.h"
#include "xsect/model/vertex.h"
#include "xsect/stresses/stress_types.h"

namespace xsect {

// Eight stress components in the order of StressPoint::SetStressValue_ZEL. The smoothing reads
// 1 as St, 2 as Sts, 4 as Mt, 5 as Mts and 7 as Qt; 0, 3 and 6 are carried only.
struct Stress {
    std::array<double, 8> components{};
    double operator[](std::size_t i) const { return components[i]; }
    double& operator[](std::size_t i) { return components[i]; }
};

// One sample point on the cut line inside one crossed shell.
class XSECT_API StressPoint {
public:
    StressPoint(CVertex point, double coordinate);

    const CVertex& GetPoint() const;
    void GetPoint(double& x, double& y, double& z) const;
    double Get1DCoor() const;

    // Sets components 0 to 7 in argument order; the point then counts as set.
    void SetStressValue_ZEL(double c0, double c1, double c2, double c3, double c4, double c5, double c6, double c7);
    const Stress& GetStress() const;
    StressCSType GetStressCSType() const;

    // Negate components 2, 4, 6 and 7 (an element whose normal disagrees with the cut's).
    void ReverseStressSign_ZEL();
    // Negate component 4 only.
    void ReverseStressSignMyToMt();

private:
    friend struct StressPointTestAccess;

    double coordinate1D = 0.0;
    CVertex point;
    Stress stress;
    StressCSType csType = STRESS_CS_NONE;
};

}  // namespace xsect
