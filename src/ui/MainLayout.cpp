#include "ui/Main.h"

#include "toolkit/BevelPanel.h"
#include "toolkit/DirectoryListBox.h"
#include "toolkit/DriveComboBox.h"
#include "toolkit/FileListBox.h"
#include "toolkit/FilterComboBox.h"
#include "toolkit/LedProgressBar.h"
#include "toolkit/RaisedLabel.h"
#include "ui/DesignFonts.h"
#include "ui/Pictures.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <utility>

namespace dividra::ui {

namespace {

constexpr int kToolBarHeight = 28;
constexpr int kStatusBarHeight = 19;
constexpr int kDestPanelWidth = 212;
constexpr int kProgressWidth = 184;
constexpr int kFileColumnMinimum = 100;
constexpr int kFolderColumnMinimum = 120;

template <class W>
W* placed(W* widget, const char* name, int left, int top, int width = -1, int height = -1) {
    widget->setObjectName(QString::fromLatin1(name));
    if (width < 0) {
        widget->adjustSize();
        widget->move(left, top);
    } else {
        widget->setGeometry(left, top, width, height);
    }
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const char* text, int left, int top) {
    return placed(new QLabel(QString::fromLatin1(text), parent), name, left, top);
}

QFrame* panel(QWidget* parent, const char* name, QFrame::Shadow shadow) {
    auto* frame = new toolkit::BevelPanel(shadow, parent);
    frame->setObjectName(QString::fromLatin1(name));
    return frame;
}

void grow(QWidget* widget, int dw, int dh) {
    widget->resize(widget->width() + dw, widget->height() + dh);
}

void moveBy(QWidget* widget, int dx, int dy) {
    widget->move(widget->x() + dx, widget->y() + dy);
}

toolkit::RaisedLabel* title(QWidget* parent, const char* name, const char* text, int width) {
    auto* label = new toolkit::RaisedLabel(QString::fromLatin1(text), parent);
    label->setFont(TitleFont());
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, QColor(0, 0, 128));
    label->setPalette(colours);
    return placed(label, name, 8, 4, width, 19);
}

} // namespace

void TFrmMain::createControls() {
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(QStringLiteral("Dividra"));
    applyFonts();
    const int top = kMenuBarHeight + kToolBarHeight;
    const int panelHeight = kDesignClientHeight - kToolBarHeight - kStatusBarHeight;
    PnlSourceBack = panel(this, "PnlSourceBack", QFrame::Raised);
    PnlSourceBack->setGeometry(0, top, kDesignClientWidth - kDestPanelWidth, panelHeight);
    PnlDestBack = panel(this, "PnlDestBack", QFrame::Raised);
    PnlDestBack->setGeometry(kDesignClientWidth - kDestPanelWidth, top, kDestPanelWidth,
                             panelHeight);
    createMenu();
    createToolBar();
    createStatusBar();
    createSourcePanel();
    createDestinationPanel();
    setTabOrder();
    nameControls();
    for (toolkit::DriveComboBox* drives : {ComboSource, ComboDestFD, ComboDestHD}) {
        drives->setFileSystem(&m_fs);
    }
    DirListSource->setFileSystem(&m_fs);
    FileListSource->setFileSystem(&m_fs);
    DirListDest->setFileSystem(&m_fs);
    connectHandlers();
    resize(kDesignClientWidth, kMenuBarHeight + kDesignClientHeight);
    setMinimumSize(size());
}

void TFrmMain::applyFonts() {
    setFont(WindowFont());
}

