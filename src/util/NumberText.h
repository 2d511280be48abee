#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Number texts as the program reads and writes them everywhere.
namespace dividra {

// Plain decimal: a leading "-" for negatives, no leading zeros, blanks or grouping.
std::string IntToText(std::int32_t value);

// Reads a 32-bit integer; any text that breaks a rule gives 0, never an error:
// optional leading blanks (space only), one optional sign, then decimal digits within the
// 32-bit range, or "$" (unsigned) and one to eight hexadecimal digits taken as 32 bits.
// Nothing else anywhere, not even a trailing blank.
std::int32_t TextToInt(std::string_view text);

} // namespace dividra
