#include "toolkit/WindowAttention.h"

#include "platform/Hook.h"
#include "toolkit/UrgencyHint.h"

#include <QApplication>
#include <QWidget>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace dividra::toolkit {
namespace {

void desktopAttention(QWidget& window, bool wanted) {
    // Qt withdraws the attention state itself once the window is activated.
    if (wanted) {
        QApplication::alert(&window);
    }
    SetUrgencyHint(window, wanted);
}

Hook<void(QWidget&, bool)> g_attention(desktopAttention);

} // namespace

void RequestAttention(QWidget& window, bool wanted) {
    g_attention(window, wanted);
}

AttentionHook SetAttentionHook(AttentionHook hook) {
    return g_attention.set(std::move(hook));
}

} // namespace dividra::toolkit
