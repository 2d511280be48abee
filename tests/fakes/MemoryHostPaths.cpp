#include "fakes/MemoryFileSystem.h"

#include "platform/AsciiText.h"

namespace dividra::platform {
namespace {

Error notOnAnyDrive(std::string_view path) {
    return Error{ErrorCode::PathNotFound, std::string(path) + ": not on any drive"};
}

} // namespace

void MemoryFileSystem::setHostFolder(char letter, std::string hostFolder) {
    m_hostFolders[lowerAscii(letter)] = std::move(hostFolder);
}

Result<std::string> MemoryFileSystem::toDosPath(std::string_view hostPath) const {
    for (const auto& [letter, folder] : m_hostFolders) {
        const bool under =
            hostPath == folder || (hostPath.starts_with(folder) && hostPath[folder.size()] == '/');
        if (!under) {
            continue;
        }
        std::string dos = std::string(1, letter) + ":\\";
        for (const char c : hostPath.substr(std::min(hostPath.size(), folder.size() + 1))) {
            dos += c == '/' ? '\\' : c;
        }
        return dos;
    }
    return notOnAnyDrive(hostPath);
}

Result<std::string> MemoryFileSystem::toHostPath(std::string_view dosPath) const {
    const auto found = dosPath.size() >= 2 && dosPath[1] == ':'
                           ? m_hostFolders.find(lowerAscii(dosPath[0]))
                           : m_hostFolders.end();
    if (found == m_hostFolders.end()) {
        return notOnAnyDrive(dosPath);
    }
    std::string host = found->second;
    const std::string_view rest = dosPath.substr(std::min<std::size_t>(dosPath.size(), 3));
    if (!rest.empty()) {
        host += '/';
    }
    for (const char c : rest) {
        host += c == '\\' ? '/' : c;
    }
    return host;
}

} // namespace dividra::platform
