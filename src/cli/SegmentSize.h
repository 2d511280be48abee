#pragma once

#include "cli/CommandOptions.h"
#include "platform/Result.h"

#include <cstdint>
#include <string>
#include <string_view>

// The segment size a command line asks for: --size with a unit, --pieces, or the options.
namespace dividra::cli {

// The largest file FAT32 holds: 4 GiB less one byte.
inline constexpr std::int64_t kMaxSegmentBytes = 4294967295;
inline constexpr int kMaxPieces = 999;

// What --size or --pieces asked for; without either, the stored default size.
struct SegmentRequest {
    std::int64_t bytes = 0; // above 0 for a size
    int pieces = 0;         // above 0 for a piece count
};

// Bytes from a --size text: decimal digits and an optional unit, K or none kilobytes, M
// megabytes, G gigabytes (of 1024), either case; from 1K to kMaxSegmentBytes. Anything else,
// "KB" and "MiB" too, is an InvalidArgument error with a message for the user.
Result<std::int64_t> ParseSegmentSize(std::string_view text);

// A --pieces text: decimal digits from 1 to kMaxPieces.
Result<int> ParsePieceCount(std::string_view text);

// --size or --pieces (they exclude each other) from the parsed arguments; neither gives the
// size the window's list starts with. Errors are InvalidArgument, without the command's name.
Result<SegmentRequest> ReadSegmentRequest(const CommandArguments& given);

// The segment size in bytes for a source of that size. Pieces: the size divided by the count,
// rounded up, so only the last piece is shorter; refused when the source has fewer bytes than
// pieces, when rounding up leaves fewer pieces than asked (10 bytes in 6 pieces), and when a
// piece would be larger than kMaxSegmentBytes.
Result<std::int64_t> SegmentBytesFor(const SegmentRequest& request, std::int64_t sourceSize);

// The segment size in kilobytes as the window's list shows it, when whole; else its bytes.
std::string SegmentSizeText(std::int64_t bytes);

} // namespace dividra::cli
