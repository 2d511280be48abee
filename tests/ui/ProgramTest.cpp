#include "ui/Program.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sstream>

namespace dividra::ui {
namespace {

TEST(ProgramTest, HelpAndVersionAloneAnswerWithoutAWindow) {
    struct Case {
        std::vector<std::string> arguments;
        std::optional<int> status;
        std::string firstLine;
    };
    const Case cases[] = {
        {{"--help"}, 0, "Usage: dividra [FILE]"},
        {{"--version"}, 0, "dividra 2.05"},
        {{}, std::nullopt, ""},
        {{"data.zip"}, std::nullopt, ""},           // the file to pick
        {{"--help", "data.zip"}, std::nullopt, ""}, // the first argument names the file
        {{"-V"}, std::nullopt, ""},
    };
    for (const Case& c : cases) {
        std::ostringstream out;
        EXPECT_EQ(AnswerInformationArguments(c.arguments, out), c.status) << c.firstLine;
        EXPECT_EQ(out.str().substr(0, out.str().find('\n')), c.firstLine);
    }
    std::ostringstream full;
    full.setstate(std::ios::badbit);
    EXPECT_EQ(AnswerInformationArguments({"--version"}, full), 1);
}

TEST(ProgramTest, TheNoDisplayLineSaysWhatWasMissing) {
    const test::ScopedEnv wayland("WAYLAND_DISPLAY", "");
    {
        const test::ScopedEnv display("DISPLAY", "");
        EXPECT_EQ(NoDisplayMessage(),
                  "dividra: no display to show the window on (neither DISPLAY "
                  "nor WAYLAND_DISPLAY is set); from a terminal, use dividra-cli");
    }
    const test::ScopedEnv display("DISPLAY", ":77");
    EXPECT_EQ(NoDisplayMessage(), "dividra: no display to show the window on (can't connect to "
                                  "DISPLAY=:77); from a terminal, use dividra-cli");
}

} // namespace
} // namespace dividra::ui
