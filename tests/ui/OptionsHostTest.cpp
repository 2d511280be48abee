#include "DialogFixture.h"
#include "platform/DriveTable.h"
#include "platform/PosixFileSystem.h"
#include "settings/Defaults.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "toolkit/ButtonEdit.h"
#include "toolkit/DirectoryListBox.h"
#include "toolkit/DriveComboBox.h"
#include "toolkit/FileListBox.h"
#include "ui/Options.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <filesystem>

// The options dialog over host folders seen through a DIVIDRA_DRIVES table, as the program runs.
namespace dividra::ui {
namespace {

using namespace dividra::keys;

class OptionsHostTest : public ::testing::Test {
protected:
    // Drives as "letter=folder,kind" with folders under the test's own folder.
    void useDrives(std::initializer_list<std::pair<const char*, const char*>> drives) {
        std::string table;
        for (const auto& [letter, kind] : drives) {
            const std::string root = m_dir.file(letter);
            std::filesystem::create_directories(root);
            table += std::string(letter) + "=" + root + "," + kind + ";";
        }
        m_drivesEnv.emplace("DIVIDRA_DRIVES", table);
        m_fs.emplace(platform::DriveTable::parse(table).value());
    }
    std::unique_ptr<TDlgOptions> create() {
        return std::make_unique<TDlgOptions>(*m_fs, QString());
    }
    std::string registryText() const { return dividra::test::TempDir::read(m_registryFile); }

    dividra::test::TempDir m_dir;
    std::string m_registryFile = m_dir.file("registry.reg");
    dividra::test::ScopedEnv m_registry{"DIVIDRA_REGISTRY", m_registryFile};
    dividra::test::ScopedScriptedMessageBoxes m_boxes;
    std::optional<dividra::test::ScopedEnv> m_drivesEnv;
    std::optional<platform::PosixFileSystem> m_fs;
};

TEST_F(OptionsHostTest, AMachineWithoutDisketteDrivesCanOnlyChooseTheHardDrive) {
    useDrives({{"c", "fixed"}, {"d", "cdrom"}});
    WriteSettingInt(kGeneralOptions, kDestinationMedia, 0);
    WriteSettingText(kFloppyOptions, kFloppyDrive, "a:");
    auto dialog = create();
    EXPECT_EQ(dialog->ComboDefFD->count(), 1);
    EXPECT_EQ(dialog->ComboDefFD->currentText(), QStringLiteral("None Detected"));
    EXPECT_FALSE(dialog->ComboDefFD->isEnabled());
    EXPECT_FALSE(dialog->OptDestFD->isEnabled());
    EXPECT_TRUE(dialog->OptDestHD->isChecked());
    dialog->BtnOkClick();
    EXPECT_EQ(ReadSettingInt(kGeneralOptions, kDestinationMedia, -1), 1);
    EXPECT_EQ(ReadSettingText(kFloppyOptions, kFloppyDrive, "?"), "");
}

TEST_F(OptionsHostTest, TheSoundDialogOffersWaveFilesOfEitherCaseFromTheSoundFolder) {
    useDrives({{"c", "fixed"}});
    // The table doesn't hold /usr/share, so the Windows folder is the root of c:.
    const std::string sounds = m_dir.file("c/sounds");
    m_dir.write("c/sounds/bell.wav", "RIFF");
    m_dir.write("c/sounds/CHIME.WAV", "RIFF");
    m_dir.write("c/sounds/notes.txt", "");
    auto dialog = create();
    QFileDialog* files = dialog->OpenDlg;
    EXPECT_EQ(files->windowTitle(), QStringLiteral("Select Sound File"));
    EXPECT_EQ(files->nameFilters(), QStringList{QStringLiteral("Sound Files (*.WAV)")});
    EXPECT_EQ(files->defaultSuffix(), QStringLiteral("WAV"));
    EXPECT_EQ(files->directory().absolutePath().toStdString(), sounds);
    QStringList offered;
    test::ScopedModalRunner runner([&](QDialog& shown) {
        EXPECT_EQ(&shown, files);
        shown.show();
        auto* list = shown.findChild<QListView*>(QStringLiteral("listView"));
        QElapsedTimer waited;
        waited.start();
        while (offered.size() < 2 && waited.elapsed() < 5000) {
            QApplication::processEvents(QEventLoop::AllEvents, 50);
            offered.clear();
            for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row) {
                offered.append(list->model()->index(row, 0, list->rootIndex()).data().toString());
            }
        }
        shown.hide(); // as typed: a shown dialog leaves a focused name field alone
        files->selectFile(QStringLiteral("bell.wav"));
        return int(QDialog::Accepted);
    });
    dialog->ChkSplitNextSound->click();
    dialog->TxtSplitNextSound->button()->click();
    offered.sort(Qt::CaseInsensitive);
    EXPECT_EQ(offered, (QStringList{QStringLiteral("bell.wav"), QStringLiteral("CHIME.WAV")}));
    EXPECT_EQ(dialog->TxtSplitNextSound->text(), QStringLiteral("c:\\sounds\\bell.wav"));
}

TEST_F(OptionsHostTest, CancelAfterChoosingAFolderAndASoundLeavesTheFileAsItWas) {
    useDrives({{"c", "fixed"}});
    m_dir.write("c/media/ding.wav", "RIFF");
    std::filesystem::create_directories(m_dir.file("c/parts"));
    WriteDefaultSettings(kDesignBounds); // every key there, as after a first start
    WriteSettingText(kHardDriveOptions, kDestinationFolder, "c:\\old");
    const std::string before = registryText();
    test::ScopedModalRunner runner([&](QDialog& shown) {
        if (auto* folders = dynamic_cast<TDlgSelDir*>(&shown)) {
            EXPECT_TRUE(folders->DirFolder->setDirectory(QStringLiteral("c:\\parts")));
            folders->BtnOk->click();
            return folders->result();
        }
        static_cast<QFileDialog&>(shown).selectFile(
            QString::fromStdString(m_dir.file("c/media/ding.wav")));
        return int(QDialog::Accepted);
    });
    auto dialog = create();
    dialog->TxtDefDstFolder->button()->click();
    dialog->TxtSplitDoneSound->setEnabled(true);
    dialog->TxtSplitDoneSound->button()->click();
    EXPECT_EQ(dialog->TxtDefDstFolder->text(), QStringLiteral("c:\\parts"));
    EXPECT_EQ(dialog->TxtSplitDoneSound->text(), QStringLiteral("c:\\media\\ding.wav"));
    dialog->BtnCancel->click();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(registryText(), before);
}

} // namespace
} // namespace dividra::ui
