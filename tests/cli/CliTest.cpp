#include "CliFixture.h"
#include "cli/CommandOptions.h"
#include "cli/SegmentSize.h"
#include "settings/Defaults.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"

#include <gtest/gtest.h>

namespace dividra::cli {
namespace {

TEST_F(CliTest, PlanOfAThreeMegabyteFileAtTheDefaultSize) {
    const std::string source = m_dir.write("data.zip", std::string(3000000, 'x'));
    const Outcome outcome = run({"plan", source});
    EXPECT_EQ(outcome.status, kExitOk);
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.out, "source size: 3000000\n"
                           "segment size: 1454080\n"
                           "segments: 3\n"
                           "diskettes 3.5 HD: 3\n"
                           "diskettes 3.5 DD: 5\n"
                           "diskettes 5.25 HD: 3\n"
                           "diskettes 5.25 DD: 9\n");
}

TEST_F(CliTest, PlanTakesListedAndCustomSizes) {
    const std::string source = m_dir.write("data.zip", std::string(3000000, 'x'));
    EXPECT_NE(run({"plan", source, "--size", "350"}).out.find("segments: 9\n"), std::string::npos);
    EXPECT_NE(run({"plan", "--size=710", source}).out.find("segment size: 727040\nsegments: 5\n"),
              std::string::npos);
    EXPECT_NE(run({"plan", source, "--size", "1"}).out.find("segments: 2930\n"), std::string::npos);
    EXPECT_NE(run({"plan", source, "--size", "1024"}).out.find("segments: 3\n"), std::string::npos);
}

TEST_F(CliTest, PlanOfAnEmptyFile) {
    const std::string source = m_dir.write("empty", "");
    const Outcome outcome = run({"plan", source});
    EXPECT_EQ(outcome.status, kExitOk);
    EXPECT_NE(outcome.out.find("source size: 0\nsegment size: 1454080\nsegments: 0\n"
                               "diskettes 3.5 HD: 1\n"),
              std::string::npos);
}

// A bare number still means kilobytes, as the window's list and custom box count them.
TEST_F(CliTest, SegmentSizesOfTheListAndTheCustomRangeKeepTheirMeaning) {
    for (int kilobytes = 1; kilobytes <= 1420; ++kilobytes) {
        EXPECT_EQ(ParseSegmentSize(std::to_string(kilobytes)).value(), kilobytes * 1024);
    }
}

TEST_F(CliTest, BadInputGivesOneLineAndStatusTwo) {
    const std::string source = m_dir.write("data.zip", "abc");
    expectComplaint({"plan", source, "--size", "0"}, "bad segment size \"0\"");
    expectComplaint({"plan", source, "--size", "x"}, "bad segment size \"x\"");
    expectComplaint({"plan", source, "--size"}, "--size needs a value");
    expectComplaint({"plan", source, "--size="}, "bad segment size \"\"");
    expectComplaint({"plan", source, "--fast"}, "unknown option \"--fast\"");
    expectComplaint({"plan", source, "extra"}, "unexpected argument \"extra\"");
    expectComplaint({"plan"}, "missing SOURCE");
    expectComplaint({"plan", source, "--size", "1", "--size=2"}, "plan: --size given twice");
    expectComplaint({"split-all"}, "unknown command \"split-all\"");
    expectComplaint({"drives", "a:"}, "drives: unexpected argument \"a:\"");
    expectComplaint({"drives", "--all"}, "drives: unknown option \"--all\"");
}

// A file that isn't there or can't be read is a failure, not bad usage.
TEST_F(CliTest, AMissingOrUnusableSourceExitsWithOne) {
    expectComplaint({"plan", m_dir.file("nothing.zip")},
                    "c:\\nothing.zip (" + m_dir.file("nothing.zip") + "): no such file",
                    kExitFailed);
    expectComplaint({"plan", m_dir.path()}, "c:\\ (" + m_dir.path() + "): is a folder, not a file",
                    kExitFailed);
    expectComplaint({"plan", "/proc/version"}, "/proc/version: not on any drive", kExitFailed);
}

TEST(CommandOptions, ValuesSwitchesAndOperands) {
    const OptionRules rules{{"--size"}, {"--erase"}};
    const auto parsed =
        ParseCommandArguments("x", {"a", "--size=", "-", "--erase", "--", "--erase", "-b"}, rules);
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed.value().values.at("--size"), "");
    EXPECT_EQ(parsed.value().switches, std::vector<std::string>{"--erase"});
    EXPECT_EQ(parsed.value().operands, (std::vector<std::string>{"a", "-", "--erase", "-b"}));
    EXPECT_TRUE(AsksForHelp({"a", "--size", "1", "--help"}));
    EXPECT_FALSE(AsksForHelp({"a", "--", "--help"}));
    EXPECT_FALSE(AsksForHelp({"a", "-h"}));
    for (const auto& [arguments, message] :
         std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--erase=yes"}, "x: unknown option \"--erase=yes\""},
             {{"--siz", "1"}, "x: unknown option \"--siz\""},
             {{"a", "--size"}, "x: --size needs a value"},
             {{"--size", "1", "--size", "1"}, "x: --size given twice"},
             {{"--size=", "--size=2"}, "x: --size given twice"},
             {{"--erase", "a", "--erase"}, "x: --erase given twice"}}) {
        const auto refused = ParseCommandArguments("x", arguments, rules);
        ASSERT_FALSE(refused.ok()) << message;
        EXPECT_EQ(refused.error().message, message);
    }
}

