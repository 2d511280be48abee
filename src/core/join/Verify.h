#pragma once

#include "core/join/Join.h"

// Checking a set without writing.
namespace dividra::core {

// Reads every segment of a complete set with a checksum file, marking those whose digest
// differs, and holds the whole against the source's line. Done when all match; Refused naming
// what differs; Failed or Cancelled when the reading stopped.
JoinResult CheckDigests(platform::FileSystem& fs, JoinSet& set, JoinObserver& observer);

} // namespace dividra::core
