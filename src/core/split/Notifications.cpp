#include "core/split/Notifications.h"

#include "core/split/SplitMessages.h"

namespace dividra::core {

void NotifyNextDiskette(SplitHost& host, const SplitOptions& options) {
    if (const auto sound = options.nextDisketteSound()) {
        host.playSound(*sound);
    }
    if (options.flashForNextDiskette() && !host.isActive()) {
        host.startFlashing();
        while (host.isFlashing()) {
            host.waitForMessages();
        }
    }
}

void PlaySplitFinishedSound(SplitHost& host, const SplitOptions& options) {
    if (const auto sound = options.splitFinishedSound()) {
        host.playSound(*sound);
    }
}

void ShowSplitFinishedMessage(SplitHost& host, const SplitOptions& options) {
    if (options.showSplitFinished()) {
        host.showInfoMessage(text::kSplitComplete);
    }
}

} // namespace dividra::core
