#pragma once

#include "core/split/SplitHost.h"
#include "platform/FileSystem.h"
#include "settings/SplitOptions.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QHeaderView;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;

namespace dividra::toolkit {
class DirectoryListBox;
class DriveComboBox;
class FileListBox;
class FilterComboBox;
class LedProgressBar;
class RaisedLabel;
class SoundPlayer;
} // namespace dividra::toolkit

namespace dividra::ui {

// The program's one long-lived window. Controls carry their design names as members and as Qt
// object names; the geometry is absolute, set at the design places and moved only by the
// resize rules. The window is also the split engine's host.
class TFrmMain : public QWidget, public core::SplitHost {
    Q_OBJECT

public:
    // The window's design: client area, position, and the menu bar above the client area.
    static constexpr int kDesignClientWidth = 598;
    static constexpr int kDesignClientHeight = 383;
    static constexpr int kMenuBarHeight = 19;
    static constexpr int kDesignLeft = 273;
    static constexpr int kDesignTop = 106;
    // Border and caption around the client area and menu bar when no frame is known: the
    // outer design size is 606 x 429.
    static constexpr int kFrameExtraWidth = 8;
    static constexpr int kFrameExtraHeight = 27;

    // Runs the creation steps; `fs` is the program's file system (not owned) and `arguments`
    // the command line without the program name.
    TFrmMain(platform::FileSystem& fs, const QStringList& arguments, QWidget* parent = nullptr);
    ~TFrmMain() override;

    // The window's outer bounds: the frame's where the window manager reports one, else the
    // client area with the design's border and caption around it.
    QRect outerBounds() const;
    void setOuterBounds(const QRect& bounds);
    // Places the window by outer bounds now, and again once the window manager reports the
    // frame (the frame's thickness isn't known before the window is shown).
    void placeOuterBounds(const QRect& bounds);
    // Centres the window on the screen at its present size, now and once the frame is known.
    void placeCentred();

    // Handlers, named as the design names them.
    void FormResize();
    void HeaderSourceSectionResize();
    void ApplySettings();
    void SetStatusText(const QString& text);
    void ClearSourceInfo();
    void OpenSourceFile(const QString& path);
    void ToolBtnSplitClick();
    void ToolBtn8Dot3Click();
    void ToolBtnShowIconsClick();
    void ToolBtnHelpClick();
    void MnuFileExitClick();
    void MnuFileOptionsClick();
    void MnuHelpAboutClick();
    void ComboSourceChange();
    void DirListSourceChange();
    void FilterSourceChange();
    void BtnSrcRefreshClick();
    void FileListSourceChange();
    void FileListSourceClick();
    void ComboDestHDChange();
    void ShowDestFreeSpace();
    void ComboSegmentChange();
    void TxtCustomChange();
    void TxtCustomExit();
    void TimerMainTimer();

    // The window state as others may read it; only its own handlers change it.
    bool isSplitting() const { return Splitting; }
    const QString& platformKind() const { return PlatformKind; }
    bool flatToolBar() const { return FlatToolBar; }

    // The controls.
    QMenuBar* MainMenu1 = nullptr;
    QMenu* MnuFile = nullptr;
    QAction* MnuFileSplit = nullptr;
    QAction* MnuFileOptions = nullptr;
    QAction* MnuFile8Dot3 = nullptr;
    QAction* MnuFileShowIcons = nullptr;
    QAction* MnuFileExit = nullptr;
    QMenu* MnuHelp = nullptr;
    QAction* MnuHelpTopics = nullptr;
    QAction* MnuHelpAbout = nullptr;
    QToolBar* ToolBarMain = nullptr;
    QToolButton* ToolBtnSplit = nullptr;
    QToolButton* ToolBtnOptions = nullptr;
    QToolButton* ToolBtnHelp = nullptr;
    QToolButton* ToolBtnExit = nullptr;
    QToolButton* ToolBtn8Dot3 = nullptr;
    QToolButton* ToolBtnShowIcons = nullptr;
    QFrame* PnlSourceBack = nullptr;
    QFrame* PnlDestBack = nullptr;
    QWidget* StatusBar = nullptr;
    QLabel* StatText = nullptr;
    toolkit::LedProgressBar* StatProgress = nullptr;
    toolkit::RaisedLabel* LblSelectSource = nullptr;
    QFrame* PnlSourceFrame = nullptr;
    QHeaderView* HeaderSource = nullptr;
    toolkit::DriveComboBox* ComboSource = nullptr;
    QPushButton* BtnSrcRefresh = nullptr;
    toolkit::DirectoryListBox* DirListSource = nullptr;
    toolkit::FileListBox* FileListSource = nullptr;
    QLineEdit* TxtFileName = nullptr;
    toolkit::FilterComboBox* FilterSource = nullptr;
    QLabel* LblFileName = nullptr;
    QLabel* LblFileType = nullptr;
    QLabel* LblFileSize = nullptr;
    QLabel* LblFileSizeData = nullptr;
    toolkit::RaisedLabel* LblSelectDest = nullptr;
    QTabWidget* PageDest = nullptr;
    QWidget* TabDestFD = nullptr;
    QWidget* TabDestHD = nullptr;
    toolkit::DriveComboBox* ComboDestFD = nullptr;
    QCheckBox* ChkErase = nullptr;
    QGroupBox* GrpFloppyStats = nullptr;
    QLabel* Img350HD = nullptr;
    QLabel* Img350DD = nullptr;
    QLabel* Img525HD = nullptr;
    QLabel* Img525DD = nullptr;
    QLabel* Lbl3HD = nullptr;
    QLabel* Lbl3DD = nullptr;
    QLabel* Lbl5HD = nullptr;
    QLabel* Lbl5DD = nullptr;
    QLabel* Lbl3HDVal = nullptr;
    QLabel* Lbl3DDVal = nullptr;
    QLabel* Lbl5HDVal = nullptr;
    QLabel* Lbl5DDVal = nullptr;
    toolkit::DriveComboBox* ComboDestHD = nullptr;
    toolkit::DirectoryListBox* DirListDest = nullptr;
    QGroupBox* GrpHDOptions = nullptr;
    QLabel* LblChunkSize = nullptr;
    QComboBox* ComboSegment = nullptr;
    QLabel* LblCustomSize = nullptr;
    QLineEdit* TxtCustom = nullptr;
    QFrame* PnlFreeHDSpace = nullptr;
    QLabel* LblHDFreeInfo = nullptr;
    QLabel* LblHDFreeData = nullptr;
    QLabel* LblSegments = nullptr;
    QLabel* LblSegCnt = nullptr;
    QTimer* TimerMain = nullptr;

