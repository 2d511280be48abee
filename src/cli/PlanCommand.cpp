#include "cli/PlanCommand.h"

#include "cli/Cli.h"
#include "cli/CommandLineFiles.h"
#include "cli/CommandOptions.h"
#include "cli/HostPaths.h"
#include "cli/SegmentSize.h"
#include "core/split/SegmentPlan.h"
#include "platform/DriveTable.h"
#include "platform/FileSystem.h"

#include <ostream>
#include <utility>

namespace dividra::cli {
namespace {

struct PlanArguments {
    std::string source;
    SegmentRequest segments;
};

Result<PlanArguments> parseArguments(const std::vector<std::string>& arguments) {
    const auto parsed = ParseCommandArguments("plan", arguments, {{"--size", "--pieces"}, {}});
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
    const auto segments = ReadSegmentRequest(parsed.value());
    if (!segments) {
        return Error{ErrorCode::InvalidArgument, "plan: " + segments.error().message};
    }
    return PlanArguments{operands.front(), segments.value()};
}

// The source's size through the same DOS view the window uses.
Result<std::int64_t> sourceSize(const CliContext& context, const std::string& hostPath) {
    if (const Status ready = context.ready(); !ready) {
        return ready.error();
    }
    platform::FileSystem& fs = context.fs;
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
    return "Usage: dividra-cli plan SOURCE [--size SIZE | --pieces N]\n"
           "Show the size of SOURCE, the segment size in bytes, the number of segments of a\n"
           "split to a folder and the number of diskettes of each common kind a split to\n"
           "diskettes takes, one \"name: value\" line each.\n"
           "\n"
           "  --size SIZE  segment size: a number of kilobytes (1420, 350) or a number with\n"
           "               a unit, K, M or G in either case (64K, 700M, 1G); at least 1K\n"
           "               and below 4G, the most FAT32 holds. Without it (or --pieces),\n"
           "               the default segment size of the options\n"
           "  --pieces N   N segments of equal size, the last one shorter (1 to 999);\n"
           "               refused when SOURCE has fewer than N bytes, can't make exactly\n"
           "               N, or would need segments of 4G or more\n"
           "  --help       show this text\n";
}

int RunPlan(const CliContext& context, const std::vector<std::string>& arguments, std::ostream& out,
            std::ostream& err) {
    const auto parsed = parseArguments(arguments);
    if (!parsed) {
        err << "dividra-cli: " << parsed.error().message << "\n";
        return kExitBadInput;
    }
    const auto size = sourceSize(context, parsed.value().source);
    if (!size) {
        err << "dividra-cli: " << size.error().message << "\n";
        return ExitStatusOf(size.error());
    }
    const auto segmentBytes = SegmentBytesFor(parsed.value().segments, size.value());
    if (!segmentBytes) {
        err << "dividra-cli: plan: " << segmentBytes.error().message << "\n";
        return kExitBadInput;
    }
    out << "source size: " << size.value() << "\n"
        << "segment size: " << segmentBytes.value() << "\n"
        << "segments: " << core::SegmentCount(size.value(), segmentBytes.value()) << "\n";
    for (const auto& kind : core::kDisketteKinds) {
        out << "diskettes " << kind.name << ": " << core::DisketteCount(size.value(), kind.capacity)
            << "\n";
    }
    return kExitOk;
}

} // namespace dividra::cli
