#include "support/PeImage.h"

#include <algorithm>

namespace dividra::test {
namespace {

constexpr std::uint32_t TextRva = 0x1000;
constexpr std::uint32_t ResourceRva = 0x2000;
constexpr std::size_t HeaderSize = 0x200;
constexpr std::size_t FileAlignment = 0x200;
constexpr std::size_t PeOffset = 0x80;

void put16(std::vector<std::byte>& out, std::size_t at, std::uint32_t value) {
    if (out.size() < at + 2) {
        out.resize(at + 2);
    }
    out[at] = static_cast<std::byte>(value & 0xFF);
    out[at + 1] = static_cast<std::byte>((value >> 8) & 0xFF);
}

void put32(std::vector<std::byte>& out, std::size_t at, std::uint32_t value) {
    put16(out, at, value & 0xFFFF);
    put16(out, at + 2, value >> 16);
}

void append16(std::vector<std::byte>& out, std::uint32_t value) {
    put16(out, out.size(), value);
}
void append32(std::vector<std::byte>& out, std::uint32_t value) {
    put32(out, out.size(), value);
}

void pad(std::vector<std::byte>& out, std::size_t alignment) {
    out.resize((out.size() + alignment - 1) / alignment * alignment);
}

void appendUtf16(std::vector<std::byte>& out, std::string_view text) {
    for (char c : text) {
        append16(out, static_cast<unsigned char>(c));
    }
    append16(out, 0);
}

std::vector<std::byte> fixedFileInfo() {
    std::vector<std::byte> out;
    for (std::uint32_t v : {0xFEEF04BDU, 0x00010000U, 0x00040048U, 0x0C260001U, 0x00040048U,
                            0x0C260001U, 0x3FU, 0U, 0x00040004U, 2U, 0U, 0U, 0U}) {
        append32(out, v);
    }
    return out;
}

struct Placement {
    std::size_t nameTable = 0;
    std::size_t languageTable = 0;
    std::size_t dataEntries = 0;
    std::size_t nameString = 0;
    std::vector<std::size_t> blobs;
};

// Offsets within the resource section: tables, then data entries, then names, then blobs.
std::vector<Placement> place(const std::vector<ResourceType>& types) {
    std::vector<Placement> places(types.size());
    std::size_t at = 16 + 8 * types.size();
    for (std::size_t i = 0; i < types.size(); ++i) {
        places[i].nameTable = at;
        places[i].languageTable = at + 24;
        at += 24 + 16 + 8 * types[i].languages.size();
    }
    for (std::size_t i = 0; i < types.size(); ++i) {
        places[i].dataEntries = at;
        at += 16 * types[i].languages.size();
    }
    for (std::size_t i = 0; i < types.size(); ++i) {
        places[i].nameString = at;
        at += types[i].name.empty() ? 0 : (2 + 2 * types[i].name.size() + 3) / 4 * 4;
    }
    for (std::size_t i = 0; i < types.size(); ++i) {
        for (const auto& blob : types[i].languages) {
            places[i].blobs.push_back(at);
            at += (blob.size() + 7) / 8 * 8;
        }
    }
    return places;
}

void putTable(std::vector<std::byte>& out, std::size_t at, std::size_t named, std::size_t ids) {
    put32(out, at + 8, 0x00000004); // version 4.0
    put16(out, at + 12, static_cast<std::uint32_t>(named));
    put16(out, at + 14, static_cast<std::uint32_t>(ids));
}

std::vector<std::byte> resourceSection(const std::vector<ResourceType>& types) {
    const auto places = place(types);
    std::vector<std::byte> out;
    std::size_t named = 0;
    for (const auto& type : types) {
        named += type.name.empty() ? 0 : 1;
    }
    putTable(out, 0, named, types.size() - named);
    for (std::size_t i = 0; i < types.size(); ++i) {
        const ResourceType& type = types[i];
        const Placement& p = places[i];
        const std::uint32_t name =
            type.name.empty() ? type.id : 0x80000000U | static_cast<std::uint32_t>(p.nameString);
        put32(out, 16 + 8 * i, name);
        put32(out, 16 + 8 * i + 4, 0x80000000U | static_cast<std::uint32_t>(p.nameTable));
        putTable(out, p.nameTable, 0, 1);
        put32(out, p.nameTable + 16, 1);
        put32(out, p.nameTable + 20, 0x80000000U | static_cast<std::uint32_t>(p.languageTable));
        putTable(out, p.languageTable, 0, type.languages.size());
        for (std::size_t l = 0; l < type.languages.size(); ++l) {
            const std::size_t entry = p.dataEntries + 16 * l;
            put32(out, p.languageTable + 16 + 8 * l, l == 0 ? 0x0409 : 0x0407 + l);
            put32(out, p.languageTable + 20 + 8 * l, static_cast<std::uint32_t>(entry));
            put32(out, entry, ResourceRva + static_cast<std::uint32_t>(p.blobs[l]));
            put32(out, entry + 4, static_cast<std::uint32_t>(type.languages[l].size()));
            put32(out, entry + 8, 1252);
            const auto& blob = type.languages[l];
            out.resize(std::max(out.size(), p.blobs[l] + blob.size()));
            std::copy(blob.begin(), blob.end(),
                      out.begin() + static_cast<std::ptrdiff_t>(p.blobs[l]));
        }
        if (!type.name.empty()) {
            put16(out, p.nameString, static_cast<std::uint32_t>(type.name.size()));
            for (std::size_t c = 0; c < type.name.size(); ++c) {
                put16(out, p.nameString + 2 + 2 * c, static_cast<unsigned char>(type.name[c]));
            }
        }
    }
    return out;
}

void putSection(std::vector<std::byte>& out, std::size_t at, std::string_view name,
                std::uint32_t rva, std::size_t virtualSize, std::size_t rawOffset,
                std::size_t rawSize, std::uint32_t characteristics) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        out[at + i] = static_cast<std::byte>(name[i]);
    }
    put32(out, at + 8, static_cast<std::uint32_t>(virtualSize));
    put32(out, at + 12, rva);
    put32(out, at + 16, static_cast<std::uint32_t>(rawSize));
    put32(out, at + 20, static_cast<std::uint32_t>(rawOffset));
    put32(out, at + 36, characteristics);
}

