#pragma once

#include "platform/FileSystem.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableWidget;

namespace dividra {
class SettingsBatch;
} // namespace dividra

namespace dividra::toolkit {
class ButtonEdit;
class DriveComboBox;
} // namespace dividra::toolkit

namespace dividra::ui {

// The options dialog: every stored option but the window placement. It reads the settings when
// built and writes them all at once on OK; Cancel, Escape and the close box write nothing.
class TDlgOptions : public QDialog {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 605;
    static constexpr int kClientHeight = 299;
    // Row positions and counts of the filter editor are 8-bit: New stops at this many.
    static constexpr int kMaxFilters = 254;
    static constexpr int kFilterRowHeight = 18;

    // `fs` gives the drive lists and folders (not owned); `helpFile` is the program's help. Each
    // control's help context id is its toolkit::kHelpContextProperty.
    explicit TDlgOptions(platform::FileSystem& fs, const QString& helpFile,
                         QWidget* parent = nullptr);
    ~TDlgOptions() override;

    // Handlers, named as the design names them.
    void BtnOkClick();
    void BtnHelpClick();
    void ChkSplitDoneSoundClick();
    void ChkSplitNextSoundClick();
    void TxtSplitDoneSoundButtonClick();
    void TxtSplitNextSoundButtonClick();
    void TxtDefSrcFolderButtonClick();
    void TxtDefDstFolderButtonClick();
    void ComboSplitSizeChange();
    void TxtCustomSizeExit();
    // The filter list editor.
    void LayoutFilterGrid();
    void GridFiltersSelectCell();
    void TxtFilterChange();
    void BtnFilterNewClick();
    void BtnFilterReplaceClick();
    void BtnFilterDeleteClick();
    void BtnFilterClearClick();
    void BtnFilterUpClick();
    void BtnFilterDownClick();

    QTabWidget* PageOptions = nullptr;
    QWidget* TabGeneral = nullptr;
    QWidget* TabSourceFile = nullptr;
    QWidget* TabFloppy = nullptr;
    QWidget* TabHardDrive = nullptr;
    // General
    QGroupBox* GrpDefDest = nullptr;
    QLabel* LblDefDestMedia = nullptr;
    QRadioButton* OptDestFD = nullptr;
    QRadioButton* OptDestHD = nullptr;
    QGroupBox* GrpSplitDone = nullptr;
    QRadioButton* OptSplitDoneNothing = nullptr;
    QRadioButton* OptSplitDoneMessage = nullptr;
    QCheckBox* ChkSplitDoneSound = nullptr;
    toolkit::ButtonEdit* TxtSplitDoneSound = nullptr;
    QCheckBox* ChkSplit8Dot3 = nullptr;
    QCheckBox* ChkShowIcons = nullptr;
    // Source File
    QLabel* LblDefSourceFolder = nullptr;
    toolkit::ButtonEdit* TxtDefSrcFolder = nullptr;
    QGroupBox* GrpFilters = nullptr;
    QTableWidget* GridFilters = nullptr;
    QLineEdit* TxtFileType = nullptr;
    QLineEdit* TxtFileExt = nullptr;
    QPushButton* BtnFilterNew = nullptr;
    QPushButton* BtnFilterReplace = nullptr;
    QPushButton* BtnFilterDelete = nullptr;
    QPushButton* BtnFilterClear = nullptr;
    QPushButton* BtnFilterUp = nullptr;
    QPushButton* BtnFilterDown = nullptr;
    // Floppy Diskette Split
    QLabel* LblDefFD = nullptr;
    toolkit::DriveComboBox* ComboDefFD = nullptr;
    QCheckBox* ChkEraseFD = nullptr;
    QGroupBox* GrpSplitNext = nullptr;
    QRadioButton* OptSplitNextMessage = nullptr;
    QRadioButton* OptSplitNextFlash = nullptr;
    QCheckBox* ChkSplitNextSound = nullptr;
    toolkit::ButtonEdit* TxtSplitNextSound = nullptr;
    QCheckBox* ChkMinSplitFD = nullptr;
    // Hard Drive Split
    QLabel* LblDefDstFolder = nullptr;
    toolkit::ButtonEdit* TxtDefDstFolder = nullptr;
    QLabel* LblDefSegSize = nullptr;
    QComboBox* ComboSplitSize = nullptr;
    QLabel* LblCustomSize = nullptr;
    QLineEdit* TxtCustomSize = nullptr;
    QCheckBox* ChkMinSplitHD = nullptr;
    // Bottom row
    QPushButton* BtnOk = nullptr;
    QPushButton* BtnCancel = nullptr;
    QPushButton* BtnHelp = nullptr;
    // The sound file dialog both sound fields share; run through RunModal.
    QFileDialog* OpenDlg = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Building (Options.cpp, OptionsPages.cpp, FilterEditor.cpp).
    void createControls();
    void createGeneralPage();
    void createSourcePage();
    void createFilterEditor();
    void createFloppyPage();
    void createHardDrivePage();
    void createButtons();
    void nameControls();
    void createOpenDlg();
    void connectHandlers();
    // Loading and saving (OptionsLoad.cpp, OptionsSave.cpp, FilterEditor.cpp).
    void FormCreate();
    void setSoundStartFolder();
    void pruneFloppyDrives();
    void loadGeneral();
    void loadSourceFile();
    void loadFloppy();
    void loadHardDrive();
    void saveGeneral(SettingsBatch& batch) const;
    void saveSourceFile(SettingsBatch& batch) const;
    void saveFloppy(SettingsBatch& batch) const;
    void saveHardDrive(SettingsBatch& batch) const;
    void LoadFilters();
    void SaveFilters(SettingsBatch& batch) const;
    // Browsing.
    void browseSound(toolkit::ButtonEdit* field);
    void browseFolder(toolkit::ButtonEdit* field, const QString& caption);
    // Filter editor steps.
    bool TxtFileExtKeyPress(QKeyEvent* event);
    void selectFilterRow(int row);
    void setFilterRow(int row, const QString& type, const QString& extension);
    void enableMoves();
    void setBrowsing(bool browsing);
    int gridClientWidth() const;

    platform::FileSystem& m_fs;
    QString m_helpFile;
};

} // namespace dividra::ui
