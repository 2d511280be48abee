#include "cli/HostPaths.h"

#include "platform/DriveTable.h"

#include <algorithm>
#include <utility>

namespace dividra::cli {
namespace {

bool isAlphanumeric(char c) {
    return platform::driveLetter(c) != 0 || (c >= '0' && c <= '9');
}

// Where the next "x:\" that isn't inside a word starts, from `from` on.
std::size_t nextPathStart(std::string_view text, std::size_t from) {
    for (std::size_t at = from; at + 2 < text.size(); ++at) {
        const bool shaped =
            platform::driveLetter(text[at]) != 0 && text[at + 1] == ':' && text[at + 2] == '\\';
        if (shaped && (at == 0 || !isAlphanumeric(text[at - 1]))) {
            return at;
        }
    }
    return std::string_view::npos;
}

} // namespace

std::string WithHostPath(std::string_view dosPath, std::string_view hostPath) {
    std::string shown(dosPath);
    if (!hostPath.empty() && hostPath != dosPath) {
        shown += " (" + std::string(hostPath) + ")";
    }
    return shown;
}

HostPathNotes::HostPathNotes(const platform::FileSystem& fs, std::vector<std::string> knownPaths)
    : m_fs(fs), m_known(std::move(knownPaths)) {}

std::string_view HostPathNotes::pathAt(std::string_view text, std::size_t start) const {
    std::string_view path = text.substr(start);
    path = path.substr(0, std::min(path.find_first_of(":\n", 2), path.find(", ")));
    path = path.substr(0, path.find_last_not_of(' ') + 1);
    std::size_t knownLength = 0;
    for (const std::string& known : m_known) {
        const bool endsAtBlank =
            path.size() > known.size() && path.starts_with(known) && path[known.size()] == ' ';
        if (endsAtBlank && known.size() > knownLength) {
            knownLength = known.size();
        }
    }
    return knownLength > 0 ? path.substr(0, knownLength) : path;
}

std::string HostPathNotes::annotate(std::string_view text) const {
    std::string out;
    std::size_t done = 0;
    for (std::size_t start = nextPathStart(text, 0); start != std::string_view::npos;
         start = nextPathStart(text, done)) {
        const std::string_view path = pathAt(text, start);
        out += text.substr(done, start - done);
        const auto host = m_fs.toHostPath(path);
        out += host ? WithHostPath(path, host.value()) : std::string(path);
        done = start + path.size();
    }
    out += text.substr(done);
    return out;
}

} // namespace dividra::cli
