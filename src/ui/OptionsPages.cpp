#include "ui/Options.h"

#include "toolkit/ButtonEdit.h"
#include "toolkit/DriveComboBox.h"
#include "toolkit/HelpViewer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <utility>

namespace dividra::ui {
namespace {

template <class W>
W* placed(W* widget, const char* name, int left, int top, int width, int height,
          int helpContext = 0) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(left, top, width, height);
    if (helpContext != 0) {
        widget->setProperty(toolkit::kHelpContextProperty, helpContext);
    }
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const char* text, int left, int top) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->adjustSize();
    label->move(left, top);
    return label;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const char* text, int left, int top,
                    int width, int helpContext) {
    return placed(new QCheckBox(QString::fromLatin1(text), parent), name, left, top, width, 17,
                  helpContext);
}

QRadioButton* radio(QWidget* parent, const char* name, const char* text, int left, int top,
                    int width, int helpContext = 0) {
    return placed(new QRadioButton(QString::fromLatin1(text), parent), name, left, top, width, 17,
                  helpContext);
}

QPushButton* button(QWidget* parent, const char* name, const char* text, int left, int top,
                    int helpContext) {
    auto* pushButton = placed(new QPushButton(QString::fromLatin1(text), parent), name, left, top,
                              75, 25, helpContext);
    // None is ever the default: Enter presses only the button with the focus.
    pushButton->setAutoDefault(false);
    return pushButton;
}

QWidget* page(QTabWidget* pages, const char* name, const char* caption) {
    auto* tab = new QWidget(pages);
    tab->setObjectName(QString::fromLatin1(name));
    pages->addTab(tab, QString::fromLatin1(caption));
    return tab;
}

} // namespace

void TDlgOptions::createGeneralPage() {
    PageOptions = placed(new QTabWidget(this), "PageOptions", 8, 8, 589, 250);
    TabGeneral = page(PageOptions, "TabGeneral", "General");
    TabSourceFile = page(PageOptions, "TabSourceFile", "Source File");
    TabFloppy = page(PageOptions, "TabFloppy", "Floppy Diskette Split");
    TabHardDrive = page(PageOptions, "TabHardDrive", "Hard Drive Split");
    QWidget* tab = TabGeneral;
    GrpDefDest = placed(new QGroupBox(QStringLiteral("Destination:"), tab), "GrpDefDest", 8, 8, 200,
                        96, 2001);
    LblDefDestMedia = label(GrpDefDest, "LblDefDestMedia", "Default Destination Media:", 12, 22);
    OptDestFD = radio(GrpDefDest, "OptDestFD", "Floppy Diskette", 24, 44, 160);
    OptDestHD = radio(GrpDefDest, "OptDestHD", "Hard Drive", 24, 66, 160);
    GrpSplitDone = placed(new QGroupBox(QStringLiteral("When split is finished:"), tab),
                          "GrpSplitDone", 216, 8, 357, 96);
    OptSplitDoneNothing =
        radio(GrpSplitDone, "OptSplitDoneNothing", "Do Nothing", 12, 22, 200, 2002);
    OptSplitDoneMessage =
        radio(GrpSplitDone, "OptSplitDoneMessage", "Display Message", 12, 44, 200, 2003);
    ChkSplitDoneSound =
        checkBox(GrpSplitDone, "ChkSplitDoneSound", "Play Sound:", 12, 68, 92, 2004);
    TxtSplitDoneSound =
        placed(new toolkit::ButtonEdit(GrpSplitDone), "TxtSplitDoneSound", 106, 66, 239, 21, 2005);
    ChkSplit8Dot3 =
        checkBox(tab, "ChkSplit8Dot3", "Split files in DOS format (8.3)", 8, 116, 300, 2006);
    ChkShowIcons = checkBox(tab, "ChkShowIcons", "Show source file icons", 8, 140, 300, 2102);
}

