#pragma once

#include "platform/FileSystem.h"

#include <string>
#include <string_view>
#include <vector>

// DOS paths shown on a terminal with the host path each stands for, so it can be found there:
// "c:\home\ann\data.zip (/home/ann/data.zip)".
namespace dividra::cli {

// `dosPath`, then the host path in parentheses when the two differ.
std::string WithHostPath(std::string_view dosPath, std::string_view hostPath);

// Adds the host path after each DOS path of a message. A DOS path starts at a drive letter,
// colon and backslash and runs to the next colon (no DOS name holds one), ", " or line end. It
// ends earlier at a blank that follows the longest known path it starts with (in any case), else
// at the first blank past that known path that follows a name with an extension ("a:\x.kpn
// describes"); blanks and dots inside a known path don't end it. A path the file system can't map
// keeps no note.
class HostPathNotes {
public:
    HostPathNotes(const platform::FileSystem& fs, std::vector<std::string> knownPaths);

    std::string annotate(std::string_view text) const;

private:
    std::size_t knownLength(std::string_view path) const;
    std::string_view pathAt(std::string_view text, std::size_t start) const;

    const platform::FileSystem& m_fs;
    std::vector<std::string> m_known;
};

} // namespace dividra::cli
