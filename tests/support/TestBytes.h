#pragma once

#include <cstddef>
#include <string>

namespace dividra::test {

// Bytes that differ from offset to offset (and repeat only after a long run), so a chunk
// written to the wrong place or twice shows in a comparison.
inline std::string PatternBytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 131 + i / 251) & 0xFF);
    }
    return bytes;
}

} // namespace dividra::test
