#include "platform/PeVersion.h"

#include "support/PeImage.h"

#include <gtest/gtest.h>

#include <random>

namespace dividra::platform {
namespace {

using test::PeImage;
using test::VersionNode;

// Where the builder puts things: e_lfanew 0x80, so the optional header at 0x80 + 4 + 20; the
// .rsrc raw data at file offset 0x400, RVA 0x2000.
constexpr std::size_t OptionalHeader = 0x98;
constexpr std::size_t ResourceStart = 0x400;
constexpr std::uint32_t ResourceRva = 0x2000;
constexpr const char* FileVersionPath = "\\StringFileInfo\\040904E4\\FileVersion";

std::vector<std::byte> bytes(std::initializer_list<int> values) {
    std::vector<std::byte> out;
    for (int v : values) {
        out.push_back(static_cast<std::byte>(v));
    }
    return out;
}

std::vector<std::byte> with32(std::vector<std::byte> image, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        image[at + i] = static_cast<std::byte>(value >> (8 * i) & 0xFF);
    }
    return image;
}

std::optional<std::string> fileVersionOf(std::span<const std::byte> image) {
    const auto block = ReadVersionResource(image);
    return block ? QueryVersionString(*block, FileVersionPath) : std::nullopt;
}

std::optional<std::vector<std::byte>> valueOf(const std::vector<std::byte>& block,
                                              std::string_view path) {
    const auto value = QueryVersionValue(block, path);
    return value ? std::optional(std::vector<std::byte>(value->begin(), value->end()))
                 : std::nullopt;
}

TEST(ReadVersionResourceTest, ReturnsTheVersionBlockOfPe32AndPe32Plus) {
    const auto block = test::versionBlock();
    for (bool pe32Plus : {false, true}) {
        SCOPED_TRACE(pe32Plus ? "PE32+" : "PE32");
        const PeImage pe = test::peWithVersion(block, pe32Plus);
        EXPECT_EQ(ReadVersionResource(pe.bytes), block);
        EXPECT_EQ(fileVersionOf(pe.bytes), "4.72.3110.1");
    }
}

TEST(ReadVersionResourceTest, TakesTypeSixteenFirstNameFirstLanguage) {
    const auto english = test::versionBlock();
    const auto german = test::versionBlock({"04070000", {{"FileVersion", "9.9"}}, 0x00000407});
    const auto icon = bytes({1, 2, 3, 4});
    // A string-named type "16" and a type numbered 15 come first; neither counts.
    const PeImage pe = test::buildPeImage(
        {false,
         {{0, "16", {german}}, {3, {}, {icon}}, {15, {}, {german}}, {16, {}, {english, german}}}});
    EXPECT_EQ(ReadVersionResource(pe.bytes), english);
}

TEST(ReadVersionResourceTest, NothingWithoutAVersionResource) {
    const auto icon = bytes({1, 2, 3, 4});
    EXPECT_EQ(ReadVersionResource(test::buildPeImage({false, {{3, {}, {icon}}}}).bytes),
              std::nullopt);
    EXPECT_EQ(ReadVersionResource(test::buildPeImage({true, {{0, "VERSION", {icon}}}}).bytes),
              std::nullopt);
    EXPECT_EQ(ReadVersionResource(test::buildPeImage({false, {{16, {}, {}}}}).bytes), std::nullopt);
}

TEST(ReadVersionResourceTest, NothingForFilesThatArentPeImages) {
    const auto valid = test::peWithVersion(test::versionBlock()).bytes;
    EXPECT_EQ(ReadVersionResource({}), std::nullopt);
    EXPECT_EQ(ReadVersionResource(test::toBytes("MZ")), std::nullopt);
    EXPECT_EQ(ReadVersionResource(test::toBytes(std::string(4096, 'x'))), std::nullopt);

    const auto broken = [&](std::size_t at, std::uint32_t value) {
        return ReadVersionResource(with32(valid, at, value));
    };
    EXPECT_EQ(broken(0, 0x00905A4E), std::nullopt);    // "NZ" instead of "MZ"
    EXPECT_EQ(broken(0x3C, 0xFFFFFFF0), std::nullopt); // e_lfanew far beyond the end
    EXPECT_EQ(broken(0x3C, static_cast<std::uint32_t>(valid.size() - 10)), std::nullopt); // cut
    EXPECT_EQ(broken(0x80, 0x00004E50), std::nullopt);                 // "PN\0\0"
    EXPECT_EQ(broken(0x84 + 16, 0x21020000 | 110), std::nullopt);      // optional header too short
    EXPECT_EQ(broken(OptionalHeader, 0x0000010C), std::nullopt);       // unknown magic
    EXPECT_EQ(broken(OptionalHeader + 92, 2), std::nullopt);           // only two data directories
    EXPECT_EQ(broken(OptionalHeader + 96 + 16, 0), std::nullopt);      // no resource directory
    EXPECT_EQ(broken(OptionalHeader + 96 + 16, 0x9000), std::nullopt); // RVA in no section
    EXPECT_EQ(broken(0x84, 0xFFFF014C), std::nullopt);                 // 65535 sections, 2 there
}

TEST(ReadVersionResourceTest, NothingWhenTheResourceTreeIsMalformed) {
    const PeImage pe = test::peWithVersion(test::versionBlock());
    const auto broken = [&](std::size_t at, std::uint32_t value) {
        return ReadVersionResource(with32(pe.bytes, at, value));
    };
    const auto dataRva = ResourceRva + static_cast<std::uint32_t>(pe.versionOffset - ResourceStart);
    ASSERT_TRUE(broken(pe.versionDataEntry, dataRva)); // the offsets below are the right ones
    EXPECT_EQ(broken(pe.versionTypeEntry + 4, 0x00000020), std::nullopt); // data, not a table
    EXPECT_EQ(broken(pe.versionTypeEntry + 4, 0x8000FFF0), std::nullopt); // table beyond section
    EXPECT_EQ(broken(ResourceStart + 12, 0x0002FFFF), std::nullopt);      // 65535 named, 2 there
    EXPECT_EQ(broken(pe.versionDataEntry, 0x9000), std::nullopt);         // data in no section
    EXPECT_EQ(broken(pe.versionDataEntry + 4, 0), std::nullopt);
    EXPECT_EQ(broken(pe.versionDataEntry + 4, 0x10000), std::nullopt); // past the section's end
    // A smaller size gives just those bytes; the block they cut then answers no query.
    const auto cut = broken(pe.versionDataEntry + 4, 20);
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->size(), 20U);
    EXPECT_EQ(QueryVersionValue(*cut, "\\"), std::nullopt);
}

