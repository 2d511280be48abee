#include "ui/Main.h"

#include "toolkit/FileListBox.h"
#include "ui/DirDlg.h"
#include "ui/Options.h"

namespace dividra::ui {

void TFrmMain::MnuFileOptionsClick() {
    const int row = FileListSource->currentRow();
    const QString picked = row >= 0 ? FileListSource->item(row)->text() : QString();
    int result = QDialog::Rejected;
    {
        TDlgOptions options(m_fs, m_helpFile);
        result = RunModal(options);
        options.hide();
    }
    if (result != QDialog::Accepted) {
        return;
    }
    ApplySettings();
    FileListSource->refresh();
    for (int entry = 0; entry < FileListSource->count(); ++entry) {
        if (FileListSource->item(entry)->text().compare(picked, Qt::CaseInsensitive) == 0) {
            FileListSource->setCurrentRow(entry);
            FileListSourceClick();
            break;
        }
    }
}

} // namespace dividra::ui
