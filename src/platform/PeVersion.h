#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The version resource of a Windows executable or DLL (PE32 or PE32+), read from its bytes as
// the Windows version API reads it. Every offset is checked against the bytes at hand: a
// malformed or truncated image gives nothing, never a read out of bounds.
namespace dividra::platform {

// The version information block (VS_VERSIONINFO) of a PE image: the RT_VERSION resource
// (type 16), its first name, its first language. At most 64 KB, the most a block can declare.
// Nothing when the image isn't a PE file or holds no such resource.
std::optional<std::vector<std::byte>> ReadVersionResource(std::span<const std::byte> image);

// The Value of the block a path names within a version block: "\" the root's (the
// VS_FIXEDFILEINFO), "\VarFileInfo\Translation", "\StringFileInfo\040904E4\FileVersion". Keys
// compare without regard to ASCII letter case; empty path parts are skipped. A text value spans
// its declared characters, cut at the end of its block. Nothing when a key isn't there or the
// block is malformed on the way.
std::optional<std::span<const std::byte>> QueryVersionValue(std::span<const std::byte> block,
                                                            std::string_view subBlock);

// The text value at the path, up to its terminating zero (or the end of the value), UTF-16
// narrowed to single bytes: ASCII as is, every other character '?'. As stored: nothing trimmed.
std::optional<std::string> QueryVersionString(std::span<const std::byte> block,
                                              std::string_view subBlock);

} // namespace dividra::platform
