#include "ui/Main.h"

#include "core/split/SplitCommand.h"
#include "toolkit/DirectoryListBox.h"
#include "toolkit/DriveComboBox.h"
#include "toolkit/FileListBox.h"
#include "toolkit/LedProgressBar.h"
#include "toolkit/SoundPlayer.h"
#include "ui/DrivePaths.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

namespace dividra::ui {
namespace {

std::string text(const QString& value) {
    return value.toStdString();
}

} // namespace

void TFrmMain::ToolBtnSplitClick() {
    core::ToolBtnSplitClick(*this, m_fs);
    if (m_closeRequested) {
        m_closeRequested = false;
        QTimer::singleShot(0, this, [this] { close(); });
    }
}

core::SplitInputs TFrmMain::splitInputs() {
    core::SplitInputs in;
    in.destination = PageDest->currentWidget() == TabDestFD ? core::Destination::Floppy
                                                            : core::Destination::HardDrive;
    in.floppyDriveAvailable = ComboDestFD->isEnabled();
    in.floppyDrive = text(ComboDestFD->currentText().left(2).toLower());
    in.eraseDiskettes = ChkErase->isChecked();
    in.destinationDrive = FirstLetter(ComboDestHD->currentText());
    in.destinationFolder = text(DirListDest->directory());
    in.segmentSizeText = text(segmentSizeText());
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
    in.segmentCountText = text(LblSegCnt->text());
    in.platformKind = text(PlatformKind);
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
