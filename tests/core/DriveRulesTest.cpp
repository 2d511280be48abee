#include "core/split/DriveRules.h"
#include "fakes/MemoryFileSystem.h"

#include <gtest/gtest.h>

namespace dividra::core {
namespace {

using platform::DriveType;

TEST(DriveRulesTest, OnlyFixedAndCdRomDrivesTakeNoDiskettesAndOnlyRemovableOnesNoSource) {
    platform::MemoryFileSystem fs;
    struct Case {
        char letter;
        DriveType type;
        const char* refusal; // empty: takes diskettes
    };
    for (const Case& c :
         {Case{'a', DriveType::Removable, ""}, Case{'n', DriveType::Remote, ""},
          Case{'r', DriveType::RamDisk, ""},
          Case{'c', DriveType::Fixed, "c: is a fixed drive, not a diskette drive"},
          Case{'e', DriveType::CdRom, "e: is a CD-ROM drive, not a diskette drive"}}) {
        fs.addDrive(c.letter, c.type, 1 << 20);
        EXPECT_EQ(TakesDiskettes(c.type), *c.refusal == '\0') << c.letter;
        EXPECT_EQ(NotADisketteDriveText(c.letter, c.type).value_or(""), c.refusal);
        const std::string path = std::string(1, c.letter) + ":\\data.zip";
        EXPECT_EQ(OnRemovableDrive(fs, path), c.type == DriveType::Removable) << c.letter;
    }
}

} // namespace
} // namespace dividra::core
