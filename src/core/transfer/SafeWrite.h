#pragma once

#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace dividra::core {

// The platform's error with what the engine was doing put in front:
// "Can't write" + "c:\out\data.001: No space left on device".
Error WithAction(std::string_view action, const Error& error);

// Writes all bytes. A write that comes back short is a failure (DiskFull): the file's write
// already retried what it could. Errors name the path.
Status WriteAll(platform::File& file, std::string_view path, std::span<const std::byte> data);

// Forces what was written to the medium; a failure is put as "Can't write".
Status FlushWritten(platform::File& file);

// WriteAll, then FlushWritten.
Status WriteThrough(platform::File& file, std::string_view path, std::span<const std::byte> data);

// Closes a file the engine wrote and gives the first failure: the work's, else the close's
// (a close can report a write the medium refused late).
Status CloseAfter(platform::File& file, const Status& work);

// Whether the split may create targetPath: the file system's refusal of the name (a folder,
// device or FIFO there, a read-only file, a name reaching another file), put as "Can't create
// ...", and SameFile for a path that is the source file itself, so a split never overwrites the
// file it reads. Looks the exact name up only: no folder listing. No source id: no SameFile.
Status CheckTarget(const platform::FileSystem& fs, const std::optional<platform::FileId>& sourceId,
                   std::string_view targetPath);

} // namespace dividra::core
