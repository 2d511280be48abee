#include "settings/StoredOptions.h"
#include "ProfileFixture.h"

#include <gtest/gtest.h>

namespace dividra::test {
namespace {

using StoredOptionsTest = ProfileFixture;

// A switch is on only at exactly 1, and only as a DWORD; "Destination Media" is the hard drive
// for any DWORD but 0; a missing text is empty.
TEST_F(StoredOptionsTest, EachOptionIsReadByItsOneRule) {
    struct Case {
        const char* value; // as the file stores it; nullptr: no value
        bool on;
        bool hardDrive;
    };
    for (const Case& c : {Case{"dword:00000001", true, true}, Case{"dword:00000002", false, true},
                          Case{"dword:00000000", false, false}, Case{"\"1\"", false, false},
                          Case{nullptr, false, false}}) {
        const std::string line = c.value == nullptr ? "" : std::string("=") + c.value + "\n";
        const auto value = [&](const char* name) {
            return c.value == nullptr ? std::string() : "\"" + std::string(name) + "\"" + line;
        };
        store("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vorlan Software\\Dividra\\General "
              "Options]\n" +
              value("Destination Media") + value("Split files in 8.3 format") +
              "\n[HKEY_CURRENT_USER\\Software\\Vorlan Software\\Dividra\\Floppy Options]\n" +
              value("Erase Diskettes") + value("Minimize While Splitting"));
        const GeneralOptions general = ReadGeneralOptions();
        const FloppyOptions floppy = ReadFloppyOptions();
        SCOPED_TRACE(c.value == nullptr ? "missing" : c.value);
        EXPECT_EQ(general.destinationHardDrive, c.hardDrive);
        EXPECT_EQ(general.splitFiles83Format, c.on);
        EXPECT_EQ(floppy.eraseDiskettes, c.on);
        EXPECT_EQ(floppy.minimizeWhileSplitting, c.on);
        EXPECT_EQ(floppy.drive, "");
        EXPECT_EQ(ReadHardDriveOptions().segmentSize.entry, "1420");
    }
}

} // namespace
} // namespace dividra::test
