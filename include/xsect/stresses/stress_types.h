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

// Whether a sample point's stress components have been set.
enum StressCSType : std::int32_t {
    STRESS_CS_NONE = 0,
    STRESS_CS_ZEL = 1
};

}  // namespace xsect
