#pragma once

#include "platform/RegistryTree.h"
#include "platform/Result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The current user's registry (HKEY_CURRENT_USER), kept on Linux in a REGEDIT4 text file.
//
// Each operation is complete in itself, as a registry call is: it takes an exclusive flock on
// `<file>.lock`, reads and parses the whole file, changes it if the operation changes
// anything, and replaces it atomically (temporary file, fdatasync, rename, fsync of the
// folder). Nothing is cached between operations and there are no handles to close. Two
// processes therefore never lose each other's values, and a crash leaves either the old file
// or the new one.
//
// A file that parses only in part yields what parses; before such a file is first replaced,
// its bytes are saved as `<file>.bad`. When the lock can't be taken (a folder we may not
// write), operations that only read go on without it and changes fail. A registry file
// without write permission is not replaced: changes fail with AccessDenied.
namespace dividra::platform {

// One change of a batch: a key to create, or a value to store under it.
struct RegistryChange {
    std::string keyPath;
    std::optional<std::string> valueName; // nullopt: the key alone
    RegistryValue value;
};

// $DIVIDRA_REGISTRY when set and non-empty, else $XDG_CONFIG_HOME/dividra/registry.reg
// (when set, non-empty and absolute), else $HOME/.config/dividra/registry.reg.
Result<std::string> registryFilePath();

class Registry {
public:
    // The file registryFilePath() names, resolved afresh at each operation.
    Registry() = default;
    // A fixed file.
    explicit Registry(std::string filePath);

    // Succeeds when the key exists; with `create`, missing keys along the path are created
    // first. NotFound when it doesn't exist and may not be created.
    Status openKey(std::string_view keyPath, bool create) const;

    // The value's type and bytes, or nullopt when the key has no such value. With
    // `createKey`, a missing key is created first (the registry's create-and-open), otherwise
    // a missing key is NotFound.
    Result<std::optional<RegistryValue>>
    queryValue(std::string_view keyPath, std::string_view valueName, bool createKey) const;

    // Stores the value, creating missing keys along the path. The file is rewritten only
    // when the value changes, but a registry that can't be written fails either way.
    Status setValue(std::string_view keyPath, std::string_view valueName, std::uint32_t type,
                    std::string_view data) const;

    // Makes the changes in order as one operation, creating missing keys along each path: the
    // file is replaced once, and only when something changes. All or nothing: an invalid path
    // or name fails (InvalidName) before the file is read, and a registry that can't be
    // written fails either way, leaving the file as it was.
    Status apply(const std::vector<RegistryChange>& changes) const;

    // The file operations use now.
    Result<std::string> filePath() const;

private:
    std::string m_filePath; // empty: resolved from the environment
};

} // namespace dividra::platform
