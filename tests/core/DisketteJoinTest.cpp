#include "core/DisketteJoin.h"
#include "fakes/MemoryFileSystem.h"
#include "support/TestBytes.h"

#include <gtest/gtest.h>

// A set put back together from diskettes made by hand: segment n - 1 on diskette n, the
// descriptor with the last.
namespace dividra::core {
namespace {

using platform::DriveType;

constexpr std::size_t kSegment = 100000;

class Feeder final : public DisketteJoinObserver {
public:
    Feeder(platform::MemoryFileSystem& fs, int cancelAt) : m_fs(fs), m_cancelAt(cancelAt) {}
    bool askForDiskette(int number, std::string_view problem) override {
        if (!problem.empty()) {
            return false;
        }
        m_asked = number;
        m_fs.insertMedium('a', m_fs.mediumNamed("disk" + std::to_string(number)));
        return true;
    }
    bool cancelRequested() override { return m_cancelAt > 0 && m_asked >= m_cancelAt; }

private:
    platform::MemoryFileSystem& m_fs;
    int m_cancelAt;
    int m_asked = 0;
};

class DisketteJoinTest : public ::testing::Test {
protected:
    DisketteJoinTest() {
        m_fs.addDrive('c', DriveType::Fixed, 64 << 20);
        m_fs.addDrive('a', DriveType::Removable, 0);
        m_fs.createFolder("c:\\joined");
        m_source = test::PatternBytes(kSegment * 2 + 500);
        for (int n = 1; n <= 3; ++n) {
            m_fs.addMedium("disk" + std::to_string(n), 1457664)
                .putFile("\\data.00" + std::to_string(n - 1),
                         m_source.substr(kSegment * static_cast<std::size_t>(n - 1), kSegment));
        }
    }

    JoinResult join(bool force, int cancelAt = 0) {
        Feeder feeder(m_fs, cancelAt);
        return JoinFromDiskettes(m_fs, {"a:", "", "c:\\joined", force}, feeder);
    }
    std::vector<std::string> joined() const {
        std::vector<std::string> found;
        for (const std::string& entry : m_fs.listAll('c')) {
            if (entry.starts_with("\\joined\\") && entry != "\\joined\\") {
                found.push_back(entry);
            }
        }
        return found;
    }

    platform::MemoryFileSystem m_fs;
    std::string m_source;
};

TEST_F(DisketteJoinTest, OnlyAWholeSetTakesTheOutputsName) {
    const std::string fine = "File Ext=.zip\r\nTotal Files=3\r\nTotal Size=200500\r\n";
    struct Case {
        const char* what;
        std::string descriptor;
        std::optional<std::string> before; // c:\joined\data.zip before the join
        bool force;
        int cancelAt;
        JoinOutcome outcome;
        std::string message;
    };
    for (const Case& c : std::vector<Case>{
             {"whole", fine, std::nullopt, false, 0, JoinOutcome::Done,
              "Joined 3 segments into c:\\joined\\data.zip, 200500 bytes."},
             {"total differs", "File Ext=.zip\r\nTotal Files=3\r\nTotal Size=200499\r\n",
              std::nullopt, false, 0, JoinOutcome::Refused,
              "a:\\data.kpn describes 3 segments of 200499 bytes; 3 segments of 200500 bytes "
              "were read"},
             {"output there", fine, "mine", false, 0, JoinOutcome::Refused,
              "c:\\joined\\data.zip: already exists; give --force to replace it"},
             {"output forced", fine, "mine", true, 0, JoinOutcome::Done,
              "Joined 3 segments into c:\\joined\\data.zip, 200500 bytes."},
             {"cancelled", fine, std::nullopt, false, 2, JoinOutcome::Cancelled, "cancelled"},
         }) {
        SCOPED_TRACE(c.what);
        m_fs.mediumNamed("disk3").putFile("\\data.kpn", c.descriptor);
        (void)m_fs.deleteFile("c:\\joined\\data.zip");
        if (c.before) {
            m_fs.putFile("c:\\joined\\data.zip", *c.before);
        }
        const JoinResult result = join(c.force, c.cancelAt);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.message, c.message);
        const bool whole = c.outcome == JoinOutcome::Done;
        EXPECT_EQ(m_fs.contents("c:\\joined\\data.zip"),
                  whole ? std::optional(m_source) : c.before);
        EXPECT_EQ(joined().size(), whole || c.before ? 1u : 0u);
        EXPECT_EQ(m_fs.openFiles(), 0);
    }
}

} // namespace
} // namespace dividra::core
