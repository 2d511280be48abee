#include "cli/SegmentSize.h"

#include "core/split/SegmentPlan.h"
#include "settings/SegmentSizeSetting.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "util/NumberText.h"

#include <optional>

namespace dividra::cli {
namespace {

Error badInput(const std::string& message) {
    return Error{ErrorCode::InvalidArgument, message};
}

// The value of leading decimal digits, stopping above `limit`; nothing without digits.
std::optional<std::int64_t> leadingNumber(std::string_view digits, std::int64_t limit) {
    if (digits.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
        if (value > limit) {
            return limit + 1; // stops before it could overflow
        }
    }
    return value;
}

// Bytes per unit of a --size suffix; 0 for a suffix that is none.
std::int64_t unitBytes(char suffix) {
    switch (suffix) {
    case 'k':
    case 'K':
        return std::int64_t{1} << 10;
    case 'm':
    case 'M':
        return std::int64_t{1} << 20;
    case 'g':
    case 'G':
        return std::int64_t{1} << 30;
    default:
        return 0;
    }
}

} // namespace

Result<std::int64_t> ParseSegmentSize(std::string_view text) {
    const bool suffixed = !text.empty() && unitBytes(text.back()) != 0;
    const std::int64_t unit = suffixed ? unitBytes(text.back()) : unitBytes('K');
    const auto count =
        leadingNumber(suffixed ? text.substr(0, text.size() - 1) : text, kMaxSegmentBytes);
    // The limit is in bytes: 4095M and 4194303K pass, 4G and 4096M are one byte too many.
    if (count && *count > 0 && *count <= kMaxSegmentBytes / unit) {
        return *count * unit;
    }
    return badInput("bad segment size \"" + std::string(text) +
                    "\"; give kilobytes (350, 64K), megabytes (700M) or gigabytes (1G), "
                    "at least 1K and below 4G");
}

Result<int> ParsePieceCount(std::string_view text) {
    const auto count = leadingNumber(text, kMaxPieces);
    if (count && *count >= 1 && *count <= kMaxPieces) {
        return static_cast<int>(*count);
    }
    return badInput("bad piece count \"" + std::string(text) + "\"; give 1 to 999");
}

Result<SegmentRequest> ReadSegmentRequest(const CommandArguments& given) {
    const auto size = ValueOf(given, "--size");
    const auto pieces = ValueOf(given, "--pieces");
    if (size && pieces) {
        return badInput("--size and --pieces exclude each other");
    }
    if (pieces) {
        const auto count = ParsePieceCount(*pieces);
        return count ? Result<SegmentRequest>(SegmentRequest{0, count.value()}) : count.error();
    }
    if (size) {
        const auto bytes = ParseSegmentSize(*size);
        return bytes ? Result<SegmentRequest>(SegmentRequest{bytes.value(), 0}) : bytes.error();
    }
    return SegmentRequest{core::KilobytesToBytes(StoredSegmentKilobytes()), 0};
}

Result<std::int64_t> SegmentBytesFor(const SegmentRequest& request, std::int64_t sourceSize) {
    if (request.pieces <= 0) {
        return request.bytes;
    }
    const std::string asked = "--pieces " + std::to_string(request.pieces);
    if (sourceSize < request.pieces) {
        return badInput(asked + " is more than the " + std::to_string(sourceSize) +
                        " bytes of the source; each piece needs at least one byte");
    }
    const std::int64_t bytes =
        sourceSize / request.pieces + (sourceSize % request.pieces != 0 ? 1 : 0);
    const std::int64_t made = core::SegmentCount(sourceSize, bytes);
    if (made != request.pieces) {
        // Only the last piece may be shorter, so some counts can't be met exactly.
        return badInput(asked + ": " + std::to_string(sourceSize) + " bytes in pieces of " +
                        std::to_string(bytes) + " make " + std::to_string(made) + ", not " +
                        std::to_string(request.pieces));
    }
    if (bytes > kMaxSegmentBytes) {
        return badInput(asked + " makes pieces of " + std::to_string(bytes) +
                        " bytes, above the largest segment of 4294967295 (4G less 1 byte)");
    }
    return bytes;
}

std::string SegmentSizeText(std::int64_t bytes) {
    return bytes % 1024 == 0 ? std::to_string(bytes / 1024) : std::to_string(bytes);
}

} // namespace dividra::cli
