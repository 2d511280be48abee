#include "toolkit/DriveComboBox.h"

#include "platform/DriveTable.h"

#include <QSignalBlocker>
#include <QStyle>

namespace dividra::toolkit {
namespace {

QStyle::StandardPixmap iconOf(platform::DriveType type) {
    switch (type) {
    case platform::DriveType::Removable:
        return QStyle::SP_DriveFDIcon;
    case platform::DriveType::CdRom:
        return QStyle::SP_DriveCDIcon;
    case platform::DriveType::Remote:
        return QStyle::SP_DriveNetIcon;
    default:
        return QStyle::SP_DriveHDIcon;
    }
}

} // namespace

DriveComboBox::DriveComboBox(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::currentIndexChanged, this, &DriveComboBox::noteCurrentDrive);
}

void DriveComboBox::setFileSystem(platform::FileSystem* fileSystem) {
    m_fileSystem = fileSystem;
    refill();
}

void DriveComboBox::refill() {
    {
        const QSignalBlocker blocker(this);
        const char keep = drive();
        clear();
        if (m_fileSystem != nullptr) {
            for (const platform::DriveInfo& info : m_fileSystem->drives()) {
                addItem(style()->standardIcon(iconOf(info.type)), driveText(info));
            }
        }
        int row = keep != 0 ? rowOf(keep) : -1;
        if (row < 0) {
            row = rowOf('c');
        }
        setCurrentIndex(row < 0 && count() > 0 ? 0 : row);
    }
    noteCurrentDrive();
}

char DriveComboBox::drive() const {
    const QString text = currentIndex() < 0 ? QString() : itemText(currentIndex());
    return text.isEmpty() ? 0 : platform::driveLetter(text.at(0).toLatin1());
}

void DriveComboBox::setDrive(char letter) {
    const int row = rowOf(letter);
    if (row >= 0) {
        setCurrentIndex(row);
    }
}

QString DriveComboBox::driveText(const platform::DriveInfo& drive) {
    const QString text =
        QString(QLatin1Char(platform::driveLetter(drive.letter))) + QLatin1Char(':');
    const QString label = QString::fromStdString(drive.label);
    switch (drive.type) {
    case platform::DriveType::Removable:
        return text;
    case platform::DriveType::Remote:
        return label.isEmpty() ? text : text + QLatin1Char(' ') + label;
    default:
        return text + QStringLiteral(" [") + label + QLatin1Char(']');
    }
}

int DriveComboBox::rowOf(char letter) const {
    const char wanted = platform::driveLetter(letter);
    for (int row = 0; wanted != 0 && row < count(); ++row) {
        const QString text = itemText(row);
        if (!text.isEmpty() && platform::driveLetter(text.at(0).toLatin1()) == wanted) {
            return row;
        }
    }
    return -1;
}

void DriveComboBox::noteCurrentDrive() {
    const char now = drive();
    if (now == m_drive) {
        return;
    }
    m_drive = now;
    if (now != 0) {
        emit driveChanged(now);
    }
}

} // namespace dividra::toolkit
