#include "core/set/SmallFile.h"

#include "core/transfer/SafeWrite.h"

#include <algorithm>
#include <span>

namespace dividra::core {

Result<std::string> ReadSmallFile(platform::FileSystem& fs, std::string_view path,
                                  std::size_t maxBytes) {
    auto opened = fs.openUnlinked(path, false);
    if (!opened) {
        return WithAction("Can't read", opened.error());
    }
    // Grows with the file, not the limit: a checksum file's limit is tens of megabytes.
    constexpr std::size_t kChunk = 64 * 1024;
    std::string text;
    std::size_t got = 0;
    while (got <= maxBytes) {
        text.resize(got + std::min(kChunk, maxBytes + 1 - got));
        const auto read = opened.value()->read(
            std::as_writable_bytes(std::span(text.data() + got, text.size() - got)));
        if (!read) {
            return WithAction("Can't read", read.error());
        }
        if (read.value() == 0) {
            break;
        }
        got += read.value();
    }
    if (got > maxBytes) {
        return Error{ErrorCode::InvalidArgument,
                     std::string(path) + ": larger than " + std::to_string(maxBytes) + " bytes"};
    }
    text.resize(got);
    return text;
}

Status WriteSmallFile(platform::FileSystem& fs, const std::string& path, std::string_view text,
                      std::optional<platform::FileId> sourceId) {
    if (const Status refused = CheckTarget(fs, sourceId, path); !refused) {
        return refused;
    }
    auto created = fs.createAlways(path);
    if (!created) {
        return WithAction("Can't create", created.error());
    }
    platform::File& file = *created.value();
    const Status written = CloseAfter(
        file, WriteThrough(file, path, std::as_bytes(std::span(text.data(), text.size()))));
    if (!written) {
        // A part of a descriptor would pass for a whole one.
        (void)fs.deleteFile(path);
    }
    return written;
}

} // namespace dividra::core
