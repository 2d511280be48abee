#pragma once

#include "platform/RegistryTree.h"
#include "platform/Result.h"
#include "platform/UniqueFd.h"

#include <string>
#include <sys/types.h>
#include <utility>

// One registry operation's hold on the registry file (see Registry.h): the lock, the parsed
// contents, and the atomic replacement.
namespace dividra::platform {

class RegistryFile {
public:
    // Creates the file's folder when missing, takes the exclusive lock on `<path>.lock` (or
    // goes on unlocked when no lock file can be opened) and reads the file; a missing file
    // is an empty registry. Fails when the file exists but can't be read.
    static Result<RegistryFile> open(const std::string& path);

    RegistryFile(RegistryFile&& other) noexcept = default;
    RegistryFile& operator=(RegistryFile&&) = delete;

    RegistryTree& tree() { return m_tree; }

    // Whether save() may replace the file: the lock is held and the file, when it exists,
    // is writable.
    Status checkWritable() const;

    // Writes `<path>.bad` first when the file read had lines that didn't parse, then replaces
    // the file with the tree's text.
    Status save() const;

private:
    explicit RegistryFile(std::string path) : m_path(std::move(path)) {}

    std::string m_path;
    detail::UniqueFd m_lock; // closing it releases the flock
    bool m_existed = false;
    mode_t m_mode = 0600;
    std::string m_original;
    int m_badLines = 0;
    RegistryTree m_tree;
};

} // namespace dividra::platform