// Headers up to HeaderSize; the sections follow at their file offsets.
std::vector<std::byte> headers(bool pe32Plus, std::size_t resourceSize) {
    std::vector<std::byte> out(HeaderSize);
    put16(out, 0, 0x5A4D);
    put32(out, 0x3C, PeOffset);
    put32(out, PeOffset, 0x00004550);
    const std::size_t coff = PeOffset + 4;
    const std::size_t optionalSize = pe32Plus ? 240 : 224;
    put16(out, coff, pe32Plus ? 0x8664 : 0x014C);
    put16(out, coff + 2, 2);
    put16(out, coff + 16, static_cast<std::uint32_t>(optionalSize));
    put16(out, coff + 18, pe32Plus ? 0x2022 : 0x2102);
    const std::size_t opt = coff + 20;
    put16(out, opt, pe32Plus ? 0x20B : 0x10B);
    put32(out, opt + (pe32Plus ? 24 : 28), 0x10000000);
    put32(out, opt + 32, 0x1000);
    put32(out, opt + 36, FileAlignment);
    put32(out, opt + 56,
          ResourceRva + static_cast<std::uint32_t>((resourceSize + 0xFFF) & ~0xFFFU));
    put32(out, opt + 60, HeaderSize);
    put16(out, opt + 68, 2);
    const std::size_t directories = opt + (pe32Plus ? 108 : 92);
    put32(out, directories, 16);
    put32(out, directories + 4 + 2 * 8, ResourceRva);
    put32(out, directories + 4 + 2 * 8 + 4, static_cast<std::uint32_t>(resourceSize));
    const std::size_t table = opt + optionalSize;
    putSection(out, table, ".text", TextRva, 0x10, HeaderSize, FileAlignment, 0x60000020);
    const std::size_t rawSize = (resourceSize + FileAlignment - 1) / FileAlignment * FileAlignment;
    putSection(out, table + 40, ".rsrc", ResourceRva, resourceSize, HeaderSize + FileAlignment,
               rawSize, 0x40000040);
    return out;
}

} // namespace

