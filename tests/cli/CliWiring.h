#pragma once

#include "cli/Cli.h"
#include "platform/DriveTable.h"
#include "platform/PosixFileSystem.h"

#include <cstdlib>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// The terminal front end wired as main() wires it, from the environment the test set: each run
// reads DIVIDRA_DRIVES afresh, so a test may change it between runs.
namespace dividra::cli {

class CliWiring {
public:
    CliWiring()
        : m_read(platform::DriveTable::fromEnvironment()),
          m_fs(m_read ? m_read.value() : platform::DriveTable()),
          m_context{m_fs.driveTable(), m_fs, m_read ? std::nullopt : std::optional(m_read.error()),
                    configured()} {}
    const CliContext& context() const { return m_context; }
    platform::PosixFileSystem& fs() { return m_fs; }

private:
    static bool configured() {
        const char* text = std::getenv("DIVIDRA_DRIVES");
        return text != nullptr && *text != '\0';
    }

    Result<platform::DriveTable> m_read;
    platform::PosixFileSystem m_fs;
    CliContext m_context;
};

inline int RunCliHere(const std::vector<std::string>& arguments, std::istream& in,
                      std::ostream& out, std::ostream& err, bool errIsTerminal) {
    const CliWiring wiring;
    return RunCli(wiring.context(), arguments, in, out, err, errIsTerminal);
}

inline int RunCliHere(const std::vector<std::string>& arguments, std::ostream& out,
                      std::ostream& err) {
    const CliWiring wiring;
    return RunCli(wiring.context(), arguments, out, err);
}

} // namespace dividra::cli
