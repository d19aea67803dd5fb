// A model read from a file by the same reader as the xsect program.

#include <xsect/io/model_file.h>

#include "model_handle.h"

extern "C" {

int xsect_model_load(const char* path, xsect_model** out) {
    using namespace xsect::c_api;
    return Guarded([&]() -> int {
        if (path == nullptr || out == nullptr) return Fail(XSECT_E_ARGUMENT, "path and out must not be null");
        xsect::io::Model model;
        std::string error;
        if (!xsect::io::ReadModelFile(path, model, error)) return Fail(XSECT_E_FILE, error);
        return AdoptModel(model, out);
    });
}

}  // extern "C"
