#include "util/KeyFilter.h"

#include "platform/Hook.h"
#include "util/MessageBoxes.h"

#include <utility>

namespace dividra {
namespace {

constexpr char Backspace = 0x08;

Hook<void(unsigned)> g_beepHook; // silent until the window installs the desktop's beep

} // namespace

BeepHook SetBeepHook(BeepHook hook) {
    return g_beepHook.set(std::move(hook));
}

void MessageBeep(unsigned type) {
    g_beepHook(type);
}

char FilterNumericKey(char& key) {
    if ((key >= '0' && key <= '9') || key == Backspace) {
        return key;
    }
    MessageBeep(MB_ICONEXCLAMATION);
    key = 0;
    return key;
}

} // namespace dividra
