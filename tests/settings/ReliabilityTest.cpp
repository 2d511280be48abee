#include "ProfileFixture.h"
#include "platform/RegistryFormat.h"
#include "settings/Defaults.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"

#include <csignal>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace dividra {
namespace {

using namespace std::string_literals;

using test::kHeader;
using test::kKey;

std::string valueName(int writer, int n) {
    return "Writer" + IntToText(writer) + " Value" + IntToText(n);
}

class ReliabilityTest : public test::ProfileFixture {};

TEST_F(ReliabilityTest, TwoProcessesWritingAtOnceLoseNothing) {
    constexpr int kWrites = 500;
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    std::vector<pid_t> writers;
    for (int writer = 0; writer < 2; ++writer) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            char go = 0;
            ::close(start[1]);
            bool ok = ::read(start[0], &go, 1) == 0; // released when the parent closes
            for (int n = 0; n < kWrites; ++n) {
                ok = WriteSettingInt(kKey, valueName(writer, n), writer * 1000 + n) && ok;
            }
            ::_exit(ok ? 0 : 1);
        }
        writers.push_back(pid);
    }
    ::close(start[0]);
    ::close(start[1]);
    for (const pid_t pid : writers) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const platform::ParsedRegistry parsed = platform::parseRegistry(stored());
    EXPECT_EQ(parsed.badLines, 0);
    ASSERT_EQ(parsed.tree.keys().size(), 1u);
    EXPECT_EQ(parsed.tree.keys()[0].values.size(), 2u * kWrites);
    for (int writer = 0; writer < 2; ++writer) {
        for (int n = 0; n < kWrites; ++n) {
            const auto* value = parsed.tree.findValue(kKey, valueName(writer, n));
            ASSERT_NE(value, nullptr) << valueName(writer, n);
            EXPECT_EQ(value->data, platform::dwordBytes(writer * 1000 + n));
        }
    }
}

TEST_F(ReliabilityTest, AWriterKilledAtAnyMomentLeavesEveryFinishedWrite) {
    std::mt19937 random(20240611);
    std::vector<std::string> finished; // names whose write had returned
    for (int run = 0; run < 200; ++run) {
        int report[2];
        ASSERT_EQ(::pipe(report), 0);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(report[0]);
            for (std::int32_t n = 0;; ++n) {
                if (WriteSettingInt(kKey, valueName(run, n), n) &&
                    ::write(report[1], &n, sizeof n) != sizeof n) {
                    ::_exit(1);
                }
            }
        }
        ::close(report[1]);
        // A few writes in, then any moment of the next one (or between two).
        const int before = std::uniform_int_distribution<int>(0, 3)(random);
        std::int32_t n = 0;
        for (int done = 0; done < before && ::read(report[0], &n, sizeof n) == sizeof n; ++done) {
            finished.push_back(valueName(run, n));
        }
        ::usleep(std::uniform_int_distribution<useconds_t>(0, 2000)(random));
        ::kill(pid, SIGKILL);
        ASSERT_EQ(::waitpid(pid, nullptr, 0), pid);
        while (::read(report[0], &n, sizeof n) == sizeof n) {
            finished.push_back(valueName(run, n));
        }
        ::close(report[0]);

        const std::string text = stored();
        const platform::ParsedRegistry parsed =
            platform::parseRegistry(text == "<missing>" ? "" : text);
        ASSERT_EQ(parsed.badLines, 0) << "run " << run;
        for (const std::string& name : finished) {
            ASSERT_NE(parsed.tree.findValue(kKey, name), nullptr) << name << ", run " << run;
        }
    }
    EXPECT_GE(finished.size(), 200u); // the writers did get work done
}

