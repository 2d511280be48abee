#include "SplitCliFixture.h"
#include "cli/SplitCommandLine.h"
#include "platform/DriveTable.h"
#include "platform/PosixFileSystem.h"
#include "support/TestBytes.h"
#include "support/TmpfsMount.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <unistd.h>

namespace dividra::cli {
namespace {

using core::FlushPolicy;

constexpr std::int64_t kGiga = std::int64_t{1} << 30;

class SplitSizesCliTest : public SplitCliTest {};

TEST_F(SplitSizesCliTest, BadSizesPiecesAndFlushesAreOneLineWithStatusTwo) {
    const std::string source = m_dir.write("data.zip", "0123456789");
    const std::string out = m_dir.file("out");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{source, "--to", out, "--size", "4096M"}, "split: bad segment size \"4096M\"; "},
        {{source, "--to", out, "--size", "0"}, "split: bad segment size \"0\"; "},
        {{source, "--to", out, "--pieces", "1000"},
         "split: bad piece count \"1000\"; give 1 to 999"},
        {{source, "--to", out, "--pieces", "11"},
         "split: --pieces 11 is more than the 10 bytes of the source; each piece needs at least "
         "one byte"},
        {{source, "--to", out, "--pieces", "6"},
         "split: --pieces 6: 10 bytes in pieces of 2 make 5, not 6"},
        {{source, "--to", out, "--pieces", "2", "--size", "1"},
         "split: --size and --pieces exclude each other"},
        {{source, "--floppy", "a:", "--pieces", "2"},
         "split: --pieces goes with --to, not with --floppy"},
        {{source, "--floppy", "a:", "--flush=segment"},
         "split: --flush=segment goes with --to; diskettes flush every buffer"},
        {{source, "--to", out, "--flush=always"},
         "split: bad --flush value \"always\"; give buffer or segment"},
        {{source, "--to", out, "--flush=Buffer"},
         "split: bad --flush value \"Buffer\"; give buffer or segment"},
        {{source, "--to", out, "--flush"}, "split: --flush needs a value"},
        {{source, "--to", out, "--flush=buffer", "--flush=buffer"}, "split: --flush given twice"},
    };
    for (const auto& [arguments, line] : cases) {
        const Outcome outcome = run(arguments, "\n");
        EXPECT_EQ(outcome.status, kExitBadInput) << line;
        EXPECT_EQ(outcome.out, "") << line;
        EXPECT_TRUE(outcome.err.starts_with("dividra-cli: " + line)) << outcome.err;
        EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
    }
    EXPECT_EQ(names("out").size(), 0u);
}

TEST_F(SplitSizesCliTest, PiecesOfEqualSizeAndAShorterLast) {
    const std::string bytes = dividra::test::PatternBytes(10);
    const std::string source = m_dir.write("data.zip", bytes);
    ASSERT_EQ(run({source, "--to", m_dir.file("out"), "--pieces", "3"}).status, kExitOk);
    EXPECT_EQ(names("out"),
              (std::vector<std::string>{"data.000", "data.001", "data.002", "data.kpn"}));
    EXPECT_EQ(test::TempDir::read(m_dir.file("out/data.002")), bytes.substr(8));
    EXPECT_EQ(test::TempDir::read(m_dir.file("out/data.kpn")),
              "File Ext=.zip\r\nTotal Files=3\r\nTotal Size=10\r\n");
}

// A file of that size made with ftruncate, so it takes no room but for the marks written in it.
bool makeSparse(const std::string& path, std::int64_t size,
                const std::vector<std::pair<std::int64_t, std::string>>& marks) {
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    bool made = fd >= 0 && ::ftruncate(fd, size) == 0;
    for (const auto& [offset, bytes] : marks) {
        made = made && ::pwrite(fd, bytes.data(), bytes.size(), offset) ==
                           static_cast<ssize_t>(bytes.size());
    }
    return fd >= 0 && ::close(fd) == 0 && made;
}

// The bytes of a host file from `offset` on, at most `count` of them.
std::string readAt(const std::string& path, std::int64_t offset, std::size_t count) {
    std::ifstream in(path, std::ios::binary);
    in.seekg(offset);
    std::string bytes(count, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

// A sparse source of 2 GiB and 5 bytes, marked at the start of its second GiB and its end. The
// segments go to a tmpfs, so the 2 GiB written never wait for a disk.
TEST_F(SplitSizesCliTest, ASourceBeyondTwoGigabytesPlansAndSplits) {
    const test::TmpfsMount big(m_dir.file("big"), "3g");
    if (!big.mounted()) {
        GTEST_SKIP() << big.why();
    }
    const std::int64_t size = 2 * kGiga + 5;
    const std::string source = m_dir.file("huge.bin");
    ASSERT_TRUE(makeSparse(source, size, {{kGiga, "A"}, {2 * kGiga, "hello"}}));
    std::ostringstream planned;
    std::ostringstream planErr;
    ASSERT_EQ(RunCliHere({"plan", source, "--size", "1G"}, planned, planErr), kExitOk)
        << planErr.str();
    EXPECT_EQ(planned.str(), "source size: 2147483653\n"
                             "segment size: 1073741824\n"
                             "segments: 3\n"
                             "diskettes 3.5 HD: 1474\n"
                             "diskettes 3.5 DD: 2942\n"
                             "diskettes 5.25 HD: 1770\n"
                             "diskettes 5.25 DD: 5925\n");

    const Outcome split = run({source, "--to", m_dir.file("big"), "--size", "1G"});
    ASSERT_EQ(split.status, kExitOk) << split.err;
    EXPECT_EQ(names("big"),
              (std::vector<std::string>{"huge.000", "huge.001", "huge.002", "huge.kpn"}));
    EXPECT_EQ(fs::file_size(m_dir.file("big/huge.000")), static_cast<std::uintmax_t>(kGiga));
    EXPECT_EQ(fs::file_size(m_dir.file("big/huge.001")), static_cast<std::uintmax_t>(kGiga));
    EXPECT_EQ(readAt(m_dir.file("big/huge.000"), kGiga - 2, 4), std::string(2, '\0'));
    EXPECT_EQ(readAt(m_dir.file("big/huge.001"), 0, 2), std::string("A\0", 2));
    EXPECT_EQ(test::TempDir::read(m_dir.file("big/huge.002")), "hello");
    EXPECT_EQ(test::TempDir::read(m_dir.file("big/huge.kpn")),
              "File Ext=.bin\r\nTotal Files=3\r\nTotal Size=2147483653\r\n");
}

} // namespace
} // namespace dividra::cli
