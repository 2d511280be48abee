#include "settings/SegmentSizeSetting.h"

#include "platform/AsciiText.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "util/NumberText.h"

#include <algorithm>
#include <string>

namespace dividra {

std::string_view MatchSegmentSizeEntry(std::string_view storedText) {
    for (std::string_view entry : kSegmentSizeListEntries) {
        if (platform::equalsIgnoringCase(entry, storedText)) {
            return entry;
        }
    }
    return kSegmentSizeListEntries.front();
}

std::int32_t CustomKilobytesInRange(std::int32_t kilobytes) {
    return std::clamp(kilobytes, kMinCustomKilobytes, kMaxCustomKilobytes);
}

StoredSegmentSize ReadStoredSegmentSize() {
    const std::string stored = ReadSettingText(keys::kHardDriveOptions, keys::kDefaultSegmentSize,
                                               keys::kDefaultSegmentSizeDefault);
    return {MatchSegmentSizeEntry(stored),
            ReadSettingInt(keys::kHardDriveOptions, keys::kCustomSegmentSize,
                           keys::kCustomSegmentSizeDefault)};
}

std::int32_t StoredSegmentKilobytes() {
    const StoredSegmentSize stored = ReadStoredSegmentSize();
    return stored.entry == kCustomSegmentEntry ? CustomKilobytesInRange(stored.customKilobytes)
                                               : TextToInt(stored.entry);
}

} // namespace dividra
