#pragma once

// Boost.Geometry, the independent geometry library the tests check the library's geometry against,
// and its plane point type.

// GCC's optimiser sees Boost.Geometry's envelope state as maybe uninitialised; it is not.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#define BOOST_ALLOW_DEPRECATED_HEADERS
#include <boost/geometry.hpp>
#include <boost/geometry/geometries/box.hpp>
#include <boost/geometry/geometries/linestring.hpp>
#include <boost/geometry/geometries/multi_linestring.hpp>
#include <boost/geometry/geometries/multi_polygon.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>
#include <boost/geometry/geometries/segment.hpp>

namespace xsect::test_support {

namespace bg = boost::geometry;
using P2 = bg::model::d2::point_xy<double>;

}  // namespace xsect::test_support
