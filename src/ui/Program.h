#pragma once

#include "platform/FileSystem.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// The window program's start: what it answers without a window, and the application around it.
namespace dividra::ui {

// The name the desktop entry is installed under, without ".desktop": docks match the window to
// its launcher by it.
inline constexpr char kDesktopFileName[] = "example.vorlan.Dividra";

// `dividra --help` and `dividra --version` (the only argument): the text is written to `out` and
// the exit status returned, with no display needed. Nothing for any other command line: its
// first argument names the file to pick.
std::optional<int> AnswerInformationArguments(const std::vector<std::string>& arguments,
                                              std::ostream& out);

// The one line said on stderr when no display can be opened.
std::string NoDisplayMessage();

// Runs the window program over `fs`, which main() wired: the application (names, icon, desktop
// file name) and the main window. Exit status 1, with NoDisplayMessage(), when no display can
// be opened.
int RunWindowProgram(int argc, char* argv[], platform::FileSystem& fs);

} // namespace dividra::ui
