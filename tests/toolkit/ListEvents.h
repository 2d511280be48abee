#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>

#include <ostream>

// User input for list tests, sent as the window system would deliver it.
namespace dividra::toolkit::test {

inline void sendMouse(QListWidget& list, QEvent::Type type, int row) {
    const QPoint at = list.visualItemRect(list.item(row)).center();
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), QPointF(list.viewport()->mapToGlobal(at)), Qt::LeftButton,
                      held, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &event);
}

inline void click(QListWidget& list, int row) {
    sendMouse(list, QEvent::MouseButtonPress, row);
    sendMouse(list, QEvent::MouseButtonRelease, row);
}

inline void doubleClick(QListWidget& list, int row) {
    click(list, row);
    sendMouse(list, QEvent::MouseButtonDblClick, row);
    sendMouse(list, QEvent::MouseButtonRelease, row);
}

inline void pressKey(QWidget& widget, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

inline QStringList texts(const QListWidget& list) {
    QStringList out;
    for (int row = 0; row < list.count(); ++row) {
        out.append(list.item(row)->text());
    }
    return out;
}

} // namespace dividra::toolkit::test

// Readable texts in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
