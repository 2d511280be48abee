#include "toolkit/UrgencyHint.h"

namespace dividra::toolkit {

// Built where xcb isn't: no X11 window manager to tell.
void SetUrgencyHint(QWidget&, bool) {}

} // namespace dividra::toolkit
