#include "settings/Defaults.h"

#include "settings/Settings.h"
#include "settings/SettingsKeys.h"

#include <cstdint>
#include <iterator>
#include <string_view>

namespace dividra {
namespace {

constexpr std::string_view kProgramVersion = "2.00";

struct DefaultFilter {
    std::string_view type;
    std::string_view extension;
};
constexpr DefaultFilter kDefaultFilters[] = {
    {"All Files (*.*)", "*"},
    {"Zip Files (*.ZIP)", "ZIP"},
    {"EXE Files (*.EXE)", "EXE"},
};

void writeWindowSettings(const WindowBounds& bounds) {
    using namespace keys;
    WriteSettingInt(kWindowSettings, kTop, bounds.top);
    WriteSettingInt(kWindowSettings, kLeft, bounds.left);
    WriteSettingInt(kWindowSettings, kHeight, bounds.height);
    WriteSettingInt(kWindowSettings, kWidth, bounds.width);
    WriteSettingInt(kWindowSettings, kSourceHeaderSplit, bounds.sourceHeaderSection);
    WriteSettingInt(kWindowSettings, kMaximized, 0);
    WriteSettingInt(kWindowSettings, kDesktopHeight, 0);
    WriteSettingInt(kWindowSettings, kDesktopWidth, 0);
}

void writeGeneralOptions() {
    using namespace keys;
    WriteSettingInt(kGeneralOptions, kDestinationMedia, 0);
    WriteSettingInt(kGeneralOptions, kSplitFinishedNotifyBy, 0);
    WriteSettingInt(kGeneralOptions, kSplitFinishedPlaySound, 0);
    WriteSettingText(kGeneralOptions, kSplitFinishedSound, "");
    WriteSettingInt(kGeneralOptions, kSplitFiles83Format, 0);
}

void writeSourceFileOptions() {
    using namespace keys;
    WriteSettingText(kSourceFileOptions, kSourceFolder, "");
    WriteSettingInt(kSourceFileOptions, kShowFileIcons, 0);
    constexpr auto count = static_cast<std::int32_t>(std::size(kDefaultFilters));
    WriteSettingInt(kSourceFileOptions, kFilterCount, count);
    for (std::int32_t n = 1; n <= count; ++n) {
        WriteSettingText(kSourceFileOptions, FilterTypeName(n), kDefaultFilters[n - 1].type);
        WriteSettingText(kSourceFileOptions, FilterExtensionName(n),
                         kDefaultFilters[n - 1].extension);
    }
}

void writeFloppyOptions() {
    using namespace keys;
    WriteSettingText(kFloppyOptions, kFloppyDrive, "");
    WriteSettingInt(kFloppyOptions, kEraseDiskettes, 0);
    WriteSettingInt(kFloppyOptions, kNextDisketteNotifyBy, 0);
    WriteSettingInt(kFloppyOptions, kNextDiskettePlaySound, 0);
    WriteSettingText(kFloppyOptions, kNextDisketteSound, "");
    WriteSettingInt(kFloppyOptions, kMinimizeWhileSplitting, 0);
}

void writeHardDriveOptions() {
    using namespace keys;
    WriteSettingText(kHardDriveOptions, kDestinationFolder, "");
    WriteSettingText(kHardDriveOptions, kDefaultSegmentSize, kDefaultSegmentSizeDefault);
    WriteSettingInt(kHardDriveOptions, kCustomSegmentSize, kCustomSegmentSizeDefault);
    WriteSettingInt(kHardDriveOptions, kMinimizeWhileSplitting, 0);
}

} // namespace

void WriteDefaultSettings(const WindowBounds& bounds) {
    SettingsKeyExists(keys::kProduct, true);
    WriteSettingText(keys::kProgramInfo, keys::kVersion, kProgramVersion);
    writeWindowSettings(bounds);
    writeGeneralOptions();
    writeSourceFileOptions();
    writeFloppyOptions();
    writeHardDriveOptions();
}

bool EnsureSettingsInitialised(const WindowBounds& bounds) {
    if (SettingsKeyExists(keys::kProduct, false)) {
        return false;
    }
    WriteDefaultSettings(bounds);
    return true;
}

} // namespace dividra
