#include "settings/SplitOptions.h"

#include "settings/Settings.h"
#include "settings/SettingsKeys.h"

namespace dividra {
namespace {

bool isOn(std::string_view key, std::string_view value) {
    return ReadSettingInt(key, value, 0) == 1;
}

} // namespace

bool StoredSplitOptions::minimizeWhileSplitting(bool toFloppy) const {
    return isOn(toFloppy ? keys::kFloppyOptions : keys::kHardDriveOptions,
                keys::kMinimizeWhileSplitting);
}

std::optional<std::string> StoredSplitOptions::nextDisketteSound() const {
    if (!isOn(keys::kFloppyOptions, keys::kNextDiskettePlaySound)) {
        return std::nullopt;
    }
    return ReadSettingText(keys::kFloppyOptions, keys::kNextDisketteSound, "");
}

bool StoredSplitOptions::flashForNextDiskette() const {
    return isOn(keys::kFloppyOptions, keys::kNextDisketteNotifyBy);
}

std::optional<std::string> StoredSplitOptions::splitFinishedSound() const {
    if (!isOn(keys::kGeneralOptions, keys::kSplitFinishedPlaySound)) {
        return std::nullopt;
    }
    return ReadSettingText(keys::kGeneralOptions, keys::kSplitFinishedSound, "");
}

bool StoredSplitOptions::showSplitFinished() const {
    return isOn(keys::kGeneralOptions, keys::kSplitFinishedNotifyBy);
}

} // namespace dividra
