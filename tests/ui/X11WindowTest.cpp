#include "X11Session.h"
#include "support/TempDir.h"

#include <QDir>
#include <QRect>
#include <gtest/gtest.h>

namespace dividra::ui {
namespace {

using test::X11Session;

// The program on a display of its own, with a settings file and a c: drive of its own.
class X11WindowTest : public ::testing::Test {
protected:
    void SetUp() override { QDir().mkpath(QString::fromStdString(m_dir.file("c"))); }

    // Starts the program and waits for its main window; empty when it didn't show.
    QString start(X11Session& session) {
        session.startProgram(QString::fromStdString(m_registryFile),
                             QStringLiteral("c=") + QString::fromStdString(m_dir.file("c")) +
                                 QStringLiteral(",fixed"));
        return session.waitForWindow(QStringLiteral("Dividra"));
    }
    static void exitProgram(X11Session& session, const QString& window) {
        session.keys(window, {QStringLiteral("alt+f"), QStringLiteral("x")});
        EXPECT_TRUE(session.waitForProgramEnd());
    }

    dividra::test::TempDir m_dir;
    std::string m_registryFile = m_dir.file("registry.reg");
    dividra::test::ScopedEnv m_registry{"DIVIDRA_REGISTRY", m_registryFile};
};

TEST_F(X11WindowTest, CaptionsAreTheDesignTextsAlone) {
    X11Session session(false);
    if (!session.missing().isEmpty()) {
        GTEST_SKIP() << session.missing().toStdString() << " is not installed";
    }
    const QString main = start(session);
    ASSERT_FALSE(main.isEmpty());
    EXPECT_EQ(session.caption(main), QStringLiteral("Dividra"));
    session.keys(main, {QStringLiteral("ctrl+o")});
    const QString options = session.waitForWindow(QStringLiteral("Dividra Options"));
    ASSERT_FALSE(options.isEmpty());
    EXPECT_EQ(session.caption(options), QStringLiteral("Dividra Options"));
    session.keys(options, {QStringLiteral("Escape")});
    session.keys(main, {QStringLiteral("ctrl+a")});
    const QString about = session.waitForWindow(QStringLiteral("About Dividra"));
    ASSERT_FALSE(about.isEmpty());
    EXPECT_EQ(session.caption(about), QStringLiteral("About Dividra"));
    session.keys(about, {QStringLiteral("Escape")});
    exitProgram(session, main);
}

// Where the window was closed is where it opens again, framed by a window manager or not.
TEST_F(X11WindowTest, ThePlacementComesBackAsItWasStored) {
    for (const bool manager : {true, false}) {
        X11Session session(manager);
        if (!session.missing().isEmpty()) {
            GTEST_SKIP() << session.missing().toStdString() << " is not installed";
        }
        m_dir.write("registry.reg",
                    "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vorlan Software\\Dividra]\n\n"
                    "[HKEY_CURRENT_USER\\Software\\Vorlan Software\\Dividra\\Window Settings]\n"
                    "\"Top\"=dword:00000096\n\"Left\"=dword:00000064\n"
                    "\"Height\"=dword:000001f4\n\"Width\"=dword:000002bc\n"
                    "\"Desktop Height\"=dword:00000300\n\"Desktop Width\"=dword:00000400\n");
        const QString main = start(session);
        ASSERT_FALSE(main.isEmpty());
        const QRect stored(100, 150, 700, 500);
        if (manager) {
            // The frame shows where it was once the manager has framed the window and the
            // program has placed it again, however long a loaded machine takes.
            QRect shown;
            X11Session::waitFor([&] {
                shown = session.frame(main);
                return shown == stored;
            });
            EXPECT_EQ(shown, stored);
        }
        exitProgram(session, main);
        const std::string text = dividra::test::TempDir::read(m_registryFile);
        for (const char* value : {"\"Top\"=dword:00000096", "\"Left\"=dword:00000064",
                                  "\"Height\"=dword:000001f4", "\"Width\"=dword:000002bc"}) {
            EXPECT_NE(text.find(value), std::string::npos)
                << value << (manager ? " with" : " without") << " a window manager\n"
                << text;
        }
    }
}

} // namespace
} // namespace dividra::ui
