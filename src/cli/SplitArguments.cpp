#include "cli/SplitArguments.h"

#include "cli/CommandOptions.h"

namespace dividra::cli {
namespace {

Error usageError(const std::string& message) {
    return Error{ErrorCode::InvalidArgument, "split: " + message};
}

// Records one of a pair of switches that exclude each other.
Status setSwitch(std::optional<std::string>& slot, const std::string& argument,
                 std::string_view pair) {
    if (slot && *slot != argument) {
        return usageError(std::string(pair) + " exclude each other");
    }
    slot = argument;
    return {};
}

Status readSwitches(SplitArguments& split, const std::vector<std::string>& switches) {
    for (const std::string& name : switches) {
        if (name == "--checksums") {
            split.checksums = true;
            continue;
        }
        const bool naming = name == "--dos-names" || name == "--long-names";
        const Status status = naming ? setSwitch(split.naming, name, "--dos-names and --long-names")
                                     : setSwitch(split.erase, name, "--erase and --no-erase");
        if (!status) {
            return status;
        }
    }
    return {};
}

// --flush: forcing every buffer to the medium, or every file once it is complete.
Status readFlush(SplitArguments& split, const CommandArguments& given) {
    const auto flush = ValueOf(given, "--flush");
    if (!flush || *flush == "segment") {
        split.flush = split.floppy ? core::FlushPolicy::Buffer : core::FlushPolicy::Segment;
    } else if (*flush == "buffer") {
        split.flush = core::FlushPolicy::Buffer;
    } else {
        return usageError("bad --flush value \"" + *flush + "\"; give buffer or segment");
    }
    if (flush == "segment" && split.floppy) {
        return usageError("--flush=segment goes with --to; diskettes flush every buffer");
    }
    return {};
}

// --recovery N: 1 to 999 segments' worth of recovery data.
Status readRecovery(SplitArguments& split, const CommandArguments& given) {
    const auto recovery = ValueOf(given, "--recovery");
    if (!recovery) {
        return {};
    }
    const std::string& text = *recovery;
    const bool digits = !text.empty() && text.size() <= 3 &&
                        text.find_first_not_of("0123456789") == std::string::npos;
    split.recovery = digits ? std::stoi(text) : 0;
    if (split.recovery < 1) {
        return usageError("bad --recovery value \"" + text + "\"; give 1 to 999 segments");
    }
    return {};
}

Status checkDestination(const SplitArguments& split, const CommandArguments& given) {
    if (!split.source) {
        return usageError("missing SOURCE file");
    }
    if (split.folder && split.floppy) {
        return usageError("--to and --floppy exclude each other");
    }
    if (!split.folder && !split.floppy) {
        return usageError("missing destination; give --to FOLDER or --floppy DRIVE");
    }
    for (const char* option : {"--size", "--pieces"}) {
        if (split.floppy && ValueOf(given, option)) {
            return usageError(std::string(option) + " goes with --to, not with --floppy");
        }
    }
    if (split.folder && split.erase) {
        return usageError(*split.erase + " goes with --floppy, not with --to");
    }
    return {};
}

} // namespace

Result<SplitArguments> ReadSplitArguments(const std::vector<std::string>& arguments) {
    const OptionRules rules{
        {"--to", "--floppy", "--size", "--pieces", "--flush", "--recovery"},
        {"--dos-names", "--long-names", "--erase", "--no-erase", "--checksums"}};
    const auto parsed = ParseCommandArguments("split", arguments, rules);
    if (!parsed) {
        return parsed.error();
    }
    const CommandArguments& given = parsed.value();
    if (given.operands.size() > 1) {
        return usageError("unexpected argument \"" + given.operands[1] + "\"");
    }
    SplitArguments split;
    if (!given.operands.empty()) {
        split.source = given.operands.front();
    }
    split.folder = ValueOf(given, "--to");
    split.floppy = ValueOf(given, "--floppy");
    if (const Status switches = readSwitches(split, given.switches); !switches) {
        return switches.error();
    }
    if (const Status destination = checkDestination(split, given); !destination) {
        return destination.error();
    }
    if (const Status flush = readFlush(split, given); !flush) {
        return flush.error();
    }
    if (const Status recovery = readRecovery(split, given); !recovery) {
        return recovery.error();
    }
    const auto segments = ReadSegmentRequest(given);
    if (!segments) {
        return usageError(segments.error().message);
    }
    split.segments = segments.value();
    return split;
}

} // namespace dividra::cli
