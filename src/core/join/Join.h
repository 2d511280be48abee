#pragma once

#include "core/join/JoinObserver.h"
#include "core/join/JoinSet.h"
#include "platform/FileSystem.h"

#include <optional>
#include <string>
#include <utility>

// Putting a set of segments back together, and checking one without writing.
namespace dividra::core {

enum class JoinOutcome {
    Done,      // joined, or checked whole
    Refused,   // the set or the target isn't fit; nothing written
    Failed,    // stopped by a read or write failure; nothing left behind
    Cancelled, // stopped on request; nothing left behind
};

struct JoinResult {
    JoinResult() = default;
    JoinResult(JoinOutcome outcome, std::string message,
               std::optional<ErrorCode> cause = std::nullopt)
        : outcome(outcome), message(std::move(message)), cause(cause) {}

    JoinOutcome outcome = JoinOutcome::Done;
    std::string message; // what was done, or why not; DOS paths
    // Why a refusal came: AlreadyExists for an output that `force` would replace.
    std::optional<ErrorCode> cause;
};

struct JoinRequest {
    std::string outputFolder; // DOS path
    bool force = false;       // replace an existing output
};

// Joins a set into the folder under the descriptor's name less ".kpn" plus the source's
// extension. Refused unless the set is complete. A set with a checksum file has the whole
// hashed while it is copied (once: the whole's digest stands for every segment's); when it
// differs, the segments are read again and the refusal names the first that differs, else the
// whole's line. Only a whole, checked output takes its name; anything else removes the
// temporary.
JoinResult JoinSegments(platform::FileSystem& fs, const JoinSet& set, const JoinRequest& request,
                        JoinObserver& observer);

// The identities of a set's files: descriptor, checksum file and segments.
std::vector<platform::FileId> InputIds(const platform::FileSystem& fs, const JoinSet& set);

} // namespace dividra::core
