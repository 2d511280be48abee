#pragma once

#include "platform/RegistryTree.h"

#include <string>
#include <string_view>

// The text form of the registry tree: the registry's own export format, REGEDIT4.
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Vorlan Software\Dividra\Hard Drive Options]
//   "Default Segment Size"="1440"
//   "Custom Segment Size"=dword:00000040
//
// Data forms: REG_DWORD of exactly 4 bytes `dword:xxxxxxxx`; REG_SZ `"text"` with `\\` and
// `\"` escaped, or `hex(1):..` when the bytes aren't printable UTF-8 (control characters,
// NUL, invalid sequences); REG_BINARY `hex:..`; any other type N (REG_EXPAND_SZ included)
// `hex(N):..` with N in hexadecimal as regedit writes it. Hex bytes are two lower-case
// digits joined by commas; as in regedit, a hex line that has reached 75 characters goes on
// after `,\` and a newline, on a line that starts with two blanks (25 bytes to a full line).
namespace dividra::platform {

struct ParsedRegistry {
    RegistryTree tree;
    int badLines = 0; // lines skipped, a missing or wrong first line included
};

// Keeps whatever parses and counts the rest: a first line other than REGEDIT4 (a UTF-8 byte
// order mark is allowed), headers of other roots or with bad names (their values are skipped
// too), values before any header, malformed values, and a last line without its newline
// unless its form shows it complete (a header, a quoted text, eight dword digits). Lines may
// end in CR LF; blank lines and `;` comments are ignored. A key listed twice merges; a value
// set twice keeps the last.
ParsedRegistry parseRegistry(std::string_view text);

// The file text, "\n" line ends: "REGEDIT4\n", then per key a blank line, its header and its
// values.
std::string formatRegistry(const RegistryTree& tree);

} // namespace dividra::platform
