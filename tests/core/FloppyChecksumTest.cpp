#include "ScriptedHost.h"
#include "core/join/DisketteJoin.h"
#include "core/split/SplitCommand.h"
#include "fakes/MemoryFileSystem.h"
#include "support/TestBytes.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

// A split onto in-memory diskettes with checksums, and the join back from the same drive.
namespace dividra::core {
namespace {

using platform::DriveType;

constexpr int kDiskettes = 8;

// Puts diskette #n in the drive when the join asks for it; gives up at the first problem.
class DisketteFeeder final : public DisketteJoinObserver {
public:
    explicit DisketteFeeder(std::function<void(int)> insert) : m_insert(std::move(insert)) {}
    bool askForDiskette(int number, std::string_view problem) override {
        if (!problem.empty() || number > kDiskettes) {
            problems.emplace_back(problem);
            return false;
        }
        m_insert(number);
        asked = number;
        return true;
    }
    bool cancelRequested() override { return cancelAt > 0 && asked >= cancelAt; }
    std::vector<std::string> problems;
    int asked = 0;
    int cancelAt = 0; // diskette from which on a Ctrl-C is pressed; 0: never

private:
    std::function<void(int)> m_insert;
};

class FloppyChecksumTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_fs.addDrive('c', DriveType::Fixed, 64 * 1024 * 1024);
        m_fs.addDrive('a', DriveType::Removable, 0);
        m_fs.createFolder("c:\\joined");
        m_host.onBox = [this](const std::string& kind, const std::string& text) {
            const std::string lead = "Please insert diskette #";
            if (kind == "okcancel" && text.starts_with(lead)) {
                insert(std::stoi(text.substr(lead.size())));
            }
        };
    }

    // A fresh box of diskettes of one capacity and cluster size, then the split of `size`
    // bytes.
    SplitOutcome split(std::int64_t capacity, std::int64_t cluster, std::int64_t size) {
        ++m_box;
        for (int n = 1; n <= kDiskettes; ++n) {
            m_fs.addMedium(diskName(n), capacity).setClusterSize(cluster);
        }
        m_source = dividra::test::PatternBytes(static_cast<std::size_t>(size));
        m_fs.putFile("c:\\data.zip", m_source);
        m_host.inputs = test::FloppyInputs(static_cast<std::size_t>(size));
        m_host.inputs.checksums = true;
        return m_host.runSplit(m_fs);
    }

    JoinResult join(DisketteFeeder& feeder, bool force = false) {
        return JoinFromDiskettes(m_fs, {"a:", "", "c:\\joined", force}, feeder);
    }

    std::string diskName(int n) const {
        return "box" + std::to_string(m_box) + " disk" + std::to_string(n);
    }
    platform::Medium& disk(int n) { return m_fs.mediumNamed(diskName(n)); }
    void insert(int n) { m_fs.insertMedium('a', disk(n)); }
    std::vector<std::string> joinedFolder() const {
        std::vector<std::string> found;
        for (const std::string& entry : m_fs.listAll('c')) {
            if (entry.starts_with("\\joined\\") && entry != "\\joined\\") {
                found.push_back(entry);
            }
        }
        return found;
    }

    test::ProfileScope m_profile;
    platform::MemoryFileSystem m_fs;
    test::ScriptedHost m_host;
    std::string m_source;
    int m_box = 0;
};

