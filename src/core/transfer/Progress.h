#pragma once

#include <cstdint>

// How far a copy has come, as the progress bar shows it.
namespace dividra::core {

inline constexpr int kProgressParts = 20;

// Whole progress parts (0 to 20) for bytes done of a total: cut, never rounded, so 20 only once
// the last byte is done. 0 for an empty total.
int ProgressParts(std::int64_t bytesDone, std::int64_t total);

} // namespace dividra::core
