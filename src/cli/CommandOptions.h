#pragma once

#include "platform/Result.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The one reading of a command's arguments that every dividra-cli command shares.
namespace dividra::cli {

// The options a command knows: those that take a value ("--size 1420" or "--size=1420") and
// switches ("--erase"). Any other argument starting with "-" is unknown, except "-" itself;
// after "--" every argument is an operand.
struct OptionRules {
    std::vector<std::string_view> valueOptions;
    std::vector<std::string_view> switches;
};

struct CommandArguments {
    std::map<std::string, std::string, std::less<>> values; // each option given once
    std::vector<std::string> switches;                      // in the order given, each once
    std::vector<std::string> operands;                      // in the order given
};

// InvalidArgument "<command>: --size needs a value", "<command>: --size given twice" (a switch
// too) or "<command>: unknown option \"--x\"" (a switch given a value is unknown too).
Result<CommandArguments> ParseCommandArguments(std::string_view command,
                                               const std::vector<std::string>& arguments,
                                               const OptionRules& rules);

// The value an option was given, if it was.
std::optional<std::string> ValueOf(const CommandArguments& arguments, std::string_view name);

// True when "--help" stands among the options (before any "--").
bool AsksForHelp(const std::vector<std::string>& arguments);

} // namespace dividra::cli
