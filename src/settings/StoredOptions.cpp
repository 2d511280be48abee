#include "settings/StoredOptions.h"

#include "settings/Settings.h"
#include "settings/SettingsKeys.h"

namespace dividra {
namespace {

bool isOn(std::string_view key, std::string_view value) {
    return ReadSettingInt(key, value, 0) == 1;
}

std::string text(std::string_view key, std::string_view value) {
    return ReadSettingText(key, value, "");
}

} // namespace

GeneralOptions ReadGeneralOptions() {
    using namespace keys;
    return {ReadSettingInt(kGeneralOptions, kDestinationMedia, 0) != 0,
            isOn(kGeneralOptions, kSplitFinishedNotifyBy),
            isOn(kGeneralOptions, kSplitFinishedPlaySound),
            text(kGeneralOptions, kSplitFinishedSound), isOn(kGeneralOptions, kSplitFiles83Format)};
}

std::int32_t ReadFilterCount() {
    return ReadSettingInt(keys::kSourceFileOptions, keys::kFilterCount, 0);
}

StoredFilter ReadFilter(std::int32_t n) {
    return {text(keys::kSourceFileOptions, keys::FilterTypeName(n)),
            text(keys::kSourceFileOptions, keys::FilterExtensionName(n))};
}

SourceFileOptions ReadSourceFileOptions() {
    return {text(keys::kSourceFileOptions, keys::kSourceFolder),
            isOn(keys::kSourceFileOptions, keys::kShowFileIcons)};
}

FloppyOptions ReadFloppyOptions() {
    using namespace keys;
    return {
        text(kFloppyOptions, kFloppyDrive),          isOn(kFloppyOptions, kEraseDiskettes),
        isOn(kFloppyOptions, kNextDisketteNotifyBy), isOn(kFloppyOptions, kNextDiskettePlaySound),
        text(kFloppyOptions, kNextDisketteSound),    isOn(kFloppyOptions, kMinimizeWhileSplitting)};
}

HardDriveOptions ReadHardDriveOptions() {
    return {text(keys::kHardDriveOptions, keys::kDestinationFolder), ReadStoredSegmentSize(),
            isOn(keys::kHardDriveOptions, keys::kMinimizeWhileSplitting)};
}

} // namespace dividra
