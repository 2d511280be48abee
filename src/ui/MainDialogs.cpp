#include "Main.h"

#include "About.h"
#include "Global.h"
#include "HelpViewer.h"

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
