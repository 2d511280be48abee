#pragma once

#include <string>

// Where the program looks for the system's shared files, in the DOS view.
namespace dividra {

// The DOS path of /usr/lib/ (the Windows system folder's counterpart), through the drive table
// of the environment, ending in exactly one backslash: "c:\usr\lib\". When no drive holds the
// folder (or the table can't be read), the root of the first fixed drive, else "c:\".
std::string GetSystemFolder();

// The same for /usr/share/ (the Windows folder's counterpart): "c:\usr\share\".
std::string GetWindowsFolder();

} // namespace dividra
