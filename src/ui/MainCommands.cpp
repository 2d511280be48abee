#include "ui/Main.h"

#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "settings/StoredOptions.h"
#include "toolkit/LedProgressBar.h"
#include "ui/Pictures.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QToolButton>

namespace dividra::ui {
namespace {

// A hint is "short|long": the tooltip shows the short text, the status bar the long one; a
// hint without "|" is both.
void setHint(QAction* action, const QString& hint) {
    const auto bar = hint.indexOf(QLatin1Char('|'));
    action->setToolTip(bar < 0 ? hint : hint.left(bar));
    action->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

void setHint(QWidget* widget, const QString& hint) {
    const auto bar = hint.indexOf(QLatin1Char('|'));
    widget->setToolTip(bar < 0 ? hint : hint.left(bar));
    widget->setAccessibleName(widget->toolTip());
    widget->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

} // namespace

void TFrmMain::createMenu() {
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    MainMenu1->setNativeMenuBar(false);
    MainMenu1->setGeometry(0, 0, kDesignClientWidth, kMenuBarHeight);
    auto item = [this](QMenu* menu, const char* name, const char* caption, const char* hint,
                       void (TFrmMain::*handler)(), bool checkable = false) {
        QAction* action = menu->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        setHint(action, QString::fromLatin1(hint));
        if (checkable) {
            // The check mark is the handler's to set: undo the toggle Qt makes first.
            action->setCheckable(true);
            connect(action, &QAction::triggered, this, [action] { action->toggle(); });
        }
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return action;
    };
    MnuFile = MainMenu1->addMenu(QStringLiteral("&File"));
    MnuFile->setObjectName(QStringLiteral("MnuFile"));
    MnuFileSplit = item(MnuFile, "MnuFileSplit", "&Split", "Split selected file",
                        &TFrmMain::ToolBtnSplitClick);
    MnuFileOptions = item(MnuFile, "MnuFileOptions", "&Options", "|Set Dividra options",
                          &TFrmMain::MnuFileOptionsClick);
    MnuFileOptions->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    MnuFile->addSeparator()->setObjectName(QStringLiteral("MnuFileSep1"));
    MnuFile8Dot3 =
        item(MnuFile, "MnuFile8Dot3", "DOS Split (8.3)",
             "|Split files using DOS 8.3 file name format", &TFrmMain::ToolBtn8Dot3Click, true);
    MnuFileShowIcons = item(MnuFile, "MnuFileShowIcons", "Show &Icons",
                            "|Display source file icons", &TFrmMain::ToolBtnShowIconsClick, true);
    MnuFile->addSeparator()->setObjectName(QStringLiteral("MnuFileSep2"));
    MnuFileExit =
        item(MnuFile, "MnuFileExit", "E&xit", "Exit Dividra", &TFrmMain::MnuFileExitClick);
    MnuHelp = MainMenu1->addMenu(QStringLiteral("&Help"));
    MnuHelp->setObjectName(QStringLiteral("MnuHelp"));
    MnuHelpTopics = item(MnuHelp, "MnuHelpTopics", "&Help Topics", "Display on-line help",
                         &TFrmMain::ToolBtnHelpClick);
    MnuHelp->addSeparator()->setObjectName(QStringLiteral("MnuHelpSep2"));
    MnuHelpAbout =
        item(MnuHelp, "MnuHelpAbout", "About", "About Dividra", &TFrmMain::MnuHelpAboutClick);
    MnuHelpAbout->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    // A highlighted menu item's long hint goes to the status bar like a control's.
    for (QMenu* menu : {MnuFile, MnuHelp}) {
        connect(menu, &QMenu::hovered, this, [this](QAction* action) {
            m_menuHint = action->statusTip();
            DisplayHint(m_menuHint);
        });
        connect(menu, &QMenu::aboutToHide, this, [this] {
            m_menuHint.clear();
            DisplayHint(QString());
        });
    }
}

void TFrmMain::createToolBar() {
    ToolBarMain = new QToolBar(this);
    ToolBarMain->setObjectName(QStringLiteral("ToolBarMain"));
    ToolBarMain->setMovable(false);
    ToolBarMain->setIconSize(QSize(16, 16));
    ToolBarMain->setGeometry(0, kMenuBarHeight, kDesignClientWidth, 28);
    auto button = [this](const char* name, Picture picture, const char* hint,
                         void (TFrmMain::*handler)(), bool checkable = false) {
        auto* tool = new QToolButton(ToolBarMain);
        tool->setObjectName(QString::fromLatin1(name));
        tool->setIcon(PictureIcon(picture));
        tool->setFixedSize(23, 22);
        tool->setAutoRaise(true);
        setHint(tool, QString::fromLatin1(hint));
        if (checkable) {
            // The pressed look is the handler's to set, so button and menu check agree.
            tool->setCheckable(true);
            connect(tool, &QToolButton::clicked, this, [tool] { tool->toggle(); });
        }
        connect(tool, &QToolButton::clicked, this, [this, handler] { (this->*handler)(); });
        ToolBarMain->addWidget(tool);
        return tool;
    };
    ToolBtnSplit = button("ToolBtnSplit", Picture::Split, "Split|Split selected file",
                          &TFrmMain::ToolBtnSplitClick);
    ToolBtnOptions = button("ToolBtnOptions", Picture::Options, "Options|Set Dividra options",
                            &TFrmMain::MnuFileOptionsClick);
    ToolBtnHelp = button("ToolBtnHelp", Picture::Help, "Help|Display on-line help",
                         &TFrmMain::ToolBtnHelpClick);
    ToolBtnExit =
        button("ToolBtnExit", Picture::Exit, "Exit|Exit Dividra", &TFrmMain::MnuFileExitClick);
    auto* gap = new QWidget(ToolBarMain);
    gap->setObjectName(QStringLiteral("ToolBtnSep1"));
    gap->setFixedWidth(8);
    ToolBarMain->addWidget(gap);
    ToolBtn8Dot3 = button("ToolBtn8Dot3", Picture::Dos83,
                          "Dos Split|Split files using DOS 8.3 file name format",
                          &TFrmMain::ToolBtn8Dot3Click, true);
    ToolBtnShowIcons =
        button("ToolBtnShowIcons", Picture::ShowIcons, "Show Icons|Display source file icons",
               &TFrmMain::ToolBtnShowIconsClick, true);
}

void TFrmMain::createStatusBar() {
    StatusBar = new QWidget(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setGeometry(0, kMenuBarHeight + kDesignClientHeight - 19, kDesignClientWidth, 19);
    StatText = new QLabel(StatusBar);
    StatText->setObjectName(QStringLiteral("StatText"));
    StatText->setFrameShape(QFrame::Panel);
    StatText->setFrameShadow(QFrame::Sunken);
    StatText->setLineWidth(1);
    StatText->setIndent(2);
    StatText->setGeometry(0, 0, kDesignClientWidth - 184, 19);
    StatProgress = new toolkit::LedProgressBar(StatusBar);
    StatProgress->setObjectName(QStringLiteral("StatProgress"));
    StatProgress->setGeometry(kDesignClientWidth - 184, 0, 184, 19);
    StatProgress->setPartCount(20);
}

void TFrmMain::SetStatusText(const QString& text) {
    StatusText = text;
    StatText->setText(text);
    StatText->repaint();
}

void TFrmMain::DisplayHint(const QString& hint) {
    StatText->setText(hint.isEmpty() ? StatusText : hint);
}

// Qt highlights no greyed item, so it announces none: the pointer over one shows its hint.
bool TFrmMain::showGreyedItemHint(QObject* watched, QEvent* event) {
    auto* menu = qobject_cast<QMenu*>(watched);
    if (event->type() != QEvent::MouseMove || (menu != MnuFile && menu != MnuHelp)) {
        return false;
    }
    const QAction* under = menu->actionAt(static_cast<QMouseEvent*>(event)->position().toPoint());
    if (under != nullptr && !under->isEnabled() && !under->isSeparator()) {
        m_menuHint = under->statusTip();
        DisplayHint(m_menuHint);
    }
    return false;
}

void TFrmMain::ToolBtn8Dot3Click() {
    MnuFile8Dot3->setChecked(!MnuFile8Dot3->isChecked());
    ToolBtn8Dot3->setChecked(MnuFile8Dot3->isChecked());
}

void TFrmMain::apply8Dot3Setting() {
    const bool on = ReadGeneralOptions().splitFiles83Format;
    ToolBtn8Dot3->setChecked(on);
    MnuFile8Dot3->setChecked(on);
}

void TFrmMain::MnuFileExitClick() {
    close();
}

} // namespace dividra::ui
