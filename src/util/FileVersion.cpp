#include "util/FileVersion.h"

#include "platform/FileSystem.h"
#include "platform/PeVersion.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

namespace dividra {
namespace {

std::optional<std::vector<std::byte>> readWholeFile(platform::FileSystem& fs,
                                                    std::string_view path) {
    auto file = fs.openReadShared(path);
    if (!file) {
        return std::nullopt;
    }
    const auto size = file.value()->size();
    if (!size || size.value() > MaxVersionFileSize) {
        return std::nullopt;
    }
    std::vector<std::byte> bytes(static_cast<std::size_t>(size.value()));
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const auto got = file.value()->read(std::span(bytes).subspan(filled));
        if (!got) {
            return std::nullopt;
        }
        if (got.value() == 0) {
            break; // shrank since its size was taken: parse what is there
        }
        filled += got.value();
    }
    bytes.resize(filled);
    return bytes;
}

std::string fileVersionOf(std::span<const std::byte> block) {
    const auto translation = platform::QueryVersionValue(block, "\\VarFileInfo\\Translation");
    if (!translation || translation->size() < 4) {
        return {};
    }
    const auto byteAt = [&](std::size_t i) { return std::to_integer<unsigned>((*translation)[i]); };
    const unsigned language = byteAt(0) | byteAt(1) << 8;
    const unsigned codePage = byteAt(2) | byteAt(3) << 8;
    char query[64];
    std::snprintf(query, sizeof query, "%s%.4X%.4X%s", "\\StringFileInfo\\", language, codePage,
                  "\\FileVersion");
    return platform::QueryVersionString(block, query).value_or(std::string());
}

} // namespace

std::string GetFileVersionText(platform::FileSystem& fs, std::string_view path) {
    const auto image = readWholeFile(fs, path);
    if (!image) {
        return {};
    }
    const auto block = platform::ReadVersionResource(*image);
    return block ? fileVersionOf(*block) : std::string();
}

} // namespace dividra
