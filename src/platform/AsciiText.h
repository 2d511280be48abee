#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text helpers that never consult the locale: names compare as DOS compares them, and numbers,
// option words and file formats are ASCII whatever the user's language.
namespace dividra::platform {

// A-Z to a-z; every other byte unchanged.
constexpr char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
// a-z to A-Z; every other byte unchanged.
constexpr char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
std::string lowerAscii(std::string_view text);
constexpr bool isAsciiLetter(char c) {
    return lowerAscii(c) >= 'a' && lowerAscii(c) <= 'z';
}
constexpr bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}
std::string upperAscii(std::string_view text);

// Letter-case-blind comparisons of ASCII letters, as DOS compares names.
bool equalsIgnoringCase(std::string_view a, std::string_view b);
bool startsWithIgnoringCase(std::string_view text, std::string_view prefix);
// Orders as if both were in lower case.
bool lessIgnoringCase(std::string_view a, std::string_view b);

// The value of a hexadecimal digit of either case; -1 for anything else.
int hexDigitValue(char c);
inline constexpr std::string_view kLowerHexDigits = "0123456789abcdef";
inline constexpr std::string_view kUpperHexDigits = "0123456789ABCDEF";

// The length of the well-formed UTF-8 sequence starting at text[at]: 1 to 4, or 0 when none
// starts there (a stray or missing continuation byte, an overlong form, a surrogate, a code
// point beyond U+10FFFF, or the text ending first). `at` must be below text.size().
std::size_t utf8SequenceLength(std::string_view text, std::size_t at);

} // namespace dividra::platform
