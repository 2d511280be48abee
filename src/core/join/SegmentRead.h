#pragma once

#include "core/join/Join.h"
#include "core/join/JoinOutput.h"
#include "core/transfer/Transfer.h"

#include <memory>
#include <string>
#include <vector>

// The steps the join and the check share: reading a segment again, and the results they end in.
namespace dividra::core {

// Refused, with one problem a line.
JoinResult RefusedFor(const std::vector<std::string>& problems);
// Cancelled for a stop on request (ErrorCode::Cancelled), else Failed with the error's message.
JoinResult StoppedBy(const Error& error);
// "c:\in\data.001: checksum differs from c:\in\data.sha256"
std::string SegmentDiffers(const JoinSet& set, std::size_t index);

// Opens a segment again, for reading only; it must still have the size it was checked with,
// else Io "<path>: changed since it was checked".
Result<std::unique_ptr<platform::File>> ReopenSegment(platform::FileSystem& fs,
                                                      const SegmentEntry& segment);

// A segment's digest, read again from its file through `transfer`, whose consumers, progress
// and stop request take part. Errors of the reading, and Cancelled for a stop.
Result<std::string> SegmentDigest(platform::FileSystem& fs, const SegmentEntry& entry,
                                  Transfer& transfer);

} // namespace dividra::core
