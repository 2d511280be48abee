#include "settings/Settings.h"

#include "ProfileFixture.h"
#include "settings/SettingsKeys.h"

#include <climits>

namespace dividra {
namespace {

using namespace std::string_literals;

using test::kHeader;
using test::kKey;

class SettingsTest : public test::ProfileFixture {};

TEST_F(SettingsTest, IntegersAreStoredAsDwordsAndReadBackSigned) {
    EXPECT_TRUE(WriteSettingInt(kKey, "Flag", 2));
    EXPECT_TRUE(WriteSettingInt(kKey, "Minus", -5));
    EXPECT_TRUE(WriteSettingInt(kKey, "Lowest", INT_MIN));
    EXPECT_EQ(stored(), kHeader + "\"Flag\"=dword:00000002\n"
                                  "\"Minus\"=dword:fffffffb\n"
                                  "\"Lowest\"=dword:80000000\n");
    // A flag stored as 2 reads as 2: callers compare with 1.
    EXPECT_EQ(ReadSettingInt(kKey, "Flag", 0), 2);
    EXPECT_EQ(ReadSettingInt(kKey, "minus", 0), -5);
    EXPECT_EQ(ReadSettingInt(kKey, "Lowest", 0), INT_MIN);
    EXPECT_EQ(ReadSettingInt(kKey, "Missing", 17), 17);
}

TEST_F(SettingsTest, TextsAreStoredAsRegSzWithoutTerminator) {
    EXPECT_TRUE(WriteSettingText(kKey, "Empty", ""));
    EXPECT_TRUE(WriteSettingText(kKey, "Folder", "c:\\out \"new\""));
    EXPECT_TRUE(WriteSettingText(kKey, "Lines", "a\nb"));
    EXPECT_TRUE(WriteSettingText(kKey, "Latin", "caf\xe9"));
    EXPECT_EQ(stored(), kHeader + "\"Empty\"=\"\"\n"
                                  "\"Folder\"=\"c:\\\\out \\\"new\\\"\"\n"
                                  "\"Lines\"=hex(1):61,0a,62\n"
                                  "\"Latin\"=hex(1):63,61,66,e9\n");
    EXPECT_EQ(ReadSettingText(kKey, "Empty", "default"), "");
    EXPECT_EQ(ReadSettingText(kKey, "Folder", ""), "c:\\out \"new\"");
    EXPECT_EQ(ReadSettingText(kKey, "Lines", ""), "a\nb");
    EXPECT_EQ(ReadSettingText(kKey, "Latin", ""), "caf\xe9");
    // Missing reads as empty, not as the default.
    EXPECT_EQ(ReadSettingText(kKey, "Missing", "default"), "");
}

TEST_F(SettingsTest, MistypedValuesReadAsTheDefault) {
    store(kHeader + "\"Number Text\"=\"1440\"\n"
                    "\"Dword\"=dword:00000040\n"
                    "\"Five Bytes\"=hex(4):40,00,00,00,00\n"
                    "\"Three Bytes\"=hex(4):40,00,00\n"
                    "\"Binary\"=hex:40,00,00,00\n"
                    "\"No Bytes\"=hex:\n"
                    "\"Expand\"=hex(2):25,54,45,4d,50,25,5c,78,00,79\n"
                    "\"Hex Text\"=hex(1):61,62,00,63\n"
                    "\"Multi\"=hex(7):61,00,00\n");
    EXPECT_EQ(ReadSettingInt(kKey, "Number Text", 7), 7);
    EXPECT_EQ(ReadSettingInt(kKey, "Dword", 7), 64);
    EXPECT_EQ(ReadSettingInt(kKey, "Five Bytes", 7), 7);
    EXPECT_EQ(ReadSettingInt(kKey, "Three Bytes", 7), 7);
    EXPECT_EQ(ReadSettingInt(kKey, "Binary", 7), 7);
    EXPECT_EQ(ReadSettingText(kKey, "Dword", "default"), "default");
    EXPECT_EQ(ReadSettingText(kKey, "Binary", "default"), "default");
    EXPECT_EQ(ReadSettingText(kKey, "Multi", "default"), "default");
    EXPECT_EQ(ReadSettingText(kKey, "No Bytes", "default"), "");
    EXPECT_EQ(ReadSettingText(kKey, "Expand", "default"), "%TEMP%\\x");
    EXPECT_EQ(ReadSettingText(kKey, "Hex Text", "default"), "ab");
}

TEST_F(SettingsTest, ReadersCreateMissingKeysAndOnlyThose) {
    const std::string product =
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vorlan Software\\Dividra]\n";
    store(product);
    EXPECT_TRUE(SettingsKeyExists(keys::kProduct, false));
    EXPECT_FALSE(SettingsKeyExists(keys::kFloppyOptions, false));
    EXPECT_EQ(stored(), product);

    EXPECT_EQ(ReadSettingInt(keys::kFloppyOptions, keys::kEraseDiskettes, 3), 3);
    const std::string withFloppy =
        product + "\n[HKEY_CURRENT_USER\\Software\\Vorlan Software\\Dividra\\Floppy Options]\n";
    EXPECT_EQ(stored(), withFloppy);
    EXPECT_TRUE(SettingsKeyExists(keys::kFloppyOptions, false));

    EXPECT_EQ(ReadSettingText(keys::kGeneralOptions, keys::kSplitFinishedSound, "x"), "");
    EXPECT_TRUE(SettingsKeyExists("Software\\Other", true));
    EXPECT_EQ(stored(), withFloppy +
                            "\n[HKEY_CURRENT_USER\\Software\\Vorlan Software\\Dividra\\General "
                            "Options]\n\n[HKEY_CURRENT_USER\\Software\\Other]\n");
}

TEST_F(SettingsTest, NumberedFilterNames) {
    EXPECT_EQ(keys::FilterTypeName(1), "Filter1 Type");
    EXPECT_EQ(keys::FilterExtensionName(12), "Filter12 Extension");
}

} // namespace
} // namespace dividra
