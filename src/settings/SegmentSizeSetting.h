#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The segment size the options keep: the list's entries, the custom size's range, and what the
// settings hold, read by the same rules for the window, the options dialog and the terminal.
namespace dividra {

// The entries of the segment size list, in kilobytes, and the entry that takes a custom size.
inline constexpr std::string_view kCustomSegmentEntry = "Custom";
inline constexpr std::array<std::string_view, 5> kSegmentSizeListEntries{
    "1420", "1180", "710", "350", kCustomSegmentEntry};
inline constexpr std::int32_t kMinCustomKilobytes = 1;
inline constexpr std::int32_t kMaxCustomKilobytes = 1024;

// A custom segment size as the window keeps it: below kMinCustomKilobytes (0 for an empty field)
// the least, above kMaxCustomKilobytes the greatest, else `kilobytes`.
std::int32_t CustomKilobytesInRange(std::int32_t kilobytes);

// The segment size list's entry a stored text selects: the entry equal to it without regard to
// letter case, else the first entry ("1440", say, selects "1420").
std::string_view MatchSegmentSizeEntry(std::string_view storedText);

// The segment size the options hold: the list entry "Default Segment Size" selects and the
// custom size stored beside it, as stored (the window shows it so).
struct StoredSegmentSize {
    std::string_view entry;
    std::int32_t customKilobytes = 0;
};
StoredSegmentSize ReadStoredSegmentSize();

// The kilobytes a split takes when none are given: the entry's, or for the custom entry the
// custom size kept in range, as the window keeps its field.
std::int32_t StoredSegmentKilobytes();

} // namespace dividra
