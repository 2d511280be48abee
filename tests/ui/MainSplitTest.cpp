#include "WindowFixture.h"
#include "platform/DriveTable.h"
#include "platform/PosixFileSystem.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "support/ScopedHook.h"
#include "support/TestBytes.h"
#include "toolkit/DirectoryListBox.h"
#include "toolkit/DriveComboBox.h"
#include "toolkit/FileListBox.h"
#include "toolkit/LedProgressBar.h"
#include "toolkit/WindowAttention.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPaintEvent>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

namespace dividra::ui {
namespace {

class MainSplitTest : public test::WindowFixture {
protected:
    void pickSource(std::size_t size) {
        m_source = dividra::test::PatternBytes(size);
        m_fs.putFile("c:\\data\\data.zip", m_source);
        m_window->OpenSourceFile(QStringLiteral("c:\\data\\data.zip"));
        ASSERT_TRUE(m_window->ToolBtnSplit->isEnabled());
    }
    std::string m_source;
};

TEST_F(MainSplitTest, TheSplitButtonCutsTheFileIntoTheChosenFolder) {
    TFrmMain& window = shown();
    window.PageDest->setCurrentWidget(window.TabDestHD);
    ASSERT_TRUE(window.DirListDest->setDirectory(QStringLiteral("c:\\out")).ok());
    pickSource(3000000);
    window.ToolBtnSplit->click();
    EXPECT_EQ(m_fs.contents("c:\\out\\data.000")->size(), 1454080u);
    EXPECT_EQ(*m_fs.contents("c:\\out\\data.000") + *m_fs.contents("c:\\out\\data.001") +
                  *m_fs.contents("c:\\out\\data.002"),
              m_source);
    EXPECT_EQ(m_fs.contents("c:\\out\\data.kpn"),
              "File Ext=.zip\r\nTotal Files=3\r\nTotal Size=3000000\r\n");
    EXPECT_EQ(child<QLabel>("StatText")->text(), QStringLiteral("Ready"));
    EXPECT_EQ(window.StatProgress->partsComplete(), 0);
    EXPECT_FALSE(window.isSplitting());
    EXPECT_TRUE(m_boxes.texts().empty());
}

// The floppy list keeps network drives; with Erase Diskettes on, Split says why it won't.
TEST_F(MainSplitTest, EraseOntoANetworkDriveIsRefusedWhenSplitIsPressed) {
    m_fs.addDrive('n', platform::DriveType::Remote, 1457664, "\\\\server\\share");
    m_fs.putFile("n:\\projects\\plan.txt", "keep");
    TFrmMain& window = shown();
    ASSERT_EQ(window.PageDest->currentWidget(), window.TabDestFD);
    ASSERT_TRUE(window.ComboDestFD->currentText().startsWith(QStringLiteral("n:")));
    window.ChkErase->setChecked(true);
    pickSource(3000);
    window.ToolBtnSplit->click();
    EXPECT_EQ(m_boxes.texts(),
              std::vector<std::string>{
                  "Erase Diskettes is on, but N: is a network drive, not a diskette drive.\n\n"
                  "Dividra erases only diskettes in removable drives. Turn Erase Diskettes off "
                  "to split onto N: without erasing it.\n\nNothing was written."});
    EXPECT_EQ(m_fs.contents("n:\\projects\\plan.txt"), "keep");
    EXPECT_EQ(child<QLabel>("StatText")->text(), QStringLiteral("Ready"));
    EXPECT_FALSE(window.isSplitting());
}

TEST_F(MainSplitTest, AFloppySplitSwapsDiskettesAndShutsOutInput) {
    m_fs.addDrive('a', platform::DriveType::Removable, 1457664);
    for (int n = 1; n <= 3; ++n) {
        m_fs.addMedium("disk" + std::to_string(n), 1457664);
    }
    TFrmMain& window = shown();
    ASSERT_EQ(window.PageDest->currentWidget(), window.TabDestFD);
    pickSource(2000000);
    const QString customBefore = window.TxtCustom->text();
    bool menusWereOff = false;
    m_boxes.onShow([&](const dividra::test::ShownBox& box, std::size_t) {
        const std::string lead = "Please insert diskette #";
        if (box.text.starts_with(lead)) {
            const int n = std::stoi(box.text.substr(lead.size()));
            m_fs.insertMedium('a', m_fs.mediumNamed("disk" + std::to_string(n)));
        }
        menusWereOff = !window.MnuFile->menuAction()->isEnabled() &&
                       !window.MnuHelp->menuAction()->isEnabled() && window.isSplitting();
        QTest::keyClicks(window.TxtCustom, QStringLiteral("99"));
        QTest::mouseClick(window.ToolBtn8Dot3, Qt::LeftButton);
        window.close();
    });
    window.ToolBtnSplit->click();
    EXPECT_TRUE(menusWereOff);
    EXPECT_EQ(window.TxtCustom->text(), customBefore);
    EXPECT_FALSE(window.ToolBtn8Dot3->isChecked());
    EXPECT_EQ(m_fs.mediumNamed("disk1").contents("\\data.000")->size(), 1457664u);
    EXPECT_EQ(*m_fs.mediumNamed("disk1").contents("\\data.000") +
                  *m_fs.mediumNamed("disk2").contents("\\data.001"),
              m_source);
    EXPECT_EQ(m_fs.mediumNamed("disk2").contents("\\data.kpn"),
              "File Ext=.zip\r\nTotal Files=2\r\nTotal Size=2000000\r\n");
    EXPECT_TRUE(window.MnuFile->menuAction()->isEnabled());
    // The close asked for during the split comes once it has ended.
    EXPECT_TRUE(window.isVisible());
    QApplication::processEvents();
    EXPECT_FALSE(window.isVisible());
}

// While splitting, the pointer brings no hints and Alt+F opens no greyed menu.
TEST_F(MainSplitTest, NoHintOrMenuKeyReachesTheWindowWhileSplitting) {
    m_fs.addDrive('a', platform::DriveType::Removable, 1457664);
    m_fs.addMedium("disk1", 1457664);
    TFrmMain& window = shown();
    pickSource(1000);
    QString statusAtPrompt;
    QString statusAfterPointer;
    QAction* highlighted = nullptr;
    m_boxes.onShow([&](const dividra::test::ShownBox&, std::size_t) {
        statusAtPrompt = window.StatText->text();
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(window.ToolBtnSplit, &enter);
        QStatusTipEvent tip(QStringLiteral("Split selected file"));
        QApplication::sendEvent(&window, &tip);
        statusAfterPointer = window.StatText->text();
        QTest::keyClick(&window, Qt::Key_F, Qt::AltModifier);
        highlighted = window.MainMenu1->activeAction();
        m_fs.insertMedium('a', m_fs.mediumNamed("disk1"));
    });
    window.ToolBtnSplit->click();
    EXPECT_FALSE(statusAtPrompt.isEmpty());
    EXPECT_EQ(statusAfterPointer, statusAtPrompt);
    EXPECT_EQ(highlighted, nullptr);
    EXPECT_EQ(m_fs.contents("a:\\data.000"), m_source);
}

TEST_F(MainSplitTest, ABackgroundWindowFlashesUntilItIsBroughtToTheFront) {
    WriteSettingInt(keys::kFloppyOptions, keys::kNextDisketteNotifyBy, 1);
    m_fs.addDrive('a', platform::DriveType::Removable, 1457664);
    TFrmMain& window = shown();
    pickSource(1000);
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    ASSERT_FALSE(window.isActiveWindow());
    int ticksBeforeFront = 0;
    QTimer front;
    QObject::connect(&front, &QTimer::timeout, &window, [&] {
        if (++ticksBeforeFront == 3) {
            QApplication::setActiveWindow(&window);
        }
    });
    front.start(250);
    std::vector<bool> asked;
    const dividra::test::ScopedHook attention(toolkit::SetAttentionHook,
                                              [&](QWidget& flashed, bool wanted) {
                                                  EXPECT_EQ(&flashed, &window);
                                                  asked.push_back(wanted);
                                              });
    window.ToolBtnSplitClick();
    EXPECT_GE(ticksBeforeFront, 3);
    EXPECT_FALSE(window.TimerMain->isActive());
    // Asked while in the background, withdrawn once in front.
    ASSERT_GE(asked.size(), 2u);
    EXPECT_TRUE(asked.front());
    EXPECT_FALSE(asked.back());
    EXPECT_EQ(std::count(asked.begin(), asked.end(), false), 1);
    EXPECT_EQ(m_fs.contents("a:\\data.000"), m_source);
}

// Counts the whole-window paints and the disk calls made before each.
class PaintLog : public QObject {
public:
    PaintLog(QWidget& window, const platform::MemoryFileSystem& fs) : m_window(window), m_fs(fs) {
        window.installEventFilter(this);
    }
    std::vector<std::size_t> callsAtFullPaints;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_window && event->type() == QEvent::Paint &&
            static_cast<QPaintEvent*>(event)->rect().contains(m_window.rect())) {
            callsAtFullPaints.push_back(m_fs.calls().size());
        }
        return false;
    }

private:
    QWidget& m_window;
    const platform::MemoryFileSystem& m_fs;
};

