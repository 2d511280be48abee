#include "core/set/DescriptorRead.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// Whatever the text, the reader answers without crashing, and what it accepts is in range.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto read = dividra::core::ReadDescriptorText(text);
    if (read) {
        const auto& info = read.value();
        if (info.segmentCount < 1 || info.segmentCount > dividra::core::kMaxJoinSegments ||
            info.totalSize < info.segmentCount ||
            (!info.extension.empty() && info.extension.front() != '.')) {
            __builtin_trap();
        }
    } else if (read.error().message.rfind("line ", 0) != 0) {
        __builtin_trap();
    }
    return 0;
}
