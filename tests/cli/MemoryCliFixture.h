#pragma once

#include "CliFixture.h"
#include "cli/Cli.h"
#include "fakes/MemoryFileSystem.h"
#include "settings/Defaults.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

// dividra-cli run in-process over in-memory drives: c: (host folder /mem/c), a small fixed d:
// (/mem/d, 64 KB) and the diskette drive a: (/mem/a), for what needs no kernel behaviour of its
// own: no mount, no real folder.
namespace dividra::cli {

class MemoryCliTest : public ::testing::Test {
protected:
    MemoryCliTest() {
        m_fs.addDrive('c', platform::DriveType::Fixed, 64 << 20);
        m_fs.setHostFolder('c', "/mem/c");
        m_fs.addDrive('d', platform::DriveType::Fixed, 64 << 10);
        m_fs.setHostFolder('d', "/mem/d");
        m_diskette = &m_fs.addDrive('a', platform::DriveType::Removable, 1457664);
        m_fs.setHostFolder('a', "/mem/a");
        EnsureSettingsInitialised(kDesignBounds); // so a test can change settings first
    }

    // dividra-cli with these arguments, the command first, `input` answering its questions.
    Outcome cli(const std::vector<std::string>& line, const std::string& input = "") {
        const CliContext context{m_drives, m_fs, std::nullopt, true};
        std::istringstream in(input);
        std::ostringstream out;
        std::ostringstream err;
        const int status = RunCli(context, line, in, out, err, false);
        return {status, out.str(), err.str()};
    }

    Outcome split(const std::vector<std::string>& arguments, const std::string& input = "") {
        std::vector<std::string> line{"split"};
        line.insert(line.end(), arguments.begin(), arguments.end());
        return cli(line, input);
    }

    // The names of the files directly in a folder of c: ("out"), sorted as listed.
    std::vector<std::string> namesIn(const std::string& folder) const {
        const std::string prefix = "\\" + folder + "\\";
        std::vector<std::string> names;
        for (const std::string& entry : m_fs.listAll('c')) {
            const std::string path = entry.substr(0, entry.rfind(' '));
            if (!entry.ends_with('\\') && path.starts_with(prefix) &&
                path.find('\\', prefix.size()) == std::string::npos) {
                names.push_back(path.substr(prefix.size()));
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    // The names on the diskette, in the order they were made.
    std::vector<std::string> onDiskette() const {
        std::vector<std::string> names;
        for (const std::string& entry : m_diskette->listAll()) {
            names.push_back(entry.substr(1, entry.find(' ') - 1));
        }
        return names;
    }

    test::TempDir m_dir; // the settings file's
    test::ScopedEnv m_registry{"DIVIDRA_REGISTRY", m_dir.file("profile/registry.reg")};
    platform::MemoryFileSystem m_fs;
    platform::Medium* m_diskette = nullptr;
    const platform::DriveTable m_drives =
        platform::DriveTable::parse("c=/mem/c,fixed;d=/mem/d,fixed;a=/mem/a,removable").value();
};

} // namespace dividra::cli
