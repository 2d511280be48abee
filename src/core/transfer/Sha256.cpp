// Nettle rather than OpenSSL: the same speed here (both use the CPU's SHA instructions), with no
// library-wide set-up, where OpenSSL's EVP providers cost a join or a split near 2 MB of its
// 8 MB and its plain SHA-256 functions are deprecated.
#include "core/transfer/Sha256.h"

#include <cstdint>
#include <nettle/sha2.h>

namespace dividra::core {

struct Sha256::State {
    sha256_ctx context{};

    State() { sha256_init(&context); }
};

Sha256::Sha256() : m_state(std::make_unique<State>()) {}
Sha256::~Sha256() = default;
Sha256::Sha256(Sha256&&) noexcept = default;
Sha256& Sha256::operator=(Sha256&&) noexcept = default;

void Sha256::update(std::span<const std::byte> bytes) {
    sha256_update(&m_state->context, bytes.size(),
                  reinterpret_cast<const std::uint8_t*>(bytes.data()));
}

std::string Sha256::hexDigest() {
    std::uint8_t digest[SHA256_DIGEST_SIZE];
    // Nettle starts the context afresh after a digest.
    sha256_digest(&m_state->context, SHA256_DIGEST_SIZE, digest);
    constexpr std::string_view kHex = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t byte : digest) {
        text += kHex[byte >> 4];
        text += kHex[byte & 15];
    }
    return text;
}

std::string Sha256Hex(std::string_view bytes) {
    Sha256 hash;
    hash.update(std::as_bytes(std::span(bytes.data(), bytes.size())));
    return hash.hexDigest();
}

} // namespace dividra::core
