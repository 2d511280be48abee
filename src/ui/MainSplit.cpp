#include "ui/Main.h"

#include "core/split/SegmentPlan.h"
#include "core/split/SplitCommand.h"
#include "toolkit/DirectoryListBox.h"
#include "toolkit/DriveComboBox.h"
#include "toolkit/FileListBox.h"
#include "toolkit/LedProgressBar.h"
#include "toolkit/SoundPlayer.h"
#include "ui/DrivePaths.h"
#include "util/NumberText.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <charconv>
#include <limits>

namespace dividra::ui {
namespace {

std::string text(const QString& value) {
    return value.toStdString();
}

// The count the label shows; beyond 32 bits where it shows one, else as the window reads its
// numbers.
std::int64_t shownCount(const std::string& shown) {
    std::int64_t count = 0;
    const auto [end, error] = std::from_chars(shown.data(), shown.data() + shown.size(), count);
    if (error == std::errc::result_out_of_range) {
        return std::numeric_limits<std::int64_t>::max();
    }
    return error == std::errc() && end == shown.data() + shown.size() ? count : TextToInt(shown);
}

} // namespace

void TFrmMain::ToolBtnSplitClick() {
    core::EndSplit(*this, core::RunSplit(*this, m_fs, m_splitOptions, splitRequest()));
    if (m_closeRequested) {
        m_closeRequested = false;
        QTimer::singleShot(0, this, [this] { close(); });
    }
}

core::SplitRequest TFrmMain::splitRequest() const {
    core::SplitRequest in;
    in.destination = PageDest->currentWidget() == TabDestFD ? core::Destination::Floppy
                                                            : core::Destination::HardDrive;
    in.floppyDriveAvailable = ComboDestFD->isEnabled();
    in.floppyDrive = text(ComboDestFD->currentText().left(2).toLower());
    in.eraseDiskettes = ChkErase->isChecked();
    in.destinationDrive = FirstLetter(ComboDestHD->currentText());
    in.destinationFolder = text(DirListDest->directory());
    in.segmentSizeShown = text(segmentSizeText());
    in.segmentBytes = core::SegmentSizeBytes(in.segmentSizeShown);
    in.dosNames = ToolBtn8Dot3->isChecked();
    const int row = FileListSource->currentRow();
    if (row >= 0) {
        const QString entry = FileListSource->item(row)->text();
        in.sourceLongPath = text(FileListSource->longPath(row));
        in.sourceShortPath = text(FileListSource->shortPath(row));
        const auto dot = entry.lastIndexOf(QLatin1Char('.'));
        in.sourceExtension = dot < 0 ? std::string() : text(entry.mid(dot));
    }
    in.sourceSize = SourceSize;
    in.segmentCount = shownCount(text(LblSegCnt->text()));
    in.pause = PlatformKind == QStringLiteral("95") ? core::DiskettePause::Win95
                                                    : core::DiskettePause::None;
    return in;
}

void TFrmMain::setStatusText(std::string_view value) {
    SetStatusText(QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
}

void TFrmMain::setProgress(int parts) {
    StatProgress->setPartsComplete(parts);
    StatProgress->repaint();
}

void TFrmMain::setBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
    Splitting = busy;
    MnuFile->menuAction()->setEnabled(!busy);
    MnuHelp->menuAction()->setEnabled(!busy);
}

void TFrmMain::minimize() {
    showMinimized();
}

void TFrmMain::processMessages() {
    QCoreApplication::processEvents();
}

// The flash timer ticks every 500 ms, so the wait always wakes again.
void TFrmMain::waitForMessages() {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// The box is hidden by now; a synchronous paint covers its empty frame before the erase or the
// next copy keeps the event loop waiting.
void TFrmMain::messageBoxClosed() {
    repaint();
}

void TFrmMain::playSound(std::string_view path) {
    const auto host = m_fs.toHostPath(path);
    m_sound->play(host ? QString::fromStdString(host.value()) : QString());
}

bool TFrmMain::isActive() {
    return isActiveWindow();
}

void TFrmMain::startFlashing() {
    TimerMain->start();
}

bool TFrmMain::isFlashing() {
    return TimerMain->isActive();
}

} // namespace dividra::ui
