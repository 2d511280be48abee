// Nettle's MD5 beside its SHA-256, and zlib's CRC-32 (Nettle has none): both maintained,
// both already on every machine that builds us.
#include "core/transfer/Md5.h"

#include <algorithm>
#include <nettle/md5.h>
#include <zlib.h>

namespace dividra::core {

struct Md5::State {
    md5_ctx context{};

    State() { md5_init(&context); }
};

Md5::Md5() : m_state(std::make_unique<State>()) {}
Md5::~Md5() = default;
Md5::Md5(const Md5& other) : m_state(std::make_unique<State>(*other.m_state)) {}

Md5& Md5::operator=(const Md5& other) {
    *m_state = *other.m_state;
    return *this;
}

void Md5::update(std::span<const std::byte> bytes) {
    md5_update(&m_state->context, bytes.size(),
               reinterpret_cast<const std::uint8_t*>(bytes.data()));
}

void Md5::update(std::string_view bytes) {
    md5_update(&m_state->context, bytes.size(),
               reinterpret_cast<const std::uint8_t*>(bytes.data()));
}

Md5Digest Md5::digest() {
    Md5Digest digest{};
    md5_digest(&m_state->context, digest.size(), digest.data());
    return digest;
}

Md5Digest Md5Of(std::string_view bytes) {
    Md5 hash;
    hash.update(bytes);
    return hash.digest();
}

std::uint32_t Crc32(std::uint32_t crc, std::span<const std::byte> bytes) {
    // zlib takes lengths as uInt: feed it in pieces that fit.
    constexpr std::size_t kPiece = std::size_t{1} << 30;
    uLong value = crc;
    while (!bytes.empty()) {
        const std::size_t piece = std::min(bytes.size(), kPiece);
        value =
            crc32(value, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(piece));
        bytes = bytes.subspan(piece);
    }
    return static_cast<std::uint32_t>(value);
}

} // namespace dividra::core
