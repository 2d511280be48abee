#include "settings/Defaults.h"

#include "settings/Settings.h"
#include "settings/SettingsBatch.h"
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

void writeWindowSettings(SettingsBatch& batch, const WindowBounds& bounds) {
    using namespace keys;
    batch.setInt(kWindowSettings, kTop, bounds.top);
    batch.setInt(kWindowSettings, kLeft, bounds.left);
    batch.setInt(kWindowSettings, kHeight, bounds.height);
    batch.setInt(kWindowSettings, kWidth, bounds.width);
    batch.setInt(kWindowSettings, kSourceHeaderSplit, bounds.sourceHeaderSection);
    batch.setInt(kWindowSettings, kMaximized, 0);
    batch.setInt(kWindowSettings, kDesktopHeight, 0);
    batch.setInt(kWindowSettings, kDesktopWidth, 0);
}

void writeGeneralOptions(SettingsBatch& batch) {
    using namespace keys;
    batch.setInt(kGeneralOptions, kDestinationMedia, 0);
    batch.setInt(kGeneralOptions, kSplitFinishedNotifyBy, 0);
    batch.setInt(kGeneralOptions, kSplitFinishedPlaySound, 0);
    batch.setText(kGeneralOptions, kSplitFinishedSound, "");
    batch.setInt(kGeneralOptions, kSplitFiles83Format, 0);
}

void writeSourceFileOptions(SettingsBatch& batch) {
    using namespace keys;
    batch.setText(kSourceFileOptions, kSourceFolder, "");
    batch.setInt(kSourceFileOptions, kShowFileIcons, 0);
    constexpr auto count = static_cast<std::int32_t>(std::size(kDefaultFilters));
    batch.setInt(kSourceFileOptions, kFilterCount, count);
    for (std::int32_t n = 1; n <= count; ++n) {
        batch.setText(kSourceFileOptions, FilterTypeName(n), kDefaultFilters[n - 1].type);
        batch.setText(kSourceFileOptions, FilterExtensionName(n), kDefaultFilters[n - 1].extension);
    }
}

void writeFloppyOptions(SettingsBatch& batch) {
    using namespace keys;
    batch.setText(kFloppyOptions, kFloppyDrive, "");
    batch.setInt(kFloppyOptions, kEraseDiskettes, 0);
    batch.setInt(kFloppyOptions, kNextDisketteNotifyBy, 0);
    batch.setInt(kFloppyOptions, kNextDiskettePlaySound, 0);
    batch.setText(kFloppyOptions, kNextDisketteSound, "");
    batch.setInt(kFloppyOptions, kMinimizeWhileSplitting, 0);
}

void writeHardDriveOptions(SettingsBatch& batch) {
    using namespace keys;
    batch.setText(kHardDriveOptions, kDestinationFolder, "");
    batch.setText(kHardDriveOptions, kDefaultSegmentSize, kDefaultSegmentSizeDefault);
    batch.setInt(kHardDriveOptions, kCustomSegmentSize, kCustomSegmentSizeDefault);
    batch.setInt(kHardDriveOptions, kMinimizeWhileSplitting, 0);
}

} // namespace

void WriteDefaultSettings(const WindowBounds& bounds) {
    SettingsBatch batch;
    batch.createKey(keys::kProduct);
    batch.setText(keys::kProgramInfo, keys::kVersion, kProgramVersion);
    writeWindowSettings(batch, bounds);
    writeGeneralOptions(batch);
    writeSourceFileOptions(batch);
    writeFloppyOptions(batch);
    writeHardDriveOptions(batch);
    batch.commit();
}

bool EnsureSettingsInitialised(const WindowBounds& bounds) {
    if (SettingsKeyExists(keys::kProduct, false)) {
        return false;
    }
    WriteDefaultSettings(bounds);
    return true;
}

} // namespace dividra
