#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

// SHA-256 for the checksum files; its implementation stays behind this header.
namespace dividra::core {

class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(Sha256&&) noexcept;
    Sha256& operator=(Sha256&&) noexcept;

    // Adds bytes to what the digest covers; any length, an empty span too.
    void update(std::span<const std::byte> bytes);
    // The 64 lower-case hex digits of everything given since the start; then starts afresh.
    std::string hexDigest();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// The digest of one text, as hexDigest gives it.
std::string Sha256Hex(std::string_view bytes);

} // namespace dividra::core
