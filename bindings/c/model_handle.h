#pragma once

// What stands behind the C interface's opaque xsect_model, the failure bookkeeping every entry point
// shares, and the request and table conversions. The Python module includes it too: it uses the same
// conversions, and reaches the stress calculator through the handle, which the C interface does not
// offer.

#include <algorithm>
#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include <xsect/io/model.h>
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
    // Declared before the calculator, so that the modal arrays it points to outlive it.
    std::map<std::int32_t, xsect::io::LoadCase> cases;
    std::unique_ptr<xsect::CCrossSectionForcesPost> calculator;
    std::map<std::int32_t, double> thickness;  // from a model file; shells without an entry have none
    std::vector<xsect::c_api::StoredRequest> combinations;
    // The host interface keeps a status word and the last cut's axes in the calculator, so calls
    // that go through it take turns; nothing else in the handle changes after construction.
    mutable std::mutex hostCalls;
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

// Builds the calculator over a model read from a file or from arrays, keeps the load cases, thicknesses
// and combinations, and empties the model's maps, so that the results live in the calculator only.
// The library's refusal of the plane comes back as its status.
int AdoptModel(io::Model& model, xsect_model** out);

// The C requests as the library takes them; none means every load case on its own, in ascending id,
// named by its number.
int ReadRequests(const xsect_model& model, std::int32_t count, const xsect_request* requests,
                 std::vector<ResultRequest>& out);
// Copies a section table into the caller's arrays (any may be null) for that many requests; a table
// with an error is XSECT_E_ARGUMENT with the library's sentence.
int CopySections(const SectionTable& table, std::size_t requests, const xsect_sections& out);

// XSECT_E_ARGUMENT unless the load case exists and is of a kind the calculators compute.
int CheckComputableCase(const xsect_model& model, std::int32_t loadCase);

}  // namespace xsect::c_api
