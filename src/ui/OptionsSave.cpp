#include "ui/Options.h"

#include "settings/SettingsBatch.h"
#include "settings/SettingsKeys.h"
#include "toolkit/ButtonEdit.h"
#include "toolkit/DriveComboBox.h"
#include "util/MessageBoxes.h"
#include "util/NumberText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

namespace dividra::ui {
namespace {

void setText(SettingsBatch& batch, std::string_view key, std::string_view value,
             const QString& text) {
    batch.setText(key, value, text.toStdString());
}

void setFlag(SettingsBatch& batch, std::string_view key, std::string_view value,
             const QCheckBox* box) {
    batch.setInt(key, value, box->isChecked() ? 1 : 0);
}

std::string notSavedMessage(const std::string& reason) {
    return reason.empty() ? "The options could not be saved."
                          : "The options could not be saved:\n" + reason;
}

} // namespace

// Nothing is checked or confirmed: every value shown is stored, in one replacement of the
// registry file. A save that fails says why and keeps the dialog open with its values.
void TDlgOptions::BtnOkClick() {
    SettingsBatch batch;
    batch.createKey(keys::kProduct);
    saveGeneral(batch);
    saveSourceFile(batch);
    saveFloppy(batch);
    saveHardDrive(batch);
    if (!batch.commit()) {
        ShowErrorMessage(notSavedMessage(batch.failureReason()));
        return;
    }
    accept();
}

void TDlgOptions::saveGeneral(SettingsBatch& batch) const {
    const std::string_view key = keys::kGeneralOptions;
    batch.setInt(key, keys::kDestinationMedia, OptDestFD->isChecked() ? 0 : 1);
    batch.setInt(key, keys::kSplitFinishedNotifyBy, OptSplitDoneNothing->isChecked() ? 0 : 1);
    setFlag(batch, key, keys::kSplitFinishedPlaySound, ChkSplitDoneSound);
    setText(batch, key, keys::kSplitFinishedSound, TxtSplitDoneSound->text());
    setFlag(batch, key, keys::kSplitFiles83Format, ChkSplit8Dot3);
}

void TDlgOptions::saveSourceFile(SettingsBatch& batch) const {
    const std::string_view key = keys::kSourceFileOptions;
    setText(batch, key, keys::kSourceFolder, TxtDefSrcFolder->text());
    setFlag(batch, key, keys::kShowFileIcons, ChkShowIcons);
    SaveFilters(batch);
}

void TDlgOptions::saveFloppy(SettingsBatch& batch) const {
    const std::string_view key = keys::kFloppyOptions;
    setText(batch, key, keys::kFloppyDrive,
            ComboDefFD->isEnabled() ? ComboDefFD->currentText() : QString());
    setFlag(batch, key, keys::kEraseDiskettes, ChkEraseFD);
    batch.setInt(key, keys::kNextDisketteNotifyBy, OptSplitNextMessage->isChecked() ? 0 : 1);
    setFlag(batch, key, keys::kNextDiskettePlaySound, ChkSplitNextSound);
    setText(batch, key, keys::kNextDisketteSound, TxtSplitNextSound->text());
    setFlag(batch, key, keys::kMinimizeWhileSplitting, ChkMinSplitFD);
}

void TDlgOptions::saveHardDrive(SettingsBatch& batch) const {
    const std::string_view key = keys::kHardDriveOptions;
    setText(batch, key, keys::kDestinationFolder, TxtDefDstFolder->text());
    setText(batch, key, keys::kDefaultSegmentSize, ComboSplitSize->currentText());
    batch.setInt(key, keys::kCustomSegmentSize, TextToInt(TxtCustomSize->text().toStdString()));
    setFlag(batch, key, keys::kMinimizeWhileSplitting, ChkMinSplitHD);
}

} // namespace dividra::ui
