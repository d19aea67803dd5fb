#include <unistd.h>

#include <iostream>

#include "commands/cli.h"

int main(int argc, char** argv) {
    return xsect::cli::Main(argc, argv, std::cout, std::cerr, isatty(STDERR_FILENO) != 0);
}
