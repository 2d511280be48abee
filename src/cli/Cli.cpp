#include "cli/Cli.h"

#include "cli/PlanCommand.h"
#include "cli/SplitCommandLine.h"
#include "settings/Defaults.h"

#include <istream>
#include <ostream>
#include <sstream>

namespace dividra::cli {

std::string UsageText() {
    return "Usage: dividra-cli COMMAND [ARGUMENTS]\n"
           "\n"
           "Commands:\n"
           "  plan SOURCE [--size SIZE]  show how many segments and diskettes a split of\n"
           "                             SOURCE takes\n"
           "  split SOURCE --to FOLDER [--size SIZE] [--dos-names|--long-names]\n"
           "                             split SOURCE into segment files in FOLDER\n"
           "  split SOURCE --floppy DRIVE [--erase|--no-erase] [--dos-names|--long-names]\n"
           "                             split SOURCE onto diskettes in DRIVE (a:, b:)\n"
           "  --help                     show this text\n"
           "\n"
           "SOURCE is a file on this machine. SIZE is the segment size in kilobytes: an\n"
           "entry of the segment size list (1420, 1180, 710, 350) or a custom size from\n"
           "1 to 1024. Without --size, the default segment size of the options is used.\n"
           "--dos-names names the segments after the 8.3 name of SOURCE, --long-names\n"
           "after its long name; --erase empties each diskette before it is written.\n"
           "Without them the options decide.\n"
           "\n"
           "split prints its messages and asks its questions here; answer ok or cancel,\n"
           "yes or no (the first letter will do; an empty line picks the first). Exit\n"
           "status: 0 split done, 1 refused or failed, 2 bad input, 3 cancelled.\n"
           "\n"
           "Drives: DIVIDRA_DRIVES=\"c=/,fixed;a=/mnt/fd,removable\" replaces the detected\n"
           "drive table. Settings: DIVIDRA_REGISTRY names the settings file to use.\n";
}

int RunCli(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
           std::ostream& err, bool errIsTerminal) {
    if (arguments.empty()) {
        err << UsageText();
        return kExitBadInput;
    }
    const std::string& command = arguments.front();
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (command == "--help" || command == "-h" || command == "help") {
        out << UsageText();
        return kExitOk;
    }
    if (command == "plan") {
        // A first run from the terminal leaves the same profile as a first run of the window.
        EnsureSettingsInitialised(kDesignBounds);
        return RunPlan(rest, out, err);
    }
    if (command == "split") {
        EnsureSettingsInitialised(kDesignBounds);
        return RunSplit(rest, in, out, err, errIsTerminal);
    }
    err << "dividra-cli: unknown command \"" << command << "\"; try dividra-cli --help\n";
    return kExitBadInput;
}

int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    std::istringstream noInput;
    return RunCli(arguments, noInput, out, err, false);
}

} // namespace dividra::cli