// After OK at the insert prompt the erase may take long; the window is whole again before it.
TEST_F(MainSplitTest, TheWindowIsRepaintedBeforeADisketteIsErased) {
    m_fs.addDrive('a', platform::DriveType::Removable, 1457664);
    for (int n = 0; n < 20; ++n) {
        m_fs.putFile("a:\\old" + std::to_string(n) + ".txt", "old");
    }
    TFrmMain& window = shown();
    window.ChkErase->setChecked(true);
    pickSource(1000);
    const PaintLog paints(window, m_fs);
    std::size_t callsAtPrompt = 0;
    std::size_t paintsAtPrompt = 0;
    m_boxes.onShow([&](const dividra::test::ShownBox&, std::size_t) {
        // A real box's loop paints what was waiting; its hiding then exposes the window anew.
        QApplication::processEvents();
        callsAtPrompt = m_fs.calls().size();
        paintsAtPrompt = paints.callsAtFullPaints.size();
    });
    window.ToolBtnSplitClick();
    const auto& calls = m_fs.calls();
    const auto firstDelete =
        std::find_if(calls.begin() + static_cast<std::ptrdiff_t>(callsAtPrompt), calls.end(),
                     [](const platform::Call& call) { return call.op == "deleteFile"; });
    ASSERT_NE(firstDelete, calls.end());
    const auto deleteIndex = static_cast<std::size_t>(firstDelete - calls.begin());
    ASSERT_GT(paints.callsAtFullPaints.size(), paintsAtPrompt);
    EXPECT_LE(paints.callsAtFullPaints[paintsAtPrompt], deleteIndex);
    EXPECT_FALSE(m_fs.exists("a:\\old0.txt"));
    EXPECT_EQ(m_fs.contents("a:\\data.000"), m_source);
}

TEST_F(MainSplitTest, TheFirstArgumentAndADroppedFileArePicked) {
    dividra::test::TempDir host;
    host.write("docs/report.txt", "report");
    host.write("docs/other.txt", "other!");
    platform::PosixFileSystem real(
        platform::DriveTable::parse("c=" + host.path() + ",fixed").value());
    TFrmMain window(real, {QString::fromStdString(host.file("docs/report.txt"))});
    EXPECT_EQ(window.TxtFileName->text(), QStringLiteral("report.txt"));
    EXPECT_EQ(window.DirListSource->directory(), QStringLiteral("c:\\docs"));

    QMimeData dropped;
    dropped.setUrls({QUrl::fromLocalFile(QString::fromStdString(host.file("docs/other.txt"))),
                     QUrl::fromLocalFile(QString::fromStdString(host.file("docs/report.txt")))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    EXPECT_EQ(window.TxtFileName->text(), QStringLiteral("other.txt"));
    window.close();
}

} // namespace
} // namespace dividra::ui
