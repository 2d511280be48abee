#include "DialogFixture.h"
#include "WindowFixture.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "toolkit/DirectoryListBox.h"
#include "toolkit/FileListBox.h"
#include "toolkit/LedProgressBar.h"
#include "ui/Options.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace dividra::ui {
namespace {

// One whole use of the program: first start, options, a pick, a split, a close, a new start.
class EndToEndTest : public test::WindowFixture {};

TEST_F(EndToEndTest, AWholeUseOfTheProgram) {
    std::string source(250'000, '\0');
    for (std::size_t i = 0; i < source.size(); ++i) {
        source[i] = static_cast<char>((i * 37 + i / 511) & 0xFF);
    }
    m_fs.putFile("c:\\data\\photos.tar", source);

    TFrmMain& window = shown();
    ASSERT_TRUE(SettingsKeyExists(keys::kProduct, false)); // the first start wrote the defaults
    EXPECT_EQ(window.ComboSegment->currentText(), QStringLiteral("1420"));

    test::ScopedModalRunner runner([](QDialog& dialog) {
        auto& options = dynamic_cast<TDlgOptions&>(dialog);
        options.OptDestHD->setChecked(true);
        options.ComboSplitSize->setCurrentText(QStringLiteral("Custom"));
        options.ComboSplitSizeChange();
        options.TxtCustomSize->setText(QStringLiteral("100"));
        options.TxtCustomSizeExit();
        options.BtnOk->click();
        return options.result();
    });
    window.MnuFileOptionsClick();
    EXPECT_EQ(ReadSettingText(keys::kHardDriveOptions, keys::kDefaultSegmentSize, ""), "Custom");
    EXPECT_EQ(ReadSettingInt(keys::kHardDriveOptions, keys::kCustomSegmentSize, 0), 100);
    EXPECT_EQ(window.ComboSegment->currentText(), QStringLiteral("Custom"));
    EXPECT_TRUE(window.TxtCustom->isEnabled());
    EXPECT_EQ(window.PageDest->currentWidget(), window.TabDestHD);

    ASSERT_TRUE(window.DirListSource->setDirectory(QStringLiteral("c:\\data")).ok());
    const QRect entry = window.FileListSource->visualItemRect(window.FileListSource->item(0));
    QTest::mouseClick(window.FileListSource->viewport(), Qt::LeftButton, {}, entry.center());
    EXPECT_EQ(window.TxtFileName->text(), QStringLiteral("photos.tar"));
    EXPECT_EQ(window.LblSegCnt->text(), QStringLiteral("3")); // 102,400-byte segments
    ASSERT_TRUE(window.DirListDest->setDirectory(QStringLiteral("c:\\out")).ok());
    window.ToolBtnSplit->click();

    EXPECT_EQ(m_fs.contents("c:\\out\\photos.000")->size(), 102400u);
    EXPECT_EQ(m_fs.contents("c:\\out\\photos.001")->size(), 102400u);
    EXPECT_EQ(m_fs.contents("c:\\out\\photos.002")->size(), 45200u);
    EXPECT_EQ(*m_fs.contents("c:\\out\\photos.000") + *m_fs.contents("c:\\out\\photos.001") +
                  *m_fs.contents("c:\\out\\photos.002"),
              source);
    EXPECT_EQ(m_fs.contents("c:\\out\\photos.kpn"),
              "File Ext=.tar\r\nTotal Files=3\r\nTotal Size=250000\r\n");
    EXPECT_EQ(window.StatText->text(), QStringLiteral("Ready"));
    EXPECT_EQ(window.StatProgress->partsComplete(), 0);
    EXPECT_TRUE(m_boxes.texts().empty());

    window.resize(700, 500);
    QApplication::processEvents();
    const QRect placed = window.outerBounds();
    window.close();
    m_window.reset();

    TFrmMain& again = shown();
    EXPECT_EQ(again.outerBounds(), placed);
    EXPECT_EQ(again.ComboSegment->currentText(), QStringLiteral("Custom"));
    EXPECT_EQ(again.TxtCustom->text(), QStringLiteral("100"));
}

} // namespace
} // namespace dividra::ui
