#include "WindowFixture.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "toolkit/DirectoryListBox.h"
#include "toolkit/DriveComboBox.h"
#include "toolkit/FileListBox.h"
#include "toolkit/FilterComboBox.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QToolButton>

namespace dividra::ui {
namespace {

using Texts = std::vector<std::string>;

class MainPanelsTest : public test::WindowFixture {
protected:
    // Clicks the entry of that name in the source file list, as a user would.
    void pick(const QString& name) {
        toolkit::FileListBox* list = m_window->FileListSource;
        const auto found = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        const QRect place = list->visualItemRect(found.front());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
    }
    QString text(const char* label) const { return child<QLabel>(label)->text(); }
    QStringList counts() const {
        return {text("Lbl3HDVal"), text("Lbl3DDVal"), text("Lbl5HDVal"), text("Lbl5DDVal"),
                text("LblSegCnt")};
    }
    void chooseSegmentSize(const QString& entry) {
        QComboBox* sizes = m_window->ComboSegment;
        sizes->setCurrentIndex(sizes->findText(entry));
        emit sizes->activated(sizes->currentIndex());
    }
    void openDataFolder() {
        ASSERT_TRUE(m_window->DirListSource->setDirectory(QStringLiteral("c:\\data")).ok());
    }
};

TEST_F(MainPanelsTest, PickingAFileShowsItsSizeAndCounts) {
    m_fs.putFile("c:\\data\\two.zip", std::string(2000000, 'x'));
    m_fs.putFile("c:\\data\\three.zip", std::string(3000000, 'x'));
    shown();
    openDataFolder();
    pick(QStringLiteral("two.zip"));
    EXPECT_EQ(child<QLineEdit>("TxtFileName")->text(), QStringLiteral("two.zip"));
    EXPECT_EQ(text("LblFileSizeData"), QStringLiteral("1.91 MB"));
    EXPECT_EQ(counts(), (QStringList{QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("2"),
                                     QStringLiteral("6"), QStringLiteral("2")}));
    EXPECT_TRUE(child<QToolButton>("ToolBtnSplit")->isEnabled());
    EXPECT_TRUE(m_window->MnuFileSplit->isEnabled());

    pick(QStringLiteral("three.zip"));
    EXPECT_EQ(text("LblSegCnt"), QStringLiteral("3"));
    chooseSegmentSize(QStringLiteral("350"));
    EXPECT_EQ(text("LblSegCnt"), QStringLiteral("9"));
    EXPECT_FALSE(child<QLineEdit>("TxtCustom")->isEnabled());
}

TEST_F(MainPanelsTest, AnotherFilterOrFolderForgetsThePickedFile) {
    m_fs.putFile("c:\\data\\a.zip", "abc");
    m_fs.putFile("c:\\data\\b.exe", "abcd");
    shown();
    openDataFolder();
    pick(QStringLiteral("a.zip"));
    ASSERT_TRUE(m_window->ToolBtnSplit->isEnabled());
    toolkit::FilterComboBox* filters = m_window->FilterSource;
    filters->setCurrentIndex(1); // Zip Files
    EXPECT_TRUE(child<QLineEdit>("TxtFileName")->text().isEmpty());
    EXPECT_FALSE(m_window->ToolBtnSplit->isEnabled());
    EXPECT_EQ(counts(), QStringList(5, QStringLiteral("0")));

    pick(QStringLiteral("a.zip"));
    ASSERT_TRUE(m_window->ToolBtnSplit->isEnabled());
    ASSERT_TRUE(m_window->DirListSource->setDirectory(QStringLiteral("c:\\out")).ok());
    EXPECT_FALSE(m_window->ToolBtnSplit->isEnabled());
    EXPECT_TRUE(text("LblFileSizeData").isEmpty());
}

TEST_F(MainPanelsTest, ADriveThatCantBeReadReturnsToTheLastDrive) {
    m_fs.addDrive('e', platform::DriveType::Removable, 1457664);
    m_fs.setMediumPresent('e', false);
    shown();
    openDataFolder();
    m_window->ComboSource->setDrive('e');
    EXPECT_EQ(m_boxes.texts(), (Texts{"e:\\ is not accessible.\n"}));
    EXPECT_EQ(m_window->ComboSource->drive(), 'c');
    EXPECT_EQ(m_window->DirListSource->directory(), QStringLiteral("c:\\data"));
    // The same drive again is tried again, and refused again.
    m_window->ComboSource->setDrive('e');
    EXPECT_EQ(m_boxes.texts().size(), 2u);
    EXPECT_EQ(m_window->ComboSource->drive(), 'c');
}

TEST_F(MainPanelsTest, AFileThatCantBeOpenedShowsFileInUse) {
    m_fs.putFile("c:\\data\\locked.zip", "abc");
    shown();
    openDataFolder();
    m_fs.setMediumPresent('c', false);
    pick(QStringLiteral("locked.zip"));
    m_fs.setMediumPresent('c', true);
    EXPECT_EQ(text("LblFileSizeData"), QStringLiteral("File in use, can't get size."));
    EXPECT_EQ(child<QLineEdit>("TxtFileName")->text(), QStringLiteral("locked.zip"));
    EXPECT_FALSE(m_window->ToolBtnSplit->isEnabled());
}

TEST_F(MainPanelsTest, TheCustomSizeBox) {
    m_fs.putFile("c:\\data\\three.zip", std::string(3000000, 'x'));
    shown();
    openDataFolder();
    pick(QStringLiteral("three.zip"));
    QLineEdit* custom = child<QLineEdit>("TxtCustom");
    chooseSegmentSize(QStringLiteral("Custom"));
    EXPECT_TRUE(custom->isEnabled());
    EXPECT_EQ(text("LblSegCnt"), QStringLiteral("46")); // 64 KB segments
    custom->setFocus();
    custom->clear();
    QTest::keyClicks(custom, QStringLiteral("2a0-0.0"));
    EXPECT_EQ(custom->text(), QStringLiteral("2000"));
    QTest::keyClick(custom, Qt::Key_Tab); // leaves the box, typing nothing
    EXPECT_EQ(custom->text(), QStringLiteral("1024"));
    EXPECT_EQ(text("LblSegCnt"), QStringLiteral("3"));
    custom->clear();
    EXPECT_EQ(text("LblSegCnt"), QStringLiteral("0"));
    m_window->TxtCustomExit();
    EXPECT_EQ(custom->text(), QStringLiteral("1"));
    custom->setText(QStringLiteral("0"));
    EXPECT_EQ(text("LblSegCnt"), QStringLiteral("0"));
    m_window->TxtCustomExit();
    EXPECT_EQ(custom->text(), QStringLiteral("1"));
    chooseSegmentSize(QStringLiteral("710"));
    EXPECT_FALSE(custom->isEnabled());
    EXPECT_EQ(text("LblSegCnt"), QStringLiteral("5"));
}

TEST_F(MainPanelsTest, OpenSourceFileFindsShortNamesAndRefusesRemovableDrives) {
    m_fs.putFile("c:\\data\\longfilename.txt", "hello");
    m_fs.addDrive('a', platform::DriveType::Removable, 1457664);
    m_fs.putFile("a:\\x.zip", "abc");
    shown();
    m_window->OpenSourceFile(QStringLiteral("C:\\DATA\\LONGFI~1.TXT"));
    EXPECT_EQ(child<QLineEdit>("TxtFileName")->text(), QStringLiteral("longfilename.txt"));
    EXPECT_TRUE(m_window->ToolBtnSplit->isEnabled());
    m_window->OpenSourceFile(QStringLiteral("a:\\x.zip"));
    EXPECT_EQ(m_boxes.texts(), (Texts{"Sorry, but Dividra isn't designed to split files that "
                                      "exist\non removable drives (floppy drives, etc)."}));
    EXPECT_EQ(child<QLineEdit>("TxtFileName")->text(), QStringLiteral("longfilename.txt"));
}

TEST_F(MainPanelsTest, DrivesListsArePrunedByKind) {
    m_fs.addDrive('a', platform::DriveType::Removable, 1457664);
    m_fs.addDrive('d', platform::DriveType::CdRom, 1000000, "CD");
    m_fs.addDrive('e', platform::DriveType::Removable, 1000000);
    shown();
    auto items = [](QComboBox* list) {
        QStringList all;
        for (int i = 0; i < list->count(); ++i) {
            all << list->itemText(i).left(2);
        }
        return all;
    };
    EXPECT_EQ(items(m_window->ComboSource),
              (QStringList{QStringLiteral("c:"), QStringLiteral("d:"), QStringLiteral("e:")}));
    EXPECT_EQ(items(m_window->ComboDestFD),
              (QStringList{QStringLiteral("a:"), QStringLiteral("e:")}));
    EXPECT_EQ(items(m_window->ComboDestHD),
              (QStringList{QStringLiteral("c:"), QStringLiteral("e:")}));
    EXPECT_TRUE(m_window->ComboDestFD->isEnabled());
}

TEST_F(MainPanelsTest, NoFloppyDriveReadsNoneDetected) {
    shown();
    EXPECT_EQ(m_window->ComboDestFD->currentText(), QStringLiteral("None Detected"));
    EXPECT_FALSE(m_window->ComboDestFD->isEnabled());
    EXPECT_EQ(m_window->ComboSegment->currentText(), QStringLiteral("1420"));
    EXPECT_EQ(child<QLineEdit>("TxtCustom")->text(), QStringLiteral("64"));
    EXPECT_FALSE(child<QLineEdit>("TxtCustom")->isEnabled());
}

TEST_F(MainPanelsTest, HintsAndTheDosSwitch) {
    TFrmMain& window = shown();
    QStatusTipEvent over(window.ToolBtnSplit->statusTip());
    QApplication::sendEvent(window.ToolBtnSplit, &over);
    EXPECT_EQ(text("StatText"), QStringLiteral("Split selected file"));
    EXPECT_EQ(window.ToolBtnSplit->toolTip(), QStringLiteral("Split"));
    QStatusTipEvent away{QString()};
    QApplication::sendEvent(window.ToolBtnSplit, &away);
    EXPECT_EQ(text("StatText"), QStringLiteral("Ready"));

    window.MnuFile8Dot3->trigger();
    EXPECT_TRUE(window.MnuFile8Dot3->isChecked());
    EXPECT_TRUE(window.ToolBtn8Dot3->isChecked());
    window.ToolBtn8Dot3->click();
    EXPECT_FALSE(window.MnuFile8Dot3->isChecked());
    EXPECT_FALSE(window.ToolBtn8Dot3->isChecked());
    window.MnuFile->popup(QPoint(0, 0));
    window.MnuFile->setActiveAction(window.MnuFileOptions);
    EXPECT_EQ(text("StatText"), QStringLiteral("Set Dividra options"));
    window.MnuFile->hide();
    EXPECT_EQ(text("StatText"), QStringLiteral("Ready"));
}

// A greyed item still tells what it would do, and Alt+F shows the highlighted item's hint.
TEST_F(MainPanelsTest, MenuItemsShowTheirHintsGreyedOrOpenedByKey) {
    TFrmMain& window = shown();
    ASSERT_FALSE(window.MnuFileSplit->isEnabled());
    window.MnuFile->popup(QPoint(0, 0));
    QApplication::processEvents();
    const QPoint splitAt = window.MnuFile->actionGeometry(window.MnuFileSplit).center();
    QTest::mouseMove(window.MnuFile, splitAt);
    QApplication::processEvents();
    EXPECT_EQ(text("StatText"), QStringLiteral("Split selected file"));
    window.MnuFile->hide();
    EXPECT_EQ(text("StatText"), QStringLiteral("Ready"));

    QTest::keyClick(&window, Qt::Key_F, Qt::AltModifier);
    QApplication::processEvents();
    ASSERT_TRUE(window.MnuFile->isVisible());
    const QAction* first = window.MnuFile->activeAction();
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->statusTip().isEmpty());
    EXPECT_EQ(text("StatText"), first->statusTip());
    // The menu bar's own empty tip, which may come after the item's, leaves the item's hint.
    QStatusTipEvent barTip{QString()};
    QApplication::sendEvent(window.MainMenu1, &barTip);
    EXPECT_EQ(text("StatText"), first->statusTip());
    window.MnuFile->hide();
}

} // namespace
} // namespace dividra::ui
