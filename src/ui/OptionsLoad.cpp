#include "ui/Options.h"

#include "core/split/DriveRules.h"
#include "core/split/SegmentPlan.h"
#include "settings/SegmentSizeSetting.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "settings/StoredOptions.h"
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
    const GeneralOptions general = ReadGeneralOptions();
    (general.destinationHardDrive || !OptDestFD->isEnabled() ? OptDestHD : OptDestFD)
        ->setChecked(true);
    (general.splitFinishedMessage ? OptSplitDoneMessage : OptSplitDoneNothing)->setChecked(true);
    ChkSplitDoneSound->setChecked(general.splitFinishedPlaySound);
    TxtSplitDoneSound->setText(QString::fromStdString(general.splitFinishedSound));
    TxtSplitDoneSound->setEnabled(ChkSplitDoneSound->isChecked());
    ChkSplit8Dot3->setChecked(general.splitFiles83Format);
}

void TDlgOptions::loadSourceFile() {
    const SourceFileOptions source = ReadSourceFileOptions();
    TxtDefSrcFolder->setText(QString::fromStdString(source.folder));
    ChkShowIcons->setChecked(source.showFileIcons);
    LoadFilters();
}

void TDlgOptions::loadFloppy() {
    const FloppyOptions floppy = ReadFloppyOptions();
    const int found =
        ComboDefFD->findText(QString::fromStdString(floppy.drive), Qt::MatchFixedString);
    ComboDefFD->setCurrentIndex(found >= 0 ? found : 0);
    ChkEraseFD->setChecked(floppy.eraseDiskettes);
    (floppy.nextDisketteFlash ? OptSplitNextFlash : OptSplitNextMessage)->setChecked(true);
    ChkSplitNextSound->setChecked(floppy.nextDiskettePlaySound);
    TxtSplitNextSound->setText(QString::fromStdString(floppy.nextDisketteSound));
    TxtSplitNextSound->setEnabled(ChkSplitNextSound->isChecked());
    ChkMinSplitFD->setChecked(floppy.minimizeWhileSplitting);
}

void TDlgOptions::loadHardDrive() {
    const HardDriveOptions hardDrive = ReadHardDriveOptions();
    TxtDefDstFolder->setText(QString::fromStdString(hardDrive.destinationFolder));
    ComboSplitSize->setCurrentText(latin1(hardDrive.segmentSize.entry));
    TxtCustomSize->setText(
        QString::fromStdString(IntToText(hardDrive.segmentSize.customKilobytes)));
    ComboSplitSizeChange();
    ChkMinSplitHD->setChecked(hardDrive.minimizeWhileSplitting);
}

} // namespace dividra::ui
