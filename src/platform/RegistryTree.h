#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The current user's registry tree (HKEY_CURRENT_USER) in memory.
//
// Key paths are relative to HKEY_CURRENT_USER, names joined by `\` ("" is HKEY_CURRENT_USER
// itself). Key and value names compare without regard to ASCII letter case and keep the case
// they were created with. Names may hold any byte but the control characters (below 0x20);
// key names may not be empty nor hold `\`.
namespace dividra::platform {

// Registry value types, numbered as the registry numbers them.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

// A typed value: its data bytes exactly as stored (REG_SZ without a terminating zero;
// REG_DWORD little-endian).
struct RegistryValue {
    std::uint32_t type = kRegNone;
    std::string data;
    bool operator==(const RegistryValue&) const = default;
};

struct NamedValue {
    std::string name; // "" is the key's default value, `@` in the file
    RegistryValue value;
};

struct RegistryKey {
    std::string path;
    std::vector<NamedValue> values; // in the order they were first set
};

// The keys in file order, new keys at the end. Only keys that were created or read from a
// header are listed; the ancestors of a listed key exist without an entry of their own, as a
// file's `[A\B]` implies `A`.
class RegistryTree {
public:
    bool keyExists(std::string_view path) const;
    // Lists the key unless it exists already; true when the tree changed.
    bool createKey(std::string_view path);
    // The value, or nullptr when the key or the value is missing.
    const RegistryValue* findValue(std::string_view path, std::string_view name) const;
    // Lists the key when needed; true when the tree changed.
    bool setValue(std::string_view path, std::string_view name, RegistryValue value);

    // For loading: the position of the key's own entry, listing it when it has none (even if
    // it exists as an ancestor), and setting a value of the key at that position.
    std::size_t listKey(std::string_view path);
    bool setValue(std::size_t keyPosition, std::string_view name, RegistryValue value);

    const std::vector<RegistryKey>& keys() const { return m_keys; }

private:
    // Position in m_keys, or m_keys.size() when the key isn't listed.
    std::size_t findKey(std::string_view path) const;
    std::size_t addKey(std::string_view path);

    using Index = std::unordered_map<std::string, std::size_t>; // folded name -> position
    std::vector<RegistryKey> m_keys;
    Index m_keyIndex;
    std::vector<Index> m_valueIndex; // per key, its values
};

// REG_DWORD data: the number's 4 bytes, little-endian.
std::string dwordBytes(std::uint32_t value);
// The number in REG_DWORD data of exactly 4 bytes.
std::uint32_t dwordFromBytes(std::string_view data);

// A value name the file can hold: no control characters.
bool isValidValueName(std::string_view name);
// "" or names joined by `\`, each non-empty and free of control characters.
bool isValidKeyPath(std::string_view path);

} // namespace dividra::platform
