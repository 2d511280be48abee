#include "ui/Main.h"

#include "core/split/SegmentPlan.h"
#include "settings/Defaults.h"
#include "settings/SegmentSizeSetting.h"
#include "settings/Settings.h"
#include "settings/SettingsBatch.h"
#include "settings/SettingsKeys.h"
#include "settings/StoredOptions.h"
#include "toolkit/DriveComboBox.h"
#include "toolkit/FileListBox.h"
#include "toolkit/HelpViewer.h"
#include "toolkit/SoundPlayer.h"
#include "ui/Pictures.h"
#include "ui/WindowRules.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QMoveEvent>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>

namespace dividra::ui {
namespace {

constexpr int kFolderColumnMinimum = 120;

QSize screenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(0, 0);
}

int readWindowSetting(std::string_view name, int fallback) {
    return ReadSettingInt(keys::kWindowSettings, name, fallback);
}

} // namespace

TFrmMain::TFrmMain(platform::FileSystem& fs, const QStringList& arguments, QWidget* parent)
    : QWidget(parent), m_fs(fs), m_sound(std::make_unique<toolkit::SoundPlayer>()) {
    createControls();
    FormCreate(arguments);
}

TFrmMain::~TFrmMain() {
    if (qApp) {
        qApp->removeEventFilter(this);
    }
}

// Qt refreshes the widget's frame only on its next move or resize, but a window manager may
// report the frame after the window has settled: the window's own margins are current.
QMargins TFrmMain::frameMargins() const {
    const QWindow* window = windowHandle();
    return window != nullptr && isVisible() ? window->frameMargins() : QMargins();
}

QRect TFrmMain::outerBounds() const {
    const QMargins frame = frameMargins();
    if (!frame.isNull()) {
        return geometry().marginsAdded(frame);
    }
    const int side = kFrameExtraWidth / 2;
    return geometry().adjusted(-side, -(kFrameExtraHeight - side), side, side);
}

void TFrmMain::setOuterBounds(const QRect& bounds) {
    const QRect outer = outerBounds();
    const QRect inner = geometry();
    setGeometry(bounds.adjusted(inner.left() - outer.left(), inner.top() - outer.top(),
                                inner.right() - outer.right(), inner.bottom() - outer.bottom()));
}

void TFrmMain::placeOuterBounds(const QRect& bounds) {
    setOuterBounds(bounds);
    m_placement = bounds;
}

void TFrmMain::placeCentred() {
    const QSize screen = screenSize();
    const QRect outer = outerBounds();
    setOuterBounds(QRect((screen.width() - outer.width()) / 2,
                         (screen.height() - outer.height()) / 2, outer.width(), outer.height()));
    m_centrePending = true;
}

void TFrmMain::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    settlePlacement();
}

// Once the frame is known, the bounds asked for before it was are applied again with it. No
// event tells when a window manager has framed the window, so a shown window asks a few times.
void TFrmMain::settlePlacement() {
    if (!m_placement && !m_centrePending) {
        return;
    }
    if (frameMargins().isNull() || isMaximized()) {
        if (isVisible() && m_frameChecks++ < kFrameChecks) {
            QTimer::singleShot(kFrameCheckMs, this, [this] { settlePlacement(); });
        }
        return;
    }
    if (m_placement) {
        const QRect bounds = *m_placement;
        m_placement.reset();
        if (outerBounds() != bounds) {
            setOuterBounds(bounds);
        }
    }
    if (m_centrePending) {
        placeCentred();
        m_centrePending = false;
    }
}

void TFrmMain::FormCreate(const QStringList& arguments) {
    PlatformKind = QStringLiteral("NT"); // Linux has no Windows 95 family
    // No comctl32.dll here: the common controls are Qt's, so Qt's version decides.
    FlatToolBar = FlatToolBarFromVersion(qVersion());
    Loading = true;
    Splitting = false;
    qApp->installEventFilter(this);
    m_helpFile = toolkit::ProgramHelpFile();
    setAcceptDrops(true);
    FirstTimerTick = true;
    TimerMain = new QTimer(this);
    TimerMain->setObjectName(QStringLiteral("TimerMain"));
    TimerMain->setInterval(500);
    connect(TimerMain, &QTimer::timeout, this, [this] { TimerMainTimer(); });
    SetStatusText(QStringLiteral("Ready"));
    setOuterBounds(QRect(kDesignLeft, kDesignTop, kDesignClientWidth + kFrameExtraWidth,
                         kDesignClientHeight + kMenuBarHeight + kFrameExtraHeight));
    LastFormHeight = height();
    LastFormWidth = width();
    LastHeaderSplit = HeaderSource->sectionSize(0);
    if (!SettingsKeyExists(keys::kProduct, false)) {
        const QRect outer = outerBounds();
        WriteDefaultSettings({outer.left(), outer.top(), outer.width(), outer.height(),
                              HeaderSource->sectionSize(0)});
    }
    restorePlacement();
    pruneDriveLists();
    for (std::string_view entry : kSegmentSizeListEntries) {
        ComboSegment->addItem(QString::fromLatin1(entry.data(), static_cast<int>(entry.size())));
    }
    Loading = false;
    ApplySettings();
    openCommandLineFile(arguments);
}

