#include "cli/Cli.h"

#include "cli/CheckedOutput.h"
#include "cli/CommandOptions.h"
#include "cli/DrivesCommand.h"
#include "cli/JoinCommand.h"
#include "cli/PlanCommand.h"
#include "cli/SplitCommandLine.h"
#include "settings/Defaults.h"
#include "util/Version.h"

#include <array>
#include <istream>
#include <ostream>
#include <sstream>

namespace dividra::cli {
namespace {

constexpr std::string_view kShortUsage = "Usage: dividra-cli COMMAND [ARGUMENTS]\n"
                                         "Try 'dividra-cli --help' for more information.\n";

struct Streams {
    const CliContext& context;
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal;
};

struct Command {
    std::string_view name;
    std::string (*usage)();
    int (*run)(const std::vector<std::string>& arguments, Streams& streams);
};

const std::array<Command, 6> kCommands{{
    {"plan", PlanUsage,
     [](const std::vector<std::string>& arguments, Streams& s) {
         // A first run from the terminal leaves the same profile as a first run of the window.
         EnsureSettingsInitialised(kDesignBounds);
         return RunPlan(s.context, arguments, s.out, s.err);
     }},
    {"split", SplitUsage,
     [](const std::vector<std::string>& arguments, Streams& s) {
         EnsureSettingsInitialised(kDesignBounds);
         return RunSplit(s.context, arguments, s.in, s.out, s.err, s.errIsTerminal);
     }},
    {"join", JoinUsage,
     [](const std::vector<std::string>& arguments, Streams& s) {
         return RunJoin(s.context, arguments, s.in, s.out, s.err, s.errIsTerminal);
     }},
    {"verify", VerifyUsage,
     [](const std::vector<std::string>& arguments, Streams& s) {
         return RunVerify(s.context, arguments, s.out, s.err, s.errIsTerminal);
     }},
    {"repair", RepairUsage,
     [](const std::vector<std::string>& arguments, Streams& s) {
         return RunRepair(s.context, arguments, s.out, s.err, s.errIsTerminal);
     }},
    {"drives", DrivesUsage,
     [](const std::vector<std::string>& arguments, Streams& s) {
         return RunDrives(s.context, arguments, s.out, s.err);
     }},
}};

int runCommand(const std::vector<std::string>& arguments, Streams& streams) {
    if (arguments.empty()) {
        streams.err << kShortUsage;
        return kExitBadInput;
    }
    const std::string& name = arguments.front();
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (name == "--help" || name == "-h" || name == "help") {
        streams.out << UsageText();
        return kExitOk;
    }
    if (name == "--version" || name == "-V") {
        streams.out << "dividra-cli " << kProductVersion << "\n";
        return kExitOk;
    }
    for (const Command& command : kCommands) {
        if (command.name != name) {
            continue;
        }
        if (AsksForHelp(rest)) {
            streams.out << command.usage();
            return kExitOk;
        }
        return command.run(rest, streams);
    }
    streams.err << "dividra-cli: unknown command \"" << name << "\"; try dividra-cli --help\n";
    return kExitBadInput;
}

} // namespace

std::string UsageText() {
    return "Usage: dividra-cli COMMAND [ARGUMENTS]\n"
           "Split a file into numbered segments (name.000, name.001, ...) in a folder or\n"
           "onto diskettes, as the Dividra window does.\n"
           "\n"
           "Commands:\n"
           "  plan SOURCE [--size SIZE | --pieces N]\n"
           "                             show how many segments and diskettes a split of\n"
           "                             SOURCE takes\n"
           "  split SOURCE --to FOLDER [--size SIZE | --pieces N] [--flush=segment|buffer]\n"
           "                           [--dos-names|--long-names]\n"
           "                             split SOURCE into segment files in FOLDER\n"
           "  split SOURCE --floppy DRIVE [--erase|--no-erase] [--dos-names|--long-names]\n"
           "                             split SOURCE onto diskettes in DRIVE (a:, b:)\n"
           "  split ... --checksums      also write name.sha256 beside the descriptor, as\n"
           "                             sha256sum -c reads it\n"
           "  split ... --to FOLDER --recovery N\n"
           "                             also write recovery volumes (name.par2,\n"
           "                             name.volA+B.par2; about N segments of space) so\n"
           "                             that any N segments may be lost and rebuilt\n"
           "  join DESCRIPTOR [--to FOLDER] [--force]\n"
           "                             join the segments of DESCRIPTOR (name.kpn) into\n"
           "                             one file, name plus its extension\n"
           "  join [NAME] --floppy DRIVE --to FOLDER [--force]\n"
           "                             join a set from diskettes in DRIVE into FOLDER\n"
           "  verify DESCRIPTOR          check the segments (and checksums or recovery\n"
           "                             files) without joining\n"
           "  repair DESCRIPTOR          rebuild lost or damaged segments from the recovery\n"
           "                             files, as par2 repair does\n"
           "  drives                     list the drive letters, their kinds, host folders,\n"
           "                             labels, free space and media\n"
           "  --help, -h                 show this text; COMMAND --help shows that command's\n"
           "  --version, -V              show the version\n"
           "\n"
           "SOURCE is a file on this machine, of any size. SIZE is the segment size: a\n"
           "number of kilobytes (1420, 350) or a number with a unit, K, M or G in either\n"
           "case (64K, 700M, 1G), at least 1K and below 4G. Without --size, the default\n"
           "segment size of the options is used. --pieces N cuts SOURCE into N segments\n"
           "of equal size (1 to 999), the last one shorter. --flush=segment (the default)\n"
           "forces each segment to the disk once it is complete, --flush=buffer every\n"
           "48 KB buffer, as the window and a split onto diskettes do.\n"
           "--dos-names names the segments after the 8.3 name of SOURCE, --long-names\n"
           "after its long name; --erase empties each diskette before it is written.\n"
           "Without them the options decide. Each option may be given once; \"--\" ends\n"
           "the options, so \"dividra-cli plan -- -file.bin\" names a file \"-file.bin\".\n"
           "\n"
           "Information goes to stdout; errors and questions go to stderr, an error's\n"
           "first line beginning \"dividra-cli: \", so a question is seen while stdout is\n"
           "redirected. Answer ok or cancel, yes or no (the first letter will do; an empty\n"
           "line picks the first); end of input answers Cancel or No.\n"
           "\n"
           "Paths: a message names a file by its DOS path, as the window shows it, with\n"
           "the host path after it in parentheses: c:\\home\\ann\\data.zip\n"
           "(/home/ann/data.zip). A path outside every drive is shown as given.\n"
           "\n"
           "Exit status: 0 done (verify: the set is whole), 1 refused or failed (verify:\n"
           "not whole; a missing or unreadable file and a failed write on stdout too),\n"
           "2 bad usage, 3 cancelled at a question or by Ctrl-C.\n"
           "\n"
           "Drives: DIVIDRA_DRIVES=\"c=/,fixed;a=/mnt/fd,removable\" replaces the detected\n"
           "drive table (see dividra-cli drives --help). Settings: DIVIDRA_REGISTRY names\n"
           "the settings file to use.\n";
}

int ExitStatusOf(const Error& error) {
    return error.code == ErrorCode::InvalidArgument ? kExitBadInput : kExitFailed;
}

int RunCli(const CliContext& context, const std::vector<std::string>& arguments, std::istream& in,
           std::ostream& out, std::ostream& err, bool errIsTerminal) {
    CheckedOutput checked(out);
    Streams streams{context, in, checked.stream(), err, errIsTerminal};
    const int status = runCommand(arguments, streams);
    if (const auto failure = checked.finish()) {
        err << "dividra-cli: " << *failure << "\n";
        return kExitFailed;
    }
    return status;
}

int RunCli(const CliContext& context, const std::vector<std::string>& arguments, std::ostream& out,
           std::ostream& err) {
    std::istringstream noInput;
    return RunCli(context, arguments, noInput, out, err, false);
}

} // namespace dividra::cli
