#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Small but well-formed PE files with version resources, built byte by byte for the tests.
namespace dividra::test {

// A node of a version block (VS_VERSIONINFO and all below it).
struct VersionNode {
    std::string key;
    std::uint16_t type = 1; // 1 text, 0 binary
    std::vector<std::byte> value;
    // wValueLength as stored; when empty, the value's UTF-16 units (text) or bytes (binary).
    std::optional<std::uint16_t> declaredLength;
    std::vector<VersionNode> children;
};

// A text node whose value is `text` in UTF-16 plus its terminating zero.
VersionNode textNode(std::string key, std::string_view text);
VersionNode binaryNode(std::string key, std::vector<std::byte> value);
// wLength, wValueLength, wType, the key, padding, value, padding, children.
std::vector<std::byte> encodeVersionNode(const VersionNode& node);

// What a typical VS_VERSIONINFO holds.
struct VersionInfo {
    std::string tableKey = "040904E4";
    std::vector<std::pair<std::string, std::string>> strings = {{"CompanyName", "Vorlan Software"},
                                                                {"FileVersion", "4.72.3110.1"}};
    std::optional<std::uint32_t> translation = 0x04E40409; // nothing: no VarFileInfo
};

// VS_VERSIONINFO with a VS_FIXEDFILEINFO (4.72.3110.1), a StringFileInfo with one StringTable
// and a VarFileInfo with one Translation.
VersionNode versionInfoNode(const VersionInfo& info = {});
std::vector<std::byte> versionBlock(const VersionInfo& info = {});

// One resource type of the image: one name (ID 1), each blob one language, 0x0409 first.
struct ResourceType {
    std::uint32_t id = 16;
    std::string name; // when set, a string-named type instead of `id`
    std::vector<std::vector<std::byte>> languages;
};

struct PeSpec {
    bool pe32Plus = false;
    // In directory order: named types first, then ID types in rising order.
    std::vector<ResourceType> types;
};

struct PeImage {
    std::vector<std::byte> bytes;
    // Where the first language blob of the first ID-16 type lies in the file (0 when none).
    std::size_t versionOffset = 0;
    std::size_t versionSize = 0;
    // File offsets of its root directory entry and of its data entry (RVA, size, code page).
    std::size_t versionTypeEntry = 0;
    std::size_t versionDataEntry = 0;
};

// DOS header, "PE\0\0", COFF header, optional header with 16 data directories, a ".text" and a
// ".rsrc" section, the resource tree and its data.
PeImage buildPeImage(const PeSpec& spec);
// An image with an icon resource (type 3) and `version` as its RT_VERSION resource.
PeImage peWithVersion(const std::vector<std::byte>& version, bool pe32Plus = false);

std::vector<std::byte> toBytes(std::string_view text);
std::string toString(const std::vector<std::byte>& bytes);

} // namespace dividra::test
