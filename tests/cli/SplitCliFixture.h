#pragma once

#include "CliFixture.h"
#include "cli/Cli.h"
#include "settings/Defaults.h"
#include "support/TempDir.h"
#include "support/TmpfsMount.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

// dividra-cli split run in-process over a temporary c: drive, with a tmpfs diskette in a:.
namespace dividra::cli {

namespace fs = std::filesystem;

// The first prompt of a floppy split, on stderr.
inline const std::string kInsertFirst =
    "Please insert diskette #1 into drive \nA: and select OK when "
    "ready to\ncontinue.\n[OK/Cancel]\n";

class SplitCliTest : public ::testing::Test {
protected:
    SplitCliTest() {
        fs::create_directories(m_dir.file("out"));
        EnsureSettingsInitialised(kDesignBounds); // so a test can change settings first
    }

    // dividra-cli with these arguments, the command first.
    Outcome cli(const std::vector<std::string>& arguments, const std::string& input = "",
                bool terminal = false) {
        std::istringstream in(input);
        std::ostringstream out;
        std::ostringstream err;
        const int status = RunCliHere(arguments, in, out, err, terminal);
        return {status, out.str(), err.str()};
    }

    // dividra-cli split with these arguments.
    Outcome run(const std::vector<std::string>& arguments, const std::string& input = "",
                bool terminal = false) {
        std::vector<std::string> line{"split"};
        line.insert(line.end(), arguments.begin(), arguments.end());
        return cli(line, input, terminal);
    }

    // The names in a folder, sorted.
    std::vector<std::string> names(const std::string& relative) const {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(m_dir.file(relative))) {
            found.push_back(entry.path().filename().string());
        }
        std::sort(found.begin(), found.end());
        return found;
    }

    test::TempDir m_dir;
    test::TmpfsMount m_floppy{m_dir.file("floppy")}; // the diskette in drive a:
    test::ScopedEnv m_drives{
        "DIVIDRA_DRIVES", "c=" + m_dir.path() + ",fixed;a=" + m_dir.file("floppy") + ",removable"};
    test::ScopedEnv m_registry{"DIVIDRA_REGISTRY", m_dir.file("profile/registry.reg")};
};

// For the tests that write onto the diskette.
#define NEEDS_DISKETTE()                                                                           \
    if (!m_floppy.mounted())                                                                       \
    GTEST_SKIP() << m_floppy.why()

} // namespace dividra::cli
