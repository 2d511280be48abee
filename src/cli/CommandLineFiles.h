#pragma once

#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <cstdint>
#include <string>
#include <string_view>

// Host files and folders named on a command line, seen in the DOS view the window uses.
namespace dividra::cli {

enum class EntryKind { File, Folder };

// The DOS path of an existing file or folder named by a host path (relative to the current
// folder or absolute). Errors name the path: "<host path>: not on any drive" (from the drive
// table), else the DOS path and the absolute host path, "c:\a.zip (/a.zip): no such file", and
// likewise "is a folder, not a file", "no such folder", "is a file, not a folder". None is an
// InvalidArgument: they aren't bad usage.
Result<std::string> ExistingDosPath(const platform::FileSystem& fs, const std::string& hostPath,
                                    EntryKind kind);

// The size of an existing file, read without a lock of our own, as the window reads it.
Result<std::int64_t> FileSize(platform::FileSystem& fs, std::string_view dosPath);

} // namespace dividra::cli
