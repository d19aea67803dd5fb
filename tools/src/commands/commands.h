#pragma once

// The commands of the program. Each adds its sub-command, with its options, to the program's
// parser and says what runs it once the command line is parsed. Running returns the exit status:
// 0 success, 1 a refusal by the library (or, for check, findings), 2 bad input.

#include <functional>
#include <string>

#include "present/messages.h"
#include "present/text.h"

namespace CLI {
class App;
}

namespace xsect::cli {

enum ExitCode : int { kExitOk = 0, kExitRefused = 1, kExitBadInput = 2 };

struct Command {
    CLI::App* parser;  // the sub-command, its options bound
    std::function<int(Streams)> run;
};

Command AddForces(CLI::App& program);
Command AddDiagram(CLI::App& program);
Command AddHistory(CLI::App& program);
Command AddStresses(CLI::App& program);
Command AddInfo(CLI::App& program);
Command AddCheck(CLI::App& program);
Command AddDemo(CLI::App& program);

}  // namespace xsect::cli
