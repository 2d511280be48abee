#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dividra::platform {
class FileSystem;
}

// The "FileVersion" text of a Windows executable or DLL, read from its version resource.
//
// Nothing calls it on Linux: the shared unit offers it for the tool bar's look, which follows
// the common-controls version, and here that rule takes Qt's version instead (no comctl32.dll
// to ask). It stays, with its tests, so the unit is whole for any caller that needs it.
namespace dividra {

// Larger files aren't read: version text is asked of system DLLs, far below this.
inline constexpr std::int64_t MaxVersionFileSize = std::int64_t{64} << 20;

// The FileVersion string under the first translation of the file's version resource
// ("\StringFileInfo\" + language and code page as eight upper-case hexadecimal digits +
// "\FileVersion"), exactly as stored up to its terminating zero; non-ASCII characters read as
// '?'. Empty when the file can't be read, isn't a PE file, exceeds MaxVersionFileSize, or lacks
// the resource, the translation or the string.
std::string GetFileVersionText(platform::FileSystem& fs, std::string_view path);

} // namespace dividra
