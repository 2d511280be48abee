#include "util/Global.h"

#include <cstdint>

namespace dividra {
namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// "$" followed by hexadecimal digits; leading zeros don't count towards the eight digits.
std::int32_t hexValue(std::string_view digits) {
    if (digits.empty()) {
        return 0;
    }
    std::uint32_t value = 0;
    int significant = 0;
    for (char c : digits) {
        const int d = hexDigit(c);
        if (d < 0) {
            return 0;
        }
        if (significant > 0 || d != 0) {
            if (++significant > 8) {
                return 0;
            }
        }
        value = (value << 4) | static_cast<std::uint32_t>(d);
    }
    return static_cast<std::int32_t>(value);
}

std::int32_t decimalValue(std::string_view digits, bool negative) {
    if (digits.empty()) {
        return 0;
    }
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') {
            return 0;
        }
        value = value * 10 + (c - '0');
        if (value > limit) {
            return 0;
        }
    }
    return static_cast<std::int32_t>(negative ? -value : value);
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
