#pragma once

#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The small text files of a set: the descriptor and the checksum file.
namespace dividra::core {

// Reads a small text file of a set whole: at most maxBytes, else InvalidArgument "<path>: larger
// than <n> bytes"; a symbolic link is refused. Errors name the path.
Result<std::string> ReadSmallFile(platform::FileSystem& fs, std::string_view path,
                                  std::size_t maxBytes);

// Writes a small text file whole, replacing any file of that name, and forces it to the medium.
// The source's identity, when given, guards it: a path naming the source file itself fails with
// SameFile before anything is created. Other failures (create, write, flush, close) name the
// path and the reason; the file is closed on every path, and one that could not be written
// whole is deleted again, so that a part never passes for the whole.
Status WriteSmallFile(platform::FileSystem& fs, const std::string& path, std::string_view text,
                      std::optional<platform::FileId> sourceId);

} // namespace dividra::core
