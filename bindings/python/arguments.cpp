#include "arguments.h"

#include <cmath>
#include <limits>

#include <xsect/forces/status_text.h>

namespace xsect::python {

namespace {

PyObject* errorClass = nullptr;

std::string ShapeText(const std::vector<py::ssize_t>& shape) {
    std::string s = "(";
    for (std::size_t i = 0; i < shape.size(); ++i) {
        if (i) s += ", ";
        s += shape[i] < 0 ? std::string("n") : std::to_string(shape[i]);
    }
    return s + (shape.size() == 1 ? ",)" : ")");
}

std::string ShapeText(const py::array& a) {
    return ShapeText(std::vector<py::ssize_t>(a.shape(), a.shape() + a.ndim()));
}

py::array AsArray(py::handle value, const char* name) {
    py::array a = py::array::ensure(value);
    if (!a) throw py::value_error(std::string(name) + ": expected an array of numbers");
    return a;
}

void CheckShape(const py::array& a, const char* name, const std::vector<py::ssize_t>& shape) {
    bool ok = a.ndim() == static_cast<py::ssize_t>(shape.size());
    for (std::size_t i = 0; ok && i < shape.size(); ++i) ok = shape[i] < 0 || shape[i] == a.shape(i);
    if (!ok)
        throw py::value_error(std::string(name) + ": expected shape " + ShapeText(shape) + ", got " + ShapeText(a));
}

}  // namespace

void RegisterErrors(py::module_& m) {
    errorClass = PyErr_NewExceptionWithDoc(
        "xsect.Error",
        "The library refused a request. status is its status word, name the status's name and message its "
        "meaning.",
        nullptr, nullptr);
    if (errorClass == nullptr) throw py::error_already_set();
    m.add_object("Error", py::handle(errorClass));
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const Refusal& r) {
            py::object e = py::reinterpret_borrow<py::object>(errorClass)(r.sentence);
            e.attr("status") = r.status;
            e.attr("name") = StatusName(r.status);
            e.attr("message") = StatusMessage(r.status);
            PyErr_SetObject(errorClass, e.ptr());
        }
    });
}

Refusal RefusalOf(std::int32_t status, const std::string& context) {
    return Refusal{status, context + ": " + StatusName(status) + ": " + StatusMessage(status)};
}

Ints IdArray(py::handle value, const char* name, std::vector<py::ssize_t> shape) {
    py::array a = AsArray(value, name);
    const char kind = a.dtype().kind();
    if (a.size() > 0 && kind != 'i' && kind != 'u')
        throw py::value_error(std::string(name) + ": expected integers, got dtype " +
                              py::str(a.dtype()).cast<std::string>());
    CheckShape(a, name, shape);
    auto wide = py::array_t<std::int64_t, py::array::c_style | py::array::forcecast>::ensure(a);
    if (!wide) throw py::error_already_set();
    Ints out(std::vector<py::ssize_t>(a.shape(), a.shape() + a.ndim()));
    const std::int64_t* in = wide.data();
    std::int32_t* to = out.mutable_data();
    for (py::ssize_t i = 0; i < wide.size(); ++i) {
        if (in[i] < std::numeric_limits<std::int32_t>::min() || in[i] > std::numeric_limits<std::int32_t>::max())
            throw py::value_error(std::string(name) + ": " + std::to_string(in[i]) + " does not fit in 32 bits");
        to[i] = static_cast<std::int32_t>(in[i]);
    }
    // Unsigned values above the signed 64-bit range wrap in the conversion: compare them as given.
    if (kind == 'u' && a.size() > 0) {
        auto big = py::array_t<std::uint64_t, py::array::c_style | py::array::forcecast>::ensure(a);
        for (py::ssize_t i = 0; i < big.size(); ++i)
            if (big.data()[i] > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()))
                throw py::value_error(std::string(name) + ": " + std::to_string(big.data()[i]) +
                                      " does not fit in 32 bits");
    }
    return out;
}

Reals RealArray(py::handle value, const char* name, std::vector<py::ssize_t> shape) {
    py::array a = AsArray(value, name);
    const char kind = a.dtype().kind();
    if (a.size() > 0 && kind != 'f' && kind != 'i' && kind != 'u')
        throw py::value_error(std::string(name) + ": expected real numbers, got dtype " +
                              py::str(a.dtype()).cast<std::string>());
    CheckShape(a, name, shape);
    Reals out = Reals::ensure(a);
    if (!out) throw py::error_already_set();
    return out;
}

std::array<double, 3> Point(py::handle value, const char* name) {
    Reals a = RealArray(value, name, {3});
    std::array<double, 3> p{a.at(0), a.at(1), a.at(2)};
    for (double v : p)
        if (!std::isfinite(v)) throw py::value_error(std::string(name) + ": a coordinate is not finite");
    return p;
}

double Finite(py::handle value, const char* name) {
    if (!py::isinstance<py::float_>(value) && !py::isinstance<py::int_>(value) &&
        !py::isinstance(value, py::module_::import("numpy").attr("number")))
        throw py::value_error(std::string(name) + ": expected a number");
    const double v = value.cast<double>();
    if (!std::isfinite(v)) throw py::value_error(std::string(name) + ": expected a finite number");
    return v;
}

}  // namespace xsect::python
