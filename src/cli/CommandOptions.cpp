#include "cli/CommandOptions.h"

#include <algorithm>

namespace dividra::cli {
namespace {

bool listed(const std::vector<std::string_view>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

Result<CommandArguments> ParseCommandArguments(std::string_view command,
                                               const std::vector<std::string>& arguments,
                                               const OptionRules& rules) {
    const auto error = [command](const std::string& message) {
        return Error{ErrorCode::InvalidArgument, std::string(command) + ": " + message};
    };
    CommandArguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const auto equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        if (optionsEnded || !argument.starts_with("-") || argument == "-") {
            parsed.operands.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (listed(rules.valueOptions, name)) {
            if (equals == std::string::npos && i + 1 == arguments.size()) {
                return error(name + " needs a value");
            }
            const std::string value =
                equals == std::string::npos ? arguments[++i] : argument.substr(equals + 1);
            if (!parsed.values.emplace(name, value).second) {
                return error(name + " given twice");
            }
        } else if (listed(rules.switches, argument)) {
            if (std::find(parsed.switches.begin(), parsed.switches.end(), argument) !=
                parsed.switches.end()) {
                return error(argument + " given twice");
            }
            parsed.switches.push_back(argument);
        } else {
            return error("unknown option \"" + argument + "\"");
        }
    }
    return parsed;
}

std::optional<std::string> ValueOf(const CommandArguments& arguments, std::string_view name) {
    const auto found = arguments.values.find(name);
    return found == arguments.values.end() ? std::nullopt : std::optional(found->second);
}

bool AsksForHelp(const std::vector<std::string>& arguments) {
    const auto end = std::find(arguments.begin(), arguments.end(), "--");
    return std::find(arguments.begin(), end, "--help") != end;
}

} // namespace dividra::cli