void TDlgOptions::createSourcePage() {
    QWidget* tab = TabSourceFile;
    LblDefSourceFolder = label(tab, "LblDefSourceFolder", "Default Source Folder:", 8, 12);
    TxtDefSrcFolder =
        placed(new toolkit::ButtonEdit(tab), "TxtDefSrcFolder", 144, 8, 429, 21, 2101);
    GrpFilters = placed(new QGroupBox(QStringLiteral("File Selection Filters:"), tab), "GrpFilters",
                        8, 36, 565, 180);
    createFilterEditor();
}

void TDlgOptions::createFilterEditor() {
    QWidget* group = GrpFilters;
    GridFilters = placed(new QTableWidget(1, 2, group), "GridFilters", 10, 20, 545, 96, 2103);
    GridFilters->setSelectionBehavior(QAbstractItemView::SelectRows);
    GridFilters->setSelectionMode(QAbstractItemView::SingleSelection);
    GridFilters->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridFilters->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    GridFilters->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    GridFilters->setShowGrid(true);
    GridFilters->setWordWrap(false);
    GridFilters->setTabKeyNavigation(false);
    GridFilters->verticalHeader()->hide();
    GridFilters->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    GridFilters->verticalHeader()->setMinimumSectionSize(TDlgOptions::kFilterRowHeight);
    GridFilters->verticalHeader()->setDefaultSectionSize(TDlgOptions::kFilterRowHeight);
    QHeaderView* header = GridFilters->horizontalHeader();
    header->setFixedHeight(TDlgOptions::kFilterRowHeight);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setStretchLastSection(false);
    TxtFileType = placed(new QLineEdit(group), "TxtFileType", 10, 120, 400, 21, 2104);
    TxtFileType->setMaxLength(40);
    TxtFileExt = placed(new QLineEdit(group), "TxtFileExt", 410, 120, 145, 21, 2105);
    TxtFileExt->setMaxLength(3);
    const int top = 148;
    BtnFilterNew = button(group, "BtnFilterNew", "New", 10, top, 2106);
    BtnFilterReplace = button(group, "BtnFilterReplace", "Replace", 91, top, 2107);
    BtnFilterDelete = button(group, "BtnFilterDelete", "Delete", 172, top, 2108);
    BtnFilterClear = button(group, "BtnFilterClear", "Clear", 253, top, 2109);
    BtnFilterUp = button(group, "BtnFilterUp", "Move Up", 334, top, 2110);
    BtnFilterDown = button(group, "BtnFilterDown", "Move Down", 415, top, 2111);
    BtnFilterReplace->setEnabled(false);
}

void TDlgOptions::createFloppyPage() {
    QWidget* tab = TabFloppy;
    LblDefFD = label(tab, "LblDefFD", "Default Floppy Drive:", 8, 12);
    ComboDefFD = placed(new toolkit::DriveComboBox(tab), "ComboDefFD", 130, 8, 180, 22, 2201);
    ComboDefFD->setFileSystem(&m_fs);
    ChkEraseFD = checkBox(tab, "ChkEraseFD", "Erase Diskettes", 330, 10, 150, 2202);
    GrpSplitNext =
        placed(new QGroupBox(
                   QStringLiteral("When splitting to diskette and next diskette is needed:"), tab),
               "GrpSplitNext", 8, 40, 565, 96);
    OptSplitNextMessage =
        radio(GrpSplitNext, "OptSplitNextMessage", "Display Message", 12, 22, 200, 2203);
    OptSplitNextFlash = radio(GrpSplitNext, "OptSplitNextFlash", "Flash Window", 12, 44, 200, 2204);
    ChkSplitNextSound =
        checkBox(GrpSplitNext, "ChkSplitNextSound", "Play Sound:", 12, 68, 92, 2205);
    TxtSplitNextSound =
        placed(new toolkit::ButtonEdit(GrpSplitNext), "TxtSplitNextSound", 106, 66, 447, 21, 2206);
    ChkMinSplitFD = checkBox(tab, "ChkMinSplitFD", "Minimize program window while splitting file",
                             8, 148, 300, 2207);
}

