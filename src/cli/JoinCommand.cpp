#include "cli/JoinCommand.h"

#include "cli/Cli.h"
#include "cli/CommandLineFiles.h"
#include "cli/CommandOptions.h"
#include "cli/Interrupt.h"
#include "cli/JoinTerminal.h"
#include "cli/RecoveryReport.h"
#include "cli/SplitCommandLine.h"
#include "cli/TerminalMessageBoxes.h"
#include "core/join/DisketteJoin.h"
#include "core/join/Join.h"
#include "core/set/SegmentPath.h"
#include "core/split/DriveRules.h"
#include "core/split/SplitMessages.h"
#include "platform/AsciiText.h"

#include <algorithm>
#include <ostream>
#include <sstream>

namespace dividra::cli {
namespace {

Error usageError(std::string_view command, const std::string& message) {
    return Error{ErrorCode::InvalidArgument, std::string(command) + ": " + message};
}

struct JoinArguments {
    std::optional<std::string> descriptor;
    std::optional<std::string> folder;
    std::optional<std::string> floppy;
    bool force = false;
};

Result<JoinArguments> readJoinArguments(const std::vector<std::string>& arguments) {
    const auto parsed =
        ParseCommandArguments("join", arguments, {{"--to", "--floppy"}, {"--force"}});
    if (!parsed) {
        return parsed.error();
    }
    const CommandArguments& given = parsed.value();
    if (given.operands.size() > 1) {
        return usageError("join", "unexpected argument \"" + given.operands[1] + "\"");
    }
    JoinArguments join{given.operands.empty() ? std::nullopt
                                              : std::optional(given.operands.front()),
                       ValueOf(given, "--to"), ValueOf(given, "--floppy"), !given.switches.empty()};
    if (!join.floppy && !join.descriptor) {
        return usageError("join", "missing DESCRIPTOR file");
    }
    if (join.floppy && !join.folder) {
        return usageError("join", "--floppy needs --to FOLDER for the joined file");
    }
    return join;
}

// The descriptor's set, with stale segments noted on `out`.
Result<core::JoinSet> examine(JoinTerminal& terminal, const std::string& descriptor) {
    auto set = core::ExamineJoinSet(terminal.fs(), descriptor);
    if (!set) {
        return set.error();
    }
    for (const std::string& stale : set.value().stale) {
        terminal.inform("Ignored " + stale + ": not one of the " +
                        std::to_string(set.value().info.segmentCount) + " segments of " +
                        descriptor);
    }
    return set;
}

int joinFromFolder(JoinTerminal& terminal, const JoinArguments& args) {
    const auto descriptor = ExistingDosPath(terminal.fs(), *args.descriptor, EntryKind::File);
    if (!descriptor) {
        return terminal.fail(descriptor.error());
    }
    core::JoinRequest request{std::string(core::FolderPart(descriptor.value())), args.force};
    if (args.folder) {
        const auto folder = ExistingDosPath(terminal.fs(), *args.folder, EntryKind::Folder);
        if (!folder) {
            return terminal.fail(folder.error());
        }
        request.outputFolder = folder.value();
    }
    terminal.knowPaths({descriptor.value(), request.outputFolder});
    const ScopedInterruptFlag interrupts;
    auto set = examine(terminal, descriptor.value());
    if (!set) {
        return terminal.fail(set.error());
    }
    const auto rebuilt = RebuildForJoin(terminal, set.value(), request.outputFolder);
    if (ScopedInterruptFlag::raised()) {
        return kExitCancelled;
    }
    if (!rebuilt) {
        return terminal.fail(rebuilt.error());
    }
    return terminal.finish(core::JoinSegments(terminal.fs(), set.value(), request, terminal));
}

// The diskette prompts of a split, with what was wrong with the last diskette above them.
class DisketteTerminal final : public core::DisketteJoinObserver {
public:
    DisketteTerminal(JoinTerminal& terminal, std::string_view drive)
        : m_terminal(terminal), m_upperDrive(core::text::UpperDrive(drive)) {}

