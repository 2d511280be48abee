#pragma once

#include "core/recovery/Par2Reader.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// A set's files held against its recovery files: which slices are there and intact, which must
// be rebuilt, and whether the recovery slices at hand suffice.
namespace dividra::core {

enum class ProtectedState {
    Ok,           // every byte as the recovery files describe it
    Missing,      // no such file
    Damaged,      // there, but some slices differ or the length does
    NotProtected, // a segment the recovery files don't describe
};

// One file of the recovery set, or one segment of the descriptor the set doesn't describe.
struct ProtectedFile {
    std::string path;     // DOS path in the descriptor's folder; empty when the name is unsafe
    std::string name;     // as the recovery files name it (the segment's name)
    bool segment = false; // one of the descriptor's segments: the only files ever written
    ProtectedState state = ProtectedState::Missing;
    std::int64_t length = 0;      // as described
    std::int64_t firstSlice = 0;  // its first input slice's number
    std::vector<bool> goodSlices; // per slice: there and intact
};

struct RecoveryState {
    par2::RecoverySet set;
    std::vector<std::string> recoveryPaths; // the recovery files read, DOS paths
    std::vector<ProtectedFile> files; // the set's files in its order, then unprotected segments
    std::int64_t slicesNeeded = 0;    // input slices to rebuild
    std::int64_t slicesAvailable = 0; // recovery slices at hand

    bool whole() const;
    // Every damaged or missing segment described, and enough recovery slices.
    bool repairable() const;
};

// Looks for the recovery files of the descriptor's set beside it (NAME.par2, NAME.vol*.par2;
// the folder listed once), reads them and every file they describe that is there. NotFound when
// there are none; a recovery file that can't be opened or read stops it, naming its path.
// `stop` ends the reading (Cancelled).
Result<RecoveryState> CheckAgainstRecovery(platform::FileSystem& fs,
                                           const std::string& descriptorPath,
                                           const std::vector<std::string>& segmentPaths,
                                           const std::function<bool()>& stop);

// Where the set's file of a name is read (and, for a segment, rebuilt); empty: nowhere.
using PathOf = std::function<std::string(std::string_view name)>;

// As CheckAgainstRecovery over files wherever they are: the recovery files `recoveryPaths`, and
// the set's files where `pathOf` puts them, `names` those of the descriptor's segments.
Result<RecoveryState> CheckRecoveryFiles(platform::FileSystem& fs,
                                         const std::vector<std::string>& recoveryPaths,
                                         const std::vector<std::string>& names,
                                         const PathOf& pathOf, const std::function<bool()>& stop);

// The recovery files beside the descriptor: NAME.par2 first, then NAME.vol*.par2 by name (the
// folder listed once), as DOS paths; none is no error.
Result<std::vector<std::string>> RecoveryFilesBeside(const platform::FileSystem& fs,
                                                     const std::string& descriptorPath);

// Whether the file at `path` holds exactly `length` bytes whose MD5 is `hash`; a failed read
// is an error naming the path.
Result<bool> FileMatches(platform::FileSystem& fs, const std::string& path, std::int64_t length,
                         const Md5Digest& hash, const std::function<bool()>& stop);

// "ok", "missing", "damaged: 2 of 5 slices", "not protected by the recovery files"
std::string ProtectedStateText(const ProtectedFile& file);

} // namespace dividra::core
