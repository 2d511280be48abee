#pragma once

#include "core/transfer/Md5.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The PAR2 recovery format's packets, as Dividra writes them and as its reader takes them apart:
// every integer little-endian, every field at a multiple of 4, padding zero.
namespace dividra::core::par2 {

inline constexpr std::size_t kHeaderBytes = 64;
inline constexpr std::string_view kMagic{"PAR2\0PKT", 8};
inline constexpr std::string_view kMainType{"PAR 2.0\0Main\0\0\0\0", 16};
inline constexpr std::string_view kFileDescType{"PAR 2.0\0FileDesc", 16};
inline constexpr std::string_view kIfscType{"PAR 2.0\0IFSC\0\0\0\0", 16};
inline constexpr std::string_view kRecvSlicType{"PAR 2.0\0RecvSlic", 16};
inline constexpr std::string_view kCreatorType{"PAR 2.0\0Creator\0", 16};
// The head of a file its "16k" hash covers.
inline constexpr std::size_t kHeadBytes = 16384;
inline constexpr std::int64_t kMaxInputSlices = 32768;
// Offsets in the header.
inline constexpr std::size_t kLengthAt = 8;
inline constexpr std::size_t kHashAt = 16;
inline constexpr std::size_t kSetIdAt = 32;
inline constexpr std::size_t kTypeAt = 48;

// A file of the recovery set as its description packet gives it.
struct FileEntry {
    Md5Digest id{};
    Md5Digest hash{};     // of the whole file
    Md5Digest headHash{}; // of its first kHeadBytes (the whole file when shorter)
    std::uint64_t length = 0;
    std::string name; // relative, '/' between folders
};

// The checks of one input slice, over the slice padded with zeros to the slice size.
struct SliceCheck {
    Md5Digest hash{};
    std::uint32_t crc = 0;
};

void PutU32(std::string& out, std::uint32_t value);
void PutU64(std::string& out, std::uint64_t value);
std::uint32_t GetU32(std::string_view bytes, std::size_t at); // at + 4 <= size
std::uint64_t GetU64(std::string_view bytes, std::size_t at); // at + 8 <= size
std::string_view AsText(const Md5Digest& digest);

// The file id: MD5 of the head hash, the length and the name's bytes.
Md5Digest FileIdOf(const Md5Digest& headHash, std::uint64_t length, std::string_view name);

// Bodies of the core packets. The main body's MD5 is the recovery set id; `fileIds` in the
// order given (the format wants them sorted as 16-byte numbers: see SortIds).
std::string MainBody(std::uint64_t sliceSize, const std::vector<Md5Digest>& fileIds);
std::string FileDescBody(const FileEntry& file);
std::string IfscBody(const Md5Digest& fileId, const std::vector<SliceCheck>& slices);
std::string CreatorBody(std::string_view text);
void SortIds(std::vector<Md5Digest>& ids);

// A whole packet: the header over `body` padded with zeros to a multiple of 4.
std::string Packet(const Md5Digest& setId, std::string_view type, std::string_view body);
// The 64-byte header and 4-byte exponent of a recovery slice packet whose `slice` follows.
std::string RecoveryPacketHead(const Md5Digest& setId, std::uint32_t exponent,
                               std::string_view slice);

// The slices a file of `length` bytes makes: the last one padded. sliceSize > 0.
std::uint64_t SliceCount(std::uint64_t length, std::uint64_t sliceSize);
// A slice's check hash: `hash` over the slice's `dataBytes`, then zeros up to `sliceSize`.
Md5Digest PaddedSliceHash(Md5 hash, std::int64_t dataBytes, std::int64_t sliceSize);

// The constant of input slice `index` (from 0): 2 to the index-th exponent n >= 1 with n mod 3,
// 5, 17 and 257 all non-zero. index < kMaxInputSlices.
std::uint16_t InputConstant(std::int64_t index);

} // namespace dividra::core::par2
