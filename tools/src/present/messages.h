#pragma once

// Where a command writes, its two kinds of failure message, and warnings.

#include <cstdint>
#include <ostream>
#include <string>

namespace xsect::cli {

struct Streams {
    std::ostream& out;
    std::ostream& err;
    bool terminal = false;  // err is a terminal: progress bars may be drawn on it
};

// "xsect: <context>: refused by the library: NAME (code): message"
void PrintRefusal(Streams& io, const std::string& context, std::int32_t status);
// "xsect: <message>"
void PrintBadInput(Streams& io, const std::string& message);
// "xsect: warning: <message>": the output stands, but a person should know this about it.
void PrintWarning(Streams& io, const std::string& message);

}  // namespace xsect::cli
