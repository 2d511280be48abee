#pragma once

#include <cstdint>
#include <functional>
#include <utility>

// How far a copy has come, as the progress bar shows it.
namespace dividra::core {

inline constexpr int kProgressParts = 20;

// Whole progress parts (0 to 20) for bytes done of a total: cut, never rounded, so 20 only once
// the last byte is done. 0 for an empty total.
int ProgressParts(std::int64_t bytesDone, std::int64_t total);

// Bytes done of a known total, told in whole parts, each change once.
class ProgressCount {
public:
    using Told = std::function<void(int parts)>;
    ProgressCount(std::int64_t total, Told told) : m_total(total), m_told(std::move(told)) {}

    void add(std::int64_t bytes);
    // Back to 0 parts shown (told when others were), the bytes done kept.
    void clear();
    std::int64_t done() const { return m_done; }
    int shown() const { return m_shown; }

private:
    std::int64_t m_total;
    Told m_told;
    std::int64_t m_done = 0;
    int m_shown = 0;
};

} // namespace dividra::core
