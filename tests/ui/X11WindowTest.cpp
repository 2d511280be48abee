#include "X11Session.h"
#include "support/TempDir.h"

#include <QDir>
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

} // namespace
} // namespace dividra::ui
