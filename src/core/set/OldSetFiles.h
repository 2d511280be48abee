#pragma once

#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <optional>
#include <string>
#include <vector>

// The descriptor is a set's commit record: before a split rewrites a set, the descriptor (and
// checksum file) of that name goes, so that none stands over segments being replaced.
namespace dividra::core {

struct OldSetFiles {
    bool removed = false;          // something went: the folder wants a flush
    std::vector<std::string> kept; // one line per file of the set's names left alone, and why
};

// Removes, from the folder of `descriptorPath`, the descriptor of that name when it reads as
// one, and the checksum file of that name when it names segments of the set's base name from
// .000 on and then one whole file, as a split writes it. Only the file that the exact name
// reaches (what a create of that name would replace), never the source's `sourceId`, never
// through a link. Anything else stays and is listed in `kept`; but with `checksums` a checksum
// file of another kind, which the new one would replace, is refused (AccessDenied naming it).
// A name that can't be looked at (no medium, say) counts as holding nothing. Fails when a file
// that must go can't be removed, naming it.
// The regular file a create of `path` would replace, when it is not the source's `sourceId`
// (and not reached through a link); nullopt when there is none.
std::optional<platform::FileId> FileAtExactName(const platform::FileSystem& fs,
                                                const std::string& path,
                                                const std::optional<platform::FileId>& sourceId);

Result<OldSetFiles> RemoveOldSetFiles(platform::FileSystem& fs, const std::string& descriptorPath,
                                      const std::optional<platform::FileId>& sourceId,
                                      bool checksums);

} // namespace dividra::core
