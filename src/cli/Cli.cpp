#include "Cli.h"

#include "Defaults.h"
#include "PlanCommand.h"

#include <ostream>

namespace dividra::cli {

std::string UsageText() {
    return "Usage: dividra-cli COMMAND [ARGUMENTS]\n"
           "\n"
           "Commands:\n"
           "  plan SOURCE [--size SIZE]  show how many segments and diskettes a split of\n"
           "                             SOURCE takes\n"
           "  --help                     show this text\n"
           "\n"
           "SOURCE is a file on this machine. SIZE is the segment size in kilobytes: an\n"
           "entry of the segment size list (1420, 1180, 710, 350) or a custom size from\n"
           "1 to 1024. Without --size, the default segment size of the options is used.\n"
           "\n"
           "Drives: DIVIDRA_DRIVES=\"c=/,fixed;a=/mnt/fd,removable\" replaces the detected\n"
           "drive table. Settings: DIVIDRA_REGISTRY names the settings file to use.\n";
}

int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
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
    err << "dividra-cli: unknown command \"" << command << "\"; try dividra-cli --help\n";
    return kExitBadInput;
}

} // namespace dividra::cli
