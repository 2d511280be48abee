#include "ui/Options.h"

#include "toolkit/ButtonEdit.h"
#include "toolkit/HelpViewer.h"
#include "ui/CustomSize.h"
#include "ui/DesignFonts.h"
#include "ui/DirDlg.h"
#include "util/KeyFilter.h"
#include "util/NumberText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTableWidget>

namespace dividra::ui {
namespace {

// The folder of a typed name must exist, as the sound fields expect of the dialog.
class SoundFileDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const QStringList files = selectedFiles();
        if (!files.isEmpty() && !QFileInfo(files.front()).absoluteDir().exists()) {
            return;
        }
        QFileDialog::accept();
    }
};

// Keys the dialog or the edit acts on (moving on, closing, deleting) type no character.
bool typesIntoEdit(const QKeyEvent& press) {
    switch (press.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Delete:
        return false;
    default:
        return !press.text().isEmpty();
    }
}

} // namespace

TDlgOptions::TDlgOptions(platform::FileSystem& fs, const QString& helpFile, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowContextHelpButtonHint),
      m_fs(fs), m_helpFile(helpFile) {
    createControls();
    connectHandlers();
    toolkit::InstallHelpPopups(this, m_helpFile);
    FormCreate();
}

TDlgOptions::~TDlgOptions() = default;

void TDlgOptions::createControls() {
    setObjectName(QStringLiteral("DlgOptions"));
    setWindowTitle(QStringLiteral("Dividra Options"));
    setFont(WindowFont());
    setFixedSize(kClientWidth, kClientHeight);
    CentreOnScreen(*this);
    createGeneralPage();
    createSourcePage();
    createFloppyPage();
    createHardDrivePage();
    createButtons();
    nameControls();
    createOpenDlg();
}

void TDlgOptions::createOpenDlg() {
    OpenDlg = new SoundFileDialog(this, QStringLiteral("Select Sound File"));
    OpenDlg->setObjectName(QStringLiteral("OpenDlg"));
    // Qt's own dialog: it can be driven in tests, and its filter is blind to case as on DOS.
    OpenDlg->setOption(QFileDialog::DontUseNativeDialog);
    OpenDlg->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDlg->setFileMode(QFileDialog::AnyFile);
    OpenDlg->setNameFilter(QStringLiteral("Sound Files (*.WAV)"));
    OpenDlg->setFilter(OpenDlg->filter() & ~QDir::CaseSensitive);
    OpenDlg->setDefaultSuffix(QStringLiteral("WAV"));
}

void TDlgOptions::connectHandlers() {
    connect(BtnOk, &QPushButton::clicked, this, [this] { BtnOkClick(); });
    connect(BtnCancel, &QPushButton::clicked, this, [this] { reject(); });
    connect(BtnHelp, &QPushButton::clicked, this, [this] { BtnHelpClick(); });
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, [this] { BtnHelpClick(); });
    connect(ChkSplitDoneSound, &QCheckBox::toggled, this, [this] { ChkSplitDoneSoundClick(); });
    connect(ChkSplitNextSound, &QCheckBox::toggled, this, [this] { ChkSplitNextSoundClick(); });
    connect(TxtSplitDoneSound, &toolkit::ButtonEdit::buttonClicked, this,
            [this] { TxtSplitDoneSoundButtonClick(); });
    connect(TxtSplitNextSound, &toolkit::ButtonEdit::buttonClicked, this,
            [this] { TxtSplitNextSoundButtonClick(); });
    connect(TxtDefSrcFolder, &toolkit::ButtonEdit::buttonClicked, this,
            [this] { TxtDefSrcFolderButtonClick(); });
    connect(TxtDefDstFolder, &toolkit::ButtonEdit::buttonClicked, this,
            [this] { TxtDefDstFolderButtonClick(); });
    connect(ComboSplitSize, &QComboBox::currentIndexChanged, this,
            [this] { ComboSplitSizeChange(); });
    TxtCustomSize->installEventFilter(this);
    TxtFileExt->installEventFilter(this);
    connect(GridFilters, &QTableWidget::currentCellChanged, this,
            [this] { GridFiltersSelectCell(); });
    // A click on the row already selected changes no cell, yet reloads as any click does.
    connect(GridFilters, &QTableWidget::cellClicked, this, [this] { GridFiltersSelectCell(); });
    connect(TxtFileType, &QLineEdit::textChanged, this, [this] { TxtFilterChange(); });
    connect(TxtFileExt, &QLineEdit::textChanged, this, [this] { TxtFilterChange(); });
    connect(BtnFilterNew, &QPushButton::clicked, this, [this] { BtnFilterNewClick(); });
    connect(BtnFilterReplace, &QPushButton::clicked, this, [this] { BtnFilterReplaceClick(); });
    connect(BtnFilterDelete, &QPushButton::clicked, this, [this] { BtnFilterDeleteClick(); });
    connect(BtnFilterClear, &QPushButton::clicked, this, [this] { BtnFilterClearClick(); });
    connect(BtnFilterUp, &QPushButton::clicked, this, [this] { BtnFilterUpClick(); });
    connect(BtnFilterDown, &QPushButton::clicked, this, [this] { BtnFilterDownClick(); });
}