void TDlgOptions::createHardDrivePage() {
    QWidget* tab = TabHardDrive;
    LblDefDstFolder = label(tab, "LblDefDstFolder", "Default Destination Folder:", 8, 12);
    TxtDefDstFolder =
        placed(new toolkit::ButtonEdit(tab), "TxtDefDstFolder", 176, 8, 397, 21, 2301);
    LblDefSegSize = label(tab, "LblDefSegSize", "Default Segment Size (kb):", 8, 42);
    ComboSplitSize = placed(new QComboBox(tab), "ComboSplitSize", 176, 38, 74, 21, 2302);
    ComboSplitSize->setEditable(false);
    LblCustomSize = label(tab, "LblCustomSize", "Custom Size (kb):", 8, 68);
    TxtCustomSize = placed(new QLineEdit(tab), "TxtCustomSize", 176, 64, 74, 21, 2303);
    TxtCustomSize->setMaxLength(4);
    ChkMinSplitHD = checkBox(tab, "ChkMinSplitHD", "Minimize program window while splitting file",
                             8, 98, 300, 2304);
}

void TDlgOptions::createButtons() {
    BtnOk = button(this, "BtnOk", "OK", 360, 266, 2900);
    BtnCancel = button(this, "BtnCancel", "Cancel", 441, 266, 2901);
    BtnHelp = button(this, "BtnHelp", "&Help", 522, 266, 2902);
}

// Names for screen readers, from each control's caption or the label beside it; the two sound
// files say which event they sound for.
void TDlgOptions::nameControls() {
    const std::pair<QWidget*, const char*> names[] = {
        {PageOptions, "Options"},
        {PageOptions->tabBar(), "Options"},
        {OptDestFD, "Floppy Diskette"},
        {OptDestHD, "Hard Drive"},
        {OptSplitDoneNothing, "Do Nothing"},
        {OptSplitDoneMessage, "Display Message"},
        {ChkSplitDoneSound, "Play Sound"},
        {ChkSplit8Dot3, "Split files in DOS format (8.3)"},
        {ChkShowIcons, "Show source file icons"},
        {GridFilters, "File Selection Filters"},
        {TxtFileType, "File Type"},
        {TxtFileExt, "Extension"},
        {BtnFilterNew, "New"},
        {BtnFilterReplace, "Replace"},
        {BtnFilterDelete, "Delete"},
        {BtnFilterClear, "Clear"},
        {BtnFilterUp, "Move Up"},
        {BtnFilterDown, "Move Down"},
        {ComboDefFD, "Default Floppy Drive"},
        {ChkEraseFD, "Erase Diskettes"},
        {OptSplitNextMessage, "Display Message"},
        {OptSplitNextFlash, "Flash Window"},
        {ChkSplitNextSound, "Play Sound"},
        {ChkMinSplitFD, "Minimize program window while splitting file"},
        {ComboSplitSize, "Default Segment Size (kb)"},
        {TxtCustomSize, "Custom Size (kb)"},
        {ChkMinSplitHD, "Minimize program window while splitting file"},
        {BtnOk, "OK"},
        {BtnCancel, "Cancel"},
        {BtnHelp, "Help"},
    };
    for (const auto& [control, name] : names) {
        control->setAccessibleName(QString::fromLatin1(name));
    }
    const std::pair<toolkit::ButtonEdit*, const char*> edits[] = {
        {TxtSplitDoneSound, "Sound when split is finished"},
        {TxtDefSrcFolder, "Default Source Folder"},
        {TxtSplitNextSound, "Sound when next diskette is needed"},
        {TxtDefDstFolder, "Default Destination Folder"},
    };
    for (const auto& [edit, name] : edits) {
        edit->setAccessibleNames(QString::fromLatin1(name));
    }
    // A label's help is that of the control it names; the page tabs say what the pages are.
    const std::pair<QLabel*, QWidget*> labelled[] = {
        {LblDefSourceFolder, TxtDefSrcFolder}, {LblDefFD, ComboDefFD},
        {LblDefDstFolder, TxtDefDstFolder},    {LblDefSegSize, ComboSplitSize},
        {LblCustomSize, TxtCustomSize},
    };
    for (const auto& [name, control] : labelled) {
        name->setBuddy(control);
    }
    PageOptions->setProperty(toolkit::kHelpContextProperty, QStringLiteral("pages"));
}

} // namespace dividra::ui
