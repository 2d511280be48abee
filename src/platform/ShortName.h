#pragma once

#include <string>
#include <string_view>
#include <vector>

// The 8.3 aliases Windows gives long names, for file systems that keep none of their own.
namespace dividra::platform {

// True when the name is a valid DOS 8.3 name as it stands (letter case aside): one to eight
// name characters, optionally a dot and one to three extension characters, no blanks.
bool fitsEightDotThree(std::string_view name);

// The aliases of every name of one folder, in the order given. A name that fits 8.3 is its own
// alias. Any other name gets: its characters upper-cased, each of + , ; = [ ] made "_" and other
// invalid ones dropped, the first six (fewer as N grows) of the name part, "~N", and the first
// three of the extension. N is the smallest number not yet taken by another name of the folder;
// names are served in byte order, so the result doesn't depend on the order given.
std::vector<std::string> shortAliases(const std::vector<std::string>& folderNames);

// The alias of one name among the other names of its folder (which may include it).
std::string shortAlias(std::string_view name, const std::vector<std::string>& folderNames);

} // namespace dividra::platform
