#include "core/transfer/Progress.h"

#include <algorithm>

namespace dividra::core {

int ProgressParts(std::int64_t bytesDone, std::int64_t total) {
    if (total <= 0 || bytesDone <= 0) {
        return 0;
    }
    return static_cast<int>(std::min(bytesDone, total) * kProgressParts / total);
}

void ProgressCount::add(std::int64_t bytes) {
    m_done += bytes;
    const int parts = ProgressParts(m_done, m_total);
    if (parts != m_shown) {
        m_shown = parts;
        if (m_told) {
            m_told(parts);
        }
    }
}

void ProgressCount::clear() {
    if (m_shown != 0) {
        m_shown = 0;
        if (m_told) {
            m_told(0);
        }
    }
}

} // namespace dividra::core
