#include "cli/SplitCommandLine.h"

#include "cli/Cli.h"
#include "cli/CommandLineFiles.h"
#include "cli/HostPaths.h"
#include "cli/Interrupt.h"
#include "cli/SplitArguments.h"
#include "cli/TerminalHost.h"
#include "cli/TerminalMessageBoxes.h"
#include "core/set/SegmentPath.h"
#include "core/split/DriveRules.h"
#include "core/split/SegmentPlan.h"
#include "core/split/SplitCommand.h"
#include "core/split/SplitMessages.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "settings/SplitOptions.h"
#include "settings/StoredOptions.h"
#include "util/MessageBoxes.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <utility>

namespace dividra::cli {
namespace {

Error usageError(const std::string& message) {
    return Error{ErrorCode::InvalidArgument, "split: " + message};
}

// The floppy part of the inputs: DRIVE must be a letter of the drive table that takes
// diskettes. With no such drive at all, an unknown letter is left to the engine, which tells
// that this system has no floppy drives, as the window does.
Status addFloppy(core::SplitRequest& inputs, const SplitArguments& parsed,
                 const platform::DriveTable& table) {
    const std::string& text = *parsed.floppy;
    const char letter = text.size() == 2 && text[1] == ':' ? platform::driveLetter(text[0]) : 0;
    if (letter == 0) {
        return usageError("bad drive \"" + text + "\"; give a drive letter and colon, such as a:");
    }
    const platform::DriveEntry* drive = table.find(letter);
    const bool anyFloppy = std::any_of(
        table.entries().begin(), table.entries().end(),
        [](const platform::DriveEntry& entry) { return core::TakesDiskettes(entry.type); });
    if (drive == nullptr && anyFloppy) {
        return usageError("there is no drive " + std::string(1, letter) + ": in the drive table");
    }
    if (drive != nullptr) {
        if (const auto refusal = core::NotADisketteDriveText(drive->letter, drive->type)) {
            return usageError(*refusal);
        }
    }
    inputs.destination = core::Destination::Floppy;
    inputs.floppyDriveAvailable = anyFloppy;
    inputs.floppyDrive = std::string(1, letter) + ":";
    inputs.eraseDiskettes =
        parsed.erase ? *parsed.erase == "--erase" : ReadFloppyOptions().eraseDiskettes;
    return {};
}

Status addFolder(core::SplitRequest& inputs, const std::string& folder,
                 const platform::FileSystem& fs) {
    const auto dosPath = ExistingDosPath(fs, folder, EntryKind::Folder);
    if (!dosPath) {
        return dosPath.error();
    }
    inputs.destination = core::Destination::HardDrive;
    inputs.destinationDrive = dosPath.value().front();
    inputs.destinationFolder = dosPath.value();
    return {};
}

// The source's paths, extension and size, as the window's source panel holds them.
Status addSource(core::SplitRequest& inputs, const std::string& source, platform::FileSystem& fs) {
    const auto dosPath = ExistingDosPath(fs, source, EntryKind::File);
    if (!dosPath) {
        return dosPath.error();
    }
    const auto size = FileSize(fs, dosPath.value());
    if (!size) {
        return Error{size.error().code, HostPathNotes(fs, {}).annotate(size.error().message)};
    }
    const auto longPath = fs.longPath(dosPath.value());
    inputs.sourceLongPath = longPath ? longPath.value() : dosPath.value();
    const auto shortPath = fs.shortPath(inputs.sourceLongPath);
    inputs.sourceShortPath = shortPath ? shortPath.value() : inputs.sourceLongPath;
    const std::string_view name = core::FileNamePart(inputs.sourceLongPath);
    const auto dot = name.rfind('.');
    inputs.sourceExtension = dot == std::string_view::npos ? "" : std::string(name.substr(dot));
    inputs.sourceSize = size.value();
    return {};
}

int exitStatus(core::SplitOutcome outcome) {
    switch (outcome) {
    case core::SplitOutcome::Completed:
        return kExitOk;
    case core::SplitOutcome::Cancelled:
        return kExitCancelled;
    case core::SplitOutcome::Refused:
    case core::SplitOutcome::Failed:
        break;
    }
    return kExitFailed;
}

} // namespace

std::string SplitUsage() {
    return "Usage: dividra-cli split SOURCE --to FOLDER [--size SIZE | --pieces N]\n"
           "                         [--flush=segment|buffer] [--dos-names|--long-names]\n"
           "                         [--checksums] [--recovery N]\n"
           "  or:  dividra-cli split SOURCE --floppy DRIVE [--erase|--no-erase]\n"
           "                         [--dos-names|--long-names] [--checksums] [--recovery N]\n"
           "Split SOURCE, of any size, into numbered segments (name.000, name.001, ...) with\n"
           "a .kpn descriptor: segment files of SIZE in an existing FOLDER, or diskettes in\n"
           "DRIVE, one segment filling each diskette's free space.\n"
           "\n"
           "  --to FOLDER     write the segments into FOLDER (999 segments at the most)\n"
           "  --floppy DRIVE  write onto diskettes in DRIVE: a removable, remote or ramdisk\n"
           "                  drive of the drive table (see dividra-cli drives)\n"
           "  --size SIZE     segment size: a number of kilobytes (1420, 350) or a number\n"
           "                  with a unit, K, M or G in either case (64K, 700M, 1G); at\n"
           "                  least 1K and below 4G, the most FAT32 holds\n"
           "  --pieces N      N segments of equal size, the last one shorter (1 to 999);\n"
           "                  refused when SOURCE has fewer than N bytes, can't make\n"
           "                  exactly N (10 bytes make 5 pieces of 2, not 6), or would\n"
           "                  need segments of 4G or more\n"
           "  --flush=segment force each segment to the disk once it is complete, then the\n"
           "                  descriptor and the folder (the default for --to)\n"
           "  --flush=buffer  force every 48 KB buffer to the disk before the next is read,\n"
           "                  as the window does; diskettes always do\n"
           "  --dos-names     name the segments after the 8.3 name of SOURCE\n"
           "  --long-names    name the segments after the long name of SOURCE\n"
           "  --erase         empty each diskette before it is written\n"
           "  --no-erase      keep what is on the diskettes\n"
           "  --checksums     also write name.sha256 beside the descriptor: a SHA-256 line\n"
           "                  per segment and one for SOURCE, as sha256sum -c reads them;\n"
           "                  join and verify check them\n"
           "  --recovery N    also write recovery volumes in the PAR2 format beside the\n"
           "                  descriptor (name.par2, name.volA+B.par2), so that any N\n"
           "                  segments may be lost or damaged and be rebuilt, by dividra-cli\n"
           "                  repair or by par2 repair; they take about N segments of\n"
           "                  space (1 to the number of segments); on diskettes, name.par2\n"
           "                  goes with the descriptor and the volumes on the diskettes\n"
           "                  after it, taken in a second pass over SOURCE\n"
           "  --help          show this text\n"
           "\n"
           "Without --size or --pieces, a naming switch or an erase switch, the options\n"
           "decide. Questions are asked on stderr: answer ok or cancel, yes or no (the\n"
           "first letter will do; an empty line picks the first). Ctrl-C stops the split:\n"
           "the segments written stay, and no descriptor is written over them.\n"
           "Exit status: 0 split done, 1 refused or failed, 2 bad usage, 3 cancelled.\n";
}

Result<core::SplitRequest> SplitInputsFromArguments(const std::vector<std::string>& arguments,
                                                    const CliContext& context) {
    platform::FileSystem& fs = context.fs;
    const auto parsed = ReadSplitArguments(arguments);
    if (!parsed) {
        return parsed.error();
    }
    const SplitArguments& args = parsed.value();
    core::SplitRequest inputs;
    const Status destination =
        args.floppy ? addFloppy(inputs, args, context.drives) : addFolder(inputs, *args.folder, fs);
    if (!destination) {
        return destination.error();
    }
    if (const Status source = addSource(inputs, *args.source, fs); !source) {
        return source.error();
    }
    const auto segmentBytes = SegmentBytesFor(args.segments, inputs.sourceSize);
    if (!segmentBytes) {
        return usageError(segmentBytes.error().message);
    }
    inputs.dosNames =
        args.naming ? *args.naming == "--dos-names" : ReadGeneralOptions().splitFiles83Format;
    inputs.segmentBytes = segmentBytes.value();
    inputs.segmentSizeShown = SegmentSizeText(segmentBytes.value());
    inputs.segmentCount = core::SegmentCount(inputs.sourceSize, segmentBytes.value());
    inputs.flush = args.flush;
    inputs.largeSources = true;
    inputs.checksums = args.checksums;
    inputs.recovery = args.recovery;
    if (!args.floppy && inputs.recovery > inputs.segmentCount) {
        return usageError("--recovery " + std::to_string(inputs.recovery) + ": " + *args.source +
                          " makes " + std::to_string(inputs.segmentCount) +
                          " segments; give 1 to that count");
    }
    return inputs;
}

int RunSplit(const CliContext& context, const std::vector<std::string>& arguments, std::istream& in,
             std::ostream& out, std::ostream& err, bool showProgress) {
    if (const Status ready = context.ready(); !ready) {
        err << "dividra-cli: " << ready.error().message << "\n";
        return ExitStatusOf(ready.error());
    }
    platform::FileSystem& fs = context.fs;
    auto inputs = SplitInputsFromArguments(arguments, context);
    if (!inputs) {
        err << "dividra-cli: " << inputs.error().message << "\n";
        return ExitStatusOf(inputs.error());
    }
    const core::SplitRequest& request = inputs.value();
    TerminalHost host(request, fs, err, showProgress);
    TerminalMessageBoxes boxes(in, out, err, [&host] { host.endProgressLine(); });
    const ScopedMessageBoxProvider scope(boxes);
    if (core::OnRemovableDrive(fs, request.sourceLongPath)) {
        // A refusal here, where the window shows it as information.
        err << "dividra-cli: " << core::text::kRemovableSourceMessage << "\n";
        return kExitFailed;
    }
    // Ctrl-C ends the split as a failure does: segments kept, no descriptor.
    const ScopedInterruptFlag interrupts;
    const StoredSplitOptions options;
    const core::SplitOutcome outcome =
        core::EndSplit(host, core::RunSplit(host, fs, options, request));
    host.endProgressLine();
    return exitStatus(outcome);
}

} // namespace dividra::cli
