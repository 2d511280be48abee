#include "toolkit/FileListBox.h"
#include "ListEvents.h"
#include "fakes/MemoryFileSystem.h"

#include <QScrollBar>
#include <gtest/gtest.h>
#include <iostream>

namespace dividra::toolkit {
namespace {

using platform::DriveType;
using test::texts;

QStringList names(std::initializer_list<const char*> list) {
    QStringList out;
    for (const char* name : list) {
        out.append(QString::fromUtf8(name));
    }
    return out;
}

class FileListBoxTest : public ::testing::Test {
protected:
    FileListBoxTest() {
        fs.addDrive('c', DriveType::Fixed, 1 << 20, "System");
        fs.putFile("c:\\docs\\notes.txt", "n");
        fs.putFile("c:\\docs\\data.zip", "d");
        fs.putFile("c:\\docs\\OLD.Zip", "o");
        fs.putFile("c:\\docs\\Annual Report.text", "a");
        fs.putFile("c:\\docs\\beta.ZIP", "b");
        fs.putFile("c:\\docs\\.secret.zip", "s", platform::attr::Hidden);
        fs.createFolder("c:\\docs\\folder.zip");
        fs.putFile("c:\\boot.ini", "b");
        list.setFileSystem(&fs);
        list.resize(200, 120);
        QObject::connect(&list, &FileListBox::fileClicked, &list,
                         [this] { events.append(QStringLiteral("fileClicked")); });
        QObject::connect(&list, &FileListBox::changed, &list,
                         [this] { events.append(QStringLiteral("changed")); });
    }

