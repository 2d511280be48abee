#include "ui/Main.h"

#include "toolkit/DirectoryListBox.h"
#include "toolkit/DriveComboBox.h"
#include "toolkit/FileListBox.h"
#include "toolkit/FilterComboBox.h"
#include "toolkit/WindowAttention.h"
#include "util/KeyFilter.h"

#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTimer>

namespace dividra::ui {
namespace {

bool isInput(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

// What the pointer and shortcuts would show: hints in the status pane, a highlighted menu title.
bool isPointerOrShortcut(QEvent::Type type) {
    switch (type) {
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::HoverEnter:
    case QEvent::HoverLeave:
    case QEvent::HoverMove:
    case QEvent::StatusTip:
    case QEvent::ToolTip:
    case QEvent::WhatsThis:
    case QEvent::Shortcut:
        return true;
    default:
        return false;
    }
}

// Keys that move the focus or close a dialog type no character into an edit box.
bool isNavigationKey(int key) {
    return key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Return ||
           key == Qt::Key_Enter || key == Qt::Key_Escape;
}

} // namespace

void TFrmMain::connectHandlers() {
    connect(ComboSource, &toolkit::DriveComboBox::driveChanged, this,
            [this] { ComboSourceChange(); });
    connect(DirListSource, &toolkit::DirectoryListBox::directoryChanged, this,
            [this] { DirListSourceChange(); });
    connect(FilterSource, &toolkit::FilterComboBox::filterChanged, this,
            [this] { FilterSourceChange(); });
    connect(BtnSrcRefresh, &QPushButton::clicked, this, [this] { BtnSrcRefreshClick(); });
    connect(FileListSource, &toolkit::FileListBox::fileClicked, this,
            [this] { FileListSourceClick(); });
    connect(FileListSource, &toolkit::FileListBox::changed, this,
            [this] { FileListSourceChange(); });
    connect(ComboDestHD, &toolkit::DriveComboBox::driveChanged, this,
            [this] { ComboDestHDChange(); });
    connect(ComboSegment, &QComboBox::activated, this, [this] { ComboSegmentChange(); });
    connect(TxtCustom, &QLineEdit::textChanged, this, [this] { TxtCustomChange(); });
    connect(HeaderSource, &QHeaderView::sectionResized, this,
            [this] { HeaderSourceSectionResize(); });
    DirListSource->setFileList(FileListSource);
    FilterSource->setFileList(FileListSource);
}

bool TFrmMain::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        // The menu bar's empty tip follows the first item's when Alt+F opens a menu; while a
        // menu is open, its highlighted item keeps the pane.
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        const bool menuOpen = MnuFile->isVisible() || MnuHelp->isVisible();
        DisplayHint(tip.isEmpty() && menuOpen ? m_menuHint : tip);
        return true;
    }
    // The urgency hint stays until withdrawn; the user has come.
    if (event->type() == QEvent::WindowActivate && m_attentionAsked) {
        m_attentionAsked = false;
        toolkit::RequestAttention(*this, false);
    }
    return QWidget::event(event);
}

bool TFrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (AppMsg(watched, event) || showGreyedItemHint(watched, event)) {
        return true;
    }
    if (watched == TxtCustom && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString typed = key->text();
        if (!typed.isEmpty() && !isNavigationKey(key->key())) {
            char key = typed.size() == 1 ? typed.front().toLatin1() : '\0';
            return FilterNumericKey(key) == 0;
        }
    }
    if (watched == TxtCustom && event->type() == QEvent::FocusOut) {
        TxtCustomExit();
    }
    return QWidget::eventFilter(watched, event);
}

// The application-wide hook: while a split runs, keyboard and mouse input to this window, the
// hints the pointer brings and its shortcuts are discarded (message boxes keep theirs); F1
// anywhere in the window opens the help.
bool TFrmMain::AppMsg(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this) {
        return false;
    }
    if (Splitting) {
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept(); // taken here, so no shortcut (Alt+F among them) is looked up
        }
        return isInput(event->type()) || isPointerOrShortcut(event->type());
    }
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        ToolBtnHelpClick();
        return true;
    }
    return false;
}

void TFrmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (!Splitting && event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void TFrmMain::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (Splitting || urls.isEmpty() || !urls.front().isLocalFile()) {
        return;
    }
    event->acceptProposedAction();
    const std::string host = QFileInfo(urls.front().toLocalFile()).absoluteFilePath().toStdString();
    const auto dos = m_fs.toDosPath(host);
    if (dos) {
        OpenSourceFile(QString::fromStdString(dos.value()));
    }
}

void TFrmMain::TimerMainTimer() {
    // The first tick of a run would end the first wait unflashed; every notification flashes.
    FirstTimerTick = false;
    if (isActiveWindow()) {
        TimerMain->stop();
        return;
    }
    toolkit::RequestAttention(*this, true);
    m_attentionAsked = true;
}

} // namespace dividra::ui