TEST(QueryVersionValueTest, WalksKeysOfAHandWrittenBlock) {
    // Root "R" (binary, 4 bytes) holding "Key" (text "v1"): 16 + 22 bytes.
    const auto block =
        bytes({38, 0, 4, 0,   0, 0,   'R', 0,   0, 0, 0, 0, 1, 2,   3, 4,   22, 0, 3,
               0,  1, 0, 'K', 0, 'e', 0,   'y', 0, 0, 0, 0, 0, 'v', 0, '1', 0,  0, 0});
    EXPECT_EQ(valueOf(block, "\\"), bytes({1, 2, 3, 4}));
    EXPECT_EQ(valueOf(block, ""), bytes({1, 2, 3, 4}));
    EXPECT_EQ(valueOf(block, "\\Key"), bytes({'v', 0, '1', 0, 0, 0}));
    EXPECT_EQ(QueryVersionString(block, "\\KEY\\"), "v1");
    EXPECT_EQ(QueryVersionString(block, "key"), "v1");
    EXPECT_EQ(QueryVersionValue(block, "\\Ke"), std::nullopt);
    EXPECT_EQ(QueryVersionValue(block, "\\Key\\Key"), std::nullopt);
    EXPECT_EQ(QueryVersionValue(block, "\\R"), std::nullopt);
    // Each declared length one byte short of what the nodes need.
    EXPECT_EQ(QueryVersionValue(std::span(block).first(37), "\\"), std::nullopt);
    auto shortChild = block;
    shortChild[16] = std::byte{21};
    EXPECT_EQ(QueryVersionString(shortChild, "\\Key"), "v1"); // value cut at its block's end
    shortChild[16] = std::byte{23};
    EXPECT_EQ(QueryVersionValue(shortChild, "\\Key"), std::nullopt); // longer than its parent
}

TEST(QueryVersionValueTest, ReadsTheStandardBlock) {
    const auto block = test::versionBlock();
    const auto fixed = valueOf(block, "\\");
    ASSERT_TRUE(fixed);
    ASSERT_EQ(fixed->size(), 52U);
    EXPECT_EQ(std::vector(fixed->begin(), fixed->begin() + 4), bytes({0xBD, 0x04, 0xEF, 0xFE}));
    EXPECT_EQ(valueOf(block, "\\VarFileInfo\\Translation"), bytes({0x09, 0x04, 0xE4, 0x04}));
    EXPECT_EQ(QueryVersionString(block, FileVersionPath), "4.72.3110.1");
    EXPECT_EQ(QueryVersionString(block, "\\stringfileinfo\\040904e4\\fileversion"), "4.72.3110.1");
    EXPECT_EQ(QueryVersionString(block, "\\StringFileInfo\\040904E4\\CompanyName"),
              "Vorlan Software");
    EXPECT_EQ(QueryVersionString(block, "\\StringFileInfo\\040904E4\\ProductVersion"),
              std::nullopt);
    EXPECT_EQ(QueryVersionString(block, "\\StringFileInfo\\040904B0\\FileVersion"), std::nullopt);
    EXPECT_EQ(QueryVersionValue({}, "\\"), std::nullopt);
}

