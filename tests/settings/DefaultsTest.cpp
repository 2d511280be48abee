#include "settings/Defaults.h"

#include "ProfileFixture.h"
#include "platform/HostSync.h"
#include "platform/RegistryFormat.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "support/ScopedHook.h"

namespace dividra {
namespace {

constexpr std::string_view kFreshProfile = R"reg(REGEDIT4

[HKEY_CURRENT_USER\Software\Vorlan Software\Dividra]

[HKEY_CURRENT_USER\Software\Vorlan Software\Dividra\Program Info]
"Version"="2.00"

[HKEY_CURRENT_USER\Software\Vorlan Software\Dividra\Window Settings]
"Top"=dword:0000006a
"Left"=dword:00000111
"Height"=dword:000001ad
"Width"=dword:0000025e
"Source Header Split"=dword:000000b5
"Maximized"=dword:00000000
"Desktop Height"=dword:00000000
"Desktop Width"=dword:00000000

[HKEY_CURRENT_USER\Software\Vorlan Software\Dividra\General Options]
"Destination Media"=dword:00000000
"Split Finished Notify By"=dword:00000000
"Split Finished Play Sound"=dword:00000000
"Split Finished Sound"=""
"Split files in 8.3 format"=dword:00000000

[HKEY_CURRENT_USER\Software\Vorlan Software\Dividra\Source File Options]
"Source Folder"=""
"Show File Icons"=dword:00000000
"Filter Count"=dword:00000003
"Filter1 Type"="All Files (*.*)"
"Filter1 Extension"="*"
"Filter2 Type"="Zip Files (*.ZIP)"
"Filter2 Extension"="ZIP"
"Filter3 Type"="EXE Files (*.EXE)"
"Filter3 Extension"="EXE"

[HKEY_CURRENT_USER\Software\Vorlan Software\Dividra\Floppy Options]
"Floppy Drive"=""
"Erase Diskettes"=dword:00000000
"Next Diskette Notify By"=dword:00000000
"Next Diskette Play Sound"=dword:00000000
"Next Diskette Sound"=""
"Minimize While Splitting"=dword:00000000

[HKEY_CURRENT_USER\Software\Vorlan Software\Dividra\Hard Drive Options]
"Destination Folder"=""
"Default Segment Size"="1440"
"Custom Segment Size"=dword:00000040
"Minimize While Splitting"=dword:00000000
)reg";

class DefaultsTest : public test::ProfileFixture {};

TEST_F(DefaultsTest, FirstRunWritesTheFreshProfileOnce) {
    int replacements = 0; // each replacement of the file ends in one flush of its folder
    {
        const test::ScopedHook flushes(
            platform::detail::SetSyncObserver,
            [&replacements](platform::detail::SyncKind kind, const std::string&) {
                replacements += kind == platform::detail::SyncKind::Folder;
            });
        EXPECT_TRUE(EnsureSettingsInitialised(kDesignBounds));
    }
    EXPECT_EQ(replacements, 1);
    EXPECT_EQ(stored(), kFreshProfile);
    const platform::ParsedRegistry parsed = platform::parseRegistry(stored());
    EXPECT_EQ(parsed.badLines, 0);
    EXPECT_EQ(parsed.tree.keys().size(), 7u);
    std::size_t values = 0;
    for (const platform::RegistryKey& key : parsed.tree.keys()) {
        values += key.values.size();
    }
    EXPECT_EQ(values, 33u);

    WriteSettingInt(keys::kFloppyOptions, keys::kMinimizeWhileSplitting, 1);
    EXPECT_FALSE(EnsureSettingsInitialised(kDesignBounds));
    EXPECT_EQ(ReadSettingInt(keys::kFloppyOptions, keys::kMinimizeWhileSplitting, 9), 1);
    EXPECT_EQ(ReadSettingInt(keys::kHardDriveOptions, keys::kMinimizeWhileSplitting, 9), 0);
    EXPECT_EQ(ReadSettingText(keys::kHardDriveOptions, keys::kDefaultSegmentSize, ""), "1440");
    EXPECT_EQ(ReadSettingText(keys::kSourceFileOptions, keys::FilterTypeName(2), ""),
              "Zip Files (*.ZIP)");
}

TEST_F(DefaultsTest, WindowValuesComeFromTheBoundsGiven) {
    WriteDefaultSettings(WindowBounds{11, 22, 33, 44, 55});
    EXPECT_EQ(ReadSettingInt(keys::kWindowSettings, keys::kLeft, 0), 11);
    EXPECT_EQ(ReadSettingInt(keys::kWindowSettings, keys::kTop, 0), 22);
    EXPECT_EQ(ReadSettingInt(keys::kWindowSettings, keys::kWidth, 0), 33);
    EXPECT_EQ(ReadSettingInt(keys::kWindowSettings, keys::kHeight, 0), 44);
    EXPECT_EQ(ReadSettingInt(keys::kWindowSettings, keys::kSourceHeaderSplit, 0), 55);
}

TEST_F(DefaultsTest, AProfileMissingASubkeyIsNotReinitialised) {
    const std::string profile =
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vorlan Software\\Dividra\\Floppy Options]\n"
        "\"Erase Diskettes\"=dword:00000001\n";
    store(profile);
    EXPECT_FALSE(EnsureSettingsInitialised(kDesignBounds));
    EXPECT_EQ(stored(), profile);
    EXPECT_EQ(ReadSettingInt(keys::kSourceFileOptions, keys::kFilterCount, 0), 0);
    EXPECT_EQ(stored(), profile + "\n[HKEY_CURRENT_USER\\Software\\Vorlan Software\\Dividra\\"
                                  "Source File Options]\n");
    EXPECT_EQ(ReadSettingInt(keys::kFloppyOptions, keys::kEraseDiskettes, 0), 1);
}

} // namespace
} // namespace dividra
