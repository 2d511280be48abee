#pragma once

#include "core/join/Join.h"
#include "core/join/JoinOutput.h"
#include "core/recovery/Repair.h"
#include "core/set/DescriptorRead.h"
#include "core/transfer/TempFile.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// A diskette join after a diskette was skipped: the segments read and the recovery files kept
// aside in the output folder under temporary names, the lost segments rebuilt from them at the
// end and the whole joined from what is aside. Everything aside goes when this does.
namespace dividra::core {

class DisketteAside {
public:
    // `prefix`: the output folder's, "c:\joined\". `stop` ends any copy (Cancelled).
    DisketteAside(platform::FileSystem& fs, std::string prefix, std::function<bool()> stop);

    // The segments already appended to the join's temporary at `joinedPath`, of these names and
    // lengths in order, copied out of it.
    Status keepJoined(const std::string& joinedPath,
                      const std::vector<std::pair<std::string, std::int64_t>>& segments);
    // A file of the set on a diskette (a segment or a recovery file), copied aside whole.
    Status keep(const std::string& path);
    // Every recovery file beside the descriptor on the diskette not kept yet; how many.
    Result<int> keepRecoveryFiles(const std::string& descriptorPath);

    // The set of `names` held against the recovery files kept.
    Result<RecoveryState> check(const std::vector<std::string>& names) const;
    // Rebuilds what `state` finds lost, then joins every segment of `names` in order into a
    // new temporary of `writer`'s kind, renamed to `outputName` as the writer would be.
    JoinResult join(const RecoveryState& state, const std::vector<std::string>& names,
                    const std::string& outputFolder, const std::string& outputName, bool force,
                    JoinObserver& observer);

private:
    Status copy(platform::File& from, const std::string& fromPath, std::int64_t length,
                const std::string& name);
    std::string pathOf(std::string_view name) const;

    platform::FileSystem& m_fs;
    std::string m_prefix;
    std::function<bool()> m_stop;
    std::map<std::string, std::unique_ptr<TempFile>> m_kept; // by name
    std::vector<std::string> m_recovery;                     // their temporary paths
};

} // namespace dividra::core
