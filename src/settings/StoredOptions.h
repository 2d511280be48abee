#pragma once

#include "settings/SegmentSizeSetting.h"

#include <cstdint>
#include <string>

// The options the window, the options dialog and the terminal share, typed, each read by its
// one rule with its one default: a switch is on only when its DWORD is exactly 1 ("Destination
// Media" is the hard drive for any value but 0), a text is empty when missing. Each reader
// reads the store when called, so the values are those of that moment.
namespace dividra {

struct GeneralOptions {
    bool destinationHardDrive = false;
    bool splitFinishedMessage = false;
    bool splitFinishedPlaySound = false;
    std::string splitFinishedSound;
    bool splitFiles83Format = false;
};

struct SourceFileOptions {
    std::string folder;
    bool showFileIcons = false;
};

struct FloppyOptions {
    std::string drive; // as the drive list shows it, "A:"; empty for none stored
    bool eraseDiskettes = false;
    bool nextDisketteFlash = false; // else a message
    bool nextDiskettePlaySound = false;
    std::string nextDisketteSound;
    bool minimizeWhileSplitting = false;
};

struct HardDriveOptions {
    std::string destinationFolder;
    StoredSegmentSize segmentSize;
    bool minimizeWhileSplitting = false;
};

// One file type of the source list: its name ("Zip Files") and extension ("zip").
struct StoredFilter {
    std::string name;
    std::string extension;
};

GeneralOptions ReadGeneralOptions();
// "Filter Count" as stored, whatever it holds (0 when missing), and filter n (1 on).
std::int32_t ReadFilterCount();
StoredFilter ReadFilter(std::int32_t n);
SourceFileOptions ReadSourceFileOptions();
FloppyOptions ReadFloppyOptions();
HardDriveOptions ReadHardDriveOptions();

} // namespace dividra
