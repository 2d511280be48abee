#include "settings/StoredOptions.h"

#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "settings/SplitOptions.h"

namespace dividra {
namespace {

bool isOn(std::string_view key, std::string_view value) {
    return ReadSettingInt(key, value, 0) == 1;
}

std::string text(std::string_view key, std::string_view value) {
    return ReadSettingText(key, value, "");
}

// A sound's file when its switch is on.
std::optional<std::string> soundWhenOn(std::string_view key, std::string_view on,
                                       std::string_view sound) {
    return isOn(key, on) ? std::optional(text(key, sound)) : std::nullopt;
}

} // namespace

// Each answer reads its own values only: a split asks before every diskette.
bool StoredSplitOptions::minimizeWhileSplitting(bool toFloppy) const {
    return isOn(toFloppy ? keys::kFloppyOptions : keys::kHardDriveOptions,
                keys::kMinimizeWhileSplitting);
}

std::optional<std::string> StoredSplitOptions::nextDisketteSound() const {
    return soundWhenOn(keys::kFloppyOptions, keys::kNextDiskettePlaySound,
                       keys::kNextDisketteSound);
}

bool StoredSplitOptions::flashForNextDiskette() const {
    return isOn(keys::kFloppyOptions, keys::kNextDisketteNotifyBy);
}

std::optional<std::string> StoredSplitOptions::splitFinishedSound() const {
    return soundWhenOn(keys::kGeneralOptions, keys::kSplitFinishedPlaySound,
                       keys::kSplitFinishedSound);
}

bool StoredSplitOptions::showSplitFinished() const {
    return isOn(keys::kGeneralOptions, keys::kSplitFinishedNotifyBy);
}

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
