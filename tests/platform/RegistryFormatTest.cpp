#include "platform/RegistryFormat.h"

#include <gtest/gtest.h>

#include <string>

namespace dividra::platform {
namespace {

using namespace std::string_literals;

RegistryValue value(std::uint32_t type, std::string data) {
    return {type, std::move(data)};
}

TEST(RegistryFormatTest, WritesEachTypeInItsForm) {
    RegistryTree tree;
    EXPECT_TRUE(tree.createKey("Software\\Empty"));
    const std::string key = "Software\\Types";
    tree.setValue(key, "Size", value(kRegDword, "\x40\0\0\0"s));
    tree.setValue(key, "Minus", value(kRegDword, "\xfe\xff\xff\xff"s));
    tree.setValue(key, "Text", value(kRegSz, "say \"hi\" \\ bye"));
    tree.setValue(key, "Blank", value(kRegSz, ""));
    tree.setValue(key, "Unicode", value(kRegSz, "caf\xc3\xa9"));
    tree.setValue(key, "Lines", value(kRegSz, "a\r\nb"));
    tree.setValue(key, "Path", value(kRegExpandSz, "%TEMP%"));
    tree.setValue(key, "Bytes", value(kRegBinary, "\x00\xff\x10"s));
    tree.setValue(key, "NoBytes", value(kRegBinary, ""));
    tree.setValue(key, "None", value(kRegNone, "\x01"));
    tree.setValue(key, "Quad", value(11, "\x01\0\0\0\0\0\0\0"s));
    tree.setValue(key, "Short Dword", value(kRegDword, "\x01\x02"));
    tree.setValue(key, "", value(kRegSz, "default"));
    tree.setValue(key, "odd \"name\" \\", value(kRegDword, "\0\0\0\0"s));
    tree.setValue("", "At Root", value(kRegDword, "\x01\0\0\0"s));

    const std::string expected = "REGEDIT4\n"
                                 "\n"
                                 "[HKEY_CURRENT_USER\\Software\\Empty]\n"
                                 "\n"
                                 "[HKEY_CURRENT_USER\\Software\\Types]\n"
                                 "\"Size\"=dword:00000040\n"
                                 "\"Minus\"=dword:fffffffe\n"
                                 "\"Text\"=\"say \\\"hi\\\" \\\\ bye\"\n"
                                 "\"Blank\"=\"\"\n"
                                 "\"Unicode\"=\"caf\xc3\xa9\"\n"
                                 "\"Lines\"=hex(1):61,0d,0a,62\n"
                                 "\"Path\"=hex(2):25,54,45,4d,50,25\n"
                                 "\"Bytes\"=hex:00,ff,10\n"
                                 "\"NoBytes\"=hex:\n"
                                 "\"None\"=hex(0):01\n"
                                 "\"Quad\"=hex(b):01,00,00,00,00,00,00,00\n"
                                 "\"Short Dword\"=hex(4):01,02\n"
                                 "@=\"default\"\n"
                                 "\"odd \\\"name\\\" \\\\\"=dword:00000000\n"
                                 "\n"
                                 "[HKEY_CURRENT_USER]\n"
                                 "\"At Root\"=dword:00000001\n";
    EXPECT_EQ(formatRegistry(tree), expected);

    const ParsedRegistry parsed = parseRegistry(expected);
    EXPECT_EQ(parsed.badLines, 0);
    EXPECT_EQ(formatRegistry(parsed.tree), expected);
    EXPECT_EQ(*parsed.tree.findValue(key, "Minus"), value(kRegDword, "\xfe\xff\xff\xff"s));
    EXPECT_EQ(*parsed.tree.findValue(key, "odd \"name\" \\"), value(kRegDword, "\0\0\0\0"s));
    EXPECT_EQ(*parsed.tree.findValue(key, "Quad"), value(11, "\x01\0\0\0\0\0\0\0"s));
    EXPECT_EQ(*parsed.tree.findValue(key, "NoBytes"), value(kRegBinary, ""));
}

TEST(RegistryFormatTest, EveryTextRoundTripsAndOnlyPrintableUtf8IsQuoted) {
    struct Case {
        std::string text;
        bool quoted;
    };
    const Case cases[] = {
        {"plain", true},
        {"\"quoted\" and \\back\\slashed\\", true},
        {"trailing backslash \\", true},
        {"  spaces around  ", true},
        {"\xe2\x82\xac \xf0\x9f\x98\x80", true}, // euro sign, emoji
        {"line\nbreak", false},
        {"carriage\rreturn", false},
        {"tab\there", false},
        {"nul\0inside"s, false},
        {"\0"s, false},
        {"latin1 caf\xe9", false},
        {"\xc3\x28", false},         // bad continuation byte
        {"\xc0\xaf", false},         // overlong
        {"\xed\xa0\x80", false},     // surrogate
        {"\xf4\x90\x80\x80", false}, // beyond U+10FFFF
        {"\xc2\x85", false},         // C1 control
        {"cut \xe2\x82", false},
        {"del\x7f", false},
        {std::string(300, 'x') + "\n", false},
    };
    for (const Case& c : cases) {
        RegistryTree tree;
        tree.setValue("K", "t", value(kRegSz, c.text));
        const std::string text = formatRegistry(tree);
        EXPECT_EQ(text.find("\"t\"=\"") != std::string::npos, c.quoted) << text;
        const ParsedRegistry parsed = parseRegistry(text);
        EXPECT_EQ(parsed.badLines, 0) << text;
        const RegistryValue* back = parsed.tree.findValue("K", "t");
        ASSERT_NE(back, nullptr) << text;
        EXPECT_EQ(*back, value(kRegSz, c.text)) << text;
    }
}

TEST(RegistryFormatTest, LongHexDataGoesOnContinuationLines) {
    std::string bytes;
    for (int i = 0; i < 30; ++i) {
        bytes += static_cast<char>(i);
    }
    RegistryTree tree;
    tree.setValue("K", "b", value(kRegBinary, bytes));
    EXPECT_EQ(formatRegistry(tree), "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n"
                                    "\"b\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,"
                                    "10,11,12,13,14,15,16,\\\n"
                                    "  17,18,19,1a,1b,1c,1d\n");

    // Continuation lines carry 25 bytes and no line exceeds 78 characters.
    tree.setValue("K", "b", value(kRegBinary, std::string(1000, '\xab')));
    const std::string text = formatRegistry(tree);
    std::size_t start = text.find("\"b\"");
    int lines = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        EXPECT_LE(end - start, 78u);
        ++lines;
    }
    EXPECT_EQ(lines, 1 + (1000 - 23 + 24) / 25);
    EXPECT_EQ(*parseRegistry(text).tree.findValue("K", "b"),
              value(kRegBinary, std::string(1000, '\xab')));
}

TEST(RegistryFormatTest, ParsesRegeditStyleContinuationsAndLineEnds) {
    const std::string text = "\xEF\xBB\xBFREGEDIT4\r\n"
                             "\r\n"
                             "; exported by hand\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Test]  \r\n"
                             "\"Blob\"=hex:01,02,\\\r\n"
                             "  03,04,\\\r\n"
                             "\t05 , AB\r\n"
                             "\"Path\"=hex(2):25,00,\\\n"
                             "    41,00\n"
                             "\"Short\"=DWORD:ff\r\n"
                             "@=\"x\"\r\n";
    const ParsedRegistry parsed = parseRegistry(text);
    EXPECT_EQ(parsed.badLines, 0);
    EXPECT_EQ(*parsed.tree.findValue("Software\\Test", "Blob"),
              value(kRegBinary, "\x01\x02\x03\x04\x05\xab"));
    EXPECT_EQ(*parsed.tree.findValue("Software\\Test", "Path"), value(kRegExpandSz, "%\0A\0"s));
    EXPECT_EQ(*parsed.tree.findValue("Software\\Test", "Short"), value(kRegDword, "\xff\0\0\0"s));
    EXPECT_EQ(*parsed.tree.findValue("Software\\Test", ""), value(kRegSz, "x"));
}

TEST(RegistryFormatTest, NamesCompareWithoutCaseAndKeepTheirCase) {
    RegistryTree tree;
    EXPECT_TRUE(tree.setValue("Software\\Vorlan\\Dividra", "Name", value(kRegSz, "a")));
    EXPECT_TRUE(tree.setValue("SOFTWARE\\vorlan\\DIVIDRA", "NAME", value(kRegSz, "b")));
    EXPECT_FALSE(tree.setValue("software\\vorlan\\dividra", "name", value(kRegSz, "b")));
    EXPECT_FALSE(tree.createKey("SOFTWARE\\VORLAN"));
    EXPECT_TRUE(tree.keyExists("software"));
    EXPECT_FALSE(tree.keyExists("Soft"));
    EXPECT_FALSE(tree.keyExists("Software\\Vorlan\\Dividra\\Sub"));
    EXPECT_EQ(formatRegistry(tree),
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vorlan\\Dividra]\n\"Name\"=\"b\"\n");

