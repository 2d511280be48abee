#include "DialogFixture.h"
#include "ui/DirDlg.h"
#include "ui/Main.h"
#include "ui/Options.h"

#include <QStringList>
#include <QWidget>
#include <memory>

namespace dividra::ui {
namespace {

struct Named {
    const char* control;
    const char* name;
};

class AccessibleNamesTest : public test::DialogFixture {
protected:
    // The controls of `window` a user can reach by Tab or click and a screen reader can't name.
    static QStringList unnamed(const QWidget& window) {
        QStringList found;
        for (const QWidget* widget : window.findChildren<QWidget*>()) {
            // Pop-up lists belong to their combo box, which is named.
            if (widget->window() == &window && widget->focusPolicy() != Qt::NoFocus &&
                widget->accessibleName().isEmpty()) {
                found << widget->objectName() + QLatin1Char('/') +
                             QString::fromLatin1(widget->metaObject()->className());
            }
        }
        return found;
    }
    static void expectNames(const QWidget& window, std::initializer_list<Named> table) {
        for (const Named& row : table) {
            const auto* control = window.findChild<QWidget*>(QString::fromLatin1(row.control));
            ASSERT_NE(control, nullptr) << row.control;
            EXPECT_EQ(control->accessibleName(), QString::fromUtf8(row.name)) << row.control;
        }
    }
};

TEST_F(AccessibleNamesTest, MainWindowControlsTakeTheirCaptionsAndTheCountsTheirDiskettes) {
    TFrmMain window(m_fs, {});
    expectNames(window, {
                            {"ComboSource", "Source drive"},
                            {"BtnSrcRefresh", "Refresh"},
                            {"DirListSource", "Source folder"},
                            {"FileListSource", "Source file"},
                            {"TxtFileName", "File Name"},
                            {"FilterSource", "File Type"},
                            {"LblFileSizeData", "File Size"},
                            {"ComboDestFD", "Floppy diskette drive"},
                            {"ChkErase", "Erase Diskettes"},
                            {"Lbl3HDVal", "3.5\" high density diskettes"},
                            {"Lbl3DDVal", "3.5\" double density diskettes"},
                            {"Lbl5HDVal", "5.25\" high density diskettes"},
                            {"Lbl5DDVal", "5.25\" double density diskettes"},
                            {"ComboDestHD", "Hard drive"},
                            {"DirListDest", "Destination folder"},
                            {"LblHDFreeData", "Free Space"},
                            {"ComboSegment", "Segment Size (kb)"},
                            {"TxtCustom", "Custom Size (kb)"},
                            {"LblSegCnt", "Segment Count"},
                            {"ToolBtnSplit", "Split"},
                            {"ToolBtn8Dot3", "Dos Split"},
                            {"ToolBtnExit", "Exit"},
                        });
    EXPECT_EQ(unnamed(window), QStringList());
}

TEST_F(AccessibleNamesTest, OptionsAndFilterEditorControlsTakeTheirCaptions) {
    TDlgOptions dialog(m_fs, QStringLiteral("/nonexistent/dividra.hlp"));
    expectNames(dialog, {
                            {"OptDestFD", "Floppy Diskette"},
                            {"OptSplitDoneMessage", "Display Message"},
                            {"ChkSplitDoneSound", "Play Sound"},
                            {"TxtSplitDoneSound", "Sound when split is finished"},
                            {"ChkSplit8Dot3", "Split files in DOS format (8.3)"},
                            {"TxtDefSrcFolder", "Default Source Folder"},
                            {"GridFilters", "File Selection Filters"},
                            {"TxtFileType", "File Type"},
                            {"TxtFileExt", "Extension"},
                            {"BtnFilterUp", "Move Up"},
                            {"ComboDefFD", "Default Floppy Drive"},
                            {"OptSplitNextFlash", "Flash Window"},
                            {"TxtSplitNextSound", "Sound when next diskette is needed"},
                            {"TxtDefDstFolder", "Default Destination Folder"},
                            {"ComboSplitSize", "Default Segment Size (kb)"},
                            {"TxtCustomSize", "Custom Size (kb)"},
                            {"BtnHelp", "Help"},
                        });
    EXPECT_EQ(unnamed(dialog), QStringList());
}

TEST_F(AccessibleNamesTest, FolderDialogControlsTakeTheirCaptions) {
    TDlgSelDir dialog(m_fs);
    expectNames(dialog, {
                            {"ComboDrive", "Drive"},
                            {"DirFolder", "Folder"},
                            {"BtnOk", "OK"},
                            {"BtnCancel", "Cancel"},
                        });
    EXPECT_EQ(unnamed(dialog), QStringList());
}

} // namespace
} // namespace dividra::ui
