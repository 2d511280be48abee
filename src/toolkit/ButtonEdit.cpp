#include "toolkit/ButtonEdit.h"

#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

namespace dividra::toolkit {

ButtonEdit::ButtonEdit(QWidget* parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_button(new QToolButton(this)) {
    m_edit->setObjectName(QStringLiteral("edit"));
    m_button->setObjectName(QStringLiteral("button"));
    m_button->setText(QStringLiteral("..."));
    m_button->setFocusPolicy(Qt::NoFocus);
    setFocusProxy(m_edit);
    setFocusPolicy(m_edit->focusPolicy());
    setSizePolicy(m_edit->sizePolicy());
    connect(m_button, &QToolButton::clicked, this, &ButtonEdit::buttonClicked);
    layoutChildren();
}

void ButtonEdit::setAccessibleNames(const QString& name) {
    setAccessibleName(name);
    m_edit->setAccessibleName(name);
    m_button->setAccessibleName(QStringLiteral("Browse for ") + name);
}

QString ButtonEdit::text() const {
    return m_edit->text();
}

void ButtonEdit::setText(const QString& text) {
    m_edit->setText(text);
}

QSize ButtonEdit::sizeHint() const {
    const QSize edit = m_edit->sizeHint();
    return {edit.width() + ButtonWidth, edit.height()};
}

QSize ButtonEdit::minimumSizeHint() const {
    const QSize edit = m_edit->minimumSizeHint();
    return {edit.width() + ButtonWidth, edit.height()};
}

void ButtonEdit::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutChildren();
}

void ButtonEdit::layoutChildren() {
    // Absolute geometry, as in the main window: a narrow widget shrinks the edit, not the button.
    const int buttonWidth = std::min(ButtonWidth, width());
    m_edit->setGeometry(0, 0, width() - buttonWidth, height());
    m_button->setGeometry(width() - buttonWidth, 0, buttonWidth, height());
}

} // namespace dividra::toolkit
