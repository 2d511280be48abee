#include "platform/RegistryFormat.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Any text parses without crashing, and what was kept writes out as a text that parses back
// whole and writes out the same again.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dividra::platform;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ParsedRegistry parsed = parseRegistry(text);
    const std::string written = formatRegistry(parsed.tree);
    const ParsedRegistry again = parseRegistry(written);
    if (again.badLines != 0 || formatRegistry(again.tree) != written) {
        __builtin_trap();
    }
    return 0;
}
