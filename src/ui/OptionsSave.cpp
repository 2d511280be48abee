#include "ui/Options.h"

#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "toolkit/ButtonEdit.h"
#include "toolkit/DriveComboBox.h"
#include "util/NumberText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

namespace dividra::ui {
namespace {

void writeText(std::string_view key, std::string_view value, const QString& text) {
    WriteSettingText(key, value, text.toStdString());
}

void writeFlag(std::string_view key, std::string_view value, const QCheckBox* box) {
    WriteSettingInt(key, value, box->isChecked() ? 1 : 0);
}

} // namespace

// Nothing is checked or confirmed: every value is written, changed or not.
void TDlgOptions::BtnOkClick() {
    SettingsKeyExists(keys::kProduct, true);
    saveGeneral();
    saveSourceFile();
    saveFloppy();
    saveHardDrive();
    accept();
}

void TDlgOptions::saveGeneral() {
    const std::string_view key = keys::kGeneralOptions;
    WriteSettingInt(key, keys::kDestinationMedia, OptDestFD->isChecked() ? 0 : 1);
    WriteSettingInt(key, keys::kSplitFinishedNotifyBy, OptSplitDoneNothing->isChecked() ? 0 : 1);
    writeFlag(key, keys::kSplitFinishedPlaySound, ChkSplitDoneSound);
    writeText(key, keys::kSplitFinishedSound, TxtSplitDoneSound->text());
    writeFlag(key, keys::kSplitFiles83Format, ChkSplit8Dot3);
}

void TDlgOptions::saveSourceFile() {
    const std::string_view key = keys::kSourceFileOptions;
    writeText(key, keys::kSourceFolder, TxtDefSrcFolder->text());
    writeFlag(key, keys::kShowFileIcons, ChkShowIcons);
    SaveFilters();
}

void TDlgOptions::saveFloppy() {
    const std::string_view key = keys::kFloppyOptions;
    writeText(key, keys::kFloppyDrive,
              ComboDefFD->isEnabled() ? ComboDefFD->currentText() : QString());
    writeFlag(key, keys::kEraseDiskettes, ChkEraseFD);
    WriteSettingInt(key, keys::kNextDisketteNotifyBy, OptSplitNextMessage->isChecked() ? 0 : 1);
    writeFlag(key, keys::kNextDiskettePlaySound, ChkSplitNextSound);
    writeText(key, keys::kNextDisketteSound, TxtSplitNextSound->text());
    writeFlag(key, keys::kMinimizeWhileSplitting, ChkMinSplitFD);
}

void TDlgOptions::saveHardDrive() {
    const std::string_view key = keys::kHardDriveOptions;
    writeText(key, keys::kDestinationFolder, TxtDefDstFolder->text());
    writeText(key, keys::kDefaultSegmentSize, ComboSplitSize->currentText());
    WriteSettingInt(key, keys::kCustomSegmentSize, TextToInt(TxtCustomSize->text().toStdString()));
    writeFlag(key, keys::kMinimizeWhileSplitting, ChkMinSplitHD);
}

} // namespace dividra::ui
