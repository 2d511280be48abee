#include "ui/Main.h"
#include "platform/DriveTable.h"
#include "platform/PosixFileSystem.h"
#include "platform/StandardStreams.h"
#include "toolkit/QtMessageBoxes.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    dividra::platform::ReopenClosedStandardStreams();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Dividra"));
    QApplication::setApplicationDisplayName(QStringLiteral("Dividra"));
    auto drives = dividra::platform::DriveTable::fromEnvironment();
    if (!drives) {
        std::fprintf(stderr, "dividra: %s\n", drives.error().message.c_str());
        return 2;
    }
    dividra::platform::PosixFileSystem fs(std::move(drives).value());
    dividra::toolkit::QtMessageBoxesInstaller boxes;
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    dividra::ui::TFrmMain window(fs, arguments);
    window.show();
    return QApplication::exec();
}
