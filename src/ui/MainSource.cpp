#include "ui/Main.h"

#include "core/set/SegmentPath.h"
#include "core/split/DriveRules.h"
#include "core/split/SegmentPlan.h"
#include "core/split/SplitMessages.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "settings/StoredOptions.h"
#include "toolkit/DirectoryListBox.h"
#include "toolkit/DriveComboBox.h"
#include "toolkit/FileListBox.h"
#include "toolkit/FilterComboBox.h"
#include "ui/DrivePaths.h"
#include "ui/WindowRules.h"
#include "util/MessageBoxes.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace dividra::ui {
namespace {} // namespace

bool TFrmMain::folderExists(const QString& dosPath) const {
    const auto bits = m_fs.attributes(dosPath.toStdString());
    return bits && (bits.value() & platform::attr::Directory) != 0;
}

void TFrmMain::applySourceSettings() {
    const QString folder = QString::fromStdString(ReadSourceFileOptions().folder);
    const bool stored = !folder.isEmpty() && folderExists(folder);
    ComboSource->setDrive(FirstLetter(stored ? folder : ComboSource->itemText(0)));
    Loading = false;
    LastSourceFolder.clear();
    LastSourceDrive = ComboSource->drive();
    (void)DirListSource->setDirectory(stored ? folder : DriveRoot(LastSourceDrive));
    LastSourceFolder = DirListSource->directory();
}

void TFrmMain::applyFilterSettings() {
    const std::int32_t count = ReadFilterCount();
    QString filter;
    if (count == 0) {
        filter = QStringLiteral("All Files (*.*)|*.*");
    } else {
        for (std::int32_t n = 1; n <= count; ++n) {
            const StoredFilter stored = ReadFilter(n);
            filter += QString::fromStdString(stored.name) + QStringLiteral("|*.") +
                      QString::fromStdString(stored.extension) + QLatin1Char('|');
        }
        filter.chop(1);
    }
    FilterSource->setFilter(filter);
    FilterSource->setCurrentIndex(0);
}

void TFrmMain::ComboSourceChange() {
    if (Loading || m_restoringDrive) {
        return;
    }
    FileListSource->clearSelection();
    ClearSourceInfo();
    const char letter = ComboSource->drive();
    const QString message = NotAccessibleMessage(letter);
    if (!DirListSource->setDirectory(DriveRoot(letter))) {
        m_restoringDrive = true;
        ComboSource->setDrive(LastSourceDrive);
        m_restoringDrive = false;
        ShowErrorMessage(message.toStdString());
    }
    LastSourceDrive = ComboSource->drive();
}

void TFrmMain::DirListSourceChange() {
    if (DirListSource->directory() != LastSourceFolder) {
        LastSourceFolder = DirListSource->directory();
        ClearSourceInfo();
    }
}

void TFrmMain::FilterSourceChange() {
    ClearSourceInfo();
}

void TFrmMain::BtnSrcRefreshClick() {
    DirListSource->refresh();
    FileListSource->refresh();
    DirListSource->setFocus();
}

void TFrmMain::FileListSourceChange() {
    if (SkipNextListChange) {
        SkipNextListChange = false;
        return;
    }
    const QFontMetrics metrics(FileListSource->font());
    int widest = 0;
    for (int row = 0; row < FileListSource->count(); ++row) {
        widest = std::max(widest, metrics.horizontalAdvance(FileListSource->item(row)->text()));
    }
    FileListSource->setHorizontalExtent(widest + (FileListSource->showIcons() ? 20 : 0) + 5);
}

void TFrmMain::FileListSourceClick() {
    SkipNextListChange = true;
    const int row = FileListSource->currentRow();
    if (row < 0) {
        return;
    }
    const QString entry = FileListSource->item(row)->text();
    auto opened = m_fs.openReadShared(FileListSource->longPath(row).toStdString());
    const auto size = opened ? opened.value()->size() : Result<std::int64_t>(opened.error());
    if (!size) {
        ClearSourceInfo();
        TxtFileName->setText(entry);
        LblFileSizeData->setText(QStringLiteral("File in use, can't get size."));
        return;
    }
    SourceSize = size.value();
    TxtFileName->setText(entry);
    LblFileSizeData->setText(FileSizeText(SourceSize));
    showCounts();
    ToolBtnSplit->setEnabled(true);
    MnuFileSplit->setEnabled(true);
}

void TFrmMain::showCounts() {
    QLabel* counts[] = {Lbl3HDVal, Lbl3DDVal, Lbl5HDVal, Lbl5DDVal};
    for (std::size_t kind = 0; kind < std::size(counts); ++kind) {
        counts[kind]->setText(
            QString::number(core::DisketteCount(SourceSize, core::kDisketteKinds[kind].capacity)));
    }
    setSegmentCount(segmentSizeText());
}

void TFrmMain::ClearSourceInfo() {
    SourceSize = 0;
    TxtFileName->clear();
    LblFileSizeData->clear();
    for (QLabel* count : {Lbl3HDVal, Lbl3DDVal, Lbl5HDVal, Lbl5DDVal, LblSegCnt}) {
        count->setText(QStringLiteral("0"));
    }
    ToolBtnSplit->setEnabled(false);
    MnuFileSplit->setEnabled(false);
}

void TFrmMain::OpenSourceFile(const QString& path) {
    const auto lastSeparator = path.lastIndexOf(QLatin1Char('\\'));
    const QString folder = path.left(lastSeparator + 1);
    const QString name = path.mid(lastSeparator + 1);
    if (core::OnRemovableDrive(m_fs, path.toStdString())) {
        ShowInfoMessage(core::text::kRemovableSourceMessage);
        return;
    }
    ComboSource->setDrive(FirstLetter(path));
    const bool root = folder.size() <= 3;
    (void)DirListSource->setDirectory(root ? folder : folder.chopped(1));
    const int row = matchingRow(name);
    if (row >= 0) {
        FileListSource->setCurrentRow(row);
        FileListSourceClick();
    }
}

// The entry named so: blind to case first, then by the exact short name or text.
int TFrmMain::matchingRow(const QString& name) const {
    for (int row = 0; row < FileListSource->count(); ++row) {
        if (FileListSource->item(row)->text().compare(name, Qt::CaseInsensitive) == 0) {
            return row;
        }
    }
    for (int row = 0; row < FileListSource->count(); ++row) {
        const std::string shortPath = FileListSource->shortPath(row).toStdString();
        if (QString::fromStdString(std::string(core::FileNamePart(shortPath))) == name ||
            FileListSource->item(row)->text() == name) {
            return row;
        }
    }
    return -1;
}

void TFrmMain::ToolBtnShowIconsClick() {
    const int row = FileListSource->currentRow();
    MnuFileShowIcons->setChecked(!MnuFileShowIcons->isChecked());
    ToolBtnShowIcons->setChecked(MnuFileShowIcons->isChecked());
    FileListSource->setShowIcons(ToolBtnShowIcons->isChecked());
    FileListSource->refresh();
    if (row >= 0) {
        FileListSource->setCurrentRow(row);
    }
}

} // namespace dividra::ui
