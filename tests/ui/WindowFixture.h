#pragma once

#include "fakes/MemoryFileSystem.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempDir.h"
#include "ui/Main.h"

#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace dividra::ui::test {

// A main window over an in-memory c: drive and a registry file of its own, with scripted
// message boxes. The window is made by create(), so a test can prepare the profile first.
class WindowFixture : public ::testing::Test {
protected:
    WindowFixture() {
        m_system = &m_fs.addDrive('c', platform::DriveType::Fixed, 512LL * 1024 * 1024, "SYSTEM");
        m_fs.createFolder("c:\\data");
        m_fs.createFolder("c:\\out");
    }
    ~WindowFixture() override {
        if (m_window) {
            m_window->close();
        }
    }

    TFrmMain& create(const QStringList& arguments = {}) {
        m_window = std::make_unique<TFrmMain>(m_fs, arguments);
        return *m_window;
    }
    TFrmMain& shown(const QStringList& arguments = {}) {
        create(arguments).show();
        QApplication::processEvents();
        return *m_window;
    }

    template <class W = QWidget> W* child(const char* name) const {
        auto* found = m_window->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QRect at(const char* name) const { return child(name)->geometry(); }

    dividra::test::TempDir m_dir;
    dividra::test::ScopedEnv m_registry{"DIVIDRA_REGISTRY", m_dir.file("registry.reg")};
    dividra::test::ScopedScriptedMessageBoxes m_boxes;
    platform::MemoryFileSystem m_fs;
    platform::Medium* m_system = nullptr;
    std::unique_ptr<TFrmMain> m_window;
};

} // namespace dividra::ui::test
