#include "ui/Options.h"

#include "core/split/DriveRules.h"
#include "core/split/SegmentPlan.h"
#include "settings/SegmentSizeSetting.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "toolkit/ButtonEdit.h"
#include "toolkit/DriveComboBox.h"
#include "util/NumberText.h"
#include "util/SystemFolders.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

namespace dividra::ui {
namespace {

QString text(std::string_view key, std::string_view value) {
    return QString::fromStdString(ReadSettingText(key, value, ""));
}

bool flag(std::string_view key, std::string_view value) {
    return ReadSettingInt(key, value, 0) == 1;
}

QString latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

void TDlgOptions::FormCreate() {
    PageOptions->setCurrentWidget(TabGeneral);
    LayoutFilterGrid();
    setSoundStartFolder();
    pruneFloppyDrives();
    for (std::string_view entry : kSegmentSizeListEntries) {
        ComboSplitSize->addItem(latin1(entry));
    }
    loadGeneral();
    loadSourceFile();
    loadFloppy();
    loadHardDrive();
}

// The system's sound folder when there is one, else the Windows folder.
void TDlgOptions::setSoundStartFolder() {
    const std::string windows = GetWindowsFolder(m_fs);
    const std::string sounds = windows + "sounds";
    const auto bits = m_fs.attributes(sounds);
    const bool found = bits && (bits.value() & platform::attr::Directory) != 0;
    const auto host = m_fs.toHostPath(found ? sounds + "\\" : windows);
    if (host) {
        OpenDlg->setDirectory(QString::fromStdString(host.value()));
    }
}

void TDlgOptions::pruneFloppyDrives() {
    ComboDefFD->clearSelection();
    for (int i = ComboDefFD->count() - 1; i >= 0; --i) {
        const QString root = ComboDefFD->itemText(i).left(2) + QLatin1Char('\\');
        const platform::DriveType type = m_fs.driveType(root.toStdString());
        if (!core::TakesDiskettes(type)) {
            ComboDefFD->removeItem(i);
        }
    }
    if (ComboDefFD->count() == 0) {
        ComboDefFD->addItem(QStringLiteral("None Detected"));
        ComboDefFD->setCurrentIndex(0);
        ComboDefFD->setEnabled(false);
        OptDestFD->setEnabled(false);
    }
}

void TDlgOptions::loadGeneral() {
    const bool hardDrive = ReadSettingInt(keys::kGeneralOptions, keys::kDestinationMedia, 0) != 0;
    (hardDrive || !OptDestFD->isEnabled() ? OptDestHD : OptDestFD)->setChecked(true);
    const bool message =
        ReadSettingInt(keys::kGeneralOptions, keys::kSplitFinishedNotifyBy, 0) == 1;
    (message ? OptSplitDoneMessage : OptSplitDoneNothing)->setChecked(true);
    ChkSplitDoneSound->setChecked(flag(keys::kGeneralOptions, keys::kSplitFinishedPlaySound));
    TxtSplitDoneSound->setText(text(keys::kGeneralOptions, keys::kSplitFinishedSound));
    TxtSplitDoneSound->setEnabled(ChkSplitDoneSound->isChecked());
    ChkSplit8Dot3->setChecked(flag(keys::kGeneralOptions, keys::kSplitFiles83Format));
}

void TDlgOptions::loadSourceFile() {
    TxtDefSrcFolder->setText(text(keys::kSourceFileOptions, keys::kSourceFolder));
    ChkShowIcons->setChecked(flag(keys::kSourceFileOptions, keys::kShowFileIcons));
    LoadFilters();
}

void TDlgOptions::loadFloppy() {
    const int found =
        ComboDefFD->findText(text(keys::kFloppyOptions, keys::kFloppyDrive), Qt::MatchFixedString);
    ComboDefFD->setCurrentIndex(found >= 0 ? found : 0);
    ChkEraseFD->setChecked(flag(keys::kFloppyOptions, keys::kEraseDiskettes));
    const bool flash = ReadSettingInt(keys::kFloppyOptions, keys::kNextDisketteNotifyBy, 0) == 1;
    (flash ? OptSplitNextFlash : OptSplitNextMessage)->setChecked(true);
    ChkSplitNextSound->setChecked(flag(keys::kFloppyOptions, keys::kNextDiskettePlaySound));
    TxtSplitNextSound->setText(text(keys::kFloppyOptions, keys::kNextDisketteSound));
    TxtSplitNextSound->setEnabled(ChkSplitNextSound->isChecked());
    ChkMinSplitFD->setChecked(flag(keys::kFloppyOptions, keys::kMinimizeWhileSplitting));
}

void TDlgOptions::loadHardDrive() {
    TxtDefDstFolder->setText(text(keys::kHardDriveOptions, keys::kDestinationFolder));
    const StoredSegmentSize stored = ReadStoredSegmentSize();
    ComboSplitSize->setCurrentText(latin1(stored.entry));
    TxtCustomSize->setText(QString::fromStdString(IntToText(stored.customKilobytes)));
    ComboSplitSizeChange();
    ChkMinSplitHD->setChecked(flag(keys::kHardDriveOptions, keys::kMinimizeWhileSplitting));
}

} // namespace dividra::ui
