#include "CliFixture.h"
#include "support/TmpfsMount.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace dividra::cli {
namespace {

struct Cell {
    std::string text;
    std::size_t start;
};

// The blank-separated words of a line, with where each starts.
std::vector<Cell> cells(const std::string& line) {
    std::vector<Cell> found;
    for (std::size_t at = line.find_first_not_of(' '); at != std::string::npos;
         at = line.find_first_not_of(' ', at)) {
        const std::size_t end = std::min(line.find(' ', at), line.size());
        found.push_back({line.substr(at, end - at), at});
        at = end;
    }
    return found;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> found;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        found.push_back(line);
    }
    return found;
}

// Drives on small file systems of known size, so their free space is exact.
class DrivesCliTest : public CliTest {
protected:
    test::TmpfsMount m_floppy{m_dir.file("fd")};
    test::TmpfsMount m_disk{m_dir.file("disk"), "64k"};
};

TEST_F(DrivesCliTest, ListsEveryDriveInAlignedColumns) {
    if (!m_floppy.mounted() || !m_disk.mounted()) {
        GTEST_SKIP() << m_floppy.why() << m_disk.why();
    }
    std::filesystem::create_directories(m_dir.file("bare"));
    const std::string disk = m_dir.file("disk");
    test::ScopedEnv drives("DIVIDRA_DRIVES",
                           "c=" + disk + ",fixed,SYSTEM;a=" + m_dir.file("fd") + ",removable;b=" +
                               m_dir.file("bare") + ",removable;e=" + m_dir.file("gone") +
                               ",cdrom;n=" + disk + ",remote,share;r=" + disk + ",ramdisk");
    const Outcome outcome = run({"drives"});
    ASSERT_EQ(outcome.status, kExitOk) << outcome.err;
    EXPECT_EQ(outcome.err, "");
    const std::vector<std::vector<std::string>> expected{
        {"DRIVE", "KIND", "FOLDER", "LABEL", "FREE", "MEDIUM"},
        {"a:", "removable", m_dir.file("fd"), "-", "1474560", "mounted"},
        {"b:", "removable", m_dir.file("bare"), "-", "-", "not", "mounted"},
        {"c:", "fixed", disk, "SYSTEM", "65536", "present"},
        {"e:", "cdrom", m_dir.file("gone"), "-", "-", "missing"},
        {"n:", "remote", disk, "share", "65536", "present"},
        {"r:", "ramdisk", disk, "-", "65536", "present"},
    };
    const std::vector<std::string> shown = lines(outcome.out);
    ASSERT_EQ(shown.size(), expected.size() + 1) << outcome.out;
    EXPECT_EQ(shown.back(), "Drives from DIVIDRA_DRIVES.");
    const std::vector<Cell> header = cells(shown.front());
    for (std::size_t row = 0; row < expected.size(); ++row) {
        const std::vector<Cell> found = cells(shown[row]);
        std::vector<std::string> words;
        for (const Cell& cell : found) {
            words.push_back(cell.text);
        }
        ASSERT_EQ(words, expected[row]) << shown[row];
        // Words start under their headings; numbers end under theirs.
        for (const std::size_t column : {0u, 1u, 2u, 3u, 5u}) {
            EXPECT_EQ(found[column].start, header[column].start) << shown[row];
        }
        EXPECT_EQ(found[4].start + found[4].text.size(), header[4].start + header[4].text.size())
            << shown[row];
    }
}

TEST_F(DrivesCliTest, WithoutTheVariableTheDetectedDrivesAreListed) {
    test::ScopedEnv detected("DIVIDRA_DRIVES", "");
    const Outcome outcome = run({"drives"});
    EXPECT_EQ(outcome.status, kExitOk);
    EXPECT_TRUE(outcome.out.starts_with("DRIVE  KIND")) << outcome.out;
    EXPECT_NE(outcome.out.find("\nc:  "), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.out.find("\nDetected: c: is /,"), std::string::npos) << outcome.out;
}

} // namespace
} // namespace dividra::cli
