#include "platform/ShortName.h"

#include "platform/AsciiText.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <set>

namespace dividra::platform {
namespace {

bool isValidShortChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x80 || u <= 0x20) {
        return false;
    }
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
        return true;
    }
    return std::string_view("!#$%&'()-@^_`{}~").find(c) != std::string_view::npos;
}

std::string cleaned(std::string_view part, std::size_t limit) {
    std::string out;
    for (char c : part) {
        if (out.size() == limit) {
            break;
        }
        if (isValidShortChar(c)) {
            out.push_back(upperAscii(c));
        } else if (std::string_view("+,;=[]").find(c) != std::string_view::npos) {
            out.push_back('_'); // as Windows does: legal in long names only
        }
    }
    return out;
}

// Name part and extension of a long name for the alias: leading dots don't start an extension.
std::pair<std::string, std::string> aliasParts(std::string_view name) {
    const auto first = name.find_first_not_of('.');
    const std::string_view body = first == std::string_view::npos ? "" : name.substr(first);
    const auto dot = body.rfind('.');
    if (dot == std::string_view::npos) {
        return {cleaned(body, 255), ""};
    }
    return {cleaned(body.substr(0, dot), 255), cleaned(body.substr(dot + 1), 3)};
}

std::string numberedAlias(const std::string& base, const std::string& ext, int n) {
    const std::string tail = "~" + std::to_string(n);
    const std::size_t keep = tail.size() >= 8 ? 0 : 8 - tail.size();
    std::string alias = base.substr(0, std::min(base.size(), std::min<std::size_t>(6, keep)));
    if (alias.empty()) {
        alias = "_";
    }
    alias += tail;
    if (!ext.empty()) {
        alias += "." + ext;
    }
    return alias;
}

// Two aliases can only be equal when they start with the same character and end in the same
// extension; a name's alias therefore depends on the names of its own key alone.
std::pair<char, std::string> collisionKey(std::string_view name) {
    if (fitsEightDotThree(name)) {
        const std::string upperName = upperAscii(name);
        const auto dot = upperName.find('.');
        return {upperName.front(), dot == std::string::npos ? "" : upperName.substr(dot + 1)};
    }
    const auto [base, ext] = aliasParts(name);
    return {base.empty() ? '_' : base.front(), ext};
}

} // namespace

bool fitsEightDotThree(std::string_view name) {
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    const auto dot = name.find('.');
    const std::string_view base = name.substr(0, dot);
    const std::string_view ext =
        dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || ext.size() > 3) {
        return false;
    }
    if (dot != std::string_view::npos && ext.empty()) {
        return false;
    }
    return std::all_of(base.begin(), base.end(), isValidShortChar) &&
           std::all_of(ext.begin(), ext.end(), isValidShortChar);
}

std::vector<std::string> shortAliases(const std::vector<std::string>& folderNames) {
    std::vector<std::string> aliases(folderNames.size());
    std::set<std::string> taken;
    std::map<std::string, int> nextNumber;
    for (const auto& name : folderNames) {
        if (fitsEightDotThree(name)) {
            taken.insert(upperAscii(name));
        }
    }
    std::vector<std::size_t> order(folderNames.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return folderNames[a] < folderNames[b]; });
    for (std::size_t index : order) {
        const std::string& name = folderNames[index];
        if (fitsEightDotThree(name)) {
            aliases[index] = name;
            continue;
        }
        const auto [base, ext] = aliasParts(name);
        // Names sharing their start try numbers from where the last one stopped, so a folder
        // of many such names stays linear.
        int& n = nextNumber[base + '.' + ext];
        for (n = std::max(n, 1);; ++n) {
            std::string alias = numberedAlias(base, ext, n);
            if (taken.insert(alias).second) {
                aliases[index] = std::move(alias);
                ++n;
                break;
            }
        }
    }
    return aliases;
}

std::string shortAlias(std::string_view name, const std::vector<std::string>& folderNames) {
    const auto key = collisionKey(name);
    std::vector<std::string> names;
    for (const std::string& other : folderNames) {
        if (other != name && collisionKey(other) == key) {
            names.push_back(other);
        }
    }
    names.emplace_back(name);
    const auto aliases = shortAliases(names);
    const auto at = std::find(names.begin(), names.end(), name) - names.begin();
    return aliases[static_cast<std::size_t>(at)];
}

} // namespace dividra::platform
