#pragma once

#include "platform/Result.h"

#include <functional>
#include <string>
#include <string_view>

// Flushes to the medium: what the segment writer and the settings store promise. File systems
// that can't flush (EINVAL) have nothing to lose, so that isn't a failure.
namespace dividra::platform::detail {

// The flush of a file's data (fdatasync), or of a folder's entries after a rename (fsync).
enum class SyncKind { Data, Folder };

// Reports each flush made, before its result is known: the kind and the path named in errors.
// A test seam (a hook, platform/Hook.h): tests can't otherwise see a flush; nothing observes
// one in the programs.
using SyncObserver = std::function<void(SyncKind kind, const std::string& path)>;
SyncObserver SetSyncObserver(SyncObserver observer);

// fdatasync of `fd`, retried on EINTR; errors name `path`.
Status syncData(int fd, std::string_view path);

// fsync of the host folder, retried on EINTR; errors name `path`.
Status syncFolder(const std::string& hostFolder, std::string_view path);

} // namespace dividra::platform::detail