void TFrmMain::createSourcePanel() {
    LblSelectSource = title(PnlSourceBack, "LblSelectSource", "Select Source File:", 143);
    PnlSourceFrame = panel(PnlSourceBack, "PnlSourceFrame", QFrame::Sunken);
    PnlSourceFrame->setGeometry(6, 28, 374, 303);
    QWidget* frame = PnlSourceFrame;
    HeaderSource = placed(new QHeaderView(Qt::Horizontal, frame), "HeaderSource", 6, 6, 362, 20);
    auto* columns = new QStandardItemModel(0, 2, HeaderSource);
    columns->setHorizontalHeaderLabels({QStringLiteral("Drive/Folder"), QStringLiteral("File")});
    HeaderSource->setModel(columns);
    HeaderSource->setDefaultAlignment(Qt::AlignCenter);
    HeaderSource->setSectionsClickable(false);
    HeaderSource->setStretchLastSection(false);
    HeaderSource->setMinimumSectionSize(0);
    HeaderSource->resizeSection(0, 181);
    HeaderSource->resizeSection(1, 181);
    ComboSource = placed(new toolkit::DriveComboBox(frame), "ComboSource", 6, 30, 130, 22);
    BtnSrcRefresh =
        placed(new QPushButton(QStringLiteral("Refresh"), frame), "BtnSrcRefresh", 138, 30, 47, 22);
    DirListSource = placed(new toolkit::DirectoryListBox(frame), "DirListSource", 6, 56, 180, 167);
    DirListSource->setItemHeight(17);
    FileListSource = placed(new toolkit::FileListBox(frame), "FileListSource", 188, 30, 180, 193);
    FileListSource->setItemHeight(18);
    TxtFileName = placed(new QLineEdit(frame), "TxtFileName", 60, 227, 308, 21);
    TxtFileName->setReadOnly(true);
    FilterSource = placed(new toolkit::FilterComboBox(frame), "FilterSource", 60, 252, 308, 21);
    LblFileName = label(frame, "LblFileName", "File Name:", 6, 231);
    LblFileType = label(frame, "LblFileType", "File Type:", 6, 256);
    LblFileSize = label(frame, "LblFileSize", "File Size:", 6, 282);
    LblFileSizeData = label(frame, "LblFileSizeData", "", 60, 282);
    LblFileSizeData->resize(300, LblFileSize->height());
}

void TFrmMain::createDestinationPanel() {
    LblSelectDest = title(PnlDestBack, "LblSelectDest", "Select Destination:", 144);
    PageDest = placed(new QTabWidget(PnlDestBack), "PageDest", 6, 28, 200, 303);
    TabDestFD = new QWidget(PageDest);
    TabDestFD->setObjectName(QStringLiteral("TabDestFD"));
    TabDestHD = new QWidget(PageDest);
    TabDestHD->setObjectName(QStringLiteral("TabDestHD"));
    PageDest->addTab(TabDestFD, QStringLiteral("Floppy Diskette"));
    PageDest->addTab(TabDestHD, QStringLiteral("Hard Drive"));
    createFloppyPage();
    createHardDrivePage();
}

void TFrmMain::createFloppyPage() {
    ComboDestFD = placed(new toolkit::DriveComboBox(TabDestFD), "ComboDestFD", 6, 6, 180, 22);
    ChkErase = placed(new QCheckBox(QStringLiteral("Erase Diskettes"), TabDestFD), "ChkErase", 6,
                      32, 97, 17);
    GrpFloppyStats =
        placed(new QGroupBox(QStringLiteral("Floppy Diskettes Needed For Split:"), TabDestFD),
               "GrpFloppyStats", 6, 55, 180, 216);
    struct Row {
        QLabel** image;
        QLabel** kind;
        QLabel** count;
        const char* names[3];
        const char* text;
        Picture picture;
        int top;
    };
    const Row rows[] = {
        {&Img350HD,
         &Lbl3HD,
         &Lbl3HDVal,
         {"Img350HD", "Lbl3HD", "Lbl3HDVal"},
         "High Density:",
         Picture::Diskette35,
         25},
        {&Img350DD,
         &Lbl3DD,
         &Lbl3DDVal,
         {"Img350DD", "Lbl3DD", "Lbl3DDVal"},
         "Double Density:",
         Picture::Diskette35,
         70},
        {&Img525HD,
         &Lbl5HD,
         &Lbl5HDVal,
         {"Img525HD", "Lbl5HD", "Lbl5HDVal"},
         "High Density:",
         Picture::Diskette525,
         114},
        {&Img525DD,
         &Lbl5DD,
         &Lbl5DDVal,
         {"Img525DD", "Lbl5DD", "Lbl5DDVal"},
         "Double Density:",
         Picture::Diskette525,
         159},
    };
    for (const Row& row : rows) {
        *row.image = placed(new QLabel(GrpFloppyStats), row.names[0], 6, row.top, 32, 32);
        (*row.image)->setPixmap(PicturePixmap(row.picture, 32));
        *row.kind = label(GrpFloppyStats, row.names[1], row.text, 44, row.top + 10);
        *row.count = label(GrpFloppyStats, row.names[2], "0", 124, row.top + 10);
        (*row.count)->resize(50, (*row.count)->height());
    }
}

