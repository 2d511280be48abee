#pragma once

#include <QString>
#include <cstdint>
#include <string_view>

// The main window's small rules that need no window.
namespace dividra::ui {

// Whether a common-controls version text allows the flat tool bar: 4.70 and later. The major
// number is the text before the first ".", the minor the text after it up to the next ".";
// a text without "." allows nothing.
bool FlatToolBarFromVersion(std::string_view versionText);

// "1.50 KB", "1024.00 KB", "1.00 MB": bytes / 1024, and again / 1024 above 1024, "%3.2f".
QString FileSizeText(std::int64_t bytes);

// The same steps with " kb" and " MB" for a drive's free bytes; -1 (unknown) shows "-0.00 kb".
// The figure is 64-bit, so 2 GB and more show their true size.
QString FreeSpaceText(std::int64_t freeBytes);

} // namespace dividra::ui