TEST(QueryVersionStringTest, TextAsStoredUpToItsZero) {
    const auto stringOf = [](VersionNode node) {
        VersionNode root{"R", 0, {}, std::nullopt, {std::move(node)}};
        return QueryVersionString(test::encodeVersionNode(root), "\\S");
    };
    EXPECT_EQ(stringOf(test::textNode("S", " 4.72 , beta ")), " 4.72 , beta ");
    EXPECT_EQ(stringOf(test::textNode("S", "")), "");
    EXPECT_EQ(stringOf(test::textNode("S", std::string("1.0\0junk", 8))), "1.0");
    VersionNode wide{"S", 1, bytes({'1', 0, 0xE9, 0, '.', 0, 0x3A, 0x20, 0, 0}), {}, {}};
    EXPECT_EQ(stringOf(wide), "1?.?");
    VersionNode unterminated{"S", 1, bytes({'7', 0, '.', 0, '1', 0}), {}, {}};
    EXPECT_EQ(stringOf(unterminated), "7.1");
    VersionNode countedInBytes = test::textNode("S", "2.0");
    countedInBytes.declaredLength = 8; // bytes where characters belong: cut at the zero anyway
    EXPECT_EQ(stringOf(countedInBytes), "2.0");
    VersionNode declaredShort = test::textNode("S", "2.0");
    declaredShort.declaredLength = 2;
    EXPECT_EQ(stringOf(declaredShort), "2.");
}

TEST(QueryVersionValueTest, MalformedChildrenEndTheSearch) {
    auto block = test::encodeVersionNode(
        {"R", 0, {}, std::nullopt, {test::textNode("A", "1"), test::textNode("B", "2")}});
    ASSERT_EQ(QueryVersionString(block, "\\B"), "2");
    auto zeroLength = block;
    zeroLength[12] = zeroLength[13] = std::byte{0}; // "A" claims 0 bytes: no endless loop
    EXPECT_EQ(QueryVersionValue(zeroLength, "\\B"), std::nullopt);
    auto endlessKey = block;
    endlessKey[12] = std::byte{8}; // "A" ends inside its own key
    EXPECT_EQ(QueryVersionValue(endlessKey, "\\A"), std::nullopt);
}

TEST(ReadVersionResourceTest, TruncatedImagesNeverReadPastTheirEnd) {
    for (bool pe32Plus : {false, true}) {
        const auto block = test::versionBlock();
        const PeImage pe = test::peWithVersion(block, pe32Plus);
        const std::size_t needed = pe.versionOffset + pe.versionSize;
        for (std::size_t length = 0; length <= pe.bytes.size(); ++length) {
            // A copy of exactly that length, so the sanitizer sees any read beyond it.
            const std::vector<std::byte> cut(pe.bytes.begin(), pe.bytes.begin() + length);
            const auto read = ReadVersionResource(cut);
            if (length >= needed) {
                ASSERT_EQ(read, block) << length;
            } else {
                ASSERT_EQ(read, std::nullopt) << length;
            }
        }
        for (std::size_t length = 0; length <= block.size(); ++length) {
            const std::vector<std::byte> cut(block.begin(), block.begin() + length);
            const auto text = QueryVersionString(cut, FileVersionPath);
            ASSERT_EQ(text, length == block.size() ? std::optional<std::string>("4.72.3110.1")
                                                   : std::nullopt)
                << length;
        }
    }
}

TEST(ReadVersionResourceTest, CorruptedImagesNeverCrash) {
    std::mt19937 random(20240601);
    const PeImage pe = test::peWithVersion(test::versionBlock());
    int intact = 0;
    for (int variant = 0; variant < 4000; ++variant) {
        auto image = pe.bytes;
        // Headers and tree, the version block, or anywhere: one to eight bytes each.
        const std::size_t region = variant % 3;
        const std::size_t begin = region == 1 ? pe.versionOffset : 0;
        const std::size_t end = region == 0   ? pe.versionOffset
                                : region == 1 ? pe.versionOffset + pe.versionSize
                                              : image.size();
        const int flips = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < flips; ++i) {
            image[begin + random() % (end - begin)] = static_cast<std::byte>(random());
        }
        std::vector<std::byte> exact(image.begin(), image.begin() + random() % image.size());
        for (const auto* candidate : {&image, &exact}) {
            const auto block = ReadVersionResource(*candidate);
            if (block) {
                (void)QueryVersionValue(*block, "\\VarFileInfo\\Translation");
                intact += QueryVersionString(*block, FileVersionPath) == "4.72.3110.1";
            }
        }
    }
    EXPECT_GT(intact, 100); // many flips miss what matters
}

} // namespace
} // namespace dividra::platform
