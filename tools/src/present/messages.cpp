#include "present/messages.h"

#include <xsect/xsect.h>

namespace xsect::cli {

void PrintRefusal(Streams& io, const std::string& context, std::int32_t status) {
    io.err << "xsect: " << context << ": refused by the library: " << StatusName(status) << " (" << status
           << "): " << StatusMessage(status) << "\n";
}

void PrintBadInput(Streams& io, const std::string& message) { io.err << "xsect: " << message << "\n"; }

void PrintWarning(Streams& io, const std::string& message) { io.err << "xsect: warning: " << message << "\n"; }

}  // namespace xsect::cli
