#pragma once

#include "platform/FileSystem.h"

#include <QDialog>
#include <QString>
#include <functional>

class QPushButton;

namespace dividra::toolkit {
class DirectoryListBox;
class DriveComboBox;
} // namespace dividra::toolkit

namespace dividra::ui {

// The folder last confirmed in the folder dialog ("c:\" for a root), kept between showings.
extern QString SelectedFolder;

// Shows a dialog modally and returns its result (QDialog::Accepted is 1): exec() unless a runner
// is installed. Tests install one of their own, so no modal loop waits for a user; SetModalRunner
// returns the previous one (see platform/Hook.h).
using ModalRunner = std::function<int(QDialog& dialog)>;
ModalRunner SetModalRunner(ModalRunner runner);
int RunModal(QDialog& dialog);

// The folder selection dialog: a folder on a fixed, network or RAM drive. The caller sets the
// caption, shows it modally and takes SelectedFolder after OK.
class TDlgSelDir : public QDialog {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 208;
    static constexpr int kClientHeight = 255;

    explicit TDlgSelDir(platform::FileSystem& fs, QWidget* parent = nullptr);

    void ComboDriveChange();
    void BtnOkClick();

    toolkit::DriveComboBox* ComboDrive = nullptr;
    toolkit::DirectoryListBox* DirFolder = nullptr;
    QPushButton* BtnOk = nullptr;
    QPushButton* BtnCancel = nullptr;

private:
    void createControls(platform::FileSystem& fs);
    void FormCreate();

    char m_lastDrive = 0; // the last drive whose root could be read
    bool m_goingBack = false;
};

} // namespace dividra::ui
