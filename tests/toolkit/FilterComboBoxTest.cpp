#include "toolkit/FilterComboBox.h"
#include "ListEvents.h"
#include "fakes/MemoryFileSystem.h"
#include "toolkit/FileListBox.h"

#include <gtest/gtest.h>

namespace dividra::toolkit {
namespace {

// "name=mask" of every item.
QStringList entries(const FilterComboBox& combo) {
    QStringList out;
    for (int row = 0; row < combo.count(); ++row) {
        out.append(combo.itemText(row) + QLatin1Char('=') + combo.itemData(row).toString());
    }
    return out;
}

TEST(FilterComboBoxTest, NamesAndMasksAlternate) {
    FilterComboBox combo;
    const QString filter = QStringLiteral("All Files (*.*)|*.*|Zip Files (*.ZIP)|*.ZIP");
    combo.setFilter(filter);
    EXPECT_EQ(combo.filter(), filter);
    EXPECT_EQ(entries(combo), QStringList({QStringLiteral("All Files (*.*)=*.*"),
                                           QStringLiteral("Zip Files (*.ZIP)=*.ZIP")}));
    EXPECT_EQ(combo.currentIndex(), 0);
    combo.setCurrentIndex(1);
    EXPECT_EQ(combo.mask(), QStringLiteral("*.ZIP"));

    combo.setFilter(QString());
    EXPECT_EQ(combo.count(), 0);
    EXPECT_EQ(combo.mask(), QStringLiteral("*.*"));

    combo.setFilter(QStringLiteral("Text|*.txt|Tail"));
    EXPECT_EQ(entries(combo),
              QStringList({QStringLiteral("Text=*.txt"), QStringLiteral("Tail=*.*")}));
    combo.setFilter(QStringLiteral("Nothing|"));
    EXPECT_EQ(entries(combo), QStringList({QStringLiteral("Nothing=")}));
    EXPECT_EQ(combo.mask(), QString());
    combo.setFilter(QStringLiteral("Text|*.txt|"));
    EXPECT_EQ(entries(combo), QStringList({QStringLiteral("Text=*.txt")}));
}

TEST(FilterComboBoxTest, TheChosenMaskDrivesTheFileList) {
    platform::MemoryFileSystem fs;
    fs.addDrive('c', platform::DriveType::Fixed, 1 << 20);
    fs.putFile("c:\\docs\\data.zip", "d");
    fs.putFile("c:\\docs\\notes.txt", "n");
    FileListBox files;
    files.setFileSystem(&fs);
    ASSERT_TRUE(files.setDirectory(QStringLiteral("c:\\docs")).ok());
    files.setMask(QStringLiteral("*.txt"));

    FilterComboBox combo;
    int announced = 0;
    QObject::connect(&combo, &FilterComboBox::filterChanged, &combo, [&announced] { ++announced; });
    combo.setFilter(QStringLiteral("All Files (*.*)|*.*|Zip Files (*.ZIP)|*.ZIP"));
    combo.setFileList(&files);
    EXPECT_EQ(files.mask(), QStringLiteral("*.*"));
    EXPECT_EQ(files.count(), 2);

    combo.setCurrentIndex(1);
    EXPECT_EQ(files.mask(), QStringLiteral("*.ZIP"));
    EXPECT_EQ(test::texts(files), QStringList({QStringLiteral("data.zip")}));
    EXPECT_EQ(announced, 1);

    combo.setFilter(QStringLiteral("Text (*.txt)|*.TXT"));
    EXPECT_EQ(files.mask(), QStringLiteral("*.TXT"));
    EXPECT_EQ(test::texts(files), QStringList({QStringLiteral("notes.txt")}));
    EXPECT_EQ(announced, 1);
}

} // namespace
} // namespace dividra::toolkit
