#include "cli/PlanCommand.h"

#include "cli/Cli.h"
#include "cli/CommandLineFiles.h"
#include "cli/CommandOptions.h"
#include "cli/HostPaths.h"
#include "core/SegmentPlan.h"
#include "platform/DriveTable.h"
#include "platform/PosixFileSystem.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "util/NumberText.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <utility>

namespace dividra::cli {
namespace {

struct PlanArguments {
    std::string source;
    std::optional<std::string> size; // none: the stored default
};

Result<PlanArguments> parseArguments(const std::vector<std::string>& arguments) {
    const auto parsed = ParseCommandArguments("plan", arguments, {{"--size"}, {}});
    if (!parsed) {
        return parsed.error();
    }
    const std::vector<std::string>& operands = parsed.value().operands;
    if (operands.empty()) {
        return Error{ErrorCode::InvalidArgument, "plan: missing SOURCE file"};
    }
    if (operands.size() > 1) {
        return Error{ErrorCode::InvalidArgument,
                     "plan: unexpected argument \"" + operands[1] + "\""};
    }
    PlanArguments plan{operands.front(), std::nullopt};
    if (const auto size = parsed.value().values.find("--size");
        size != parsed.value().values.end()) {
        plan.size = size->second;
    }
    return plan;
}

// The source's size through the same DOS view the window uses.
Result<std::int64_t> sourceSize(const std::string& hostPath) {
    auto table = platform::DriveTable::fromEnvironment();
    if (!table) {
        return table.error();
    }
    platform::PosixFileSystem fs(std::move(table.value()));
    const auto dosPath = ExistingDosPath(fs, hostPath, EntryKind::File);
    if (!dosPath) {
        return dosPath.error();
    }
    const auto size = FileSize(fs, dosPath.value());
    if (!size) {
        return Error{size.error().code, HostPathNotes(fs, {}).annotate(size.error().message)};
    }
    return size;
}

} // namespace

std::string PlanUsage() {
    return "Usage: dividra-cli plan SOURCE [--size SIZE]\n"
           "Show the size of SOURCE, the segment size in bytes, the number of segments of a\n"
           "split to a folder and the number of diskettes of each common kind a split to\n"
           "diskettes takes, one \"name: value\" line each.\n"
           "\n"
           "  --size SIZE  segment size in kilobytes: 1420, 1180, 710, 350, or 1 to 1024;\n"
           "               without it, the default segment size of the options\n"
           "  --help       show this text\n";
}

std::int32_t StoredSegmentSizeKilobytes() {
    const std::string stored = ReadSettingText(keys::kHardDriveOptions, keys::kDefaultSegmentSize,
                                               keys::kDefaultSegmentSizeDefault);
    const std::string_view entry = core::MatchSegmentSizeEntry(stored);
    if (entry == core::kCustomSegmentEntry) {
        return ReadSettingInt(keys::kHardDriveOptions, keys::kCustomSegmentSize,
                              keys::kCustomSegmentSizeDefault);
    }
    return TextToInt(entry);
}

Result<std::int32_t> ParseSegmentSize(std::string_view text) {
    const bool digitsOnly =
        !text.empty() && text.size() <= 4 &&
        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    const std::int32_t kilobytes = digitsOnly ? TextToInt(text) : 0;
    const bool listed =
        std::find(core::kSegmentSizeListEntries.begin(), core::kSegmentSizeListEntries.end(),
                  IntToText(kilobytes)) != core::kSegmentSizeListEntries.end();
    if (listed ||
        (kilobytes >= core::kMinCustomKilobytes && kilobytes <= core::kMaxCustomKilobytes)) {
        return kilobytes;
    }
    return Error{ErrorCode::InvalidArgument,
                 "bad segment size \"" + std::string(text) +
                     "\"; use 1420, 1180, 710, 350 or a custom size from 1 to 1024"};
}

int RunPlan(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    const auto parsed = parseArguments(arguments);
    if (!parsed) {
        err << "dividra-cli: " << parsed.error().message << "\n";
        return kExitBadInput;
    }
    const auto& sizeText = parsed.value().size;
    const auto kilobytes =
        sizeText ? ParseSegmentSize(*sizeText) : Result<std::int32_t>(StoredSegmentSizeKilobytes());
    if (!kilobytes) {
        err << "dividra-cli: plan: " << kilobytes.error().message << "\n";
        return kExitBadInput;
    }
    const auto size = sourceSize(parsed.value().source);
    if (!size) {
        err << "dividra-cli: " << size.error().message << "\n";
        return ExitStatusOf(size.error());
    }
    const std::int64_t segmentBytes = core::KilobytesToBytes(kilobytes.value());
    out << "source size: " << size.value() << "\n"
        << "segment size: " << segmentBytes << "\n"
        << "segments: " << core::SegmentCount(size.value(), segmentBytes) << "\n";
    for (const auto& kind : core::kDisketteKinds) {
        out << "diskettes " << kind.name << ": " << core::DisketteCount(size.value(), kind.capacity)
            << "\n";
    }
    return kExitOk;
}

} // namespace dividra::cli