TEST_F(ReliabilityTest, DamagedFilesYieldWhatParsesAndAreSavedBeforeTheFirstRewrite) {
    const std::string custom = "\"Custom Segment Size\"=dword:00000040\n";
    const std::string segment = "\"Default Segment Size\"=\"1440\"\n";
    std::string utf16 = "\xff\xfe"s;
    for (char c : kHeader + custom) {
        utf16 += c;
        utf16 += '\0';
    }
    struct Case {
        const char* what;
        std::string bytes;
        std::int32_t custom; // as read, 7 when lost
        std::string segment; // as read
        std::string kept;    // the values the first write keeps
    };
    const Case cases[] = {
        {"bad line", kHeader + custom + "\"Broken\"=dword:\n" + segment, 64, "1440",
         custom + segment},
        {"truncated", kHeader + custom + segment.substr(0, 25), 64, "", custom},
        {"garbage", "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe["s, 7, "", ""},
        {"utf-16", utf16, 7, "", ""},
    };
    for (const Case& c : cases) {
        store(c.bytes);
        ::unlink((m_file + ".bad").c_str());
        EXPECT_EQ(ReadSettingInt(kKey, keys::kCustomSegmentSize, 7), c.custom) << c.what;
        EXPECT_EQ(ReadSettingText(kKey, keys::kDefaultSegmentSize, "x"), c.segment) << c.what;
        EXPECT_TRUE(WriteSettingInt(kKey, keys::kMinimizeWhileSplitting, 1)) << c.what;
        EXPECT_EQ(stored(), kHeader + c.kept + "\"Minimize While Splitting\"=dword:00000001\n")
            << c.what;
        EXPECT_EQ(test::TempDir::read(m_file + ".bad"), c.bytes) << c.what;
        // The file is sound now: later rewrites leave the saved copy alone.
        EXPECT_TRUE(WriteSettingInt(kKey, keys::kMinimizeWhileSplitting, 0)) << c.what;
        EXPECT_EQ(test::TempDir::read(m_file + ".bad"), c.bytes) << c.what;
    }
}

// What the five operations give when the registry can't be used at all.
void expectUnusable(const char* what) {
    EXPECT_FALSE(SettingsKeyExists(keys::kProduct, false)) << what;
    EXPECT_FALSE(SettingsKeyExists(keys::kProduct, true)) << what;
    EXPECT_EQ(ReadSettingInt(kKey, keys::kCustomSegmentSize, 7), 7) << what;
    EXPECT_EQ(ReadSettingText(kKey, keys::kDefaultSegmentSize, "x"), "") << what;
    EXPECT_FALSE(WriteSettingInt(kKey, keys::kCustomSegmentSize, 1)) << what;
    EXPECT_FALSE(WriteSettingText(kKey, keys::kDefaultSegmentSize, "1")) << what;
    EXPECT_TRUE(EnsureSettingsInitialised(kDesignBounds)) << what;
}

TEST_F(ReliabilityTest, AnUnusableLocationGivesDefaultsAndFailedWrites) {
    const std::string plain = m_dir.write("plain", "x");
    {
        test::ScopedEnv env("DIVIDRA_REGISTRY", plain + "/registry.reg");
        expectUnusable("folder is a file");
    }
    ::mkdir(m_file.c_str(), 0700);
    expectUnusable("file is a folder");
    EXPECT_EQ(test::TempDir::read(plain), "x");
}

TEST_F(ReliabilityTest, ReadOnlyFilesAndFoldersKeepTheirValues) {
    const std::string profile = kHeader + "\"Custom Segment Size\"=dword:00000040\n";
    store(profile);
    ::chmod(m_file.c_str(), 0444);
    const std::string probe = m_dir.write("probe", "");
    ::chmod(probe.c_str(), 0444);
    if (const int fd = ::open(probe.c_str(), O_WRONLY); fd >= 0) {
        ::close(fd);
        GTEST_SKIP() << "permission bits don't stop this user (root?)";
    }
    EXPECT_EQ(ReadSettingInt(kKey, keys::kCustomSegmentSize, 7), 64);
    EXPECT_EQ(ReadSettingInt(keys::kFloppyOptions, keys::kEraseDiskettes, 7), 7);
    EXPECT_FALSE(WriteSettingInt(kKey, keys::kCustomSegmentSize, 1));
    EXPECT_FALSE(WriteSettingText(kKey, keys::kDestinationFolder, "c:\\"));
    // A folder we may not write, without a lock file: reads go on unlocked.
    ::unlink((m_file + ".lock").c_str());
    ::chmod(m_dir.path().c_str(), 0555);
    ::chmod(m_file.c_str(), 0644);
    EXPECT_EQ(ReadSettingInt(kKey, keys::kCustomSegmentSize, 7), 64);
    EXPECT_FALSE(WriteSettingInt(keys::kFloppyOptions, keys::kEraseDiskettes, 1));
    ::chmod(m_dir.path().c_str(), 0755);
    EXPECT_EQ(stored(), profile);

    ::chmod(m_file.c_str(), 0);
    expectUnusable("unreadable file");
    ::chmod(m_file.c_str(), 0644);
    EXPECT_EQ(stored(), profile);
}

} // namespace
} // namespace dividra
