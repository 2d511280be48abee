#include "ui/DirDlg.h"
#include "DialogFixture.h"
#include "toolkit/DirectoryListBox.h"
#include "toolkit/DriveComboBox.h"
#include "toolkit/FileListBox.h"

#include <QDir>
#include <QPushButton>

namespace dividra::ui {
namespace {

class DirDlgTest : public test::DialogFixture {
protected:
    DirDlgTest() {
        m_fs.addDrive('e', platform::DriveType::CdRom, 650LL * 1024 * 1024, "DISC");
        m_fs.addDrive('f', platform::DriveType::Remote, 1024LL * 1024 * 1024, "\\\\srv\\pub");
        m_fs.createFolder("c:\\data\\deep");
        m_fs.createFolder("f:\\shared");
        SelectedFolder = QStringLiteral("c:\\earlier");
    }

    static QStringList driveTexts(const TDlgSelDir& dialog) {
        QStringList texts;
        for (int i = 0; i < dialog.ComboDrive->count(); ++i) {
            texts.append(dialog.ComboDrive->itemText(i));
        }
        return texts;
    }
};

TEST_F(DirDlgTest, OffersFixedAndNetworkDrivesAndOpensAtARoot) {
    TDlgSelDir dialog(m_fs);
    EXPECT_EQ(driveTexts(dialog),
              (QStringList{QStringLiteral("c: [SYSTEM]"), QStringLiteral("f: \\\\srv\\pub")}));
    EXPECT_EQ(dialog.DirFolder->directory(), QStringLiteral("c:\\"));
    EXPECT_TRUE(dialog.BtnOk->isEnabled());
    // A drive opens at its root, not at the folder last visited on it.
    ASSERT_TRUE(dialog.DirFolder->setDirectory(QStringLiteral("c:\\data\\deep")));
    dialog.ComboDrive->setDrive('f');
    EXPECT_EQ(dialog.DirFolder->directory(), QStringLiteral("f:\\"));
    dialog.ComboDrive->setDrive('c');
    EXPECT_EQ(dialog.DirFolder->directory(), QStringLiteral("c:\\"));
}

TEST_F(DirDlgTest, OkHandsBackTheCurrentFolderAndCancelLeavesTheLastAnswer) {
    {
        TDlgSelDir dialog(m_fs);
        ASSERT_TRUE(dialog.DirFolder->setDirectory(QStringLiteral("c:\\data")));
        dialog.BtnCancel->click();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(SelectedFolder, QStringLiteral("c:\\earlier"));
    }
    TDlgSelDir dialog(m_fs);
    ASSERT_TRUE(dialog.DirFolder->setDirectory(QStringLiteral("c:\\data\\deep")));
    dialog.BtnOk->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(SelectedFolder, QStringLiteral("c:\\data\\deep"));
    TDlgSelDir again(m_fs);
    again.BtnOk->click();
    EXPECT_EQ(SelectedFolder, QStringLiteral("c:\\")); // a root keeps its backslash
}

TEST_F(DirDlgTest, ADriveThatCantBeReadSendsTheListBackWithAMessage) {
    TDlgSelDir dialog(m_fs);
    m_fs.setMediumPresent('f', false);
    dialog.ComboDrive->setDrive('f');
    EXPECT_EQ(m_boxes.texts(), std::vector<std::string>{"f:\\ is not accessible.\n"});
    EXPECT_EQ(dialog.ComboDrive->drive(), 'c');
    EXPECT_EQ(dialog.DirFolder->directory(), QStringLiteral("c:\\"));
    // Picking it again is noticed again.
    dialog.ComboDrive->setDrive('f');
    EXPECT_EQ(m_boxes.texts().size(), 2u);
    m_fs.setMediumPresent('f', true);
    dialog.ComboDrive->setDrive('f');
    EXPECT_EQ(dialog.DirFolder->directory(), QStringLiteral("f:\\"));
}

TEST(DirDlgNoDriveTest, WithOnlyDisketteAndCdDrivesNothingCanBeChosen) {
    platform::MemoryFileSystem fs;
    fs.addDrive('a', platform::DriveType::Removable, 1474560);
    fs.addDrive('d', platform::DriveType::CdRom, 1024 * 1024);
    TDlgSelDir dialog(fs);
    EXPECT_EQ(dialog.ComboDrive->count(), 0);
    EXPECT_EQ(dialog.DirFolder->count(), 0);
    EXPECT_FALSE(dialog.BtnOk->isEnabled());
    EXPECT_TRUE(dialog.BtnCancel->isEnabled());
}

TEST_F(DirDlgTest, AGrabOfTheDialog) {
    TDlgSelDir dialog(m_fs);
    dialog.setWindowTitle(QStringLiteral("Select Source Folder:"));
    ASSERT_TRUE(dialog.DirFolder->setDirectory(QStringLiteral("c:\\data")));
    dialog.show();
    QApplication::processEvents();
    QDir().mkpath(QStringLiteral("/tmp/dividra-options"));
    EXPECT_TRUE(dialog.grab().save(QStringLiteral("/tmp/dividra-options/folder-dialog.png")));
}

} // namespace
} // namespace dividra::ui
