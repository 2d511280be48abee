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
         QMessageBox::NoButton},
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
        EXPECT_EQ(bool(box->windowFlags() & Qt::WindowCloseButtonHint),
                  expected.escapeButton != QMessageBox::NoButton);
        for (QAbstractButton* button : box->buttons()) {
            EXPECT_TRUE(button->icon().isNull()) << button->text().toStdString();
        }
    }
}

struct Answer {
    int result;
    bool stayedOpen; // the box was still open after the key, and Enter answered it
    bool operator==(const Answer&) const = default;
};

// Runs `ask` with the Qt boxes installed and does `act` to the box it shows; a box left open
// is answered with Enter rather than hang the test.
template <class Act> Answer answerWith(int (*ask)(std::string_view), Act act) {
    const QtMessageBoxesInstaller installer;
    QObject context;
    bool stayedOpen = false;
    QTimer::singleShot(0, &context, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr) {
            ADD_FAILURE() << "no modal box";
            return;
        }
        act(box);
        QTimer::singleShot(0, &context, [&stayedOpen, box = QPointer<QWidget>(box)] {
            if (box && box->isVisible()) {
                stayedOpen = true;
                QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                QApplication::sendEvent(box, &enter);
            }
        });
    });
    const int result = ask("Text");
    return {result, stayedOpen};
}

Answer answerWithKey(int (*ask)(std::string_view), Qt::Key key) {
    return answerWith(ask, [key](QWidget* box) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(box, &press);
    });
}

TEST(QtMessageBoxesTest, EscapeAnswersCancelOrOkAndNothingAtYesNo) {
    EXPECT_EQ(answerWithKey(&ShowInfoMessage, Qt::Key_Escape), (Answer{IDOK, false}));
    EXPECT_EQ(answerWithKey(&AskOkCancel, Qt::Key_Escape), (Answer{IDCANCEL, false}));
    EXPECT_EQ(answerWithKey(&ShowErrorMessage, Qt::Key_Escape), (Answer{IDOK, false}));
    EXPECT_EQ(answerWithKey(&AskYesNo, Qt::Key_Escape), (Answer{IDYES, true}));
}

TEST(QtMessageBoxesTest, EnterAnswersTheFirstButton) {
    EXPECT_EQ(answerWithKey(&AskOkCancel, Qt::Key_Return), (Answer{IDOK, false}));
    EXPECT_EQ(answerWithKey(&AskYesNo, Qt::Key_Return), (Answer{IDYES, false}));
}

TEST(QtMessageBoxesTest, CloseAnswersLikeEscapeAndNothingAtYesNo) {
    const auto close = [](QWidget* box) { box->close(); };
    EXPECT_EQ(answerWith(&AskOkCancel, close), (Answer{IDCANCEL, false}));
    EXPECT_EQ(answerWith(&ShowInfoMessage, close), (Answer{IDOK, false}));
    EXPECT_EQ(answerWith(&AskYesNo, close), (Answer{IDYES, true}));
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
