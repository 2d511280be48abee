#pragma once

#include "core/join/Join.h"
#include "core/transfer/ChunkWorker.h"

#include <memory>
#include <string>
#include <vector>

// The steps the join and the check share: reading a segment again, and the results they end in.
namespace dividra::core {

// Refused, with one problem a line.
JoinResult RefusedFor(const std::vector<std::string>& problems);
// Cancelled when the observer asked for it, else Failed with the error's message.
JoinResult StoppedBy(JoinObserver& observer, const Error& error);
// "c:\in\data.001: checksum differs from c:\in\data.sha256"
std::string SegmentDiffers(const JoinSet& set, std::size_t index);

// Opens a segment again, for reading only; it must still have the size it was checked with,
// else Io "<path>: changed since it was checked".
Result<std::unique_ptr<platform::File>> ReopenSegment(platform::FileSystem& fs,
                                                      const SegmentEntry& segment);

// A segment's digest, read again from its file. With a hasher, every chunk is read into its
// buffers and handed to it as well; with progress, progress is told. Errors of the reading, and
// kCancelledText when the observer asks to stop.
Result<std::string> SegmentDigest(platform::FileSystem& fs, const SegmentEntry& entry,
                                  ChunkWorker* hasher, JoinProgress* progress,
                                  JoinObserver& observer);

} // namespace dividra::core
