#pragma once

#include <cstdint>

namespace xsect {

// Direction class of a cut line in plane coordinates.
enum CROSS_SECTION_CUT_TYPE : std::int32_t {
    CUT_TYPE_VERTICAL = 0,    // along the plane's y' axis
    CUT_TYPE_HORIZONTAL = 1,  // along the plane's x' axis
    CUT_TYPE_INCLINED = 2     // every other cut, a very short one included
};

// Winding of a polygon by its signed area: zero or negative is clockwise.
enum POLYGON_DIRECTION : std::int32_t {
    POLYGON_CLOCKWISE = 1,
    POLYGON_COUNTERCLOCKWISE = 2
};

// One crossed element edge: its two node numbers in the element's own order.
struct CEdge {
    std::int32_t firstNode = 0;
    std::int32_t secondNode = 0;
    CEdge() = default;
    CEdge(std::int32_t first, std::int32_t second) : firstNode(first), secondNode(second) {}
};

}  // namespace xsect
