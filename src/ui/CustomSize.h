#pragma once

#include <QString>

class QLineEdit;

// The segment size list's custom entry and its size field, as the main window and the options
// dialog share them.
namespace dividra::ui {

// The list entry that takes the size typed in the field: "Custom".
QString customSegmentEntry();

// Leaving the custom size field: an empty text or a size below the least becomes the least, one
// above the greatest the greatest; a size in range stays as typed.
void keepCustomSizeInRange(QLineEdit* field);

} // namespace dividra::ui
