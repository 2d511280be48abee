#include "platform/DosPath.h"

#include "platform/AsciiText.h"

#include <filesystem>

namespace dividra::platform {
namespace {

// The text with control characters and bytes that aren't UTF-8 shown as \xNN, so a message
// never carries them.
std::string printable(std::string_view text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const auto c = static_cast<unsigned char>(text[at]);
        const std::size_t length = utf8SequenceLength(text, at);
        if (length == 0 || c < 0x20 || c == 0x7F) {
            out += {'\\', 'x', kUpperHexDigits[c >> 4], kUpperHexDigits[c & 0x0F]};
            ++at;
        } else {
            out += text.substr(at, length);
            at += length;
        }
    }
    return out;
}

std::string quoted(std::string_view text) {
    return "\"" + printable(text) + "\"";
}

Error pathError(ErrorCode code, std::string_view path, std::string_view reason) {
    const std::string shown = path.empty() ? std::string("\"\"") : printable(path);
    return Error{code, shown + ": " + std::string(reason)};
}

} // namespace

bool isDosShowableName(std::string_view name) {
    if (name.empty()) {
        return false;
    }
    for (std::size_t at = 0; at < name.size();) {
        const auto c = static_cast<unsigned char>(name[at]);
        if (c < 0x20 || c == 0x7F ||
            std::string_view("\\/:*?\"<>|").find(name[at]) != std::string_view::npos) {
            return false;
        }
        const std::size_t length = utf8SequenceLength(name, at);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

Result<DosPathParts> splitDosPath(std::string_view dosPath) {
    const char letter = dosPath.size() >= 2 && dosPath[1] == ':' ? driveLetter(dosPath[0]) : 0;
    if (letter == 0 || (dosPath.size() > 2 && dosPath[2] != '\\')) {
        return pathError(ErrorCode::PathNotFound, dosPath,
                         "not a full path (drive letter, colon and backslash expected)");
    }
    DosPathParts parts{letter, {}};
    std::string_view rest = dosPath.substr(std::min<std::size_t>(3, dosPath.size()));
    while (!rest.empty()) {
        const auto slash = rest.find('\\');
        const std::string_view name = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (name.empty() || name == ".") {
            continue;
        }
        if (name == "..") {
            if (!parts.components.empty()) {
                parts.components.pop_back();
            }
            continue;
        }
        if (!isDosShowableName(name)) {
            return pathError(ErrorCode::InvalidName, dosPath,
                             "the name " + quoted(name) + " holds characters not allowed in names");
        }
        parts.components.emplace_back(name);
    }
    return parts;
}

std::string joinDosPath(char letter, const std::vector<std::string>& components) {
    std::string out{letter, ':'};
    for (const std::string& name : components) {
        out += "\\" + name;
    }
    return components.empty() ? out + "\\" : out;
}

Result<std::string> driveHostRoot(const DriveTable& drives, char letter, std::string_view dosPath) {
    const char lower = driveLetter(letter);
    if (drives.find(lower) == nullptr) {
        return pathError(ErrorCode::PathNotFound, dosPath,
                         std::string("there is no drive ") + lower + ":");
    }
    auto root = drives.currentRoot(lower);
    if (!root) {
        return pathError(ErrorCode::NotReady, dosPath,
                         std::string("no disk in drive ") + lower + ":");
    }
    return std::move(*root);
}

Result<RootedDosPath> rootDosPath(const DriveTable& drives, std::string_view dosPath) {
    auto parts = splitDosPath(dosPath);
    if (!parts) {
        return parts.error();
    }
    auto root = driveHostRoot(drives, parts.value().letter, dosPath);
    if (!root) {
        return root.error();
    }
    return RootedDosPath{std::move(parts).value(), std::move(root).value()};
}

Result<std::string> dosToHost(const DriveTable& drives, std::string_view dosPath) {
    auto rooted = rootDosPath(drives, dosPath);
    if (!rooted) {
        return rooted.error();
    }
    std::string host = rooted.value().hostRoot;
    for (const std::string& name : rooted.value().parts.components) {
        if (host.back() != '/') {
            host += '/';
        }
        host += name;
    }
    return host;
}

Result<std::string> hostToDos(const DriveTable& drives, std::string_view hostPath) {
    std::string absolute(hostPath);
    if (!hostPath.starts_with('/')) {
        std::error_code ec;
        const auto current = std::filesystem::current_path(ec);
        if (ec || hostPath.empty()) {
            return pathError(ErrorCode::PathNotFound, hostPath, "not a usable path");
        }
        absolute = current.string() + "/" + absolute;
    }
    const std::string normal = lexicallyNormalHostPath(absolute);
    const DriveEntry* best = nullptr;
    std::string bestRoot;
    for (const DriveEntry& entry : drives.entries()) {
        const auto root = drives.currentRoot(entry.letter);
        const bool under = root && (*root == "/" || normal == *root ||
                                    (normal.starts_with(*root) && normal[root->size()] == '/'));
        if (under && (best == nullptr || root->size() > bestRoot.size())) {
            best = &entry;
            bestRoot = *root;
        }
    }
    if (best == nullptr) {
        return pathError(ErrorCode::PathNotFound, hostPath, "not on any drive");
    }
    std::vector<std::string> components;
    std::string_view rest = std::string_view(normal).substr(bestRoot.size());
    while (!rest.empty()) {
        const auto start = rest.find_first_not_of('/');
        rest = start == std::string_view::npos ? std::string_view() : rest.substr(start);
        const std::string_view name = rest.substr(0, rest.find('/'));
        if (name.empty()) {
            break;
        }
        if (!isDosShowableName(name)) {
            return pathError(ErrorCode::InvalidName, hostPath,
                             "the name " + quoted(name) + " can't be shown as a DOS name");
        }
        components.emplace_back(name);
        rest = rest.substr(name.size());
    }
    return joinDosPath(best->letter, components);
}

} // namespace dividra::platform
