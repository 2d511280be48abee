#include "platform/PeVersion.h"
#include "platform/AsciiText.h"

#include <algorithm>
#include <cstdint>

namespace dividra::platform {
namespace {

using Bytes = std::span<const std::byte>;

constexpr std::uint16_t DosSignature = 0x5A4D;    // "MZ"
constexpr std::uint32_t PeSignature = 0x00004550; // "PE\0\0"
constexpr std::uint16_t Pe32Magic = 0x10B;
constexpr std::uint16_t Pe32PlusMagic = 0x20B;
constexpr std::uint32_t ResourceDirectoryIndex = 2;
constexpr std::uint32_t VersionResourceType = 16;
constexpr std::uint32_t SubdirectoryBit = 0x80000000;
constexpr std::uint32_t NameIsStringBit = 0x80000000;
constexpr std::size_t SectionHeaderSize = 40;
constexpr std::size_t MaxVersionBlock = 0xFFFF; // wLength is 16 bits
constexpr std::size_t NodeHeaderSize = 6;       // wLength, wValueLength, wType
constexpr std::uint16_t TextValueType = 1;

// Widened so that offset + size can't wrap.
bool fits(Bytes bytes, std::uint64_t offset, std::uint64_t size) {
    return offset <= bytes.size() && size <= bytes.size() - offset;
}

// Callers check fits() first.
std::uint16_t u16(Bytes bytes, std::uint64_t offset) {
    return static_cast<std::uint16_t>(std::to_integer<unsigned>(bytes[offset]) |
                                      std::to_integer<unsigned>(bytes[offset + 1]) << 8);
}

std::uint32_t u32(Bytes bytes, std::uint64_t offset) {
    return static_cast<std::uint32_t>(u16(bytes, offset)) |
           static_cast<std::uint32_t>(u16(bytes, offset + 2)) << 16;
}

std::size_t align4(std::size_t offset) {
    return (offset + 3) & ~std::size_t{3};
}

struct Section {
    std::uint32_t virtualAddress = 0;
    std::uint32_t virtualSize = 0;
    std::uint32_t rawSize = 0;
    std::uint32_t rawOffset = 0;
};

struct PeLayout {
    std::uint32_t resourceRva = 0;
    std::vector<Section> sections;
};

std::optional<PeLayout> readLayout(Bytes image) {
    if (!fits(image, 0, 0x40) || u16(image, 0) != DosSignature) {
        return std::nullopt;
    }
    const std::uint64_t pe = u32(image, 0x3C);
    if (!fits(image, pe, 24) || u32(image, pe) != PeSignature) {
        return std::nullopt;
    }
    const std::uint64_t coff = pe + 4;
    const std::uint16_t sectionCount = u16(image, coff + 2);
    const std::uint16_t optionalSize = u16(image, coff + 16);
    const std::uint64_t optional = coff + 20;
    if (!fits(image, optional, optionalSize) || optionalSize < 2) {
        return std::nullopt;
    }
    const std::uint16_t magic = u16(image, optional);
    if (magic != Pe32Magic && magic != Pe32PlusMagic) {
        return std::nullopt;
    }
    // The two layouts differ only in where the directory count and table begin.
    const std::uint64_t countAt = magic == Pe32Magic ? 92 : 108;
    const std::uint64_t entryAt = countAt + 4 + ResourceDirectoryIndex * 8;
    if (optionalSize < entryAt + 8 || u32(image, optional + countAt) <= ResourceDirectoryIndex) {
        return std::nullopt;
    }
    PeLayout layout;
    layout.resourceRva = u32(image, optional + entryAt);
    const std::uint64_t table = optional + optionalSize;
    if (layout.resourceRva == 0 || !fits(image, table, sectionCount * SectionHeaderSize)) {
        return std::nullopt;
    }
    for (std::uint64_t i = 0; i < sectionCount; ++i) {
        const std::uint64_t at = table + i * SectionHeaderSize;
        layout.sections.push_back(
            {u32(image, at + 12), u32(image, at + 8), u32(image, at + 16), u32(image, at + 20)});
    }
    return layout;
}

// The file bytes from `rva` to the end of its section's raw data; empty when no section's
// raw data holds it.
Bytes bytesAtRva(Bytes image, const PeLayout& layout, std::uint32_t rva) {
    for (const Section& s : layout.sections) {
        const std::uint64_t extent = std::max(s.virtualSize, s.rawSize);
        if (rva < s.virtualAddress || rva - s.virtualAddress >= extent) {
            continue;
        }
        const std::uint64_t into = rva - s.virtualAddress;
        const std::uint64_t start = std::uint64_t{s.rawOffset} + into;
        if (into >= s.rawSize || start >= image.size()) {
            return {};
        }
        const std::uint64_t length =
            std::min<std::uint64_t>(s.rawSize - into, image.size() - start);
        return image.subspan(start, length);
    }
    return {};
}

// The OffsetToData of a directory table's entry: the first ID entry named `id`, or the first
// entry of all when `id` is empty.
std::optional<std::uint32_t> pickEntry(Bytes dir, std::uint64_t table,
                                       std::optional<std::uint32_t> id) {
    if (!fits(dir, table, 16)) {
        return std::nullopt;
    }
    const std::uint64_t named = u16(dir, table + 12);
    const std::uint64_t total = named + u16(dir, table + 14);
    for (std::uint64_t i = id ? named : 0; i < total; ++i) {
        const std::uint64_t at = table + 16 + i * 8;
        if (!fits(dir, at, 8)) {
            return std::nullopt;
        }
        const std::uint32_t name = u32(dir, at);
        if (!id || ((name & NameIsStringBit) == 0 && name == *id)) {
            return u32(dir, at + 4);
        }
    }
    return std::nullopt;
}

// One subdirectory step down the resource tree.
std::optional<std::uint64_t> descend(Bytes dir, std::uint64_t table,
                                     std::optional<std::uint32_t> id) {
    const auto target = pickEntry(dir, table, id);
    if (!target || (*target & SubdirectoryBit) == 0) {
        return std::nullopt;
    }
    return *target & ~SubdirectoryBit;
}

// A node of a version block, as offsets into the root block.
struct Node {
    std::size_t end = 0; // one past its wLength bytes
    std::size_t keyBegin = 0;
    std::size_t keyLength = 0; // in UTF-16 units, without the terminator
    Bytes value;
    std::size_t childrenBegin = 0;
};

std::optional<Node> parseNode(Bytes block, std::size_t at, std::size_t limit) {
    if (limit - at < NodeHeaderSize) {
        return std::nullopt;
    }
    const std::size_t length = u16(block, at);
    if (length < NodeHeaderSize || length > limit - at) {
        return std::nullopt;
    }
    Node node;
    node.end = at + length;
    node.keyBegin = at + NodeHeaderSize;
    std::size_t pos = node.keyBegin;
    while (pos + 2 <= node.end && u16(block, pos) != 0) {
        pos += 2;
    }
    if (pos + 2 > node.end) {
        return std::nullopt; // key without its terminator
    }
    node.keyLength = (pos - node.keyBegin) / 2;
    const std::size_t valueBegin = std::min(align4(pos + 2), node.end);
    const std::size_t declared = u16(block, at + 2);
    const std::size_t valueBytes = u16(block, at + 4) == TextValueType ? declared * 2 : declared;
    node.value = block.subspan(valueBegin, std::min(valueBytes, node.end - valueBegin));
    node.childrenBegin = align4(valueBegin + valueBytes);
    return node;
}

bool keyEquals(Bytes block, const Node& node, std::string_view name) {
    if (node.keyLength != name.size()) {
        return false;
    }
    const auto lower = [](unsigned c) {
        return c < 0x80 ? static_cast<unsigned>(lowerAscii(static_cast<char>(c))) : c;
    };
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned unit = u16(block, node.keyBegin + 2 * i);
        if (lower(unit) != lower(static_cast<unsigned char>(name[i]))) {
            return false;
        }
    }
    return true;
}

std::optional<Node> findChild(Bytes block, const Node& parent, std::string_view name) {
    for (std::size_t at = parent.childrenBegin; at < parent.end;) {
        const auto child = parseNode(block, at, parent.end);
        if (!child) {
            return std::nullopt;
        }
        if (keyEquals(block, *child, name)) {
            return child;
        }
        at = align4(child->end);
    }
    return std::nullopt;
}

} // namespace