TEST_F(CliTest, ABadDriveTableIsBadUsage) {
    test::ScopedEnv broken("DIVIDRA_DRIVES", "c=relative/path,fixed");
    expectComplaint({"plan", m_dir.write("data.zip", "abc")}, "c=relative/path,fixed");
}

TEST_F(CliTest, AFirstRunLeavesTheSameProfileAsTheWindowsFirstRun) {
    const std::string source = m_dir.write("data.zip", "abc");
    ASSERT_EQ(run({"plan", source}).status, kExitOk);
    const std::string written = test::TempDir::read(m_dir.file("profile/registry.reg"));
    {
        test::ScopedEnv other("DIVIDRA_REGISTRY", m_dir.file("expected.reg"));
        WriteDefaultSettings(kDesignBounds);
    }
    EXPECT_EQ(written, test::TempDir::read(m_dir.file("expected.reg")));
    EXPECT_NE(written.find("\"Default Segment Size\"=\"1440\""), std::string::npos);
}

TEST_F(CliTest, TheDefaultSizeFollowsTheStoredChoice) {
    const std::string source = m_dir.write("data.zip", std::string(3000000, 'x'));
    ASSERT_EQ(run({"plan", source}).status, kExitOk); // first run: "1440" selects 1420
    struct Case {
        const char* stored;
        const char* expected;
    };
    for (const Case& c : {Case{"350", "segment size: 358400\nsegments: 9\n"},
                          Case{"710", "segment size: 727040\nsegments: 5\n"},
                          Case{"custom", "segment size: 102400\nsegments: 30\n"},
                          Case{"", "segment size: 1454080\nsegments: 3\n"},
                          Case{"1440", "segment size: 1454080\nsegments: 3\n"}}) {
        WriteSettingText(keys::kHardDriveOptions, keys::kDefaultSegmentSize, c.stored);
        WriteSettingInt(keys::kHardDriveOptions, keys::kCustomSegmentSize, 100);
        const Outcome outcome = run({"plan", source});
        EXPECT_NE(outcome.out.find(c.expected), std::string::npos) << c.stored << outcome.out;
    }
    // An explicit size wins over the stored one.
    EXPECT_NE(run({"plan", source, "--size", "1420"}).out.find("segments: 3\n"), std::string::npos);
}

TEST_F(CliTest, HelpAndNoArguments) {
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, kExitOk);
    EXPECT_EQ(help.out, UsageText());
    EXPECT_EQ(help.err, "");
    const Outcome nothing = run({});
    EXPECT_EQ(nothing.status, kExitBadInput);
    EXPECT_EQ(nothing.out, "");
    EXPECT_EQ(nothing.err, "Usage: dividra-cli COMMAND [ARGUMENTS]\n"
                           "Try 'dividra-cli --help' for more information.\n");
}

} // namespace
} // namespace dividra::cli
