#include "CliFixture.h"
#include "cli/DrivesCommand.h"
#include "cli/HostPaths.h"
#include "cli/JoinCommand.h"
#include "cli/PlanCommand.h"
#include "cli/SplitCommandLine.h"
#include "platform/PosixFileSystem.h"
#include "util/Version.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <streambuf>

// What users of the usual command-line tools expect: help, version, "--", streams, exit status.
namespace dividra::cli {
namespace {

TEST_F(CliTest, HelpAndVersionGoToStdout) {
    const std::string version = "dividra-cli " + std::string(kProductVersion) + "\n";
    struct Case {
        std::vector<std::string> arguments;
        std::string out;
    };
    for (const Case& c : std::vector<Case>{
             {{"--version"}, version},
             {{"-V"}, version},
             {{"--help"}, UsageText()},
             {{"-h"}, UsageText()},
             {{"plan", "--help"}, PlanUsage()},
             {{"plan", "data.zip", "--size", "1", "--help"}, PlanUsage()},
             {{"split", "--help"}, SplitUsage()},
             {{"split", "data.zip", "--to", "nowhere", "--help"}, SplitUsage()},
             {{"drives", "--help"}, DrivesUsage()},
             {{"join", "--help"}, JoinUsage()},
             {{"verify", "--help"}, VerifyUsage()},
         }) {
        const Outcome outcome = run(c.arguments);
        EXPECT_EQ(outcome.status, kExitOk) << c.arguments.front();
        EXPECT_EQ(outcome.out, c.out) << c.arguments.front();
        EXPECT_EQ(outcome.err, "") << c.arguments.front();
        // Fits a standard terminal.
        std::istringstream lines(outcome.out);
        for (std::string line; std::getline(lines, line);) {
            EXPECT_LE(line.size(), 80u) << line;
        }
    }
    EXPECT_NE(kProductVersion.find('.'), std::string_view::npos);
}

// Sets the current folder for one scope.
class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const std::string& folder)
        : m_old(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~ScopedCurrentFolder() { std::filesystem::current_path(m_old); }

private:
    std::filesystem::path m_old;
};

TEST_F(CliTest, DoubleDashLetsAFileNameStartWithADash) {
    m_dir.write("-leading.bin", std::string(2500, 'x'));
    std::filesystem::create_directories(m_dir.file("out"));
    const ScopedCurrentFolder here(m_dir.path());
    const Outcome plan = run({"plan", "--", "-leading.bin"});
    EXPECT_EQ(plan.status, kExitOk) << plan.err;
    EXPECT_TRUE(plan.out.starts_with("source size: 2500\n")) << plan.out;
    const Outcome split = run({"split", "--to", "out", "--size", "1", "--", "-leading.bin"});
    EXPECT_EQ(split.status, kExitOk) << split.err;
    EXPECT_EQ(test::TempDir::read(m_dir.file("out/-leading.kpn")),
              "File Ext=.bin\r\nTotal Files=3\r\nTotal Size=2500\r\n");
    expectComplaint({"plan", "-leading.bin"}, "plan: unknown option \"-leading.bin\"");
    expectComplaint({"plan", "--", "--help"},
                    "c:\\--help (" + m_dir.file("--help") + "): no such file", kExitFailed);
}

// A stdout that takes nothing, as /dev/full: refused at once, or only when what it holds is
// flushed.
class FullBuffer final : public std::streambuf {
public:
    explicit FullBuffer(bool atFlush) : m_atFlush(atFlush) {}

protected:
    int_type overflow(int_type c) override { return held(1) ? c : full(); }
    std::streamsize xsputn(const char*, std::streamsize count) override {
        return held(count) ? count : full();
    }
    int sync() override { return m_held == 0 ? 0 : full(); }

private:
    bool held(std::streamsize count) {
        m_held += m_atFlush ? count : 0;
        return m_atFlush;
    }
    static int full() {
        errno = ENOSPC;
        return -1;
    }
    bool m_atFlush;
    std::streamsize m_held = 0;
};

TEST_F(CliTest, AFailedWriteOnStdoutIsReportedWithStatusOne) {
    const std::string source = m_dir.write("data.zip", "abc");
    std::filesystem::create_directories(m_dir.file("out"));
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string err;
    };
    const std::string full = "dividra-cli: write error: No space left on device\n";
    for (const bool atFlush : {false, true}) {
        for (const Case& c : std::vector<Case>{
                 {{"--help"}, kExitFailed, full},
                 {{"--version"}, kExitFailed, full},
                 {{"plan", source}, kExitFailed, full},
                 {{"drives"}, kExitFailed, full},
                 {{"split", "--help"}, kExitFailed, full},
                 // Nothing for stdout: nothing failed.
                 {{"split", source, "--to", m_dir.file("out")}, kExitOk, ""},
                 {{"plan"}, kExitBadInput, "dividra-cli: plan: missing SOURCE file\n"},
             }) {
            FullBuffer buffer(atFlush);
            std::ostream out(&buffer);
            std::ostringstream err;
            EXPECT_EQ(RunCliHere(c.arguments, out, err), c.status) << c.arguments.front();
            EXPECT_EQ(err.str(), c.err) << c.arguments.front() << " " << atFlush;
        }
    }
}

