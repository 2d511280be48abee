#include "core/set/OldSetFiles.h"

#include "core/set/ChecksumFile.h"
#include "core/set/DescriptorRead.h"
#include "core/set/SegmentPath.h"
#include "core/transfer/SafeWrite.h"
#include "platform/AsciiText.h"

namespace dividra::core {
namespace {

bool isDescriptor(std::string_view text, std::string_view /*descriptorPath*/) {
    return ReadDescriptorText(text).ok();
}

// What becomes of a file of the set's name that is not the set's.
enum class Other {
    Leave,   // it is replaced at the end, as any target of a split is
    Mention, // it stays, and the split says so
    Refuse,  // the new file would replace it: the split must not start
};

// Lines naming base.000, base.001, ... and then one whole file, as a split writes them.
bool isSetChecksums(std::string_view text, std::string_view descriptorPath) {
    const auto lines = ReadChecksumText(text);
    if (!lines || lines.value().size() < 2) {
        return false;
    }
    const std::string name(FileNamePart(descriptorPath));
    const auto segmentName = [&](std::size_t n) {
        return std::string(FileNamePart(SegmentPath("", name, static_cast<int>(n))));
    };
    const std::size_t segments = lines.value().size() - 1;
    for (std::size_t n = 0; n < segments; ++n) {
        if (!platform::equalsIgnoringCase(lines.value()[n].name, segmentName(n))) {
            return false;
        }
    }
    const std::string& whole = lines.value().back().name;
    return !platform::equalsIgnoringCase(whole, segmentName(segments));
}

// Removes the file at `path` when `ours` says it is one of the set's.
Status removeIfOurs(platform::FileSystem& fs, const std::string& path,
                    const std::optional<platform::FileId>& sourceId, std::size_t maxBytes,
                    bool (*ours)(std::string_view, std::string_view), Other other,
                    OldSetFiles& result) {
    if (!FileAtExactName(fs, path, sourceId)) {
        return {};
    }
    const auto text = ReadSmallFile(fs, path, maxBytes);
    if (!text || !ours(text.value(), path)) {
        if (other == Other::Refuse) {
            return Error{ErrorCode::AccessDenied,
                         "Can't create " + path + ": a file of another kind has that name"};
        }
        if (other == Other::Mention) {
            result.kept.push_back("Kept " + path + ": it is not a file of this set");
        }
        return {};
    }
    if (const Status removed = fs.deleteFile(path); !removed) {
        return WithAction("Can't remove", removed.error());
    }
    result.removed = true;
    return {};
}

} // namespace

std::optional<platform::FileId> FileAtExactName(const platform::FileSystem& fs,
                                                const std::string& path,
                                                const std::optional<platform::FileId>& sourceId) {
    const auto replaced = fs.probeCreate(path);
    if (!replaced || !replaced.value() || replaced.value() == sourceId ||
        fs.fileId(path) != replaced.value()) {
        return std::nullopt;
    }
    return replaced.value();
}

Result<OldSetFiles> RemoveOldSetFiles(platform::FileSystem& fs, const std::string& descriptorPath,
                                      const std::optional<platform::FileId>& sourceId,
                                      bool checksums) {
    OldSetFiles result;
    if (const Status done = removeIfOurs(fs, descriptorPath, sourceId, kMaxDescriptorBytes,
                                         isDescriptor, Other::Leave, result);
        !done) {
        return done.error();
    }
    if (const Status done = removeIfOurs(fs, ReplaceExtension(descriptorPath, kChecksumExtension),
                                         sourceId, kMaxChecksumBytes, isSetChecksums,
                                         checksums ? Other::Refuse : Other::Mention, result);
        !done) {
        return done.error();
    }
    return result;
}

} // namespace dividra::core
