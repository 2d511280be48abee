#pragma once

#include "core/split/SplitHost.h"
#include "settings/SplitOptions.h"

// The sounds, flashing and message that tell the user a split needs or has their attention.
// Each asks its options at the moment of use.
namespace dividra::core {

// Before every diskette prompt: the next-diskette sound, then, when so set and the program is
// in the background, flashing until the user brings it to the front.
void NotifyNextDiskette(SplitHost& host, const SplitOptions& options);

// The finish sound, when it is on.
void PlaySplitFinishedSound(SplitHost& host, const SplitOptions& options);

// "Split complete!", when it is to be shown; waits for the user to close it.
void ShowSplitFinishedMessage(SplitHost& host, const SplitOptions& options);

} // namespace dividra::core
