#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// GF(2^16) with the generator polynomial 0x1100B, the field of the recovery format, over
// libgf-complete. Words are 16-bit little-endian. Safe to call from many threads at once.
namespace dividra::core::gf16 {

std::uint16_t Multiply(std::uint16_t a, std::uint16_t b);
std::uint16_t Power(std::uint16_t base, std::uint32_t exponent);
// a != 0.
std::uint16_t Inverse(std::uint16_t a);

// dst ^= factor * src, word by word; src and dst the same even size, at any addresses.
void MultiplyAdd(std::span<const std::byte> src, std::span<std::byte> dst, std::uint16_t factor);

} // namespace dividra::core::gf16
