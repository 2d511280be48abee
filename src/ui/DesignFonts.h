#pragma once

#include <QFont>

class QWidget;

// The fonts the windows were designed with, and what stands in for them where they are missing.
namespace dividra::ui {

// "MS Sans Serif" at a pixel height, else the metric-compatible Liberation Sans, else Arial.
QFont SansSerifFont(int pixels);
// "Arial" at a pixel height, else Liberation Sans.
QFont ArialFont(int pixels, bool bold = false);

// Moves a window so that it stands in the middle of the primary screen.
void CentreOnScreen(QWidget& window);

} // namespace dividra::ui
