#pragma once

// What stands behind the C interface's opaque xsect_model, and the failure bookkeeping and
// conversions every entry point shares.

#include <cstdint>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include <xsect/io/model_calculators.h>
#include <xsect/sections.h>
#include <xsect/xsect.h>
#include <xsect/xsect_c.h>

namespace xsect::c_api {

// A load combination kept as the C interface hands it out: xsect_request points into it.
struct StoredRequest {
    std::string name;
    std::vector<std::int32_t> cases;
    std::vector<double> factors;
};

}  // namespace xsect::c_api

struct xsect_model {
    // Takes the model's content; the calculator's status says whether the plane was set up.
    explicit xsect_model(xsect::io::Model&& model);

    xsect::io::ModelCalculators calculators;
    std::vector<xsect::c_api::StoredRequest> combinations;  // calculators.combinations as C requests
};

namespace xsect::c_api {

// Records the sentence for xsect_last_error and returns status. The first form allocates nothing,
// for the failures that are themselves a lack of memory.
int Fail(int status, const char* sentence) noexcept;
int Fail(int status, const std::string& sentence) noexcept;
// The library's refusal: its status word with the library's own sentence, after context.
int Refuse(std::int32_t status, const std::string& context) noexcept;

// Runs body and turns any exception into a status, so that none crosses the C boundary.
template <class Body>
int Guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return Fail(XSECT_E_MEMORY, "out of memory");
    } catch (const std::exception& e) {
        return Fail(XSECT_E_INTERNAL, e.what());
    } catch (...) {
        return Fail(XSECT_E_INTERNAL, "an unknown failure inside the library");
    }
}

// Hands a model read from a file or from arrays to a new handle, or returns the library's refusal
// of its plane.
int AdoptModel(io::Model& model, xsect_model** out);

// XSECT_E_ARGUMENT naming what works on a plane model only, when the model is an assembly; else 0.
int RequirePlaneModel(const xsect_model& model, const char* what);

}  // namespace xsect::c_api