void TFrmMain::restorePlacement() {
    const QSize screen = screenSize();
    if (readWindowSetting(keys::kDesktopHeight, 0) == screen.height() &&
        readWindowSetting(keys::kDesktopWidth, 0) == screen.width()) {
        const QRect outer = outerBounds();
        const int top = readWindowSetting(keys::kTop, outer.top());
        const int left = readWindowSetting(keys::kLeft, outer.left());
        const int height = readWindowSetting(keys::kHeight, outer.height());
        const int width = readWindowSetting(keys::kWidth, outer.width());
        placeOuterBounds(QRect(left, top, width, height));
        const int split = readWindowSetting(keys::kSourceHeaderSplit, HeaderSource->sectionSize(0));
        HeaderSource->resizeSection(0, std::max(kFolderColumnMinimum, split));
    } else {
        placeCentred();
    }
    if (readWindowSetting(keys::kMaximized, 0) == 1) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

void TFrmMain::ApplySettings() {
    Loading = true;
    const bool icons = ReadSourceFileOptions().showFileIcons;
    FileListSource->setShowIcons(icons);
    ToolBtnShowIcons->setChecked(icons);
    MnuFileShowIcons->setChecked(icons);
    apply8Dot3Setting();
    applySourceSettings();
    applyFilterSettings();
    applyDestinationSettings();
    ClearSourceInfo();
}

void TFrmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    settlePlacement();
    FormShow();
}

void TFrmMain::FormShow() {
    if (FlatToolBar) {
        for (QToolButton* button : ToolBarMain->findChildren<QToolButton*>()) {
            button->setAutoRaise(true);
        }
        ToolBarMain->setContentsMargins(2, 2, 2, 2);
    }
}

void TFrmMain::closeEvent(QCloseEvent* event) {
    // The split still uses this window: close once it has ended.
    if (Splitting) {
        m_closeRequested = true;
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TFrmMain::FormClose() {
    const bool maximized = isMaximized();
    QRect outer = outerBounds();
    if (maximized) {
        // The normal bounds, as they will be when the window is restored.
        const QRect client = geometry();
        const QRect normal = normalGeometry();
        outer = normal.adjusted(outer.left() - client.left(), outer.top() - client.top(),
                                outer.right() - client.right(), outer.bottom() - client.bottom());
    }
    const QSize screen = screenSize();
    // One replacement of the settings file for the whole placement.
    SettingsBatch batch;
    batch.setInt(keys::kWindowSettings, keys::kTop, outer.top());
    batch.setInt(keys::kWindowSettings, keys::kLeft, outer.left());
    batch.setInt(keys::kWindowSettings, keys::kHeight, outer.height());
    batch.setInt(keys::kWindowSettings, keys::kWidth, outer.width());
    batch.setInt(keys::kWindowSettings, keys::kSourceHeaderSplit, HeaderSource->sectionSize(0));
    batch.setInt(keys::kWindowSettings, keys::kMaximized, maximized ? 1 : 0);
    batch.setInt(keys::kWindowSettings, keys::kDesktopHeight, screen.height());
    batch.setInt(keys::kWindowSettings, keys::kDesktopWidth, screen.width());
    batch.commit();
}

void TFrmMain::openCommandLineFile(const QStringList& arguments) {
    if (arguments.isEmpty() || !QFileInfo(arguments.front()).isFile()) {
        return;
    }
    const std::string host = QFileInfo(arguments.front()).absoluteFilePath().toStdString();
    const auto dos = m_fs.toDosPath(host);
    OpenSourceFile(dos ? QString::fromStdString(dos.value()) : arguments.front());
}

} // namespace dividra::ui
