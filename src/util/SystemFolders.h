#pragma once

#include "platform/FileSystem.h"

#include <string>

// Where the program looks for the system's shared files, in the DOS view.
namespace dividra {

// Nothing calls it on Linux: its one use was to find comctl32.dll for its version, which the
// tool bar rule takes from Qt here. It stays, with its tests, so the shared unit is whole.
// The DOS path of /usr/lib/ (the Windows system folder's counterpart) in the view of `fs`,
// ending in exactly one backslash: "c:\usr\lib\". When no drive holds the folder (or `fs` has
// no host paths), the root of its first fixed drive, else "c:\".
std::string GetSystemFolder(const platform::FileSystem& fs);

// The same for /usr/share/ (the Windows folder's counterpart): "c:\usr\share\".
std::string GetWindowsFolder(const platform::FileSystem& fs);

} // namespace dividra
