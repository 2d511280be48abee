#include "cli/SplitCommandLine.h"

#include "cli/Cli.h"
#include "cli/CommandLineFiles.h"
#include "cli/PlanCommand.h"
#include "cli/TerminalHost.h"
#include "cli/TerminalMessageBoxes.h"
#include "core/SegmentPath.h"
#include "core/SegmentPlan.h"
#include "core/SplitCommand.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "util/Global.h"

#include <optional>
#include <ostream>
#include <utility>

namespace dividra::cli {
namespace {

struct SplitArguments {
    std::optional<std::string> source;
    std::optional<std::string> folder; // --to
    std::optional<std::string> floppy; // --floppy
    std::optional<std::string> size;
    std::optional<std::string> naming; // "--dos-names" or "--long-names"
    std::optional<std::string> erase;  // "--erase" or "--no-erase"
};

Error usageError(const std::string& message) {
    return Error{ErrorCode::InvalidArgument, "split: " + message};
}

// The member a value option fills; nullptr for any other argument.
std::optional<std::string>* valueSlot(SplitArguments& parsed, std::string_view name) {
    if (name == "--to") {
        return &parsed.folder;
    }
    if (name == "--floppy") {
        return &parsed.floppy;
    }
    return name == "--size" ? &parsed.size : nullptr;
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

Result<SplitArguments> parseArguments(const std::vector<std::string>& arguments) {
    SplitArguments parsed;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const auto equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        Status status;
        if (auto* slot = valueSlot(parsed, name)) {
            if (equals == std::string::npos && i + 1 == arguments.size()) {
                return usageError(name + " needs a value");
            }
            *slot = equals == std::string::npos ? arguments[++i] : argument.substr(equals + 1);
        } else if (argument == "--dos-names" || argument == "--long-names") {
            status = setSwitch(parsed.naming, argument, "--dos-names and --long-names");
        } else if (argument == "--erase" || argument == "--no-erase") {
            status = setSwitch(parsed.erase, argument, "--erase and --no-erase");
        } else if (argument.starts_with("-") && argument != "-") {
            return usageError("unknown option \"" + argument + "\"");
        } else if (parsed.source) {
            return usageError("unexpected argument \"" + argument + "\"");
        } else {
            parsed.source = argument;
        }
        if (!status) {
            return status.error();
        }
    }
    return parsed;
}

Status checkCombination(const SplitArguments& parsed) {
    if (!parsed.source) {
        return usageError("missing SOURCE file");
    }
    if (parsed.folder && parsed.floppy) {
        return usageError("--to and --floppy exclude each other");
    }
    if (!parsed.folder && !parsed.floppy) {
        return usageError("missing destination; give --to FOLDER or --floppy DRIVE");
    }
    if (parsed.floppy && parsed.size) {
        return usageError("--size goes with --to, not with --floppy");
    }
    if (parsed.folder && parsed.erase) {
        return usageError(*parsed.erase + " goes with --floppy, not with --to");
    }
    return {};
}

// The floppy part of the inputs: DRIVE must be a letter of the drive table.
Status addFloppy(core::SplitInputs& inputs, const SplitArguments& parsed,
                 const platform::PosixFileSystem& fs) {
    const std::string& text = *parsed.floppy;
    const char letter = text.size() == 2 && text[1] == ':' ? platform::driveLetter(text[0]) : 0;
    if (letter == 0) {
        return usageError("bad drive \"" + text + "\"; give a drive letter and colon, such as a:");
    }
    if (fs.driveTable().find(letter) == nullptr) {
        return usageError("there is no drive " + std::string(1, letter) + ": in the drive table");
    }
    // The window's floppy list keeps these kinds and leaves out fixed and CD drives.
    const auto type = fs.driveType(std::string(1, letter) + ":\\");
    inputs.destination = core::Destination::Floppy;
    inputs.floppyDriveAvailable = type == platform::DriveType::Removable ||
                                  type == platform::DriveType::Remote ||
                                  type == platform::DriveType::RamDisk;
    inputs.floppyDrive = std::string(1, letter) + ":";
    inputs.eraseDiskettes =
        parsed.erase ? *parsed.erase == "--erase"
                     : ReadSettingInt(keys::kFloppyOptions, keys::kEraseDiskettes, 0) == 1;
    return {};
}

Status addFolder(core::SplitInputs& inputs, const std::string& folder,
                 const platform::PosixFileSystem& fs) {
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
Status addSource(core::SplitInputs& inputs, const std::string& source,
                 platform::PosixFileSystem& fs) {
    const auto dosPath = ExistingDosPath(fs, source, EntryKind::File);
    if (!dosPath) {
        return dosPath.error();
    }
    const auto size = FileSize(fs, dosPath.value());
    if (!size) {
        return size.error();
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

Result<core::SplitInputs> SplitInputsFromArguments(const std::vector<std::string>& arguments,
                                                   platform::PosixFileSystem& fs) {
    const auto parsed = parseArguments(arguments);
    if (!parsed) {
        return parsed.error();
    }
    const SplitArguments& args = parsed.value();
    if (const Status combination = checkCombination(args); !combination) {
        return combination.error();
    }
    const auto kilobytes = args.size ? ParseSegmentSize(*args.size)
                                     : Result<std::int32_t>(StoredSegmentSizeKilobytes());
    if (!kilobytes) {
        return usageError(kilobytes.error().message);
    }
    core::SplitInputs inputs;
    const Status destination =
        args.floppy ? addFloppy(inputs, args, fs) : addFolder(inputs, *args.folder, fs);
    if (!destination) {
        return destination.error();
    }
    if (const Status source = addSource(inputs, *args.source, fs); !source) {
        return source.error();
    }
    inputs.dosNames =
        args.naming ? *args.naming == "--dos-names"
                    : ReadSettingInt(keys::kGeneralOptions, keys::kSplitFiles83Format, 0) == 1;
    inputs.segmentSizeText = IntToText(kilobytes.value());
    inputs.segmentCountText = std::to_string(
        core::SegmentCount(inputs.sourceSize, std::int64_t{kilobytes.value()} * 1024));
    inputs.platformKind = "NT";
    return inputs;
}

int RunSplit(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
             std::ostream& err, bool showProgress) {
    auto table = platform::DriveTable::fromEnvironment();
    if (!table) {
        err << "dividra-cli: " << table.error().message << "\n";
        return kExitBadInput;
    }
    platform::PosixFileSystem fs(std::move(table.value()));
    auto inputs = SplitInputsFromArguments(arguments, fs);
    if (!inputs) {
        err << "dividra-cli: " << inputs.error().message << "\n";
        return kExitBadInput;
    }
    const std::string sourceRoot = inputs.value().sourceLongPath.substr(0, 2) + "\\";
    TerminalHost host(std::move(inputs.value()), err, showProgress);
    TerminalMessageBoxes boxes(in, out, [&host] { host.endProgressLine(); });
    const ScopedMessageBoxProvider scope(boxes);
    if (fs.driveType(sourceRoot) == platform::DriveType::Removable) {
        ShowInfoMessage(kRemovableSourceMessage);
        return kExitFailed;
    }
    const core::SplitOutcome outcome = core::ToolBtnSplitClick(host, fs);
    host.endProgressLine();
    return exitStatus(outcome);
}

} // namespace dividra::cli
