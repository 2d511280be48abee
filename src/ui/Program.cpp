#include "ui/Program.h"

#include "platform/DriveTable.h"
#include "platform/PosixFileSystem.h"
#include "toolkit/QtMessageBoxes.h"
#include "ui/Main.h"
#include "ui/Pictures.h"
#include "util/Version.h"

#include <QApplication>
#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <ostream>
#include <utility>

namespace dividra::ui {
namespace {

constexpr char kUsage[] =
    "Usage: dividra [FILE]\n"
    "Splits a large file into numbered segments on a series of diskettes or in a folder, with\n"
    "a descriptor file beside them. FILE, when given, is picked in the window's file list.\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "Environment: DIVIDRA_DRIVES, the drive table (\"a=/media/floppy,removable;c=/,fixed\");\n"
    "DIVIDRA_REGISTRY, the settings file. Without a display, use dividra-cli.\n";

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

// Qt ends the program with an abort when no display opens; while the application is made,
// messages are held, and that fatal one becomes the program's own line and exit status.
QList<HeldMessage>& heldMessages() {
    static QList<HeldMessage> held;
    return held;
}

void holdDuringStart(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", NoDisplayMessage().c_str());
        std::_Exit(1);
    }
    heldMessages().append({type, QByteArray(context.category), text});
}

std::unique_ptr<QApplication> makeApplication(int& argc, char* argv[]) {
    const QtMessageHandler previous = qInstallMessageHandler(holdDuringStart);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    for (const HeldMessage& message : std::exchange(heldMessages(), {})) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        qt_message_output(message.type, context, message.text);
    }
    // No display name: Qt would add it to every caption, and captions are the design's alone.
    QApplication::setApplicationName(QStringLiteral("Dividra"));
    QApplication::setApplicationVersion(
        QString::fromUtf8(kProductVersion.data(), static_cast<qsizetype>(kProductVersion.size())));
    QApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
    QApplication::setWindowIcon(PictureIcon(Picture::ProgramIcon));
    return application;
}

} // namespace

std::optional<int> AnswerInformationArguments(const std::vector<std::string>& arguments,
                                              std::ostream& out) {
    if (arguments.size() != 1 || (arguments[0] != "--help" && arguments[0] != "--version")) {
        return std::nullopt;
    }
    if (arguments[0] == "--help") {
        out << kUsage;
    } else {
        out << "dividra " << kProductVersion << "\n";
    }
    out.flush();
    return out ? 0 : 1;
}

std::string NoDisplayMessage() {
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const auto set = [](const char* value) { return value != nullptr && *value != '\0'; };
    std::string why = "neither DISPLAY nor WAYLAND_DISPLAY is set";
    if (set(wayland)) {
        why = std::string("can't connect to WAYLAND_DISPLAY=") + wayland;
    } else if (set(display)) {
        why = std::string("can't connect to DISPLAY=") + display;
    }
    return "dividra: no display to show the window on (" + why +
           "); from a terminal, use dividra-cli";
}

int RunWindowProgram(int argc, char* argv[], platform::FileSystem& fs) {
    const auto application = makeApplication(argc, argv);
    toolkit::QtMessageBoxesInstaller boxes;
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    TFrmMain window(fs, arguments);
    window.show();
    return QApplication::exec();
}

} // namespace dividra::ui