    // SplitHost.
    void setStatusText(std::string_view text) override;
    void setProgress(int parts) override;
    void setBusy(bool busy) override;
    void minimize() override;
    void processMessages() override;
    void waitForMessages() override;
    void playSound(std::string_view path) override;
    bool isActive() override;
    void startFlashing() override;
    bool isFlashing() override;

protected:
    void messageBoxClosed() override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Building (MainLayout.cpp, MainCommands.cpp).
    void createControls();
    void createSourcePanel();
    void createDestinationPanel();
    void createFloppyPage();
    void createHardDrivePage();
    void createMenu();
    void createToolBar();
    void createStatusBar();
    void applyFonts();
    void setTabOrder();
    void nameControls();
    void connectHandlers();
    // Creation and lifecycle (MainLifecycle.cpp).
    void FormCreate(const QStringList& arguments);
    void FormShow();
    void FormClose();
    void restorePlacement();
    void settlePlacement();
    QMargins frameMargins() const;
    void openCommandLineFile(const QStringList& arguments);
    bool folderExists(const QString& dosPath) const;
    int matchingRow(const QString& name) const;
    void savePlacement();
    void apply8Dot3Setting();
    // Source and destination panels (MainSource.cpp, MainDest.cpp).
    void pruneDriveLists();
    void applySourceSettings();
    void applyFilterSettings();
    void applyDestinationSettings();
    void applyHardDriveSettings();
    void showCounts();
    void setSegmentCount(const QString& kilobytesText);
    QString segmentSizeText() const;
    // The split the controls ask for, gathered by the window's own rules.
    core::SplitRequest splitRequest() const;
    void DisplayHint(const QString& hint);
    bool showGreyedItemHint(QObject* watched, QEvent* event);
    bool AppMsg(QObject* watched, QEvent* event);

    // Window state, named as the design names it; only the window's handlers change it.
    bool Loading = false;
    bool Splitting = false;
    bool FirstTimerTick = false;
    bool SkipNextListChange = false;
    std::int64_t SourceSize = 0;
    QString StatusText;
    char LastSourceDrive = 0;
    char LastDestDrive = 0;
    QString LastSourceFolder;
    int LastFormHeight = 0;
    int LastFormWidth = 0;
    int LastHeaderSplit = 0;
    QString PlatformKind;
    bool FlatToolBar = false;

    platform::FileSystem& m_fs;
    StoredSplitOptions m_splitOptions; // what a split asks of the options, when it asks
    std::unique_ptr<toolkit::SoundPlayer> m_sound;
    QString m_helpFile;
    // Placement asked for before the frame was known (see settlePlacement).
    static constexpr int kFrameChecks = 40;
    static constexpr int kFrameCheckMs = 50;
    std::optional<QRect> m_placement;
    bool m_centrePending = false;
    int m_frameChecks = 0;
    bool m_restoringDrive = false; // a drive list goes back to the last drive that worked
    bool m_closeRequested = false;
    bool m_wasMaximized = false;
    bool m_attentionAsked = false; // flashing asked the desktop to draw the user here
    QString m_menuHint;            // the hint of the menu item highlighted, while a menu is open
};

} // namespace dividra::ui
