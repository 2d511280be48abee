#include "platform/Wildcard.h"

#include "platform/AsciiText.h"
#include "platform/FileSystem.h"

namespace dividra::platform {
namespace {

// Iterative glob with one backtrack point: linear in practice, never exponential.
bool globMatch(std::string_view name, std::string_view pattern) {
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starP = std::string_view::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == '?' || lowerAscii(pattern[p]) == lowerAscii(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

} // namespace

bool matchesDosPattern(std::string_view name, std::string_view pattern) {
    if (pattern == "*.*" || pattern == "*") {
        return true;
    }
    if (pattern.size() > 2 && pattern.substr(pattern.size() - 2) == ".*" &&
        name.find('.') == std::string_view::npos) {
        return globMatch(name, pattern.substr(0, pattern.size() - 2));
    }
    return globMatch(name, pattern);
}

bool passesAttributeMask(std::uint32_t attributes, std::uint32_t mask) {
    const std::uint32_t special = attr::Hidden | attr::System | attr::Directory;
    return (attributes & special & ~mask) == 0;
}

} // namespace dividra::platform
