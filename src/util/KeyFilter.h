#pragma once

#include <functional>

// Keystroke filtering for the numeric edit fields, and the beep it sounds on a refused key.
namespace dividra {

// Called with the sound type (MB_ICONEXCLAMATION, ...). Empty: beeps are silent.
using BeepHook = std::function<void(unsigned type)>;

// Installs the hook every beep goes through and returns the previous one (see platform/Hook.h). By
// default there is none; the window installs the desktop's beep.
BeepHook SetBeepHook(BeepHook hook);

// Sounds a beep of that type through the hook.
void MessageBeep(unsigned type);

// Lets a digit '0'..'9' or backspace (0x08) through unchanged. Any other character, control
// characters included, beeps (MB_ICONEXCLAMATION) and becomes 0 in `key`, so the edit drops it.
// Returns `key` as filtered.
char FilterNumericKey(char& key);

} // namespace dividra
