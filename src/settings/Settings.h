#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The settings store: the five operations the program reads and writes its settings with.
// Key paths are relative to HKEY_CURRENT_USER ("Software\Vorlan Software\Dividra\Floppy
// Options"). None reports an error: readers fall back as described, writers return false.
namespace dividra {

// Opens the key; with `create`, missing keys along the path are created first. True when the
// key could be opened.
bool SettingsKeyExists(std::string_view keyPath, bool create);

// The REG_DWORD value as a signed 32-bit number. The key is created when missing (readers
// create keys). `defaultValue` when the value is missing, isn't REG_DWORD, its data isn't
// exactly 4 bytes, or the key can't be opened.
std::int32_t ReadSettingInt(std::string_view keyPath, std::string_view valueName,
                            std::int32_t defaultValue);

// A REG_SZ or REG_EXPAND_SZ value up to its first zero byte (not expanded). The key is
// created when missing. The EMPTY text, not the default, when the value is missing, has no
// bytes, or the key can't be opened; `defaultValue` for a value of any other type.
std::string ReadSettingText(std::string_view keyPath, std::string_view valueName,
                            std::string_view defaultValue);

// Stores a REG_DWORD, creating missing keys. False when it couldn't.
bool WriteSettingInt(std::string_view keyPath, std::string_view valueName, std::int32_t value);

// Stores a REG_SZ without a terminating zero (an empty text is a zero-length value),
// creating missing keys. False when it couldn't.
bool WriteSettingText(std::string_view keyPath, std::string_view valueName, std::string_view value);

} // namespace dividra
