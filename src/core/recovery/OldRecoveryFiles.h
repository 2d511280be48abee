#pragma once

#include "core/set/OldSetFiles.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <optional>
#include <string>

// Recovery files are part of a set's commit too: those of an older split of the same name go
// before the set is rewritten, so that none describes segments being replaced.
namespace dividra::core {

// Removes the recovery files beside `descriptorPath` (NAME.par2, NAME.vol*.par2) that read as
// PAR2 files describing only segments of the set's base name (base.000 on), each only at its
// exact name, never the source, never through a link. The others stay and are listed in
// `kept`; but when the split writes recovery files of its own (`recovery`), such a file is
// refused instead (AccessDenied naming it), since one of the new ones could replace it.
Result<OldSetFiles> RemoveOldRecoveryFiles(platform::FileSystem& fs,
                                           const std::string& descriptorPath,
                                           const std::optional<platform::FileId>& sourceId,
                                           bool recovery);

} // namespace dividra::core
