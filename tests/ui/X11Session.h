#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QThread>
#include <memory>

// The window program as a user runs it: on a virtual X display of its own, with or without a
// window manager, driven by xdotool and read back with xprop. Tests using it skip
// where those tools aren't installed.
namespace dividra::ui::test {

class X11Session {
public:
    explicit X11Session(bool windowManager) {
        QStringList tools{QStringLiteral("Xvfb"), QStringLiteral("xdotool"),
                          QStringLiteral("xprop")};
        if (windowManager) {
            tools << QStringLiteral("jwm");
        }
        for (const QString& tool : tools) {
            if (QStandardPaths::findExecutable(tool).isEmpty()) {
                m_missing = tool;
                return;
            }
        }
        // The server picks a free display and writes its number on the descriptor given.
        m_server.start(QStringLiteral("Xvfb"),
                       {QStringLiteral("-displayfd"), QStringLiteral("1"),
                        QStringLiteral("-screen"), QStringLiteral("0"),
                        QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp")});
        if (!m_server.waitForReadyRead(10000)) {
            m_missing = QStringLiteral("a running Xvfb");
            return;
        }
        m_display = QLatin1Char(':') + QString::fromLatin1(m_server.readLine().trimmed());
        if (windowManager) {
            m_manager.setProcessEnvironment(environment());
            m_manager.start(QStringLiteral("jwm"), {});
            // A manager announces itself on the root window once it runs.
            waitFor([this] {
                return tool(QStringLiteral("xprop"),
                            {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                    .contains(QStringLiteral("window id"));
            });
        }
    }
    ~X11Session() {
        for (QProcess* process : {&m_program, &m_manager, &m_server}) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    }
    X11Session(const X11Session&) = delete;
    X11Session& operator=(const X11Session&) = delete;

    // The tool that is missing, or empty when the session runs.
    const QString& missing() const { return m_missing; }

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), m_display);
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        return env;
    }

    // Runs a tool on the display; its output, trimmed.
    QString tool(const QString& program, const QStringList& arguments) const {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(program, arguments);
        process.waitForFinished(10000);
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }

    // Starts the window program with its own settings file and drive table.
    void startProgram(const QString& registry, const QString& drives) {
        QProcessEnvironment env = environment();
        env.insert(QStringLiteral("DIVIDRA_REGISTRY"), registry);
        env.insert(QStringLiteral("DIVIDRA_DRIVES"), drives);
        m_program.setProcessEnvironment(env);
        m_program.start(QStringLiteral(DIVIDRA_WINDOW_PROGRAM), {});
    }
    bool waitForProgramEnd() { return m_program.waitForFinished(20000); }

    // The id of the visible window called exactly `name`, or empty when none shows in time.
    QString waitForWindow(const QString& name) const {
        QString id;
        waitFor([&] {
            id = tool(QStringLiteral("xdotool"),
                      {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                       QStringLiteral("--name"), QLatin1Char('^') + name + QLatin1Char('$')})
                     .section(QLatin1Char('\n'), 0, 0);
            return !id.isEmpty();
        });
        return id;
    }

    // Types keys (xdotool names) into the window after giving it the focus.
    void keys(const QString& window, const QStringList& keys) const {
        tool(QStringLiteral("xdotool"),
             {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
        tool(QStringLiteral("xdotool"), QStringList{QStringLiteral("key")} + keys);
    }

    // The caption a window manager shows: Qt writes the decorated one in _NET_WM_NAME.
    QString caption(const QString& window) const {
        const QString line = tool(QStringLiteral("xprop"),
                                  {QStringLiteral("-id"), window, QStringLiteral("_NET_WM_NAME")});
        const auto match = QRegularExpression(QStringLiteral("= \"(.*)\"$")).match(line);
        return match.hasMatch() ? match.captured(1) : line;
    }

    // The outer bounds of a window: its client area and the frame the window manager reports.
    QRect frame(const QString& window) const {
        const QString info = tool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window});
        const auto number = [&](const char* label) {
            const QRegularExpression line(QString::fromLatin1(label) +
                                          QStringLiteral(":\\s+(-?\\d+)"));
            return line.match(info).captured(1).toInt();
        };
        QRect client(number("Absolute upper-left X"), number("Absolute upper-left Y"),
                     number("Width"), number("Height"));
        const QString extents =
            tool(QStringLiteral("xprop"),
                 {QStringLiteral("-id"), window, QStringLiteral("_NET_FRAME_EXTENTS")});
        const auto sides =
            QRegularExpression(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)")).match(extents);
        if (sides.hasMatch()) {
            client.adjust(-sides.captured(1).toInt(), -sides.captured(3).toInt(),
                          sides.captured(2).toInt(), sides.captured(4).toInt());
        }
        return client;
    }

    // Waits until `done` holds, for up to 20 s; whether it did.
    template <class Done> static bool waitFor(Done done) {
        const QDeadlineTimer deadline(20000);
        while (!done()) {
            if (deadline.hasExpired()) {
                return false;
            }
            QThread::msleep(100);
        }
        return true;
    }

    QString m_missing;
    QString m_display;
    QProcess m_server;
    QProcess m_manager;
    QProcess m_program;
};

} // namespace dividra::ui::test
