#include "ui/Main.h"

#include "core/split/DriveRules.h"
#include "core/split/SegmentPlan.h"
#include "settings/SegmentSizeSetting.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "settings/StoredOptions.h"
#include "toolkit/DirectoryListBox.h"
#include "toolkit/DriveComboBox.h"
#include "toolkit/FileListBox.h"
#include "ui/CustomSize.h"
#include "ui/DrivePaths.h"
#include "ui/WindowRules.h"
#include "util/MessageBoxes.h"
#include "util/NumberText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

namespace dividra::ui {
namespace {

using platform::DriveType;

bool isDisketteLetter(const QString& item) {
    const QChar letter = item.isEmpty() ? QChar() : item.front().toUpper();
    return letter == QLatin1Char('A') || letter == QLatin1Char('B');
}

// Walks a drive list from its last entry to its first, deleting what `unsuitable` names.
template <class Test>
void prune(toolkit::DriveComboBox* list, platform::FileSystem& fs, Test unsuitable) {
    list->setCurrentIndex(-1);
    for (int i = list->count() - 1; i >= 0; --i) {
        const QString item = list->itemText(i);
        const DriveType type =
            fs.driveType((item.left(2).toUpper() + QLatin1Char('\\')).toStdString());
        if (unsuitable(type, item)) {
            list->removeItem(i);
        }
    }
}

} // namespace

void TFrmMain::pruneDriveLists() {
    prune(ComboSource, m_fs, [](DriveType type, const QString& item) {
        return type == DriveType::Removable && isDisketteLetter(item);
    });
    prune(ComboDestFD, m_fs,
          [](DriveType type, const QString&) { return !core::TakesDiskettes(type); });
    if (ComboDestFD->count() == 0) {
        ComboDestFD->addItem(QStringLiteral("None Detected"));
        ComboDestFD->setCurrentIndex(0);
        ComboDestFD->setEnabled(false);
    }
    prune(ComboDestHD, m_fs, [](DriveType type, const QString& item) {
        return type == DriveType::CdRom || (type == DriveType::Removable && isDisketteLetter(item));
    });
    ComboDestHD->setDrive(FirstLetter(ComboDestHD->itemText(0)));
}

void TFrmMain::applyDestinationSettings() {
    const FloppyOptions options = ReadFloppyOptions();
    const QString floppy = QString::fromStdString(options.drive);
    const int found = ComboDestFD->findText(floppy, Qt::MatchFixedString);
    if (found >= 0 && !floppy.isEmpty()) {
        ComboDestFD->setCurrentIndex(found);
    } else {
        ComboDestFD->setCurrentIndex(0);
    }
    ChkErase->setChecked(options.eraseDiskettes);
    applyHardDriveSettings();
    const StoredSegmentSize stored = ReadStoredSegmentSize();
    const std::string_view entry = stored.entry;
    ComboSegment->setCurrentText(QString::fromLatin1(entry.data(), static_cast<int>(entry.size())));
    TxtCustom->setText(QString::fromStdString(IntToText(stored.customKilobytes)));
    TxtCustom->setEnabled(entry == kCustomSegmentEntry);
    PageDest->setCurrentWidget(ReadGeneralOptions().destinationHardDrive ? TabDestHD : TabDestFD);
}

void TFrmMain::applyHardDriveSettings() {
    const QString folder = QString::fromStdString(ReadHardDriveOptions().destinationFolder);
    const bool stored = !folder.isEmpty() && folderExists(folder);
    ComboDestHD->setDrive(FirstLetter(stored ? folder : ComboDestHD->itemText(0)));
    LastDestDrive = ComboDestHD->drive();
    (void)DirListDest->setDirectory(stored ? folder : DriveRoot(LastDestDrive));
    ShowDestFreeSpace();
}

void TFrmMain::ComboDestHDChange() {
    if (Loading || m_restoringDrive) {
        return;
    }
    const char letter = ComboDestHD->drive();
    const QString message = NotAccessibleMessage(letter);
    if (!DirListDest->setDirectory(DriveRoot(letter))) {
        m_restoringDrive = true;
        ComboDestHD->setDrive(LastDestDrive);
        m_restoringDrive = false;
        ShowErrorMessage(message.toStdString());
    }
    LastDestDrive = ComboDestHD->drive();
    ShowDestFreeSpace();
}

void TFrmMain::ShowDestFreeSpace() {
    const char letter = FirstLetter(ComboDestHD->currentText());
    const std::int64_t free = letter == 0 ? -1 : m_fs.freeBytes(letter - 'a' + 1);
    LblHDFreeData->setText(FreeSpaceText(free));
}

QString TFrmMain::segmentSizeText() const {
    return ComboSegment->currentText() == customSegmentEntry() ? TxtCustom->text()
                                                               : ComboSegment->currentText();
}

void TFrmMain::setSegmentCount(const QString& kilobytesText) {
    const std::int64_t segmentBytes = core::SegmentSizeBytes(kilobytesText.toStdString());
    LblSegCnt->setText(QString::number(core::SegmentCount(SourceSize, segmentBytes)));
}

void TFrmMain::ComboSegmentChange() {
    TxtCustom->setEnabled(ComboSegment->currentText() == customSegmentEntry());
    if (SourceSize <= 0) {
        LblSegCnt->setText(QStringLiteral("0"));
        return;
    }
    setSegmentCount(segmentSizeText());
}

void TFrmMain::TxtCustomChange() {
    if (TxtCustom->text().isEmpty() || SourceSize == 0) {
        LblSegCnt->setText(QStringLiteral("0"));
        return;
    }
    setSegmentCount(TxtCustom->text());
}

void TFrmMain::TxtCustomExit() {
    keepCustomSizeInRange(TxtCustom);
}

} // namespace dividra::ui