std::optional<std::vector<std::byte>> ReadVersionResource(Bytes image) {
    const auto layout = readLayout(image);
    if (!layout) {
        return std::nullopt;
    }
    const Bytes dir = bytesAtRva(image, *layout, layout->resourceRva);
    const auto names = descend(dir, 0, VersionResourceType);
    const auto languages = names ? descend(dir, *names, std::nullopt) : std::nullopt;
    const auto data = languages ? pickEntry(dir, *languages, std::nullopt) : std::nullopt;
    if (!data || (*data & SubdirectoryBit) != 0 || !fits(dir, *data, 16)) {
        return std::nullopt;
    }
    const std::uint32_t size = u32(dir, *data + 4);
    const Bytes bytes = bytesAtRva(image, *layout, u32(dir, *data));
    const std::size_t wanted = std::min<std::size_t>(size, MaxVersionBlock);
    if (size == 0 || bytes.size() < wanted) {
        return std::nullopt;
    }
    return std::vector<std::byte>(bytes.begin(), bytes.begin() + wanted);
}

std::optional<Bytes> QueryVersionValue(Bytes block, std::string_view subBlock) {
    auto node = parseNode(block, 0, block.size());
    while (node && !subBlock.empty()) {
        const std::size_t cut = std::min(subBlock.find('\\'), subBlock.size());
        const std::string_view part = subBlock.substr(0, cut);
        subBlock.remove_prefix(std::min(cut + 1, subBlock.size()));
        if (!part.empty()) {
            node = findChild(block, *node, part);
        }
    }
    if (!node) {
        return std::nullopt;
    }
    return node->value;
}

std::optional<std::string> QueryVersionString(Bytes block, std::string_view subBlock) {
    const auto value = QueryVersionValue(block, subBlock);
    if (!value) {
        return std::nullopt;
    }
    std::string text;
    for (std::size_t at = 0; at + 2 <= value->size(); at += 2) {
        const std::uint16_t unit = u16(*value, at);
        if (unit == 0) {
            break;
        }
        text.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    }
    return text;
}

} // namespace dividra::platform
