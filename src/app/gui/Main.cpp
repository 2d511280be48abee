#include "platform/DriveTable.h"
#include "platform/PosixFileSystem.h"
#include "platform/StandardStreams.h"
#include "ui/Program.h"

#include <cstdio>
#include <iostream>

// The window program, wired once: --help and --version need no drives; then the drive table
// and the file system over it, which every window works on.
int main(int argc, char* argv[]) {
    dividra::platform::ReopenClosedStandardStreams();
    if (const auto status =
            dividra::ui::AnswerInformationArguments({argv + 1, argv + argc}, std::cout)) {
        if (*status != 0) {
            std::fprintf(stderr, "dividra: write error on standard output\n");
        }
        return *status;
    }
    auto drives = dividra::platform::DriveTable::fromEnvironment();
    if (!drives) {
        std::fprintf(stderr, "dividra: %s\n", drives.error().message.c_str());
        return 2;
    }
    dividra::platform::PosixFileSystem fs(std::move(drives).value());
    return dividra::ui::RunWindowProgram(argc, argv, fs);
}
