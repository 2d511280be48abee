#include "cli/Cli.h"
#include "platform/DriveTable.h"
#include "platform/PosixFileSystem.h"
#include "platform/StandardStreams.h"

#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

// The terminal front end, wired once: the drive table, the file system over it, the streams.
int main(int argc, char* argv[]) {
    dividra::platform::ReopenClosedStandardStreams();
    auto drives = dividra::platform::DriveTable::fromEnvironment();
    dividra::platform::PosixFileSystem fs(drives ? drives.value()
                                                 : dividra::platform::DriveTable());
    const char* configured = std::getenv("DIVIDRA_DRIVES");
    const dividra::cli::CliContext context{fs.driveTable(), fs,
                                           drives ? std::nullopt : std::optional(drives.error()),
                                           configured != nullptr && *configured != '\0'};
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return dividra::cli::RunCli(context, arguments, std::cin, std::cout, std::cerr, isatty(2) == 1);
}
