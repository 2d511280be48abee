#pragma once

#include "core/recovery/RecoveryCheck.h"
#include "core/transfer/TempFile.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Rebuilding a set's lost or damaged segments from its recovery slices.
namespace dividra::core {

// The most input slices one repair rebuilds: its matrix grows with their square.
inline constexpr std::int64_t kMaxRepairSlices = 1024;

// Rebuilds every missing or damaged segment of `state` in place: each is written under a
// temporary name beside it, forced to the disk and read back against the hash the recovery
// files give, and only when all are whole do they take their names (then the folder is
// flushed). Files of the set that are not segments of the descriptor are read, never written.
// Refused, nothing changed, when the recovery slices don't suffice ("3 slices must be rebuilt
// and the recovery files hold 2"); a failure or a stop (Cancelled) leaves every segment as it
// was. The names of the segments rebuilt, in order.
Result<std::vector<std::string>> RepairSegments(platform::FileSystem& fs,
                                                const RecoveryState& state,
                                                const std::function<bool()>& stop);

// Copies of a set's lost segments, rebuilt under temporary names, for a join that must not
// change the set; destroying this removes them.
struct RebuiltAside {
    std::vector<std::string> names; // of the segments rebuilt, as the recovery files name them
    std::vector<std::string> paths; // where each copy is, under its temporary name
    std::vector<std::unique_ptr<TempFile>> files;
};

// As RepairSegments, but each rebuilt segment is left under a temporary name in the folder
// `prefix` ("c:\joined"), checked and closed, and the set itself is not touched.
Result<RebuiltAside> RebuildAside(platform::FileSystem& fs, const RecoveryState& state,
                                  const std::string& prefix, const std::function<bool()>& stop);

// Solves x * matrix = identity in GF(2^16), row-major n x n; nullopt when it is singular.
std::optional<std::vector<std::uint16_t>> InvertMatrix(std::vector<std::uint16_t> matrix,
                                                       std::size_t n);

} // namespace dividra::core
