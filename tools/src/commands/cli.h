#pragma once

#include <iosfwd>

namespace xsect::cli {

// The whole program: parses the arguments, runs one command and returns the exit status
// (0 success, 1 a refusal by the library, 2 bad input or usage).
int Main(int argc, const char* const* argv, std::ostream& out, std::ostream& err, bool errIsTerminal);

}  // namespace xsect::cli
