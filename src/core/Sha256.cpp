#include "core/Sha256.h"

#include <openssl/evp.h>

#include <new>

namespace dividra::core {

struct Sha256::State {
    EVP_MD_CTX* context = nullptr;

    State() : context(EVP_MD_CTX_new()) {
        if (context == nullptr || EVP_DigestInit_ex(context, EVP_sha256(), nullptr) != 1) {
            EVP_MD_CTX_free(context);
            throw std::bad_alloc();
        }
    }
    ~State() { EVP_MD_CTX_free(context); }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
};

Sha256::Sha256() : m_state(std::make_unique<State>()) {}
Sha256::~Sha256() = default;
Sha256::Sha256(Sha256&&) noexcept = default;
Sha256& Sha256::operator=(Sha256&&) noexcept = default;

void Sha256::update(std::span<const std::byte> bytes) {
    // Only a context that was never set up can fail here, and the constructor saw to that.
    (void)EVP_DigestUpdate(m_state->context, bytes.data(), bytes.size());
}

std::string Sha256::hexDigest() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    (void)EVP_DigestFinal_ex(m_state->context, digest, &length);
    (void)EVP_DigestInit_ex(m_state->context, EVP_sha256(), nullptr);
    constexpr std::string_view kHex = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        text += kHex[digest[i] >> 4];
        text += kHex[digest[i] & 15];
    }
    return text;
}

std::string Sha256Hex(std::string_view bytes) {
    Sha256 hash;
    hash.update(std::as_bytes(std::span(bytes.data(), bytes.size())));
    return hash.hexDigest();
}

} // namespace dividra::core
