// The region arithmetic is libgf-complete's (SIMD, gigabytes per second); only the alignment
// it asks for is ours.
#include "core/recovery/Galois.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>

extern "C" {
#include <gf_complete.h>
}

namespace dividra::core::gf16 {
namespace {

gf_t& Field() {
    static gf_t field = [] {
        gf_t made{};
        if (gf_init_easy(&made, 16) == 0) {
            throw std::runtime_error("libgf-complete: GF(2^16) could not be set up");
        }
        return made;
    }();
    return field;
}

// gf-complete wants both regions 2-byte aligned and equal modulo 16.
bool Aligned(const void* src, const void* dst) {
    const auto a = reinterpret_cast<std::uintptr_t>(src);
    const auto b = reinterpret_cast<std::uintptr_t>(dst);
    return (a & 1) == 0 && (b & 1) == 0 && ((a ^ b) & 15) == 0;
}

void Words(const std::byte* src, std::byte* dst, std::size_t bytes, std::uint16_t factor);

// src and dst equal modulo 16. gf-complete miscomputes a region that starts off a 16-byte
// boundary and ends before the next one, so the words up to that boundary are done here.
void Region(const std::byte* src, std::byte* dst, std::size_t bytes, std::uint16_t factor) {
    const std::size_t head =
        std::min(bytes, (16 - (reinterpret_cast<std::uintptr_t>(dst) & 15)) & 15);
    Words(src, dst, head, factor);
    if (bytes > head) {
        gf_t& field = Field();
        field.multiply_region.w32(&field, const_cast<std::byte*>(src + head), dst + head, factor,
                                  static_cast<int>(bytes - head), 1);
    }
}

} // namespace

std::uint16_t Multiply(std::uint16_t a, std::uint16_t b) {
    gf_t& field = Field();
    return static_cast<std::uint16_t>(field.multiply.w32(&field, a, b));
}

std::uint16_t Power(std::uint16_t base, std::uint32_t exponent) {
    std::uint16_t result = 1;
    while (exponent != 0) {
        if ((exponent & 1) != 0) {
            result = Multiply(result, base);
        }
        base = Multiply(base, base);
        exponent >>= 1;
    }
    return result;
}

std::uint16_t Inverse(std::uint16_t a) {
    gf_t& field = Field();
    return static_cast<std::uint16_t>(field.inverse.w32(&field, a));
}

namespace {

void Words(const std::byte* src, std::byte* dst, std::size_t bytes, std::uint16_t factor) {
    for (std::size_t k = 0; k + 1 < bytes; k += 2) {
        std::uint16_t word = 0;
        std::uint16_t out = 0;
        std::memcpy(&word, src + k, 2);
        std::memcpy(&out, dst + k, 2);
        out = static_cast<std::uint16_t>(out ^ Multiply(word, factor));
        std::memcpy(dst + k, &out, 2);
    }
}

} // namespace

void MultiplyAdd(std::span<const std::byte> src, std::span<std::byte> dst, std::uint16_t factor) {
    const std::size_t bytes = std::min(src.size(), dst.size()) & ~std::size_t{1};
    if (factor == 0 || bytes == 0) {
        return;
    }
    if (Aligned(src.data(), dst.data())) {
        Region(src.data(), dst.data(), bytes, factor);
        return;
    }
    // Through a scratch buffer placed as dst is modulo 16.
    constexpr std::size_t kPiece = 65536;
    alignas(64) thread_local std::byte scratch[kPiece + 64];
    const std::size_t shift = reinterpret_cast<std::uintptr_t>(dst.data()) & 15;
    std::byte* place = scratch + shift;
    for (std::size_t done = 0; done < bytes; done += kPiece) {
        const std::size_t piece = std::min(kPiece, bytes - done);
        std::memcpy(place, src.data() + done, piece);
        if ((shift & 1) == 0) {
            Region(place, dst.data() + done, piece, factor);
        } else {
            Words(place, dst.data() + done, piece, factor); // an odd dst: word by word
        }
    }
}

} // namespace dividra::core::gf16
