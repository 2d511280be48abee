#include "Main.h"

#include "Global.h"

#include <QFileInfo>

namespace dividra::ui {

void TFrmMain::ToolBtnHelpClick() {
    if (!QFileInfo::exists(m_helpFile)) {
        ShowErrorMessage("Cannot find the help file " + m_helpFile.toStdString() + ".");
    }
}

void TFrmMain::MnuFileOptionsClick() {}

void TFrmMain::MnuHelpAboutClick() {}

} // namespace dividra::ui
