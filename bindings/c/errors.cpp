// The C interface's failures: the per-thread sentence and the names of statuses.

#include <xsect/forces/status_text.h>

#include "model_handle.h"

namespace xsect::c_api {

namespace {

// The sentence lives in the thread's own string when it could be copied there; otherwise it is a
// static text, so recording a failure never fails.
thread_local std::string lastSentence;
thread_local const char* lastText = "";

}  // namespace

int Fail(int status, const char* sentence) noexcept {
    lastText = sentence;
    return status;
}

int Fail(int status, const std::string& sentence) noexcept {
    try {
        lastSentence = sentence;
        lastText = lastSentence.c_str();
    } catch (...) {
        lastText = "out of memory";
    }
    return status;
}

int Refuse(std::int32_t status, const std::string& context) noexcept {
    try {
        return Fail(status, context + ": " + StatusName(status) + ": " + StatusMessage(status));
    } catch (...) {
        return Fail(status, StatusMessage(status));
    }
}

}  // namespace xsect::c_api

extern "C" {

const char* xsect_last_error(void) { return xsect::c_api::lastText; }

const char* xsect_status_name(int status) {
    switch (status) {
        case XSECT_E_ARGUMENT: return "XSECT_E_ARGUMENT";
        case XSECT_E_FILE: return "XSECT_E_FILE";
        case XSECT_E_MEMORY: return "XSECT_E_MEMORY";
        case XSECT_E_INTERNAL: return "XSECT_E_INTERNAL";
        default: return xsect::StatusName(status);
    }
}

}  // extern "C"
