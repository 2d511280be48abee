#pragma once

#include <functional>

class QWidget;

// Drawing the user to a window in the background: its taskbar entry or frame blinks.
namespace dividra::toolkit {

// Asks for the user's attention (`wanted`) or withdraws the request: the attention state
// (QApplication::alert) and, on X11, the WM_HINTS urgency hint that managers such as jwm blink
// on, though they ignore the former. Elsewhere the hint is left alone.
void RequestAttention(QWidget& window, bool wanted);

// The seam for RequestAttention, following platform/Hook.h; the fallback is the desktop's.
using AttentionHook = std::function<void(QWidget&, bool)>;
AttentionHook SetAttentionHook(AttentionHook hook);

} // namespace dividra::toolkit