    bool askForDiskette(int number, std::string_view problem) override {
        const std::string before = problem.empty() ? "" : std::string(problem) + "\n\n";
        return m_terminal.askOkCancel(before +
                                      core::text::InsertDiskettePrompt(number, m_upperDrive));
    }
    // Asked only once a diskette proved wrong or unreadable and its prompt was cancelled, or a
    // read failed.
    bool askToSkip(int number, std::string_view problem) override {
        const std::string before = problem.empty() ? "" : std::string(problem) + "\n\n";
        return m_terminal.askOkCancel(
            before + "Go on without diskette #" + std::to_string(number) +
            "? Its segment is then rebuilt at the end\nfrom the recovery volumes, when the set "
            "has them.");
    }
    void progressChanged(int parts) override { m_terminal.progressChanged(parts); }
    bool cancelRequested() override { return m_terminal.cancelRequested(); }

private:
    JoinTerminal& m_terminal;
    std::string m_upperDrive;
};

// "a:" for a drive of the table that takes diskettes.
Result<std::string> disketteDrive(const std::string& text, const platform::DriveTable& table) {
    const char letter = text.size() == 2 && text[1] == ':' ? platform::driveLetter(text[0]) : 0;
    if (letter == 0) {
        return usageError("join",
                          "bad drive \"" + text + "\"; give a drive letter and colon, such as a:");
    }
    const platform::DriveEntry* drive = table.find(letter);
    if (drive == nullptr) {
        return usageError("join",
                          "there is no drive " + std::string(1, letter) + ": in the drive table");
    }
    if (const auto refusal = core::NotADisketteDriveText(drive->letter, drive->type)) {
        return usageError("join", *refusal);
    }
    return std::string(1, letter) + ":";
}

// NAME as the set's base name, empty when not given: the name of one entry of the diskette's
// root, so it can't reach another folder (nor name the temporary outside --to).
Result<std::string> setBaseName(const std::optional<std::string>& given) {
    if (!given) {
        return std::string();
    }
    std::string name = *given;
    // NAME may be given as the descriptor's name.
    if (const auto dot = name.rfind('.');
        dot != std::string::npos && platform::lowerAscii(name.substr(dot)) == ".kpn") {
        name.resize(dot);
    }
    const bool badByte = std::any_of(name.begin(), name.end(), [](char c) {
        return c == '\\' || c == '/' || c == ':' || static_cast<unsigned char>(c) < 0x20 ||
               c == 0x7f;
    });
    if (badByte || name.empty() || name == "." || name == "..") {
        return usageError("join", "bad set name \"" + EscapeControlBytes(*given) +
                                      "\"; give the base name of the set, such as DATA");
    }
    return name;
}

int joinFromDiskettes(JoinTerminal& terminal, const JoinArguments& args, std::ostream& err) {
    const auto drive = disketteDrive(*args.floppy, terminal.drives());
    if (!drive) {
        err << "dividra-cli: " << drive.error().message << "\n";
        return kExitBadInput;
    }
    const auto name = setBaseName(args.descriptor);
    if (!name) {
        err << "dividra-cli: " << name.error().message << "\n";
        return kExitBadInput;
    }
    const auto folder = ExistingDosPath(terminal.fs(), *args.folder, EntryKind::Folder);
    if (!folder) {
        return terminal.fail(folder.error());
    }
    terminal.knowPaths({folder.value()});
    DisketteTerminal diskettes(terminal, drive.value());
    const ScopedInterruptFlag interrupts;
    return terminal.finish(core::JoinFromDiskettes(
        terminal.fs(), {drive.value(), name.value(), folder.value(), args.force}, diskettes));
}

} // namespace

std::string JoinUsage() {
    return "Usage: dividra-cli join DESCRIPTOR [--to FOLDER] [--force]\n"
           "  or:  dividra-cli join [NAME] --floppy DRIVE --to FOLDER [--force]\n"
           "Put the segments of a split (name.000, name.001, ...) back together into one\n"
           "file, named after the descriptor (name.kpn) with the extension it records.\n"
           "\n"
           "  --to FOLDER     write the joined file into FOLDER (by default the folder of\n"
           "                  DESCRIPTOR)\n"
           "  --floppy DRIVE  read the segments from diskettes in DRIVE, asking for each in\n"
           "                  turn; the descriptor is on the last one or the one after it\n"
           "                  (NAME picks the set when diskette #1 holds several)\n"
           "  --force         replace a file of the joined file's name\n"
           "  --help          show this text\n"
           "\n"
           "Before a byte is written, every segment the descriptor counts must be there, a\n"
           "regular file, and the sizes must add up to its total; higher-numbered segments\n"
           "left from an earlier split are ignored and said so. With a checksum file\n"
           "(name.sha256, from split --checksums) beside the descriptor, the file is hashed\n"
           "while it is copied and refused when its hash differs, naming the first segment\n"
           "that differs. The file is written under a temporary name\n"
           "(NAME.EXT.dividra-part) and takes its own name only when whole; a failed,\n"
           "refused or cancelled join (Ctrl-C too) removes it.\n"
           "With recovery files beside DESCRIPTOR (name.par2, name.vol*.par2, see split\n"
           "--recovery), every segment is first held against them; lost or damaged ones\n"
           "are rebuilt into copies beside the joined file, used for the join and removed\n"
           "after it, so the set stays as it was (dividra-cli repair mends it in place).\n"
           "From diskettes: when a diskette is wrong or unreadable and its prompt is\n"
           "cancelled, the join offers to go on without it; its segment is then rebuilt at\n"
           "the end from the recovery volumes on the diskettes after the descriptor, which\n"
           "it asks for in turn.\n"
           "Exit status: 0 joined, 1 refused or failed, 2 bad usage, 3 cancelled.\n";
}

std::string VerifyUsage() {
    return "Usage: dividra-cli verify DESCRIPTOR\n"
           "Check a split's segments as join would, without writing anything: one line per\n"
           "segment on stdout, \"ok\", \"missing\", \"wrong size: N bytes, M expected\" or\n"
           "\"checksum differs\", then whether the set is whole. With a checksum file\n"
           "(name.sha256) beside DESCRIPTOR every segment is read and hashed, and the whole\n"
           "file's line is checked too.\n"
           "With recovery files (name.par2, name.vol*.par2, from split --recovery or par2\n"
           "create) every segment is read and held against them instead: \"ok\",\n"
           "\"missing\" or \"damaged: N of M slices\", then how many segments need repair\n"
           "and whether the recovery slices at hand can rebuild them.\n"
           "Exit status: 0 whole, 1 not whole or unreadable, 2 bad usage, 3 cancelled\n"
           "(Ctrl-C while the segments are hashed).\n";
}

std::string RepairUsage() {
    return "Usage: dividra-cli repair DESCRIPTOR\n"
           "Rebuild the missing or damaged segments of a split from its recovery files\n"
           "(name.par2 and name.vol*.par2 beside DESCRIPTOR, from split --recovery N or\n"
           "par2 create over the segments). Each segment is written under a temporary name,\n"
           "forced to the disk and checked against the recovery files before it takes its\n"
           "name; when the recovery slices at hand are too few, nothing is changed. Only\n"
           "the segments DESCRIPTOR counts are ever written.\n"
           "\n"
           "Example: split with --recovery 2, lose data.001 and data.004, then\n"
           "  dividra-cli repair out/data.kpn\n"
           "writes them back, byte for byte.\n"
           "Exit status: 0 whole (nothing to do, or repaired), 1 refused or failed,\n"
           "2 bad usage, 3 cancelled (Ctrl-C).\n";
}

int RunJoin(const CliContext& context, const std::vector<std::string>& arguments, std::istream& in,
            std::ostream& out, std::ostream& err, bool showProgress) {
    const auto args = readJoinArguments(arguments);
    if (!args) {
        err << "dividra-cli: " << args.error().message << "\n";
        return kExitBadInput;
    }
    auto terminal = JoinTerminal::open(context, in, out, err, showProgress);
    if (!terminal) {
        err << "dividra-cli: " << terminal.error().message << "\n";
        return ExitStatusOf(terminal.error());
    }
    if (args.value().floppy) {
        return joinFromDiskettes(*terminal.value(), args.value(), err);
    }
    return joinFromFolder(*terminal.value(), args.value());
}

// The one DESCRIPTOR operand of verify and repair, else the bad-usage line.
Result<std::string> descriptorOperand(std::string_view command,
                                      const std::vector<std::string>& arguments) {
    const auto parsed = ParseCommandArguments(command, arguments, {});
    if (parsed && parsed.value().operands.size() == 1) {
        return parsed.value().operands.front();
    }
    const std::string name(command);
    return Error{ErrorCode::InvalidArgument,
                 !parsed ? parsed.error().message
                 : parsed.value().operands.empty()
                     ? name + ": missing DESCRIPTOR file"
                     : name + ": unexpected argument \"" + parsed.value().operands[1] + "\""};
}

// verify and repair: the terminal set up, then `work` on the descriptor.
int runOnDescriptor(std::string_view command, const CliContext& context,
                    const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                    bool showProgress, int (*work)(JoinTerminal&, const std::string&)) {
    const auto descriptor = descriptorOperand(command, arguments);
    if (!descriptor) {
        err << "dividra-cli: " << descriptor.error().message << "\n";
        return kExitBadInput;
    }
    std::istringstream noInput;
    auto terminal = JoinTerminal::open(context, noInput, out, err, showProgress);
    if (!terminal) {
        err << "dividra-cli: " << terminal.error().message << "\n";
        return ExitStatusOf(terminal.error());
    }
    return work(*terminal.value(), descriptor.value());
}

int RunVerify(const CliContext& context, const std::vector<std::string>& arguments,
              std::ostream& out, std::ostream& err, bool showProgress) {
    return runOnDescriptor("verify", context, arguments, out, err, showProgress, VerifySet);
}

int RunRepair(const CliContext& context, const std::vector<std::string>& arguments,
              std::ostream& out, std::ostream& err, bool showProgress) {
    return runOnDescriptor("repair", context, arguments, out, err, showProgress, RepairSet);
}

} // namespace dividra::cli
