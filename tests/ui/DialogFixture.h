#pragma once

#include "fakes/MemoryFileSystem.h"
#include "support/ScopedHook.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempDir.h"
#include "ui/DirDlg.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QString>
#include <gtest/gtest.h>
#include <ostream>
#include <utility>

// Shared by the dialog tests: a registry file of their own, scripted message boxes, an in-memory
// c: and a: drive, and modal dialogs answered by the test instead of a user.
namespace dividra::ui::test {

// Installs a modal runner for one scope.
class ScopedModalRunner : public dividra::test::ScopedHook<ModalRunner> {
public:
    explicit ScopedModalRunner(ModalRunner runner)
        : ScopedHook(SetModalRunner, std::move(runner)) {}
};

class DialogFixture : public ::testing::Test {
protected:
    DialogFixture() {
        m_fs.addDrive('a', platform::DriveType::Removable, 1474560);
        m_fs.addDrive('c', platform::DriveType::Fixed, 512LL * 1024 * 1024, "SYSTEM");
        m_fs.createFolder("c:\\data");
        m_fs.createFolder("c:\\out");
    }

    std::string registryText() const { return dividra::test::TempDir::read(m_registryFile); }

    dividra::test::TempDir m_dir;
    std::string m_registryFile = m_dir.file("registry.reg");
    dividra::test::ScopedEnv m_registry{"DIVIDRA_REGISTRY", m_registryFile};
    dividra::test::ScopedScriptedMessageBoxes m_boxes;
    platform::MemoryFileSystem m_fs;
};

// A key typed into a widget, as the window system delivers it.
inline void typeKey(QWidget* widget, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &release);
}

// Each character typed as its own key.
inline void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        const int key = c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - 'A') : c.unicode();
        typeKey(widget, key, QString(c));
    }
}

inline void sendFocusOut(QWidget* widget) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(widget, &out);
}

} // namespace dividra::ui::test

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
