#pragma once

#include "core/recovery/Par2Format.h"
#include "core/transfer/Md5.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The reader of PAR2 files that may come from anyone: whatever the bytes claim, it keeps at most
// a few MB, never fails on a damaged packet, and checks every length, count and offset first.
namespace dividra::core::par2 {

inline constexpr std::uint64_t kMaxSliceSize = std::uint64_t{1} << 30; // 1 GiB
inline constexpr std::uint32_t kMaxFiles = 32768;
inline constexpr std::uint32_t kMaxExponent = 65534;
// Packets up to this length are read whole; a longer recovery slice packet is hashed as it
// streams past, any other longer packet is skipped.
inline constexpr std::uint64_t kMaxPacketBytes = std::uint64_t{4} << 20;
// What the reader keeps of descriptions, checks and slice places over all files; packets
// beyond it are skipped.
inline constexpr std::size_t kMaxKeptBytes = std::size_t{8} << 20;

// Where one recovery slice's data lies: `source` indexes RecoverySet::sources.
struct SlicePlace {
    std::size_t source = 0;
    std::uint64_t offset = 0; // of the first data byte; sliceSize bytes follow
    bool operator==(const SlicePlace&) const = default;
};

// What the files read give of the first main packet's recovery set, checked. Names are as
// written: check them with SafeName before use.
struct RecoverySet {
    Md5Digest setId{};
    std::uint64_t sliceSize = 0;
    std::vector<Md5Digest> fileIds;                      // the main packet's order
    std::map<Md5Digest, FileEntry> files;                // of those ids, description intact
    std::map<Md5Digest, std::vector<SliceCheck>> checks; // one per slice of a file in `files`
    std::map<std::uint32_t, SlicePlace> recovery;        // by exponent, the first of each
    std::vector<std::string> sources;                    // the names given to read, in order
    // Packets not used: bad hash or length, unknown type, another set, beyond kMaxKeptBytes,
    // inconsistent (a description whose id is not its own, checks of another count, a slice
    // of another size). Repeats of a packet used are not counted.
    std::int64_t skipped = 0;
};

// Reads up to span.size() bytes onward; 0 at the end.
using ReadBytes = std::function<Result<std::size_t>(std::span<std::byte>)>;

class PacketStore;

// Takes PAR2 files one after another, then gives their recovery set.
class Par2Reader {
public:
    // Packets longer than `maxPacketBytes` are streamed or skipped (lower it to test that).
    explicit Par2Reader(std::uint64_t maxPacketBytes = kMaxPacketBytes);
    ~Par2Reader();
    Par2Reader(const Par2Reader&) = delete;
    Par2Reader& operator=(const Par2Reader&) = delete;

    // Reads one file of `size` bytes front to back (bytes past `size` are ignored). A damaged
    // packet is skipped, never an error: only the source's own error is, and what was read
    // before it stays. Packets are hashed up to about 4 times the size: a file whose headers
    // overlap so as to need more is read no further.
    Status read(std::string name, std::uint64_t size, const ReadBytes& readBytes);
    Status read(std::string name, std::string_view bytes);
    Status read(std::string name, platform::File& file); // just opened: at its start

    // The set of the first main packet found, or why there is none to use: no main packet, a
    // slice size not a multiple of 4 in 4..kMaxSliceSize, a file count not in 1..kMaxFiles, a
    // file listed twice, more than kMaxInputSlices input slices.
    Result<RecoverySet> finish() const;

private:
    std::uint64_t m_maxPacketBytes;
    std::vector<std::string> m_sources;
    std::unique_ptr<PacketStore> m_store;
};

// Whether a file description's name may be used as a relative path: not empty, not absolute,
// no ".." component, no backslash, no NUL or other control byte.
bool SafeName(std::string_view name);

} // namespace dividra::core::par2
