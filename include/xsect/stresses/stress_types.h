#pragma once

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

// Whether a sample point's stress components have been set.
enum StressCSType : std::int32_t {
    STRESS_CS_NONE = 0,
    STRESS_CS_ZEL = 1
};

}  // namespace xsect