TEST_F(CliTest, HostPathsFollowTheDosPathsOfAMessage) {
    m_dir.write("out/data.001/inside", "");
    std::filesystem::create_directories(m_dir.file("v1.2 beta"));
    const auto table = platform::DriveTable::parse("c=" + m_dir.path() + ",fixed");
    const platform::PosixFileSystem fs(table.value());
    const HostPathNotes notes(fs, {"c:\\Annual Report.text", "c:\\out", "c:\\v1.2 beta"});
    const std::string m = m_dir.path();
    for (const auto& [text, shown] : std::vector<std::pair<std::string, std::string>>{
             {"c:\\Annual Report.text is empty.\n\nThere is nothing to split.",
              "c:\\Annual Report.text (" + m +
                  "/Annual Report.text) is empty.\n\nThere is "
                  "nothing to split."},
             {"Can't create C:\\OUT\\Data.001: Is a directory",
              "Can't create C:\\OUT\\Data.001 (" + m + "/out/data.001): Is a directory"},
             {"c:\\out\\A: this name is the 8.3 alias of c:\\out\\B, which it would overwrite",
              "c:\\out\\A (" + m + "/out/A): this name is the 8.3 alias of c:\\out\\B (" + m +
                  "/out/B), which it would overwrite"},
             // Unknown, it ends at the blank after a name with an extension.
             {"c:\\fl.kpn describes 1 segments of 5000 bytes; 2 segments of 9000 bytes were read",
              "c:\\fl.kpn (" + m + "/fl.kpn) describes 1 segments of 5000 bytes; 2 segments of " +
                  "9000 bytes were read"},
             {"Can't create c:\\V1.2 Beta\\data 1.000 now: full",
              "Can't create c:\\V1.2 Beta\\data 1.000 (" + m + "/v1.2 beta/data 1.000) now: full"},
             {"c:\\v1.2 beta: full", "c:\\v1.2 beta (" + m + "/v1.2 beta): full"},
             {"c:\\none.kpn (" + m + "/none.kpn): no such file", ""}, // noted once
             {"Insert diskette #1 into drive \nA: and select OK", ""},
             {"q:\\data.zip: no such drive; abc:\\x is no path", ""},
             {"c:\\missing\\folder\\data.000: gone", ""},
         }) {
        EXPECT_EQ(notes.annotate(text), shown.empty() ? text : shown);
    }
    EXPECT_EQ(WithHostPath("c:\\a", "/a"), "c:\\a (/a)");
    EXPECT_EQ(WithHostPath("c:\\a", ""), "c:\\a");
}

} // namespace
} // namespace dividra::cli