bool TDlgOptions::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TxtCustomSize && event->type() == QEvent::KeyPress) {
        const auto* press = static_cast<QKeyEvent*>(event);
        if (typesIntoEdit(*press)) {
            char key = press->text().size() == 1 ? press->text().front().toLatin1() : '\0';
            return FilterNumericKey(key) == 0;
        }
    }
    if (watched == TxtCustomSize && event->type() == QEvent::FocusOut) {
        TxtCustomSizeExit();
    }
    if (watched == TxtFileExt && event->type() == QEvent::KeyPress) {
        return TxtFileExtKeyPress(static_cast<QKeyEvent*>(event));
    }
    return QDialog::eventFilter(watched, event);
}

// No button is the default: Enter presses the button that has the focus, and nothing else.
void TDlgOptions::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            button->click();
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

void TDlgOptions::BtnHelpClick() {
    toolkit::ShowHelpContents(m_helpFile, this);
}

void TDlgOptions::ChkSplitDoneSoundClick() {
    TxtSplitDoneSound->setEnabled(ChkSplitDoneSound->isChecked());
}

void TDlgOptions::ChkSplitNextSoundClick() {
    TxtSplitNextSound->setEnabled(ChkSplitNextSound->isChecked());
}

void TDlgOptions::TxtSplitDoneSoundButtonClick() {
    browseSound(TxtSplitDoneSound);
}

void TDlgOptions::TxtSplitNextSoundButtonClick() {
    browseSound(TxtSplitNextSound);
}

void TDlgOptions::TxtDefSrcFolderButtonClick() {
    browseFolder(TxtDefSrcFolder, QStringLiteral("Select Source Folder:"));
}

void TDlgOptions::TxtDefDstFolderButtonClick() {
    browseFolder(TxtDefDstFolder, QStringLiteral("Select Destination Folder:"));
}

void TDlgOptions::browseSound(toolkit::ButtonEdit* field) {
    OpenDlg->selectFile(QString());
    if (RunModal(*OpenDlg) != QDialog::Accepted || OpenDlg->selectedFiles().isEmpty()) {
        return;
    }
    // The field holds DOS paths; a file outside every drive can't be named there.
    const QString host = QFileInfo(OpenDlg->selectedFiles().front()).absoluteFilePath();
    const auto dos = m_fs.toDosPath(host.toStdString());
    if (dos) {
        field->setText(QString::fromStdString(dos.value()));
    }
}

void TDlgOptions::browseFolder(toolkit::ButtonEdit* field, const QString& caption) {
    TDlgSelDir folders(m_fs);
    folders.setWindowTitle(caption);
    const int result = RunModal(folders);
    folders.hide();
    if (result == QDialog::Accepted) {
        field->setText(SelectedFolder);
    }
}

void TDlgOptions::ComboSplitSizeChange() {
    TxtCustomSize->setEnabled(ComboSplitSize->currentText() == customSegmentEntry());
}

void TDlgOptions::TxtCustomSizeExit() {
    keepCustomSizeInRange(TxtCustomSize);
}

} // namespace dividra::ui
