#pragma once

#include "xsect/math/matrix.h"

namespace xsect::detail {

// A 3-vector of the matrix layer from its components.
inline AG_ColVector vector3(double x, double y, double z) {
    AG_ColVector v(3);
    v[1] = x;
    v[2] = y;
    v[3] = z;
    return v;
}

}  // namespace xsect::detail
