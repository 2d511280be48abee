#pragma once

#include "core/split/SplitHost.h"

// The sounds, flashing and message that tell the user a split needs or has their attention.
// Each reads its settings at the moment of use.
namespace dividra::core {

// Before every diskette prompt: the next-diskette sound, then, when so set and the program is
// in the background, flashing until the user brings it to the front.
void NotifyNextDiskette(SplitHost& host);

// The finish sound, when "Split Finished Play Sound" is on.
void PlaySplitFinishedSound(SplitHost& host);

// "Split complete!", when "Split Finished Notify By" is 1; waits for the user to close it.
void ShowSplitFinishedMessage(SplitHost& host);

} // namespace dividra::core
