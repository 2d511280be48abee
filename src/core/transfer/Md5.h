#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

// MD5 for the recovery files, whose format names it; its implementation stays behind this
// header. Copyable: a copy goes on from the same point (a file's hash and its padded slice's).
namespace dividra::core {

using Md5Digest = std::array<std::uint8_t, 16>;

class Md5 {
public:
    Md5();
    ~Md5();
    Md5(const Md5& other);
    Md5& operator=(const Md5& other);

    // Adds bytes to what the digest covers; any length, an empty span too.
    void update(std::span<const std::byte> bytes);
    void update(std::string_view bytes);
    // The digest of everything given since the start; then starts afresh.
    Md5Digest digest();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

Md5Digest Md5Of(std::string_view bytes);

// The zlib CRC-32 of `bytes` going on from `crc` (0 to start).
std::uint32_t Crc32(std::uint32_t crc, std::span<const std::byte> bytes);

} // namespace dividra::core
