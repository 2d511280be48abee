#include "core/transfer/Progress.h"

#include <algorithm>

namespace dividra::core {

int ProgressParts(std::int64_t bytesDone, std::int64_t total) {
    if (total <= 0 || bytesDone <= 0) {
        return 0;
    }
    return static_cast<int>(std::min(bytesDone, total) * kProgressParts / total);
}

} // namespace dividra::core
