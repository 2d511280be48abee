#include "util/KeyFilter.h"

#include "util/MessageBoxes.h"

#include <mutex>
#include <utility>

namespace dividra {
namespace {

constexpr char Backspace = 0x08;

std::mutex g_beepMutex;
BeepHook g_beepHook;

} // namespace

BeepHook SetBeepHook(BeepHook hook) {
    const std::lock_guard lock(g_beepMutex);
    return std::exchange(g_beepHook, std::move(hook));
}

void MessageBeep(unsigned type) {
    BeepHook hook;
    {
        // Run it unlocked, so a hook may swap hooks.
        const std::lock_guard lock(g_beepMutex);
        hook = g_beepHook;
    }
    if (hook) {
        hook(type);
    }
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
