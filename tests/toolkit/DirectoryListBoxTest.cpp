#include "toolkit/DirectoryListBox.h"
#include "ListEvents.h"
#include "fakes/MemoryFileSystem.h"
#include "platform/DriveTable.h"
#include "platform/PosixFileSystem.h"
#include "support/TempDir.h"
#include "toolkit/FileListBox.h"

#include <gtest/gtest.h>

namespace dividra::toolkit {
namespace {

using platform::DriveType;
using test::texts;

class DirectoryListBoxTest : public ::testing::Test {
protected:
    DirectoryListBoxTest() {
        fs.addDrive('a', DriveType::Removable, 1474560);
        fs.addDrive('c', DriveType::Fixed, 1 << 20, "System");
        fs.createFolder("c:\\home\\ann\\Work");
        fs.createFolder("c:\\home\\ann\\Zeta");
        fs.createFolder("c:\\home\\ann\\archive");
        fs.createFolder("c:\\home\\ann\\.cache");
        EXPECT_TRUE(fs.setAttributes("c:\\home\\ann\\.cache", platform::attr::Hidden).ok());
        fs.putFile("c:\\home\\ann\\notes.txt", "n");
        fs.createFolder("c:\\home\\bob");
        fs.createFolder("c:\\tmp");
        list.setFileSystem(&fs);
        list.resize(200, 300);
        QObject::connect(&list, &DirectoryListBox::directoryChanged, &list,
                         [this](const QString& path) { announced.append(path); });
    }

    QList<int> levels() const {
        QList<int> out;
        for (int row = 0; row < list.count(); ++row) {
            out.append(list.itemLevel(row));
        }
        return out;
    }

