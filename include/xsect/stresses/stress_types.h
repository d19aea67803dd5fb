#pragma once

#include <cstddef>
#include <cstdint>

namespace xsect {

// The five cut-line quantities.
enum CLStressType : std::int32_t {
    CL_STRESS_ST = 0,   // in-plane normal stress across the cut line
    CL_STRESS_STS = 1,  // in-plane shear stress along the cut line
    CL_STRESS_QT = 2,   // transverse shear per unit length
    CL_STRESS_MTS = 3,  // twisting moment per unit length
    CL_STRESS_MT = 4    // bending moment per unit length
};

// The quantity's short name as tables and files print it: "St", "Sts", "Qt", "Mts", "Mt"; an
// unknown value gives "".
constexpr const char* CLStressTypeName(CLStressType t) {
    switch (t) {
        case CL_STRESS_ST: return "St";
        case CL_STRESS_STS: return "Sts";
        case CL_STRESS_QT: return "Qt";
        case CL_STRESS_MTS: return "Mts";
        case CL_STRESS_MT: return "Mt";
    }
    return "";
}

// The component of a sample point's eight stress values that a quantity is smoothed from:
// St 1, Sts 2, Qt 7, Mts 5, Mt 4 (the order of StressPoint::SetStressValue_ZEL's arguments).
constexpr std::size_t CLStressSourceComponent(CLStressType t) {
    switch (t) {
        case CL_STRESS_ST: return 1;
        case CL_STRESS_STS: return 2;
        case CL_STRESS_QT: return 7;
        case CL_STRESS_MTS: return 5;
        case CL_STRESS_MT: return 4;
    }
    return 1;
}

// How a quantity's distribution along the cut line makes up the section resultant, whose components
// 0 to 5 are Fx, Fy, Fz, Mx, My, Mz in the cut's axes (ForceResultant's order). Its integral, times
// the thickness where byThickness (the stresses St and Sts), is the component `integral`, the one the
// smoothing balances it against. Its first moment about the middle of the line, with the same weight
// and times momentSign, adds to the component `moment`: St's is Mz, Qt's takes part in My; the
// others have none (kNoResultantComponent).
inline constexpr std::size_t kNoResultantComponent = 6;
struct CLStressResultantPart {
    std::size_t integral;
    std::size_t moment;
    double momentSign;
    bool byThickness;
};
constexpr CLStressResultantPart CLStressResultantOf(CLStressType t) {
    switch (t) {
        case CL_STRESS_ST: return {1, 5, 1.0, true};
        case CL_STRESS_STS: return {0, kNoResultantComponent, 0.0, true};
        case CL_STRESS_QT: return {2, 4, -1.0, false};
        case CL_STRESS_MTS: return {4, kNoResultantComponent, 0.0, false};
        case CL_STRESS_MT: return {3, kNoResultantComponent, 0.0, false};
    }
    return {kNoResultantComponent, kNoResultantComponent, 0.0, false};
}

// Whether a sample point's stress components have been set.
enum StressCSType : std::int32_t {
    STRESS_CS_NONE = 0,
    STRESS_CS_ZEL = 1
};

}  // namespace xsect
