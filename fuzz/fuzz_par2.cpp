#include "core/recovery/Par2Reader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

using namespace dividra;
using namespace dividra::core::par2;

namespace {

// Whatever the reader accepts is in range: every slice lies whole inside the file read.
void CheckSet(const RecoverySet& set, std::uint64_t size) {
    bool sane = set.sliceSize % 4 == 0 && set.sliceSize > 0 && set.sliceSize <= kMaxSliceSize &&
                !set.fileIds.empty() && set.fileIds.size() <= kMaxFiles && set.skipped >= 0;
    for (const auto& [exponent, place] : set.recovery) {
        sane = sane && exponent <= kMaxExponent && place.source == 0 && place.offset <= size &&
               set.sliceSize <= size - place.offset;
    }
    for (const auto& [id, checks] : set.checks) {
        const FileEntry& file = set.files.at(id);
        sane = sane && checks.size() == (file.length + set.sliceSize - 1) / set.sliceSize;
    }
    if (!sane) {
        __builtin_trap();
    }
}

} // namespace

// The first byte picks the read size and the packet cap, so the streamed path and pieces that
// split every field are reached with small inputs too.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t piece = 1 + data[0] % 61;
    const std::uint64_t cap = (data[0] & 0x80) != 0 ? 128 : kMaxPacketBytes;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    Par2Reader reader(cap);
    std::size_t at = 0;
    const Status read = reader.read("x.par2", bytes.size(), [&](std::span<std::byte> buffer) {
        const std::size_t count = std::min({buffer.size(), bytes.size() - at, piece});
        std::memcpy(buffer.data(), bytes.data() + at, count);
        at += count;
        return Result<std::size_t>(count);
    });
    if (!read) {
        __builtin_trap();
    }
    const Result<RecoverySet> set = reader.finish();
    if (set) {
        CheckSet(set.value(), bytes.size());
    }
    return 0;
}
