#include "ui/Options.h"
#include "DialogFixture.h"
#include "settings/Defaults.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "support/ScopedHook.h"
#include "toolkit/ButtonEdit.h"
#include "toolkit/DirectoryListBox.h"
#include "toolkit/DriveComboBox.h"
#include "toolkit/FileListBox.h"
#include "toolkit/HelpViewer.h"
#include "util/KeyFilter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <sys/stat.h>
#include <unistd.h>

namespace dividra::ui {
namespace {

using namespace dividra::keys;

class OptionsTest : public test::DialogFixture {
protected:
    std::unique_ptr<TDlgOptions> create() {
        return std::make_unique<TDlgOptions>(m_fs, QStringLiteral("/nonexistent/dividra.hlp"));
    }
};

TEST_F(OptionsTest, OkOnAFreshProfileWritesEveryValueInTheSaveOrder) {
    auto dialog = create();
    dialog->BtnOkClick();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(registryText(), R"(REGEDIT4

[HKEY_CURRENT_USER\Software\Vorlan Software\Dividra\General Options]
"Destination Media"=dword:00000000
"Split Finished Notify By"=dword:00000000
"Split Finished Play Sound"=dword:00000000
"Split Finished Sound"=""
"Split files in 8.3 format"=dword:00000000

[HKEY_CURRENT_USER\Software\Vorlan Software\Dividra\Source File Options]
"Source Folder"=""
"Show File Icons"=dword:00000000
"Filter Count"=dword:00000001
"Filter1 Type"=""
"Filter1 Extension"=""

[HKEY_CURRENT_USER\Software\Vorlan Software\Dividra\Floppy Options]
"Floppy Drive"="a:"
"Erase Diskettes"=dword:00000000
"Next Diskette Notify By"=dword:00000000
"Next Diskette Play Sound"=dword:00000000
"Next Diskette Sound"=""
"Minimize While Splitting"=dword:00000000

[HKEY_CURRENT_USER\Software\Vorlan Software\Dividra\Hard Drive Options]
"Destination Folder"=""
"Default Segment Size"="1420"
"Custom Segment Size"=dword:00000040
"Minimize While Splitting"=dword:00000000
)");
}

TEST_F(OptionsTest, AFailedSaveSaysWhyAndKeepsTheDialogOpenWithItsValues) {
    auto dialog = create();
    dialog->show();
    dialog->TxtDefSrcFolder->setText(QStringLiteral("c:\\data"));
    const std::string before = registryText();
    const std::string obstacle = m_registryFile + ".tmp"; // no replacement can be written
    ASSERT_EQ(::mkdir(obstacle.c_str(), 0700), 0);
    dialog->BtnOk->click();
    ::rmdir(obstacle.c_str());
    ASSERT_EQ(m_boxes.boxes().size(), 1u);
    EXPECT_EQ(m_boxes.boxes()[0].text,
              "The options could not be saved:\n" + obstacle + ": File exists");
    EXPECT_EQ(m_boxes.boxes()[0].caption, MessageCaption);
    EXPECT_EQ(m_boxes.boxes()[0].flags, MB_SETFOREGROUND | MB_ICONSTOP | MB_OK);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->TxtDefSrcFolder->text(), QStringLiteral("c:\\data"));
    EXPECT_EQ(registryText(), before);

