#pragma once

#include "cli/SegmentSize.h"
#include "core/split/SplitHost.h"
#include "platform/Result.h"

#include <optional>
#include <string>
#include <vector>

// What a split command line says, checked for usage alone: no file is looked at yet.
namespace dividra::cli {

struct SplitArguments {
    std::optional<std::string> source;
    std::optional<std::string> folder; // --to
    std::optional<std::string> floppy; // --floppy
    SegmentRequest segments;           // --size, --pieces or the stored size
    core::FlushPolicy flush = core::FlushPolicy::Segment;
    std::optional<std::string> naming; // "--dos-names" or "--long-names"
    std::optional<std::string> erase;  // "--erase" or "--no-erase"
    bool checksums = false;            // --checksums
    int recovery = 0;                  // --recovery N: segments that may be lost
};

// The arguments of "split" read and checked together: one destination, and only the options
// that go with it. --flush defaults to segment for a folder and is buffer for diskettes, which
// refuse segment. Errors are InvalidArgument, their message "split: ..." for the user.
Result<SplitArguments> ReadSplitArguments(const std::vector<std::string>& arguments);

} // namespace dividra::cli
