#include "ui/DirDlg.h"

#include "platform/Hook.h"
#include "toolkit/DirectoryListBox.h"
#include "toolkit/DriveComboBox.h"
#include "toolkit/FileListBox.h"
#include "ui/DesignFonts.h"
#include "ui/DrivePaths.h"
#include "util/MessageBoxes.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <utility>

namespace dividra::ui {

QString SelectedFolder;

namespace {

Hook<int(QDialog&)> g_modalRunner([](QDialog& dialog) { return dialog.exec(); });

} // namespace

ModalRunner SetModalRunner(ModalRunner runner) {
    return g_modalRunner.set(std::move(runner));
}

int RunModal(QDialog& dialog) {
    return g_modalRunner(dialog);
}

TDlgSelDir::TDlgSelDir(platform::FileSystem& fs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    createControls(fs);
    FormCreate();
}

void TDlgSelDir::createControls(platform::FileSystem& fs) {
    setObjectName(QStringLiteral("DlgSelDir"));
    setFont(WindowFont());
    setFixedSize(kClientWidth, kClientHeight);
    CentreOnScreen(*this);
    ComboDrive = new toolkit::DriveComboBox(this);
    ComboDrive->setObjectName(QStringLiteral("ComboDrive"));
    ComboDrive->setGeometry(14, 12, 180, 22);
    DirFolder = new toolkit::DirectoryListBox(this);
    DirFolder->setObjectName(QStringLiteral("DirFolder"));
    DirFolder->setGeometry(14, 42, 180, 164);
    DirFolder->setItemHeight(17);
    BtnOk = new QPushButton(QStringLiteral("OK"), this);
    BtnOk->setObjectName(QStringLiteral("BtnOk"));
    BtnOk->setGeometry(26, 218, 75, 25);
    BtnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    BtnCancel->setGeometry(107, 218, 75, 25);
    ComboDrive->setAccessibleName(QStringLiteral("Drive"));
    DirFolder->setAccessibleName(QStringLiteral("Folder"));
    BtnOk->setAccessibleName(BtnOk->text());
    BtnCancel->setAccessibleName(BtnCancel->text());
    DirFolder->setFileSystem(&fs);
    ComboDrive->setFileSystem(&fs);
    connect(ComboDrive, &toolkit::DriveComboBox::driveChanged, this,
            [this] { ComboDriveChange(); });
    connect(BtnOk, &QPushButton::clicked, this, [this] { BtnOkClick(); });
    connect(BtnCancel, &QPushButton::clicked, this, [this] { reject(); });
}

void TDlgSelDir::FormCreate() {
    platform::FileSystem& fs = *ComboDrive->fileSystem();
    // With no selection, the first drive left is announced as a change even when it was current.
    ComboDrive->clearSelection();
    for (int i = ComboDrive->count() - 1; i >= 0; --i) {
        const QString root = ComboDrive->itemText(i).left(2) + QLatin1Char('\\');
        const platform::DriveType type = fs.driveType(root.toStdString());
        if (type == platform::DriveType::CdRom || type == platform::DriveType::Removable) {
            ComboDrive->removeItem(i);
        }
    }
    BtnOk->setEnabled(false);
    if (ComboDrive->count() > 0) {
        ComboDrive->setCurrentIndex(0);
    }
}

void TDlgSelDir::ComboDriveChange() {
    if (m_goingBack) {
        return;
    }
    const char letter = ComboDrive->drive();
    if (DirFolder->setDrive(letter)) {
        m_lastDrive = letter;
        BtnOk->setEnabled(true);
        return;
    }
    const QString message = NotAccessibleMessage(letter);
    if (m_lastDrive != 0) {
        // Not by blocking signals: the list must note its drive, or picking this one again
        // would go unannounced.
        m_goingBack = true;
        ComboDrive->setDrive(m_lastDrive);
        m_goingBack = false;
    } else {
        DirFolder->clear(); // no drive has answered yet: nothing to pick
    }
    ShowErrorMessage(message.toStdString());
}

void TDlgSelDir::BtnOkClick() {
    SelectedFolder = DirFolder->directory();
    accept();
}

} // namespace dividra::ui
