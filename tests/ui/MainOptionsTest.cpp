#include "DialogFixture.h"
#include "WindowFixture.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "toolkit/ButtonEdit.h"
#include "toolkit/DirectoryListBox.h"
#include "toolkit/FileListBox.h"
#include "ui/Options.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace dividra::ui {
namespace {

class MainOptionsTest : public test::WindowFixture {
protected:
    // A 3,000,000-byte file picked in the stored source folder: 3 segments of 1420 kb.
    TFrmMain& pickedInSourceFolder() {
        m_fs.putFile("c:\\data\\Big.bin", std::string(3'000'000, 'x'));
        TFrmMain& window = create();
        WriteSettingText(keys::kSourceFileOptions, keys::kSourceFolder, "c:\\data");
        window.ApplySettings();
        window.FileListSource->setCurrentRow(0);
        window.FileListSourceClick();
        EXPECT_EQ(window.LblSegCnt->text(), QStringLiteral("3"));
        return window;
    }
    std::string registryText() const {
        return dividra::test::TempDir::read(m_dir.file("registry.reg"));
    }
};

TEST_F(MainOptionsTest, OkReappliesTheSettingsAndPicksTheSameFileAgain) {
    TFrmMain& window = pickedInSourceFolder();
    int shown = 0;
    test::ScopedModalRunner runner([&shown](QDialog& dialog) {
        auto& options = dynamic_cast<TDlgOptions&>(dialog);
        ++shown;
        options.ComboSplitSize->setCurrentText(QStringLiteral("710"));
        options.BtnOk->click();
        return options.result();
    });
    window.MnuFileOptionsClick();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(window.ComboSegment->currentText(), QStringLiteral("710"));
    EXPECT_EQ(window.DirListSource->directory(), QStringLiteral("c:\\data"));
    ASSERT_EQ(window.FileListSource->currentRow(), 0);
    EXPECT_EQ(window.TxtFileName->text(), QStringLiteral("Big.bin"));
    EXPECT_EQ(window.LblSegCnt->text(), QStringLiteral("5")); // 727,040-byte segments
    EXPECT_TRUE(window.ToolBtnSplit->isEnabled());
}

TEST_F(MainOptionsTest, CancelChangesNothingInTheWindowOrTheFile) {
    TFrmMain& window = pickedInSourceFolder();
    const std::string before = registryText();
    test::ScopedModalRunner runner([](QDialog& dialog) {
        auto& options = dynamic_cast<TDlgOptions&>(dialog);
        options.ComboSplitSize->setCurrentText(QStringLiteral("350"));
        options.BtnCancel->click();
        return options.result();
    });
    window.MnuFileOptionsClick();
    EXPECT_EQ(window.ComboSegment->currentText(), QStringLiteral("1420"));
    EXPECT_EQ(window.FileListSource->currentRow(), 0);
    EXPECT_EQ(window.LblSegCnt->text(), QStringLiteral("3"));
    EXPECT_EQ(registryText(), before);
}

} // namespace
} // namespace dividra::ui
