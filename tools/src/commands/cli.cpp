#include "commands/cli.h"

#include <ostream>

#include <CLI/CLI.hpp>

#include "commands/commands.h"

namespace xsect::cli {

int Main(int argc, const char* const* argv, std::ostream& out, std::ostream& err, bool errIsTerminal) {
    CLI::App app{"xsect: section forces and cut-line stresses of plane shell models.\n"
                 "Model files are described in docs/model-format.md."};
    app.name("xsect");
    app.require_subcommand(0, 1);
    bool version = false;
    app.add_flag("--version", version, "print the program's version");
    const Command commands[] = {AddForces(app), AddDiagram(app), AddHistory(app), AddStresses(app),
                                AddInfo(app),   AddCheck(app),   AddDemo(app)};
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) {
            app.exit(e, out, err);
            return kExitOk;
        }
        err << "xsect: " << e.what() << " (see xsect --help)\n";
        return kExitBadInput;
    }
    if (version) {
        out << "xsect " << XSECT_VERSION << "\n";
        return kExitOk;
    }
    for (const Command& c : commands)
        if (c.parser->parsed()) return c.run(Streams{out, err, errIsTerminal});
    err << "xsect: give a command: forces, diagram, history, stresses, info, check or demo (see xsect --help)\n";
    return kExitBadInput;
}

}  // namespace xsect::cli
