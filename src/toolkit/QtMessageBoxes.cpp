#include "toolkit/QtMessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <utility>

namespace dividra::toolkit {
namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QMessageBox::Icon iconOf(unsigned flags) {
    switch (flags & MB_ICONMASK) {
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    case MB_ICONSTOP:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    default:
        return QMessageBox::NoIcon;
    }
}

struct ButtonSet {
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
    QMessageBox::StandardButton escapeButton; // NoButton: the question must be answered
};

// A box whose question must be answered: Escape and the window manager's close do nothing.
class AnswerRequiredBox final : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Cancel)) {
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        // Accepted only once a button has answered, which closes the box itself.
        if (clickedButton() == nullptr) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }
};

ButtonSet buttonsOf(unsigned flags) {
    switch (flags & MB_BUTTONMASK) {
    case MB_OKCANCEL:
        return {QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, QMessageBox::Cancel};
    case MB_YESNO:
        return {QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, QMessageBox::NoButton};
    default:
        return {QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok};
    }
}

} // namespace

std::unique_ptr<QMessageBox> QtMessageBoxes::createBox(std::string_view text,
                                                       std::string_view caption, unsigned flags,
                                                       QWidget* parent) {
    const ButtonSet set = buttonsOf(flags);
    std::unique_ptr<QMessageBox> box;
    if (set.escapeButton == QMessageBox::NoButton) {
        box = std::make_unique<AnswerRequiredBox>(parent);
        // No close box to answer with: a title and nothing else.
        box->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    } else {
        box = std::make_unique<QMessageBox>(parent);
    }
    box->setWindowTitle(fromUtf8(caption));
    // Paths and file names must show as typed, never as markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(fromUtf8(text));
    box->setIcon(iconOf(flags));
    box->setStandardButtons(set.buttons);
    box->setDefaultButton(set.defaultButton);
    if (set.escapeButton != QMessageBox::NoButton) {
        box->setEscapeButton(set.escapeButton);
    }
    // The design's buttons carry their text alone, without the style's tick and cross.
    for (QAbstractButton* button : box->buttons()) {
        button->setIcon(QIcon());
    }
    return box;
}

int QtMessageBoxes::resultOf(const QMessageBox& box) {
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return 0;
    }
}

int QtMessageBoxes::show(std::string_view text, std::string_view caption, unsigned flags) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return 0;
    }
    // The parent may close while the box runs and take the box with it; the guard notices.
    QPointer<QMessageBox> box =
        createBox(text, caption, flags, QApplication::activeWindow()).release();
    box->exec();
    if (box.isNull()) {
        return 0;
    }
    const int result = resultOf(*box);
    delete box.data();
    return result;
}

QtMessageBoxesInstaller::QtMessageBoxesInstaller()
    : m_previousProvider(SetMessageBoxProvider(&m_boxes)),
      m_previousBeep(SetBeepHook([](unsigned) { QApplication::beep(); })) {}

QtMessageBoxesInstaller::~QtMessageBoxesInstaller() {
    SetBeepHook(std::move(m_previousBeep));
    SetMessageBoxProvider(m_previousProvider);
}

} // namespace dividra::toolkit
