#pragma once

#include "core/join/Join.h"
#include "platform/FileSystem.h"

#include <string>
#include <string_view>

// Joining a set from diskettes: segment n - 1 on diskette n, the descriptor (and checksum file)
// on the last diskette or on one after it.
namespace dividra::core {

class DisketteJoinObserver : public JoinObserver {
public:
    // Asks for diskette `number` ("Please insert diskette #2 ..."), after `problem` with the
    // one in the drive when there was one; false to stop.
    virtual bool askForDiskette(int number, std::string_view problem) = 0;
    // Once diskette `number` (not the first) can't be had: its prompt was cancelled after
    // `problem` with the diskette in the drive, or reading it failed (`problem`):
    // true to go on without it, its segment to be rebuilt from the set's recovery volumes on
    // the diskettes after the descriptor. The join then asks for those too.
    virtual bool askToSkip(int /*number*/, std::string_view /*problem*/) { return false; }
};

struct DisketteJoinRequest {
    std::string drive;        // "a:"
    std::string name;         // the set's base name; empty for the only set on diskette #1
    std::string outputFolder; // DOS path
    bool force = false;       // replace an existing output
};

// Copies each diskette's segment onto a temporary beside the output as the diskettes come,
// hashing them, until one holds the descriptor. The output takes its name (from the
// descriptor's extension) only when the count, total and, with a checksum file, every digest
// match; anything else removes the temporary. After a skipped diskette the segments and recovery
// files are kept aside in the output folder instead, the lost ones rebuilt and the whole joined
// from there; refused when the recovery files can't rebuild them.
JoinResult JoinFromDiskettes(platform::FileSystem& fs, const DisketteJoinRequest& request,
                             DisketteJoinObserver& observer);

} // namespace dividra::core
