#pragma once

// The Python module's boundary: numpy arguments checked for dtype and shape, and the library's
// refusals turned into Python exceptions. Nothing here computes anything.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace xsect::python {

namespace py = pybind11;

using Reals = py::array_t<double, py::array::c_style | py::array::forcecast>;
using Ints = py::array_t<std::int32_t, py::array::c_style>;

// A refusal of the library, raised in Python as xsect.Error.
struct Refusal {
    std::int32_t status;
    std::string sentence;
};

// The library's refusal of what context names: its status word with the library's own sentence.
Refusal RefusalOf(std::int32_t status, const std::string& context);

// The exception class xsect.Error, created once by the module.
void RegisterErrors(py::module_& m);

// An integer array (any integer dtype whose values fit in 32 bits) as int32, with the given number of
// dimensions; an empty array of any dtype passes. shape entries of -1 are free, others must match.
Ints IdArray(py::handle value, const char* name, std::vector<py::ssize_t> shape);
// A real array (float or integer dtype) as contiguous float64 of the given shape.
Reals RealArray(py::handle value, const char* name, std::vector<py::ssize_t> shape);
// A point: three finite numbers.
std::array<double, 3> Point(py::handle value, const char* name);
// A finite number.
double Finite(py::handle value, const char* name);

}  // namespace xsect::python