    dialog->BtnOk->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(ReadSettingText(kSourceFileOptions, kSourceFolder, ""), "c:\\data");
}

TEST_F(OptionsTest, StoredValuesFollowTheReadRulesAndOkStoresWhatIsShown) {
    WriteSettingInt(kGeneralOptions, kDestinationMedia, 2);
    WriteSettingInt(kGeneralOptions, kSplitFinishedNotifyBy, 2);
    WriteSettingInt(kGeneralOptions, kSplitFinishedPlaySound, 1);
    WriteSettingText(kGeneralOptions, kSplitFinishedSound, "c:\\done.wav");
    WriteSettingInt(kGeneralOptions, kSplitFiles83Format, 2); // a flag is on only at 1
    WriteSettingText(kFloppyOptions, kFloppyDrive, "A:");
    WriteSettingInt(kFloppyOptions, kNextDisketteNotifyBy, 1);
    WriteSettingText(kHardDriveOptions, kDefaultSegmentSize, "custom");
    WriteSettingInt(kHardDriveOptions, kCustomSegmentSize, 2000);
    auto dialog = create();
    EXPECT_TRUE(dialog->OptDestHD->isChecked());
    EXPECT_TRUE(dialog->OptSplitDoneNothing->isChecked());
    EXPECT_FALSE(dialog->ChkSplit8Dot3->isChecked());
    EXPECT_EQ(dialog->ComboDefFD->currentText(), QStringLiteral("a:"));
    EXPECT_TRUE(dialog->OptSplitNextFlash->isChecked());
    EXPECT_EQ(dialog->ComboSplitSize->currentText(), QStringLiteral("Custom"));
    EXPECT_EQ(dialog->TxtCustomSize->text(), QStringLiteral("2000"));
    EXPECT_TRUE(dialog->TxtCustomSize->isEnabled());
    dialog->ChkSplitDoneSound->click();
    EXPECT_FALSE(dialog->TxtSplitDoneSound->isEnabled());
    dialog->BtnOkClick();
    EXPECT_EQ(ReadSettingInt(kGeneralOptions, kDestinationMedia, -1), 1);
    EXPECT_EQ(ReadSettingInt(kGeneralOptions, kSplitFinishedNotifyBy, -1), 0);
    EXPECT_EQ(ReadSettingInt(kGeneralOptions, kSplitFinishedPlaySound, -1), 0);
    EXPECT_EQ(ReadSettingText(kGeneralOptions, kSplitFinishedSound, ""), "c:\\done.wav");
    EXPECT_EQ(ReadSettingInt(kGeneralOptions, kSplitFiles83Format, -1), 0);
    EXPECT_EQ(ReadSettingText(kFloppyOptions, kFloppyDrive, ""), "a:");
    EXPECT_EQ(ReadSettingInt(kFloppyOptions, kNextDisketteNotifyBy, -1), 1);
    EXPECT_EQ(ReadSettingText(kHardDriveOptions, kDefaultSegmentSize, ""), "Custom");
    EXPECT_EQ(ReadSettingInt(kHardDriveOptions, kCustomSegmentSize, -1), 2000);
}

TEST_F(OptionsTest, TheCustomSizeTakesDigitsOnlyAndLeavingItKeepsItInRange) {
    WriteSettingText(kHardDriveOptions, kDefaultSegmentSize, "Custom");
    auto dialog = create();
    QLineEdit* field = dialog->TxtCustomSize;
    int beeps = 0;
    const dividra::test::ScopedHook counted(SetBeepHook, [&beeps](unsigned) { ++beeps; });
    field->clear();
    test::typeText(field, QStringLiteral("1a-2.34567"));
    EXPECT_EQ(field->text(), QStringLiteral("1234"));
    EXPECT_EQ(beeps, 3);
    // Moving on and closing stay the dialog's keys.
    dialog->show();
    field->setFocus();
    test::typeKey(field, Qt::Key_Tab, QStringLiteral("\t"));
    EXPECT_NE(dialog->focusWidget(), field);
    test::typeKey(field, Qt::Key_Escape, QStringLiteral("\x1b"));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(beeps, 3);
    const std::pair<const char*, const char*> leaving[] = {
        {"", "1"},   {"2000", "1024"}, {"0", "1"}, {"-5", "1"},
        {"x1", "1"}, {"1024", "1024"}, {"7", "7"}};
    for (const auto& [typed, left] : leaving) {
        field->setText(QString::fromLatin1(typed)); // as pasted
        test::sendFocusOut(field);
        EXPECT_EQ(field->text(), QString::fromLatin1(left)) << typed;
    }
    dialog->ComboSplitSize->setCurrentText(QStringLiteral("710"));
    EXPECT_FALSE(field->isEnabled());
    field->setText(QStringLiteral("0")); // never left: stored as it stands, size chosen or not
    dialog->BtnOkClick();
    EXPECT_EQ(ReadSettingInt(kHardDriveOptions, kCustomSegmentSize, -1), 0);
}

TEST_F(OptionsTest, FolderFieldsAskTheFolderDialogAndKeepTheirTextOnCancel) {
    m_fs.createFolder("c:\\out\\parts");
    QStringList captions;
    QStringList startedAt;
    bool confirm = true;
    test::ScopedModalRunner runner([&](QDialog& shown) {
        auto& folders = dynamic_cast<TDlgSelDir&>(shown);
        captions.append(folders.windowTitle());
        startedAt.append(folders.DirFolder->directory());
        EXPECT_TRUE(folders.DirFolder->setDirectory(QStringLiteral("c:\\out\\parts")));
        (confirm ? folders.BtnOk : folders.BtnCancel)->click();
        return folders.result();
    });
    WriteSettingText(kSourceFileOptions, kSourceFolder, "c:\\data");
    auto dialog = create();
    dialog->TxtDefSrcFolder->button()->click();
    dialog->TxtDefDstFolder->button()->click();
    confirm = false;
    dialog->TxtDefSrcFolder->setText(QStringLiteral("typed"));
    dialog->TxtDefSrcFolder->button()->click();
    EXPECT_EQ(captions, (QStringList{QStringLiteral("Select Source Folder:"),
                                     QStringLiteral("Select Destination Folder:"),
                                     QStringLiteral("Select Source Folder:")}));
    // Never at the folder in the field: at the root of the first drive.
    EXPECT_EQ(startedAt, QStringList(3, QStringLiteral("c:\\")));
    EXPECT_EQ(dialog->TxtDefSrcFolder->text(), QStringLiteral("typed"));
    EXPECT_EQ(dialog->TxtDefDstFolder->text(), QStringLiteral("c:\\out\\parts"));
}

TEST_F(OptionsTest, EscapeAndEnterOutsideAButtonDontConfirm) {
    WriteDefaultSettings(kDesignBounds);
    WriteSettingText(kSourceFileOptions, kSourceFolder, "c:\\data");
    const std::string before = registryText();
    auto dialog = create();
    dialog->show();
    QApplication::processEvents();
    for (QPushButton* button : {dialog->BtnOk, dialog->BtnCancel, dialog->BtnHelp}) {
        EXPECT_FALSE(button->isDefault()) << button->objectName().toStdString();
    }
    dialog->TxtDefSrcFolder->setText(QStringLiteral("c:\\out"));
    dialog->TxtDefSrcFolder->edit()->setFocus();
    test::typeKey(dialog->TxtDefSrcFolder->edit(), Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_TRUE(dialog->isVisible());
    dialog->BtnCancel->setFocus();
    test::typeKey(dialog->BtnCancel, Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);

    auto another = create();
    another->show();
    test::typeKey(another.get(), Qt::Key_Escape);
    EXPECT_FALSE(another->isVisible());
    EXPECT_EQ(another->result(), QDialog::Rejected);
    EXPECT_EQ(registryText(), before);
}

TEST_F(OptionsTest, ControlsCarryTheirHelpIdsAndTheFrameIsFixed) {
    auto dialog = create();
    EXPECT_EQ(dialog->size(), QSize(605, 299));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Dividra Options"));
    EXPECT_EQ(toolkit::HelpContextOf(dialog->OptDestFD), 2001); // from its group
    EXPECT_EQ(toolkit::HelpContextOf(dialog->TxtSplitDoneSound->edit()), 2005);
    EXPECT_EQ(toolkit::HelpContextOf(dialog->ChkShowIcons), 2102); // on the General page
    EXPECT_EQ(toolkit::HelpContextOf(dialog->BtnHelp), 2902);
    EXPECT_EQ(toolkit::HelpContextOf(dialog->GrpFilters), 0);
    // Labels show the topic of the control they name; the page tabs what the pages are.
    EXPECT_EQ(toolkit::HelpContextOf(dialog->LblDefFD), 2201);
    EXPECT_EQ(toolkit::HelpContextOf(dialog->LblCustomSize), 2303);
    EXPECT_EQ(toolkit::HelpTopicOf(dialog->PageOptions->tabBar()), QStringLiteral("pages"));
}

TEST_F(OptionsTest, GrabsOfTheFourPages) {
    WriteDefaultSettings(kDesignBounds);
    WriteSettingText(kHardDriveOptions, kDestinationFolder, "c:\\out");
    auto dialog = create();
    dialog->show();
    QDir().mkpath(QStringLiteral("/tmp/dividra-options"));
    const char* names[] = {"general", "source-file", "floppy", "hard-drive"};
    for (int page = 0; page < 4; ++page) {
        dialog->PageOptions->setCurrentIndex(page);
        QApplication::processEvents();
        const QString path = QStringLiteral("/tmp/dividra-options/options-%1.png")
                                 .arg(QString::fromLatin1(names[page]));
        EXPECT_TRUE(dialog->grab().save(path));
    }
}

} // namespace
} // namespace dividra::ui
