#include "ui/Main.h"

#include "toolkit/HelpViewer.h"
#include "ui/About.h"

#include <QFileInfo>

namespace dividra::ui {

void TFrmMain::ToolBtnHelpClick() {
    toolkit::ShowHelpContents(m_helpFile, this);
}

void TFrmMain::MnuHelpAboutClick() {
    // A fresh box each time; the main window as parent keeps it above the main window.
    TFrmAbout about(this);
    about.exec();
}

} // namespace dividra::ui
