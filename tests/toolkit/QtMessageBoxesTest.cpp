#include "toolkit/QtMessageBoxes.h"
#include "support/ScopedHook.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <vector>

namespace dividra::toolkit {
namespace {

using Buttons = std::vector<QMessageBox::StandardButton>;

Buttons buttonsOf(const QMessageBox& box) {
    Buttons buttons;
    for (QAbstractButton* button : box.buttons()) {
        buttons.push_back(box.standardButton(button));
    }
    return buttons;
}

TEST(QtMessageBoxesTest, BoxShowsCaptionAndPlainTextWithLineBreaks) {
    const auto box = QtMessageBoxes::createBox("c:\\<b>data</b>.zip is not a file.\nTry again.",
                                               MessageCaption, MB_OK);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Dividra"));
    EXPECT_EQ(box->text(), QStringLiteral("c:\\<b>data</b>.zip is not a file.\nTry again."));
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_TRUE(box->isModal());
}

TEST(QtMessageBoxesTest, FlagsChooseIconButtonsDefaultAndEscape) {
    struct Case {
        unsigned flags;
        QMessageBox::Icon icon;
        Buttons buttons;
        QMessageBox::StandardButton defaultButton;
        QMessageBox::StandardButton escapeButton;
    };
    const std::vector<Case> cases = {
        {MB_SETFOREGROUND | MB_ICONINFORMATION | MB_OK,
         QMessageBox::Information,
         {QMessageBox::Ok},
         QMessageBox::Ok,
         QMessageBox::Ok},
        {MB_SETFOREGROUND | MB_ICONINFORMATION | MB_OKCANCEL,
         QMessageBox::Information,
         {QMessageBox::Ok, QMessageBox::Cancel},
         QMessageBox::Ok,
         QMessageBox::Cancel},
        {MB_SETFOREGROUND | MB_ICONSTOP | MB_OK,
         QMessageBox::Critical,
         {QMessageBox::Ok},
         QMessageBox::Ok,
         QMessageBox::Ok},
        {MB_SETFOREGROUND | MB_ICONQUESTION | MB_YESNO,
         QMessageBox::Question,
         {QMessageBox::Yes, QMessageBox::No},
         QMessageBox::Yes,
         QMessageBox::No},
        {MB_ICONEXCLAMATION | MB_OK,
         QMessageBox::Warning,
         {QMessageBox::Ok},
         QMessageBox::Ok,
         QMessageBox::Ok},
        {MB_OKCANCEL,
         QMessageBox::NoIcon,
         {QMessageBox::Ok, QMessageBox::Cancel},
         QMessageBox::Ok,
         QMessageBox::Cancel},
    };
    for (const Case& expected : cases) {
        SCOPED_TRACE(expected.flags);
        const auto box = QtMessageBoxes::createBox("Text", MessageCaption, expected.flags);
        EXPECT_EQ(box->icon(), expected.icon);
        EXPECT_EQ(buttonsOf(*box), expected.buttons);
        EXPECT_EQ(box->standardButton(box->defaultButton()), expected.defaultButton);
        EXPECT_EQ(box->standardButton(box->escapeButton()), expected.escapeButton);
    }
}

// Runs `ask` with the Qt boxes installed and presses `key` in the box it shows.
int answerWithKey(int (*ask)(std::string_view), Qt::Key key) {
    const QtMessageBoxesInstaller installer;
    QObject context;
    QTimer::singleShot(0, &context, [key, &context] {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr) {
            ADD_FAILURE() << "no modal box";
            return;
        }
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(box, &press);
        // Should the key leave the box open, close it anyway rather than hang the test.
        QTimer::singleShot(0, &context, [box = QPointer<QWidget>(box)] {
            if (auto* dialog = qobject_cast<QDialog*>(box.data()); dialog && dialog->isVisible()) {
                ADD_FAILURE() << "the key left the box open";
                dialog->done(0);
            }
        });
    });
    return ask("Text");
}

TEST(QtMessageBoxesTest, EscapeAnswersCancelNoOrOk) {
    EXPECT_EQ(answerWithKey(&ShowInfoMessage, Qt::Key_Escape), IDOK);
    EXPECT_EQ(answerWithKey(&AskOkCancel, Qt::Key_Escape), IDCANCEL);
    EXPECT_EQ(answerWithKey(&ShowErrorMessage, Qt::Key_Escape), IDOK);
    EXPECT_EQ(answerWithKey(&AskYesNo, Qt::Key_Escape), IDNO);
}

TEST(QtMessageBoxesTest, EnterAnswersTheFirstButton) {
    EXPECT_EQ(answerWithKey(&AskOkCancel, Qt::Key_Return), IDOK);
    EXPECT_EQ(answerWithKey(&AskYesNo, Qt::Key_Return), IDYES);
}

TEST(QtMessageBoxesTest, CloseBoxAnswersLikeEscape) {
    const QtMessageBoxesInstaller installer;
    QObject context;
    QTimer::singleShot(0, &context, [] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            box->close();
        }
    });
    EXPECT_EQ(AskYesNo("Text"), IDNO);
}

TEST(QtMessageBoxesTest, InstallerPutsThePreviousProviderAndBeepBack) {
    int beeps = 0;
    const test::ScopedHook counted(SetBeepHook, [&beeps](unsigned) { ++beeps; });
    MessageBoxProvider* const before = CurrentMessageBoxProvider();
    {
        const QtMessageBoxesInstaller installer;
        EXPECT_NE(dynamic_cast<QtMessageBoxes*>(CurrentMessageBoxProvider()), nullptr);
        MessageBeep(MB_ICONEXCLAMATION);
        EXPECT_EQ(beeps, 0);
    }
    EXPECT_EQ(CurrentMessageBoxProvider(), before);
    MessageBeep(MB_ICONEXCLAMATION);
    EXPECT_EQ(beeps, 1);
}

} // namespace
} // namespace dividra::toolkit
