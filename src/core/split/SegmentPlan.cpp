#include "core/split/SegmentPlan.h"

#include "util/NumberText.h"

#include <algorithm>

namespace dividra::core {
namespace {

std::int64_t divideRoundingUp(std::int64_t dividend, std::int64_t divisor) {
    return dividend / divisor + (dividend % divisor != 0 ? 1 : 0);
}

} // namespace

std::int64_t SegmentSizeBytes(std::string_view kilobytesText) {
    return KilobytesToBytes(TextToInt(kilobytesText));
}

std::int64_t SegmentCount(std::int64_t sourceSize, std::int64_t segmentSizeBytes) {
    if (sourceSize <= 0 || segmentSizeBytes <= 0) {
        return 0;
    }
    return divideRoundingUp(sourceSize, segmentSizeBytes);
}

std::int64_t DisketteCount(std::int64_t sourceSize, std::int64_t capacity) {
    if (capacity <= 0) {
        return 0;
    }
    const std::int64_t needed = (sourceSize > 0 ? sourceSize : 0) + kDescriptorRoom;
    return divideRoundingUp(needed, capacity);
}

} // namespace dividra::core
