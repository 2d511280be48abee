#pragma once

#include <QString>

// The small drive texts the windows' drive lists share.
namespace dividra::ui {

// "c:\", the root of a drive.
inline QString DriveRoot(char letter) {
    return QString(QLatin1Char(letter)) + QStringLiteral(":\\");
}

// The lower-case drive letter a drive list's text starts with; 0 for an empty text.
inline char FirstLetter(const QString& text) {
    return text.isEmpty() ? 0 : static_cast<char>(text.front().toLower().toLatin1());
}

// What a drive list says when the drive chosen can't be read.
inline QString NotAccessibleMessage(char letter) {
    return DriveRoot(letter) + QStringLiteral(" is not accessible.\n");
}

} // namespace dividra::ui
