#include "core/recovery/OldRecoveryFiles.h"

#include "core/recovery/Par2Reader.h"
#include "core/recovery/RecoveryCheck.h"
#include "core/set/SegmentPath.h"
#include "core/transfer/SafeWrite.h"
#include "platform/AsciiText.h"

#include <algorithm>

namespace dividra::core {
namespace {

// "data.000" to "data.999" for the base "data".
bool IsSegmentName(std::string_view name, std::string_view base) {
    return name.size() == base.size() + 4 &&
           platform::equalsIgnoringCase(name.substr(0, base.size()), base) &&
           name[base.size()] == '.' &&
           std::all_of(name.end() - 3, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool DescribesOnlySegments(platform::FileSystem& fs, const std::string& path,
                           std::string_view base) {
    auto file = fs.openUnlinked(path, true);
    par2::Par2Reader reader;
    if (!file || !reader.read(path, *file.value())) {
        return false;
    }
    const auto set = reader.finish();
    return set && set.value().files.size() == set.value().fileIds.size() &&
           std::all_of(set.value().files.begin(), set.value().files.end(),
                       [&](const auto& entry) { return IsSegmentName(entry.second.name, base); });
}

} // namespace

Result<OldSetFiles> RemoveOldRecoveryFiles(platform::FileSystem& fs,
                                           const std::string& descriptorPath,
                                           const std::optional<platform::FileId>& sourceId,
                                           bool recovery) {
    OldSetFiles result;
    const auto paths = RecoveryFilesBeside(fs, descriptorPath);
    if (!paths) {
        return result; // a folder that can't be looked at holds nothing of ours
    }
    const std::string_view name = FileNamePart(descriptorPath);
    const std::string_view base = name.substr(0, name.rfind('.'));
    for (const std::string& path : paths.value()) {
        if (!FileAtExactName(fs, path, sourceId)) {
            continue;
        }
        if (!DescribesOnlySegments(fs, path, base)) {
            if (recovery) {
                return Error{ErrorCode::AccessDenied, "Can't create the recovery files beside " +
                                                          descriptorPath + ": " + path +
                                                          " is not a file of this set"};
            }
            result.kept.push_back("Kept " + path + ": it is not a file of this set");
            continue;
        }
        if (const Status removed = fs.deleteFile(path); !removed) {
            return WithAction("Can't remove", removed.error());
        }
        result.removed = true;
    }
    return result;
}

} // namespace dividra::core
