#include "core/split/Notifications.h"

#include "core/split/SplitMessages.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"

namespace dividra::core {
namespace {

bool isOn(std::string_view key, std::string_view value) {
    return ReadSettingInt(key, value, 0) == 1;
}

} // namespace

void NotifyNextDiskette(SplitHost& host) {
    if (isOn(keys::kFloppyOptions, keys::kNextDiskettePlaySound)) {
        host.playSound(ReadSettingText(keys::kFloppyOptions, keys::kNextDisketteSound, ""));
    }
    if (isOn(keys::kFloppyOptions, keys::kNextDisketteNotifyBy) && !host.isActive()) {
        host.startFlashing();
        while (host.isFlashing()) {
            host.waitForMessages();
        }
    }
}

void PlaySplitFinishedSound(SplitHost& host) {
    if (isOn(keys::kGeneralOptions, keys::kSplitFinishedPlaySound)) {
        host.playSound(ReadSettingText(keys::kGeneralOptions, keys::kSplitFinishedSound, ""));
    }
}

void ShowSplitFinishedMessage(SplitHost& host) {
    if (isOn(keys::kGeneralOptions, keys::kSplitFinishedNotifyBy)) {
        host.showInfoMessage(text::kSplitComplete);
    }
}

} // namespace dividra::core
