#include "core/join/JoinSet.h"

#include "core/set/SegmentPath.h"
#include "platform/AsciiText.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

namespace dividra::core {
namespace {

Error inFile(std::string_view path, const Error& error) {
    return Error{error.code, std::string(path) + ": " + error.message};
}

// The lower-case names (long and 8.3) of the folder's entries that begin with the set's base
// name, from one listing; nothing when the folder can't be listed.
using Listing = Result<std::vector<platform::FindEntry>>;

std::optional<std::set<std::string>> namesInFolder(const Listing& found) {
    if (!found) {
        return std::nullopt;
    }
    std::set<std::string> names;
    for (const platform::FindEntry& entry : found.value()) {
        names.insert(platform::lowerAscii(entry.name));
        names.insert(platform::lowerAscii(entry.shortName));
    }
    return names;
}

SegmentEntry examineSegment(platform::FileSystem& fs, const std::string& path,
                            const std::optional<std::set<std::string>>& names) {
    SegmentEntry entry;
    entry.path = path;
    // A name the listing lacks is missing without a lookup, which would list the folder again.
    if (names && !names->contains(platform::lowerAscii(FileNamePart(path)))) {
        entry.state = SegmentState::Missing;
        return entry;
    }
    auto opened = fs.openUnlinked(path, true);
    if (!opened) {
        const ErrorCode code = opened.error().code;
        const bool missing = code == ErrorCode::NotFound || code == ErrorCode::PathNotFound;
        entry.state = missing ? SegmentState::Missing : SegmentState::Unusable;
        entry.reason = opened.error().message;
        return entry;
    }
    const auto size = opened.value()->size();
    entry.state = size ? SegmentState::Ok : SegmentState::Unusable;
    entry.size = size ? size.value() : -1;
    entry.reason = size ? std::string() : size.error().message;
    return entry;
}

// The size all but the last segment share in a folder split: the one most of them have that
// leaves the last segment between 1 byte and that size; -1 when no size fits.
std::int64_t usualSize(const JoinSet& set) {
    const auto& segments = set.segments;
    const auto others = static_cast<std::int64_t>(segments.size()) - 1;
    if (others == 0) {
        return set.info.totalSize;
    }
    std::map<std::int64_t, std::int64_t> sizes;
    for (std::int64_t i = 0; i < others; ++i) {
        if (segments[static_cast<std::size_t>(i)].size > 0) {
            ++sizes[segments[static_cast<std::size_t>(i)].size];
        }
    }
    std::int64_t usual = -1;
    std::int64_t most = 0;
    bool tie = false;
    for (const auto& [size, count] : sizes) {
        const bool fits =
            size <= set.info.totalSize / others && set.info.totalSize - size * others <= size;
        if (fits && count >= most) {
            tie = count == most;
            usual = size;
            most = count;
        }
    }
    // Diskettes of several sizes: no one size to hold a segment to; nor two that fit as well.
    return most + 1 >= others && !tie ? usual : -1;
}

// Each segment's own size, where the set's shape tells it, and only when the sizes don't add
// up: segments of a diskette set differ in size as the diskettes' free space did.
void judgeSizes(JoinSet& set) {
    const std::int64_t usual = set.sizeSum == set.info.totalSize ? -1 : usualSize(set);
    if (usual <= 0) {
        return;
    }
    const auto others = static_cast<std::int64_t>(set.segments.size()) - 1;
    for (std::size_t i = 0; i < set.segments.size(); ++i) {
        SegmentEntry& segment = set.segments[i];
        const bool last = i + 1 == set.segments.size();
        segment.expected = last ? set.info.totalSize - usual * others : usual;
        if (segment.state == SegmentState::Ok && segment.size != segment.expected) {
            segment.state = SegmentState::WrongSize;
        }
    }
}

// Files named as segments numbered from `count` on, left from an earlier, longer split.
std::vector<std::string> staleSegments(const Listing& found, const std::string& prefix,
                                       const std::string& baseName, int count) {
    std::vector<std::string> stale;
    if (!found) {
        return stale;
    }
    for (const platform::FindEntry& entry : found.value()) {
        const auto dot = entry.name.rfind('.');
        const std::string digits = entry.name.substr(dot + 1);
        const bool numbered = digits.size() >= 3 && digits.size() <= 9 &&
                              digits.find_first_not_of("0123456789") == std::string::npos;
        if (numbered && (entry.attributes & platform::attr::Directory) == 0 &&
            std::stoi(digits) >= count && SegmentExtension(std::stoi(digits)) == "." + digits &&
            platform::equalsIgnoringCase(entry.name.substr(0, dot), baseName)) {
            stale.push_back(prefix + entry.name);
        }
    }
    std::sort(stale.begin(), stale.end());
    return stale;
}

Status readChecksums(platform::FileSystem& fs, JoinSet& set) {
    const std::string path = ReplaceExtension(set.descriptorPath, kChecksumExtension);
    if (!fs.fileId(path)) {
        return {};
    }
    const auto text = ReadSmallFile(fs, path, kMaxChecksumBytes);
    if (!text) {
        return text.error();
    }
    auto lines = ReadChecksumText(text.value());
    if (!lines) {
        return inFile(path, lines.error());
    }
    std::vector<std::string> paths;
    for (const SegmentEntry& segment : set.segments) {
        paths.push_back(segment.path);
    }
    if (const Status named = CheckChecksumNames(lines.value(), paths, path); !named) {
        return named;
    }
    set.checksumPath = path;
    set.checksums = std::move(lines).value();
    return {};
}

} // namespace

std::size_t MissingCount(const JoinSet& set) {
    return static_cast<std::size_t>(
        std::count_if(set.segments.begin(), set.segments.end(),
                      [](const SegmentEntry& s) { return s.state == SegmentState::Missing; }));
}

std::string MissingCountText(const JoinSet& set) {
    return std::to_string(MissingCount(set)) + " of the " + std::to_string(set.segments.size()) +
           " segments are missing";
}

bool JoinSet::complete() const {
    return sizeSum == info.totalSize &&
           std::all_of(segments.begin(), segments.end(),
                       [](const SegmentEntry& s) { return s.state == SegmentState::Ok; });
}

Status CheckChecksumNames(const std::vector<ChecksumLine>& lines,
                          const std::vector<std::string>& segmentPaths, std::string_view path) {
    if (lines.size() != segmentPaths.size() + 1) {
        return Error{ErrorCode::InvalidArgument,
                     std::string(path) + ": " + std::to_string(lines.size()) + " lines; " +
                         std::to_string(segmentPaths.size() + 1) +
                         " expected, one per segment and one for the whole file"};
    }
    for (std::size_t i = 0; i < segmentPaths.size(); ++i) {
        const std::string_view name = FileNamePart(segmentPaths[i]);
        if (!platform::equalsIgnoringCase(lines[i].name, name)) {
            return Error{ErrorCode::InvalidArgument,
                         std::string(path) + ": line " + std::to_string(i + 1) + " names " +
                             lines[i].name + "; " + std::string(name) + " expected"};
        }
    }
    return {};
}

Result<JoinSet> ExamineJoinSet(platform::FileSystem& fs, std::string_view descriptorPath) {
    JoinSet set;
    set.descriptorPath = descriptorPath;
    const auto text = ReadSmallFile(fs, descriptorPath, kMaxDescriptorBytes);
    if (!text) {
        return text.error();
    }
    auto info = ReadDescriptorText(text.value());
    if (!info) {
        return inFile(descriptorPath, info.error());
    }
    set.info = std::move(info).value();
    const std::string name(FileNamePart(descriptorPath));
    const std::string prefix = HardDrivePrefix(FolderPart(descriptorPath));
    set.baseName = ReplaceExtension(name, "");
    const auto found = fs.find(prefix + set.baseName + ".*", platform::attr::AnyFile);
    const auto names = namesInFolder(found);
    for (int n = 0; n < set.info.segmentCount; ++n) {
        set.segments.push_back(examineSegment(fs, SegmentPath(prefix, name, n), names));
        set.sizeSum += std::max<std::int64_t>(set.segments.back().size, 0);
    }
    judgeSizes(set);
    set.stale = staleSegments(found, prefix, set.baseName, set.info.segmentCount);
    if (const Status read = readChecksums(fs, set); !read) {
        return read.error();
    }
    return set;
}

std::string SegmentStateText(const SegmentEntry& segment) {
    switch (segment.state) {
    case SegmentState::Ok:
        return "ok";
    case SegmentState::Missing:
        return "missing";
    case SegmentState::WrongSize:
        return "wrong size: " + std::to_string(segment.size) + " bytes, " +
               std::to_string(segment.expected) + " expected";
    case SegmentState::Unusable:
        return "can't be read: " + segment.reason;
    case SegmentState::DigestDiffers:
        return "checksum differs";
    }
    return {};
}

std::vector<std::string> SetProblems(const JoinSet& set) {
    std::vector<std::string> problems;
    const std::size_t missing = MissingCount(set);
    std::size_t shown = 0;
    for (const SegmentEntry& segment : set.segments) {
        if (segment.state == SegmentState::Missing && shown++ >= kMissingShown) {
            continue;
        }
        if (segment.state == SegmentState::Unusable) {
            problems.push_back("Can't read " + segment.reason);
        } else if (segment.state != SegmentState::Ok) {
            problems.push_back(segment.path + ": " + SegmentStateText(segment));
        }
    }
    if (missing > kMissingShown) {
        problems.push_back(MissingCountText(set));
    }
    if (problems.empty() && set.sizeSum != set.info.totalSize) {
        problems.push_back("The segments hold " + std::to_string(set.sizeSum) + " bytes; " +
                           set.descriptorPath + " says " + std::to_string(set.info.totalSize));
    }
    return problems;
}

} // namespace dividra::core
