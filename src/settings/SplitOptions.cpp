#include "settings/SplitOptions.h"

#include "settings/StoredOptions.h"

#include <utility>

namespace dividra {

bool StoredSplitOptions::minimizeWhileSplitting(bool toFloppy) const {
    return toFloppy ? ReadFloppyOptions().minimizeWhileSplitting
                    : ReadHardDriveOptions().minimizeWhileSplitting;
}

std::optional<std::string> StoredSplitOptions::nextDisketteSound() const {
    FloppyOptions floppy = ReadFloppyOptions();
    return floppy.nextDiskettePlaySound ? std::optional(std::move(floppy.nextDisketteSound))
                                        : std::nullopt;
}

bool StoredSplitOptions::flashForNextDiskette() const {
    return ReadFloppyOptions().nextDisketteFlash;
}

std::optional<std::string> StoredSplitOptions::splitFinishedSound() const {
    GeneralOptions general = ReadGeneralOptions();
    return general.splitFinishedPlaySound ? std::optional(std::move(general.splitFinishedSound))
                                          : std::nullopt;
}

bool StoredSplitOptions::showSplitFinished() const {
    return ReadGeneralOptions().splitFinishedMessage;
}

} // namespace dividra