VersionNode textNode(std::string key, std::string_view text) {
    VersionNode node{std::move(key), 1, {}, std::nullopt, {}};
    appendUtf16(node.value, text);
    return node;
}

VersionNode binaryNode(std::string key, std::vector<std::byte> value) {
    return VersionNode{std::move(key), 0, std::move(value), std::nullopt, {}};
}

std::vector<std::byte> encodeVersionNode(const VersionNode& node) {
    std::vector<std::byte> out(6);
    appendUtf16(out, node.key);
    pad(out, 4);
    out.insert(out.end(), node.value.begin(), node.value.end());
    for (const VersionNode& child : node.children) {
        pad(out, 4);
        const auto bytes = encodeVersionNode(child);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    const std::size_t natural = node.type == 1 ? node.value.size() / 2 : node.value.size();
    put16(out, 0, static_cast<std::uint32_t>(out.size()));
    put16(out, 2, node.declaredLength.value_or(static_cast<std::uint16_t>(natural)));
    put16(out, 4, node.type);
    return out;
}

VersionNode versionInfoNode(const VersionInfo& info) {
    VersionNode root = binaryNode("VS_VERSION_INFO", fixedFileInfo());
    VersionNode table{info.tableKey, 1, {}, std::nullopt, {}};
    for (const auto& [key, text] : info.strings) {
        table.children.push_back(textNode(key, text));
    }
    root.children.push_back(VersionNode{"StringFileInfo", 1, {}, std::nullopt, {table}});
    if (info.translation) {
        std::vector<std::byte> value;
        append32(value, *info.translation);
        root.children.push_back(
            VersionNode{"VarFileInfo", 1, {}, std::nullopt, {binaryNode("Translation", value)}});
    }
    return root;
}

std::vector<std::byte> versionBlock(const VersionInfo& info) {
    return encodeVersionNode(versionInfoNode(info));
}

PeImage buildPeImage(const PeSpec& spec) {
    const auto section = resourceSection(spec.types);
    PeImage image;
    image.bytes = headers(spec.pe32Plus, section.size());
    image.bytes.resize(HeaderSize + FileAlignment); // the .text section, all zeros
    const std::size_t resourceStart = image.bytes.size();
    image.bytes.insert(image.bytes.end(), section.begin(), section.end());
    pad(image.bytes, FileAlignment);
    const auto places = place(spec.types);
    for (std::size_t i = 0; i < spec.types.size(); ++i) {
        if (spec.types[i].name.empty() && spec.types[i].id == 16 &&
            !spec.types[i].languages.empty() && image.versionSize == 0) {
            image.versionOffset = resourceStart + places[i].blobs[0];
            image.versionSize = spec.types[i].languages[0].size();
            image.versionTypeEntry = resourceStart + 16 + 8 * i;
            image.versionDataEntry = resourceStart + places[i].dataEntries;
        }
    }
    return image;
}

PeImage peWithVersion(const std::vector<std::byte>& version, bool pe32Plus) {
    const std::vector<std::byte> icon(40, std::byte{0x28});
    return buildPeImage({pe32Plus, {{3, {}, {icon}}, {16, {}, {version}}}});
}

std::vector<std::byte> toBytes(std::string_view text) {
    std::vector<std::byte> out;
    for (char c : text) {
        out.push_back(static_cast<std::byte>(c));
    }
    return out;
}

std::string toString(const std::vector<std::byte>& bytes) {
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

} // namespace dividra::test
