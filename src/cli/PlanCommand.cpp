#include "cli/PlanCommand.h"

#include "cli/Cli.h"
#include "cli/CommandLineFiles.h"
#include "core/SegmentPlan.h"
#include "platform/DriveTable.h"
#include "platform/PosixFileSystem.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "util/Global.h"

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
    PlanArguments parsed;
    bool haveSource = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--size") {
            if (i + 1 == arguments.size()) {
                return Error{ErrorCode::InvalidArgument, "plan: --size needs a value"};
            }
            parsed.size = arguments[++i];
        } else if (argument.starts_with("--size=")) {
            parsed.size = argument.substr(7);
        } else if (argument.starts_with("-") && argument != "-") {
            return Error{ErrorCode::InvalidArgument, "plan: unknown option \"" + argument + "\""};
        } else if (haveSource) {
            return Error{ErrorCode::InvalidArgument,
                         "plan: unexpected argument \"" + argument + "\""};
        } else {
            parsed.source = argument;
            haveSource = true;
        }
    }
    if (!haveSource) {
        return Error{ErrorCode::InvalidArgument, "plan: missing SOURCE file"};
    }
    return parsed;
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
    return FileSize(fs, dosPath.value());
}

} // namespace

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
        return kExitBadInput;
    }
    const std::int64_t segmentBytes = std::int64_t{kilobytes.value()} * 1024;
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
