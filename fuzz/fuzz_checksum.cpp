#include "core/set/ChecksumFile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

bool lowerHex(std::string_view digest) {
    return digest.size() == 64 &&
           digest.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

} // namespace

// Accepted lines have a lower-case digest and a bare name, and written back they read the same.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dividra::core;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto read = ReadChecksumText(text);
    if (!read) {
        return 0;
    }
    const auto& lines = read.value();
    for (const auto& line : lines) {
        if (!lowerHex(line.digest) || line.name.empty() ||
            line.name.find_first_of("/\\") != std::string::npos) {
            __builtin_trap();
        }
    }
    const auto again = ReadChecksumText(ChecksumText(lines));
    if (!again || again.value().size() != lines.size()) {
        __builtin_trap();
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto& back = again.value()[i];
        if (back.digest != lines[i].digest || back.name != lines[i].name) {
            __builtin_trap();
        }
    }
    return 0;
}