    platform::MemoryFileSystem fs;
    DirectoryListBox list;
    QStringList announced;
};

TEST_F(DirectoryListBoxTest, ShowsTheOpenPathThenTheSubfolders) {
    ASSERT_TRUE(list.setDirectory(QStringLiteral("C:\\HOME\\ANN")).ok());
    EXPECT_EQ(list.directory(), QStringLiteral("c:\\home\\ann"));
    EXPECT_EQ(list.drive(), 'c');
    EXPECT_EQ(texts(list), QStringList({QStringLiteral("c:\\"), QStringLiteral("home"),
                                        QStringLiteral("ann"), QStringLiteral("archive"),
                                        QStringLiteral("Work"), QStringLiteral("Zeta")}));
    EXPECT_EQ(levels(), QList<int>({0, 1, 2, 3, 3, 3}));
    EXPECT_EQ(list.itemPath(1), QStringLiteral("c:\\home"));
    EXPECT_EQ(list.itemPath(4), QStringLiteral("c:\\home\\ann\\Work"));
    EXPECT_EQ(list.currentRow(), 2);
    EXPECT_TRUE(list.item(2)->isSelected());
    EXPECT_EQ(announced, QStringList({QStringLiteral("c:\\home\\ann")}));

    // A hidden folder is left out below, but shown when it is on the open path.
    ASSERT_TRUE(list.setDirectory(QStringLiteral("c:\\home\\ann\\.cache")).ok());
    EXPECT_EQ(texts(list), QStringList({QStringLiteral("c:\\"), QStringLiteral("home"),
                                        QStringLiteral("ann"), QStringLiteral(".cache")}));
}

TEST_F(DirectoryListBoxTest, ARootListsItsFoldersOneStepIn) {
    ASSERT_TRUE(list.setDrive('C').ok());
    EXPECT_EQ(list.directory(), QStringLiteral("c:\\"));
    EXPECT_EQ(texts(list),
              QStringList({QStringLiteral("c:\\"), QStringLiteral("home"), QStringLiteral("tmp")}));
    EXPECT_EQ(levels(), QList<int>({0, 1, 1}));
    EXPECT_EQ(list.itemPath(2), QStringLiteral("c:\\tmp"));
    ASSERT_TRUE(list.setDirectory(QStringLiteral("c:")).ok());
    ASSERT_TRUE(list.setDirectory(QStringLiteral("c:\\")).ok()); // the same folder again
    EXPECT_EQ(announced, QStringList({QStringLiteral("c:\\"), QStringLiteral("c:\\"),
                                      QStringLiteral("c:\\")}));
}

TEST_F(DirectoryListBoxTest, DoubleClickAndEnterOpenAnItem) {
    list.show();
    ASSERT_TRUE(list.setDirectory(QStringLiteral("c:\\home\\ann")).ok());
    test::doubleClick(list, 4);
    EXPECT_EQ(list.directory(), QStringLiteral("c:\\home\\ann\\Work"));
    EXPECT_EQ(texts(list).last(), QStringLiteral("Work"));

    list.setCurrentRow(1);
    test::pressKey(list, Qt::Key_Return);
    EXPECT_EQ(list.directory(), QStringLiteral("c:\\home"));
    EXPECT_EQ(texts(list), QStringList({QStringLiteral("c:\\"), QStringLiteral("home"),
                                        QStringLiteral("ann"), QStringLiteral("bob")}));
    list.setCurrentRow(0);
    test::pressKey(list, Qt::Key_Enter);
    EXPECT_EQ(list.directory(), QStringLiteral("c:\\"));
    EXPECT_EQ(announced.size(), 4);
}

TEST_F(DirectoryListBoxTest, AFailedChangeKeepsTheList) {
    ASSERT_TRUE(list.setDirectory(QStringLiteral("c:\\home")).ok());
    fs.setMediumPresent('a', false);
    const Status noDisk = list.setDrive('a');
    ASSERT_FALSE(noDisk.ok());
    EXPECT_EQ(noDisk.error().code, ErrorCode::NotReady);
    const Status missing = list.setDirectory(QStringLiteral("c:\\nowhere"));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().code, ErrorCode::PathNotFound);
    EXPECT_EQ(list.directory(), QStringLiteral("c:\\home"));
    EXPECT_EQ(texts(list), QStringList({QStringLiteral("c:\\"), QStringLiteral("home"),
                                        QStringLiteral("ann"), QStringLiteral("bob")}));
    EXPECT_EQ(announced.size(), 1);
}

TEST_F(DirectoryListBoxTest, RefreshRereadsAndAVanishedFolderDropsOut) {
    ASSERT_TRUE(list.setDirectory(QStringLiteral("c:\\home\\ann")).ok());
    fs.createFolder("c:\\home\\ann\\new");
    list.refresh();
    EXPECT_EQ(texts(list).mid(3), QStringList({QStringLiteral("archive"), QStringLiteral("new"),
                                               QStringLiteral("Work"), QStringLiteral("Zeta")}));
    EXPECT_EQ(announced.size(), 1);

    ASSERT_TRUE(fs.removeFolder("c:\\home\\ann\\Zeta").ok());
    EXPECT_EQ(list.openItem(6).error().code, ErrorCode::PathNotFound);
    EXPECT_EQ(list.directory(), QStringLiteral("c:\\home\\ann"));
    EXPECT_EQ(texts(list).mid(3), QStringList({QStringLiteral("archive"), QStringLiteral("new"),
                                               QStringLiteral("Work")}));
}

TEST_F(DirectoryListBoxTest, TheFileListFollowsEveryChange) {
    FileListBox files;
    files.setFileSystem(&fs);
    list.setFileList(&files);
    ASSERT_TRUE(list.setDirectory(QStringLiteral("c:\\home\\ann")).ok());
    EXPECT_EQ(files.directory(), QStringLiteral("c:\\home\\ann"));
    EXPECT_EQ(texts(files), QStringList({QStringLiteral("notes.txt")}));
    ASSERT_TRUE(list.openItem(0).ok());
    EXPECT_EQ(files.directory(), QStringLiteral("c:\\"));
    EXPECT_EQ(files.count(), 0);
}

TEST_F(DirectoryListBoxTest, ItemHeightIsSettable) {
    list.show();
    ASSERT_TRUE(list.setDirectory(QStringLiteral("c:\\home\\ann")).ok());
    list.setItemHeight(17);
    EXPECT_EQ(list.itemHeight(), 17);
    EXPECT_EQ(list.visualItemRect(list.item(3)).height(), 17);
    EXPECT_EQ(list.visualItemRect(list.item(4)).top() - list.visualItemRect(list.item(3)).top(),
              17);
}

// The real file system, through a drive table as DIVIDRA_DRIVES gives it.
TEST(ListsOnHostFolders, FoldersAndFilesOfAHostFolder) {
    const dividra::test::TempDir temp;
    temp.write("docs/Annual Report.text", "a");
    temp.write("docs/data.zip", "d");
    temp.write("docs/.hidden.zip", "h");
    temp.write("docs/Sub/inner.txt", "i");
    temp.write(".config/settings", "s");
    const dividra::test::ScopedEnv drives("DIVIDRA_DRIVES", "c=" + temp.path() + ",fixed");
    auto table = platform::DriveTable::fromEnvironment();
    ASSERT_TRUE(table.ok());
    platform::PosixFileSystem fs(table.value());

    DirectoryListBox folders;
    FileListBox files;
    folders.setFileSystem(&fs);
    files.setFileSystem(&fs);
    folders.setFileList(&files);
    ASSERT_TRUE(folders.setDrive('c').ok());
    EXPECT_EQ(texts(folders), QStringList({QStringLiteral("c:\\"), QStringLiteral("docs")}));
    ASSERT_TRUE(folders.setDirectory(QStringLiteral("C:\\DOCS")).ok());
    EXPECT_EQ(folders.directory(), QStringLiteral("c:\\docs"));
    EXPECT_EQ(texts(folders),
              QStringList({QStringLiteral("c:\\"), QStringLiteral("docs"), QStringLiteral("Sub")}));
    EXPECT_EQ(texts(files),
              QStringList({QStringLiteral("Annual Report.text"), QStringLiteral("data.zip")}));
    EXPECT_EQ(files.longPath(0), QStringLiteral("c:\\docs\\Annual Report.text"));
    EXPECT_EQ(files.shortPath(0), QStringLiteral("c:\\docs\\ANNUAL~1.TEX"));
}

} // namespace
} // namespace dividra::toolkit
