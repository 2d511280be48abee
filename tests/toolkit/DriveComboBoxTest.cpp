#include "toolkit/DriveComboBox.h"
#include "fakes/MemoryFileSystem.h"

#include <gtest/gtest.h>

#include <string>

namespace dividra::toolkit {
namespace {

using platform::DriveType;

class DriveComboBoxTest : public ::testing::Test {
protected:
    DriveComboBoxTest() {
        fs.addDrive('a', DriveType::Removable, 1474560, "FLOPPY");
        fs.addDrive('c', DriveType::Fixed, 1 << 20, "System");
        fs.addDrive('d', DriveType::CdRom, 1 << 20, "CDROM");
        fs.addDrive('e', DriveType::RamDisk, 1 << 20);
        fs.addDrive('f', DriveType::Remote, 1 << 20, "\\\\server\\share");
        fs.addDrive('g', DriveType::Remote, 1 << 20);
        combo.setFileSystem(&fs);
        QObject::connect(&combo, &DriveComboBox::driveChanged, &combo,
                         [this](char letter) { changes += letter; });
    }

    QStringList itemTexts() const {
        QStringList out;
        for (int row = 0; row < combo.count(); ++row) {
            out.append(combo.itemText(row));
        }
        return out;
    }

    platform::MemoryFileSystem fs;
    DriveComboBox combo;
    std::string changes;
};

TEST_F(DriveComboBoxTest, ItemTextsFollowTheDriveKind) {
    EXPECT_EQ(itemTexts(),
              QStringList({QStringLiteral("a:"), QStringLiteral("c: [System]"),
                           QStringLiteral("d: [CDROM]"), QStringLiteral("e: []"),
                           QStringLiteral("f: \\\\server\\share"), QStringLiteral("g:")}));
    EXPECT_EQ(combo.drive(), 'c');
}

TEST_F(DriveComboBoxTest, DriveChangedOnlyWhenTheDriveReallyChanges) {
    combo.setDrive('D');
    EXPECT_EQ(combo.drive(), 'd');
    combo.setDrive('d');
    combo.setDrive('z'); // no such drive: nothing happens
    EXPECT_EQ(combo.drive(), 'd');
    combo.setCurrentIndex(0); // as the user picks it
    EXPECT_EQ(changes, "da");

    combo.clearSelection();
    EXPECT_EQ(combo.drive(), 0);
    EXPECT_EQ(combo.currentIndex(), -1);
    combo.setDrive('a');
    EXPECT_EQ(changes, "daa");

    combo.removeItem(0); // the selection moves to the next drive
    EXPECT_EQ(combo.itemText(0), QStringLiteral("c: [System]"));
    EXPECT_EQ(combo.drive(), 'c');
    EXPECT_EQ(changes, "daac");
}

TEST_F(DriveComboBoxTest, RefillKeepsTheDriveWhileItExists) {
    combo.setDrive('f');
    fs.medium('c')->setLabel("Renamed");
    combo.refill();
    EXPECT_EQ(combo.drive(), 'f');
    EXPECT_EQ(combo.itemText(1), QStringLiteral("c: [Renamed]"));
    EXPECT_EQ(changes, "f");

    platform::MemoryFileSystem fewer;
    fewer.addDrive('c', DriveType::Fixed, 1 << 20, "System");
    combo.setFileSystem(&fewer); // f: is gone: back to c:
    EXPECT_EQ(combo.count(), 1);
    EXPECT_EQ(changes, "fc");

    platform::MemoryFileSystem noC;
    noC.addDrive('a', DriveType::Removable, 1474560);
    noC.addDrive('x', DriveType::Fixed, 1 << 20, "X");
    combo.setFileSystem(&noC); // without c: the first drive
    EXPECT_EQ(combo.drive(), 'a');
    EXPECT_EQ(changes, "fca");
}

} // namespace
} // namespace dividra::toolkit
