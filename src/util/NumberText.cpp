#include "util/NumberText.h"

#include <charconv>
#include <cstdint>
#include <optional>

namespace dividra {
namespace {

// The whole text as an unsigned number in `base`; nothing when anything else is there (a sign,
// a blank, no digits) or the value passes 32 bits.
std::optional<std::uint32_t> unsignedValue(std::string_view digits, int base) {
    std::uint32_t value = 0;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value, base);
    return error == std::errc() && stop == end ? std::optional(value) : std::nullopt;
}

// "$" followed by hexadecimal digits; leading zeros don't count towards the eight digits.
std::int32_t hexValue(std::string_view digits) {
    return static_cast<std::int32_t>(unsignedValue(digits, 16).value_or(0));
}

std::int32_t decimalValue(std::string_view digits, bool negative) {
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    const std::int64_t value = unsignedValue(digits, 10).value_or(0);
    return value > limit ? 0 : static_cast<std::int32_t>(negative ? -value : value);
}

} // namespace

std::string IntToText(std::int32_t value) {
    return std::to_string(value);
}

std::int32_t TextToInt(std::string_view text) {
    const auto start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        return 0;
    }
    text.remove_prefix(start);
    if (text.front() == '$') {
        return hexValue(text.substr(1));
    }
    const bool negative = text.front() == '-';
    if (negative || text.front() == '+') {
        text.remove_prefix(1);
    }
    return decimalValue(text, negative);
}

} // namespace dividra
