#pragma once

#include <cstdint>
#include <string_view>

namespace dividra::platform {

// DOS pattern matching, blind to letter case: "*" any run, "?" one character; "*.*" and "*"
// match every name, and a trailing ".*" also matches a name without a dot ("data.*" finds data).
bool matchesDosPattern(std::string_view name, std::string_view pattern);

// DOS search semantics: an entry with Hidden, System or Directory set is found only when the
// search mask holds that bit; every other entry is always found.
bool passesAttributeMask(std::uint32_t attributes, std::uint32_t mask);

} // namespace dividra::platform
