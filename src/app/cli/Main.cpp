#include "cli/Cli.h"
#include "platform/StandardStreams.h"

#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

int main(int argc, char* argv[]) {
    dividra::platform::ReopenClosedStandardStreams();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return dividra::cli::RunCli(arguments, std::cin, std::cout, std::cerr, isatty(2) == 1);
}