    platform::MemoryFileSystem fs;
    FileListBox list;
    QStringList events;
};

TEST_F(FileListBoxTest, ListsPlainFilesSortedBlindToCase) {
    ASSERT_TRUE(list.setDirectory(QStringLiteral("C:\\DOCS")).ok());
    EXPECT_EQ(list.directory(), QStringLiteral("c:\\docs"));
    EXPECT_EQ(list.mask(), QStringLiteral("*.*"));
    EXPECT_EQ(texts(list),
              names({"Annual Report.text", "beta.ZIP", "data.zip", "notes.txt", "OLD.Zip"}));
    EXPECT_EQ(list.fileName(), QString());
}

TEST_F(FileListBoxTest, MasksAreBlindToCaseAndMayHoldSeveralPatterns) {
    ASSERT_TRUE(list.setDirectory(QStringLiteral("c:\\docs")).ok());
    list.setMask(QStringLiteral("*.ZIP"));
    EXPECT_EQ(texts(list), names({"beta.ZIP", "data.zip", "OLD.Zip"}));
    list.setMask(QStringLiteral("*.txt; n*.*;*.text"));
    EXPECT_EQ(texts(list), names({"Annual Report.text", "notes.txt"}));
    list.setMask(QStringLiteral("d???.*"));
    EXPECT_EQ(texts(list), names({"data.zip"}));
    list.setMask(QStringLiteral(" ; "));
    EXPECT_EQ(list.count(), 0);
    list.setMask(QString());
    EXPECT_EQ(list.count(), 0);
}

TEST_F(FileListBoxTest, LongAndShortPaths) {
    ASSERT_TRUE(list.setDirectory(QStringLiteral("c:\\docs")).ok());
    EXPECT_EQ(list.longPath(0), QStringLiteral("c:\\docs\\Annual Report.text"));
    EXPECT_EQ(list.shortPath(0), QStringLiteral("c:\\docs\\ANNUAL~1.TEX"));
    EXPECT_EQ(list.shortPath(2), QStringLiteral("c:\\docs\\data.zip"));
    EXPECT_EQ(list.longPath(5), QString());

    ASSERT_TRUE(fs.deleteFile("c:\\docs\\Annual Report.text").ok());
    EXPECT_EQ(list.shortPath(0), QStringLiteral("c:\\docs\\Annual Report.text"));

    ASSERT_TRUE(list.setDirectory(QStringLiteral("c:\\")).ok());
    EXPECT_EQ(texts(list), names({"boot.ini"}));
    EXPECT_EQ(list.longPath(0), QStringLiteral("c:\\boot.ini"));
    list.setCurrentRow(0);
    EXPECT_EQ(list.fileName(), QStringLiteral("c:\\boot.ini"));
}

TEST_F(FileListBoxTest, FileClickedOnlyForTheUsersChoiceAndBeforeChanged) {
    list.show();
    ASSERT_TRUE(list.setDirectory(QStringLiteral("c:\\docs")).ok());
    EXPECT_EQ(events, names({"changed"}));
    events.clear();

    list.setCurrentRow(1); // the program selects
    list.refresh();
    EXPECT_EQ(events, names({"changed"}));
    EXPECT_EQ(list.fileName(), QStringLiteral("c:\\docs\\beta.ZIP"));
    events.clear();

    test::click(list, 2);
    EXPECT_EQ(list.fileName(), QStringLiteral("c:\\docs\\data.zip"));
    test::click(list, 2); // the same entry again: still the user's choice
    test::pressKey(list, Qt::Key_Down);
    EXPECT_EQ(list.fileName(), QStringLiteral("c:\\docs\\notes.txt"));
    EXPECT_EQ(events, names({"fileClicked", "changed", "fileClicked", "changed", "fileClicked",
                             "changed"}));
}

TEST_F(FileListBoxTest, RefillKeepsTheSelectedFileOfTheSameFolder) {
    ASSERT_TRUE(list.setDirectory(QStringLiteral("c:\\docs")).ok());
    list.setCurrentRow(3);
    fs.putFile("c:\\docs\\aaa.txt", "new");
    list.refresh();
    EXPECT_EQ(list.count(), 6);
    EXPECT_EQ(list.fileName(), QStringLiteral("c:\\docs\\notes.txt"));
    ASSERT_TRUE(fs.deleteFile("c:\\docs\\notes.txt").ok());
    list.refresh();
    EXPECT_EQ(list.fileName(), QString());

    list.setCurrentRow(0);
    ASSERT_TRUE(list.setDirectory(QStringLiteral("c:\\")).ok());
    EXPECT_EQ(list.fileName(), QString());
}

TEST_F(FileListBoxTest, AFailedChangeKeepsTheList) {
    ASSERT_TRUE(list.setDirectory(QStringLiteral("c:\\docs")).ok());
    events.clear();
    const Status missing = list.setDirectory(QStringLiteral("c:\\nowhere"));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().code, ErrorCode::PathNotFound);
    EXPECT_EQ(list.directory(), QStringLiteral("c:\\docs"));
    EXPECT_EQ(list.count(), 5);
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(FileListBoxTest, HorizontalExtentSetsTheSidewaysScrollRange) {
    list.show();
    ASSERT_TRUE(list.setDirectory(QStringLiteral("c:\\docs")).ok());
    QApplication::processEvents();
    EXPECT_EQ(list.horizontalExtent(), 0);
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), 0);

    list.setHorizontalExtent(500);
    QApplication::processEvents();
    EXPECT_EQ(list.horizontalExtent(), 500);
    const int width = list.viewport()->width();
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), 500 - width);
    list.refresh();
    QApplication::processEvents();
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), 500 - list.viewport()->width());

    list.setHorizontalExtent(0);
    QApplication::processEvents();
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), 0);
}

TEST_F(FileListBoxTest, IconsAndItemHeight) {
    list.show();
    ASSERT_TRUE(list.setDirectory(QStringLiteral("c:\\docs")).ok());
    EXPECT_TRUE(list.item(0)->icon().isNull());
    list.setShowIcons(true);
    EXPECT_TRUE(list.showIcons());
    EXPECT_EQ(list.iconSize(), QSize(16, 16));
    EXPECT_FALSE(list.item(0)->icon().isNull());
    EXPECT_FALSE(list.item(4)->icon().isNull());
    // Looked up once per suffix, blind to case; a text file looks different.
    EXPECT_EQ(list.item(1)->icon().cacheKey(), list.item(4)->icon().cacheKey());
    EXPECT_NE(list.item(1)->icon().cacheKey(), list.item(3)->icon().cacheKey());
    list.setItemHeight(18);
    EXPECT_EQ(list.visualItemRect(list.item(1)).top() - list.visualItemRect(list.item(0)).top(),
              18);
}

} // namespace
} // namespace dividra::toolkit
