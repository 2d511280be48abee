#pragma once

class QWidget;

// The X11 urgency hint (WM_HINTS), which X11 window managers honour where they ignore the
// attention state. CMake builds the xcb implementation where xcb is installed, else one that
// does nothing; off X11 the xcb one does nothing either.
namespace dividra::toolkit {

void SetUrgencyHint(QWidget& window, bool urgent);

} // namespace dividra::toolkit
