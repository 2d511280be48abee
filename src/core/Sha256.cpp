// OpenSSL's plain SHA-256 functions rather than EVP: EVP's provider set-up costs a join or a
// split near 2 MB of its 8 MB, for the same code. OpenSSL 3 keeps them, marked deprecated.
#define OPENSSL_SUPPRESS_DEPRECATED

#include "core/Sha256.h"

#include <openssl/sha.h>

namespace dividra::core {

struct Sha256::State {
    SHA256_CTX context{};

    State() { (void)SHA256_Init(&context); }
};

Sha256::Sha256() : m_state(std::make_unique<State>()) {}
Sha256::~Sha256() = default;
Sha256::Sha256(Sha256&&) noexcept = default;
Sha256& Sha256::operator=(Sha256&&) noexcept = default;

void Sha256::update(std::span<const std::byte> bytes) {
    // These only fail for a null context, which the constructor rules out.
    (void)SHA256_Update(&m_state->context, bytes.data(), bytes.size());
}

std::string Sha256::hexDigest() {
    unsigned char digest[SHA256_DIGEST_LENGTH];
    (void)SHA256_Final(digest, &m_state->context);
    (void)SHA256_Init(&m_state->context);
    constexpr std::string_view kHex = "0123456789abcdef";
    std::string text;
    for (const unsigned char byte : digest) {
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
