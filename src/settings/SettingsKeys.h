#pragma once

#include "util/NumberText.h"

#include <cstdint>
#include <string>
#include <string_view>

// Every key path (relative to HKEY_CURRENT_USER) and value name the program stores, written
// once here.
namespace dividra::keys {

inline constexpr std::string_view kProduct = "Software\\Vorlan Software\\Dividra";
inline constexpr std::string_view kGeneralOptions =
    "Software\\Vorlan Software\\Dividra\\General Options";
inline constexpr std::string_view kSourceFileOptions =
    "Software\\Vorlan Software\\Dividra\\Source File Options";
inline constexpr std::string_view kFloppyOptions =
    "Software\\Vorlan Software\\Dividra\\Floppy Options";
inline constexpr std::string_view kHardDriveOptions =
    "Software\\Vorlan Software\\Dividra\\Hard Drive Options";
inline constexpr std::string_view kWindowSettings =
    "Software\\Vorlan Software\\Dividra\\Window Settings";
inline constexpr std::string_view kProgramInfo = "Software\\Vorlan Software\\Dividra\\Program Info";

// The subkeys are spelt out in full so each reads as stored; these keep them under kProduct.
constexpr bool IsProductSubkey(std::string_view key) {
    return key.size() > kProduct.size() + 1 && key.starts_with(kProduct) &&
           key[kProduct.size()] == '\\';
}
static_assert(IsProductSubkey(kGeneralOptions) && IsProductSubkey(kSourceFileOptions) &&
              IsProductSubkey(kFloppyOptions) && IsProductSubkey(kHardDriveOptions) &&
              IsProductSubkey(kWindowSettings) && IsProductSubkey(kProgramInfo));

// Program Info
inline constexpr std::string_view kVersion = "Version";

// Window Settings
inline constexpr std::string_view kTop = "Top";
inline constexpr std::string_view kLeft = "Left";
inline constexpr std::string_view kHeight = "Height";
inline constexpr std::string_view kWidth = "Width";
inline constexpr std::string_view kSourceHeaderSplit = "Source Header Split";
inline constexpr std::string_view kMaximized = "Maximized";
inline constexpr std::string_view kDesktopHeight = "Desktop Height";
inline constexpr std::string_view kDesktopWidth = "Desktop Width";

// General Options
inline constexpr std::string_view kDestinationMedia = "Destination Media";
inline constexpr std::string_view kSplitFinishedNotifyBy = "Split Finished Notify By";
inline constexpr std::string_view kSplitFinishedPlaySound = "Split Finished Play Sound";
inline constexpr std::string_view kSplitFinishedSound = "Split Finished Sound";
inline constexpr std::string_view kSplitFiles83Format = "Split files in 8.3 format";

// Source File Options (and the numbered filter names below)
inline constexpr std::string_view kSourceFolder = "Source Folder";
inline constexpr std::string_view kShowFileIcons = "Show File Icons";
inline constexpr std::string_view kFilterCount = "Filter Count";

// Floppy Options
inline constexpr std::string_view kFloppyDrive = "Floppy Drive";
inline constexpr std::string_view kEraseDiskettes = "Erase Diskettes";
inline constexpr std::string_view kNextDisketteNotifyBy = "Next Diskette Notify By";
inline constexpr std::string_view kNextDiskettePlaySound = "Next Diskette Play Sound";
inline constexpr std::string_view kNextDisketteSound = "Next Diskette Sound";

// Floppy Options and Hard Drive Options
inline constexpr std::string_view kMinimizeWhileSplitting = "Minimize While Splitting";

// Hard Drive Options
inline constexpr std::string_view kDestinationFolder = "Destination Folder";
inline constexpr std::string_view kDefaultSegmentSize = "Default Segment Size";
inline constexpr std::string_view kCustomSegmentSize = "Custom Segment Size";
// Their first-run values, which are also what their readers fall back to. "1440" matches no
// entry of the segment size list on purpose: a fresh profile starts at the first entry.
inline constexpr std::string_view kDefaultSegmentSizeDefault = "1440";
inline constexpr std::int32_t kCustomSegmentSizeDefault = 64;

// "Filter<n> Type": the description a filter list shows, e.g. "Zip Files (*.ZIP)".
inline std::string FilterTypeName(std::int32_t n) {
    return "Filter" + IntToText(n) + " Type";
}

// "Filter<n> Extension": the extension the filter lists, e.g. "ZIP", or "*".
inline std::string FilterExtensionName(std::int32_t n) {
    return "Filter" + IntToText(n) + " Extension";
}

} // namespace dividra::keys