    // A key read after one of its descendants merges into the listed one.
    const ParsedRegistry parsed = parseRegistry("REGEDIT4\n\n[HKEY_CURRENT_USER\\A\\B]\n"
                                                "\"v\"=dword:00000001\n\n"
                                                "[HKEY_CURRENT_USER\\a]\n\n"
                                                "[hkey_current_user\\a\\b]\n"
                                                "\"V\"=dword:00000002\n");
    EXPECT_EQ(parsed.badLines, 0);
    EXPECT_EQ(formatRegistry(parsed.tree),
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\A\\B]\n\"v\"=dword:00000002\n");
}

TEST(RegistryFormatTest, KeepsWhatParsesAndCountsTheRest) {
    struct Case {
        const char* what;
        std::string text;
        int badLines;
        std::string kept; // the tree that remains, as text
    };
    const std::string head = "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n";
    const Case cases[] = {
        {"empty file", "", 0, "REGEDIT4\n"},
        {"bad line in the middle", head + "\"a\"=\"1\"\n\"b\"=dword:xyz\n\"c\"=\"3\"\n", 1,
         head + "\"a\"=\"1\"\n\"c\"=\"3\"\n"},
        {"no first line", "[HKEY_CURRENT_USER\\K]\n\"a\"=\"1\"\n", 1, head + "\"a\"=\"1\"\n"},
        {"other first line", "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\K]\n", 1,
         "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n"},
        {"value before any header", "REGEDIT4\n\"a\"=\"1\"\n", 1, "REGEDIT4\n"},
        {"values under a bad header",
         head + "[HKEY_LOCAL_MACHINE\\X]\n\"x\"=\"1\"\n[HKEY_CURRENT_USER\\K\\]\n\"y\"=\"2\"\n"
                "[HKEY_CURRENT_USER\\K]\n\"z\"=\"3\"\n",
         4, head + "\"z\"=\"3\"\n"},
        {"bad escapes and forms",
         head +
             "\"a\"=\"\\n\"\n\"b\"=\"open\n\"c\"=hex:1,02\n\"d\"=hex:01,\n\"e\"=dword:123456789\n"
             "\"f\"=hex(zz):01\n\"g\"=sz:x\n\"h\"\n\"i\"=\"x\" trailing\n\"j\"=hex:01,\\\n",
         10, head},
        {"cut dword", head + "\"a\"=\"1\"\n\"b\"=dword:0000004", 1, head + "\"a\"=\"1\"\n"},
        {"cut hex", head + "\"b\"=hex:01,02", 1, head},
        {"complete last lines", head + "\"a\"=\"1\"\n\"b\"=dword:00000040", 0,
         head + "\"a\"=\"1\"\n\"b\"=dword:00000040\n"},
        {"header last", "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]", 0, head},
        {"value set twice", head + "\"a\"=\"1\"\n\"A\"=dword:00000002\n", 0,
         head + "\"a\"=dword:00000002\n"},
    };
    for (const Case& c : cases) {
        const ParsedRegistry parsed = parseRegistry(c.text);
        EXPECT_EQ(parsed.badLines, c.badLines) << c.what;
        EXPECT_EQ(formatRegistry(parsed.tree), c.kept) << c.what;
    }
}

} // namespace
} // namespace dividra::platform