void TFrmMain::createHardDrivePage() {
    ComboDestHD = placed(new toolkit::DriveComboBox(TabDestHD), "ComboDestHD", 6, 6, 180, 22);
    DirListDest = placed(new toolkit::DirectoryListBox(TabDestHD), "DirListDest", 6, 32, 180, 124);
    DirListDest->setItemHeight(17);
    PnlFreeHDSpace = panel(TabDestHD, "PnlFreeHDSpace", QFrame::Sunken);
    PnlFreeHDSpace->setGeometry(6, 160, 180, 21);
    LblHDFreeInfo = label(PnlFreeHDSpace, "LblHDFreeInfo", "Free Space:", 6, 4);
    LblHDFreeData = label(PnlFreeHDSpace, "LblHDFreeData", "", 68, 4);
    LblHDFreeData->resize(105, LblHDFreeInfo->height());
    GrpHDOptions = placed(new QGroupBox(QStringLiteral("Options:"), TabDestHD), "GrpHDOptions", 6,
                          182, 180, 72);
    LblChunkSize = label(GrpHDOptions, "LblChunkSize", "Segment Size (kb):", 6, 22);
    ComboSegment = placed(new QComboBox(GrpHDOptions), "ComboSegment", 100, 18, 74, 21);
    LblCustomSize = label(GrpHDOptions, "LblCustomSize", "Custom Size (kb):", 4, 47);
    TxtCustom = placed(new QLineEdit(GrpHDOptions), "TxtCustom", 100, 43, 74, 21);
    TxtCustom->setMaxLength(4);
    LblSegments = label(TabDestHD, "LblSegments", "Segment Count:", 6, 260);
    LblSegCnt = label(TabDestHD, "LblSegCnt", "0", 108, 260);
    LblSegCnt->resize(70, LblSegCnt->height());
}

void TFrmMain::setTabOrder() {
    QWidget* order[] = {ComboSource,  BtnSrcRefresh, DirListSource, FileListSource, TxtFileName,
                        FilterSource, PageDest,      ComboDestFD,   ChkErase,       ComboDestHD,
                        DirListDest,  ComboSegment,  TxtCustom};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

// Names for screen readers, from each control's caption or the label beside it; the counts
// say which diskettes they count, as their pictures do.
void TFrmMain::nameControls() {
    const std::pair<QWidget*, const char*> names[] = {
        {MainMenu1, "Menu"},
        {ToolBarMain, "Toolbar"},
        {ComboSource, "Source drive"},
        {BtnSrcRefresh, "Refresh"},
        {DirListSource, "Source folder"},
        {FileListSource, "Source file"},
        {TxtFileName, "File Name"},
        {FilterSource, "File Type"},
        {LblFileSizeData, "File Size"},
        {PageDest, "Select Destination"},
        {PageDest->tabBar(), "Select Destination"},
        {ComboDestFD, "Floppy diskette drive"},
        {ChkErase, "Erase Diskettes"},
        {Lbl3HDVal, "3.5\" high density diskettes"},
        {Lbl3DDVal, "3.5\" double density diskettes"},
        {Lbl5HDVal, "5.25\" high density diskettes"},
        {Lbl5DDVal, "5.25\" double density diskettes"},
        {ComboDestHD, "Hard drive"},
        {DirListDest, "Destination folder"},
        {LblHDFreeData, "Free Space"},
        {ComboSegment, "Segment Size (kb)"},
        {TxtCustom, "Custom Size (kb)"},
        {LblSegCnt, "Segment Count"},
        {StatText, "Status"},
        {StatProgress, "Progress"},
    };
    for (const auto& [control, name] : names) {
        control->setAccessibleName(QString::fromLatin1(name));
    }
}

void TFrmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The aligned parts follow the window first, as the panels' alignment does.
    const int w = width();
    const int h = height();
    const int top = kMenuBarHeight + kToolBarHeight;
    MainMenu1->setGeometry(0, 0, w, kMenuBarHeight);
    ToolBarMain->setGeometry(0, kMenuBarHeight, w, kToolBarHeight);
    StatusBar->setGeometry(0, h - kStatusBarHeight, w, kStatusBarHeight);
    StatProgress->move(w - kProgressWidth, 0);
    PnlSourceBack->setGeometry(0, top, w - kDestPanelWidth, h - top - kStatusBarHeight);
    PnlDestBack->setGeometry(w - kDestPanelWidth, top, kDestPanelWidth, h - top - kStatusBarHeight);
    FormResize();
}

