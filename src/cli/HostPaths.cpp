#include "cli/HostPaths.h"

#include "platform/AsciiText.h"
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

// Whether the last name of `path` has an extension: a dot neither first nor last in it.
bool hasExtension(std::string_view path) {
    const std::string_view name = path.substr(path.rfind('\\') + 1);
    const auto dot = name.rfind('.');
    return dot != std::string_view::npos && dot > 0 && dot + 1 < name.size();
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

// The length of the longest known path that `path` starts with, up to a blank, a backslash or its
// end; 0 for none.
std::size_t HostPathNotes::knownLength(std::string_view path) const {
    std::size_t longest = 0;
    for (const std::string& known : m_known) {
        const bool atBoundary = path.size() == known.size() || known.ends_with('\\') ||
                                (path.size() > known.size() &&
                                 (path[known.size()] == ' ' || path[known.size()] == '\\'));
        if (atBoundary && known.size() > longest && platform::startsWithIgnoringCase(path, known)) {
            longest = known.size();
        }
    }
    return longest;
}

std::string_view HostPathNotes::pathAt(std::string_view text, std::size_t start) const {
    std::string_view path = text.substr(start);
    path = path.substr(0, std::min(path.find_first_of(":\n", 2), path.find(", ")));
    path = path.substr(0, path.find_last_not_of(' ') + 1);
    const std::size_t known = knownLength(path);
    if (known > 0 && known < path.size() && path[known] == ' ') {
        return path.substr(0, known);
    }
    // Past what is known, a blank after a name with an extension ends the path: "a:\x.kpn
    // describes ...".
    for (std::size_t at = path.find(' ', std::max<std::size_t>(known, 3));
         at != std::string_view::npos; at = path.find(' ', at + 1)) {
        if (hasExtension(path.substr(0, at))) {
            return path.substr(0, at);
        }
    }
    return path;
}

std::string HostPathNotes::annotate(std::string_view text) const {
    std::string out;
    std::size_t done = 0;
    for (std::size_t start = nextPathStart(text, 0); start != std::string_view::npos;
         start = nextPathStart(text, done)) {
        const std::string_view path = pathAt(text, start);
        out += text.substr(done, start - done);
        const auto host = m_fs.toHostPath(path);
        const std::string shown = host ? WithHostPath(path, host.value()) : std::string(path);
        // A message that gives the host path itself keeps it once.
        out += text.substr(start).starts_with(shown) ? std::string(path) : shown;
        done = start + path.size();
    }
    out += text.substr(done);
    return out;
}

} // namespace dividra::cli