// The descriptor takes one allocation unit of at least 512 bytes, the checksum file (75 bytes
// a line here) as many as it fills; both go on the last diskette only when both fit.
TEST_F(FloppyChecksumTest, BothFilesGoOnTheLastDisketteOnlyWhenBothFitAndTheJoinUsesThem) {
    struct Case {
        std::int64_t capacity;
        std::int64_t cluster;
        std::int64_t size;
        int segments;
        int descriptorDisk;
    };
    constexpr std::int64_t kHd = 1457664;
    for (const Case& c : {
             Case{kHd, 512, kHd - 1024, 1, 1},       // 512 + 150 bytes in 512
             Case{kHd, 512, kHd - 1023, 1, 2},       // 512 left: the descriptor alone would fit
             Case{4096, 512, 6 * 4096 + 2560, 7, 7}, // 512 + 600 bytes in 1024
             Case{4096, 512, 6 * 4096 + 2561, 7, 8},
             Case{4096, 1024, 2048, 1, 1}, // 1024 + 150 bytes in 1024
             Case{4096, 1024, 2049, 1, 2},
         }) {
        const std::string what = std::to_string(c.size) + " in " + std::to_string(c.cluster);
        ASSERT_EQ(split(c.capacity, c.cluster, c.size), SplitOutcome::Completed) << what;
        for (int n = c.segments; n <= c.segments + 1; ++n) {
            const bool expected = n == c.descriptorDisk;
            EXPECT_EQ(disk(n).exists("\\data.kpn"), expected) << what << " #" << n;
            EXPECT_EQ(disk(n).exists("\\data.sha256"), expected) << what << " #" << n;
        }
        EXPECT_EQ(disk(c.descriptorDisk).contents("\\data.sha256")->size(),
                  static_cast<std::size_t>(75 * (c.segments + 1)))
            << what;

        DisketteFeeder feeder([this](int n) { insert(n); });
        const JoinResult joined = join(feeder);
        EXPECT_EQ(joined.outcome, JoinOutcome::Done) << what << ": " << joined.message;
        EXPECT_TRUE(m_fs.contents("c:\\joined\\data.zip") == m_source) << what;
        EXPECT_TRUE(feeder.problems.empty()) << what;
        (void)m_fs.deleteFile("c:\\joined\\data.zip");

        // The checksum file is found and held against every segment wherever it went.
        const std::string last = "\\data.00" + std::to_string(c.segments - 1);
        std::string damaged = *disk(c.segments).contents(last);
        damaged[100] = static_cast<char>(damaged[100] ^ 1);
        disk(c.segments).putFile(last, damaged);
        const JoinResult refused = join(feeder);
        EXPECT_EQ(refused.outcome, JoinOutcome::Refused) << what;
        EXPECT_EQ(refused.message, "a:" + last + ": checksum differs from a:\\data.sha256");
        EXPECT_TRUE(joinedFolder().empty()) << what;
    }
}

// Only a whole set takes the output's name; a refused or cancelled join leaves the folder as it
// was.
TEST_F(FloppyChecksumTest, OnlyAWholeSetTakesTheOutputsName) {
    ASSERT_EQ(split(1457664, 512, 3000000), SplitOutcome::Completed);
    const std::string joined = "Joined 3 segments into c:\\joined\\data.zip, 3000000 bytes.";
    struct Case {
        const char* what;
        std::optional<std::string> before; // c:\joined\data.zip
        bool force;
        int cancelAt;
        JoinOutcome outcome;
        std::string message;
    };
    for (const Case& c : std::vector<Case>{
             {"output there", "mine", false, 0, JoinOutcome::Refused,
              "c:\\joined\\data.zip: already exists"},
             {"output forced", "mine", true, 0, JoinOutcome::Done, joined},
             {"cancelled", std::nullopt, false, 2, JoinOutcome::Cancelled, "cancelled"},
             // Without checksums only the descriptor's total holds the bytes read.
             {"total differs", std::nullopt, false, 0, JoinOutcome::Refused,
              "a:\\data.kpn describes 3 segments of 2999999 bytes; 3 segments of 3000000 bytes "
              "were read"},
         }) {
        SCOPED_TRACE(c.what);
        if (c.message.starts_with("a:")) {
            disk(3).putFile("\\data.kpn",
                            "File Ext=.zip\r\nTotal Files=3\r\nTotal Size=2999999\r\n");
            insert(3);
            ASSERT_TRUE(m_fs.deleteFile("a:\\data.sha256").ok());
        }
        (void)m_fs.deleteFile("c:\\joined\\data.zip");
        if (c.before) {
            m_fs.putFile("c:\\joined\\data.zip", *c.before);
        }
        DisketteFeeder feeder([this](int n) { insert(n); });
        feeder.cancelAt = c.cancelAt;
        const JoinResult result = join(feeder, c.force);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.message, c.message);
        const bool whole = c.outcome == JoinOutcome::Done;
        EXPECT_EQ(m_fs.contents("c:\\joined\\data.zip"),
                  whole ? std::optional(m_source) : c.before);
        EXPECT_EQ(joinedFolder().size(), whole || c.before ? 1u : 0u);
        EXPECT_EQ(m_fs.openFiles(), 0);
    }
}

} // namespace
} // namespace dividra::core