void TFrmMain::FormResize() {
    const int dh = height() - LastFormHeight;
    const int dw = width() - LastFormWidth;
    for (QWidget* w : {static_cast<QWidget*>(PnlSourceFrame), static_cast<QWidget*>(DirListSource),
                       static_cast<QWidget*>(FileListSource), static_cast<QWidget*>(PageDest),
                       static_cast<QWidget*>(DirListDest)}) {
        grow(w, 0, dh);
    }
    for (QWidget* w : {static_cast<QWidget*>(TxtFileName), static_cast<QWidget*>(FilterSource),
                       static_cast<QWidget*>(LblFileName), static_cast<QWidget*>(LblFileType),
                       static_cast<QWidget*>(LblFileSize), static_cast<QWidget*>(LblFileSizeData),
                       static_cast<QWidget*>(PnlFreeHDSpace), static_cast<QWidget*>(GrpHDOptions),
                       static_cast<QWidget*>(LblSegments), static_cast<QWidget*>(LblSegCnt)}) {
        moveBy(w, 0, dh);
    }
    grow(HeaderSource, dw, 0);
    HeaderSource->resizeSection(1, HeaderSource->sectionSize(1) + dw);
    for (QWidget* w : {static_cast<QWidget*>(PnlSourceFrame), static_cast<QWidget*>(FileListSource),
                       static_cast<QWidget*>(TxtFileName), static_cast<QWidget*>(FilterSource),
                       static_cast<QWidget*>(StatText)}) {
        grow(w, dw, 0);
    }
    LastFormHeight = height();
    LastFormWidth = width();
    HeaderSourceSectionResize();
}

void TFrmMain::HeaderSourceSectionResize() {
    const QSignalBlocker quiet(HeaderSource);
    const int headerWidth = HeaderSource->width();
    if (HeaderSource->sectionSize(0) < kFolderColumnMinimum) {
        HeaderSource->resizeSection(0, kFolderColumnMinimum);
    }
    if (HeaderSource->sectionSize(0) >= headerWidth - kFileColumnMinimum) {
        HeaderSource->resizeSection(0, headerWidth - kFileColumnMinimum);
        HeaderSource->resizeSection(1, kFileColumnMinimum);
    }
    const int first = HeaderSource->sectionSize(0);
    const int d = first - LastHeaderSplit;
    LastHeaderSplit = first;
    HeaderSource->resizeSection(1, headerWidth - first);
    grow(ComboSource, d, 0);
    moveBy(BtnSrcRefresh, d, 0);
    DirListSource->resize(first - 1, DirListSource->height());
    FileListSource->setGeometry(first + HeaderSource->x() + 1, FileListSource->y(),
                                HeaderSource->sectionSize(1), FileListSource->height());
}

} // namespace dividra::ui
