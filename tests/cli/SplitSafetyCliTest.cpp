#include "SplitCliFixture.h"
#include "support/TestBytes.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

// The ways a split on Linux could cost a user a file, each tried on real folders.
namespace dividra::cli {
namespace {

using test::TempDir;

// Bytes that differ from one source to the next.
std::string bytesNumbered(std::size_t size, char tag) {
    std::string bytes = dividra::test::PatternBytes(size);
    bytes[0] = tag;
    return bytes;
}

TEST_F(SplitCliTest, FilesAreCreatedUnderTheirExactNamesAndNeverThroughAnother) {
    m_dir.write("out/DATA.000", "x\n");
    const std::string data = bytesNumbered(3000000, 'd');
    ASSERT_EQ(run({m_dir.write("data.zip", data), "--to", m_dir.file("out")}).status, kExitOk);
    EXPECT_EQ(TempDir::read(m_dir.file("out/DATA.000")), "x\n");
    EXPECT_TRUE(TempDir::read(m_dir.file("out/data.000")) +
                    TempDir::read(m_dir.file("out/data.001")) +
                    TempDir::read(m_dir.file("out/data.002")) ==
                data);

    // The emulated 8.3 names of one set never lead a later set's writes into it.
    fs::create_directories(m_dir.file("sets"));
    const std::string y2023 = bytesNumbered(2500, '3');
    const std::string y2024 = bytesNumbered(2500, '4');
    ASSERT_EQ(run({m_dir.write("src23/Annual Report 2023.zip", y2023), "--to", m_dir.file("sets"),
                   "--size", "1", "--long-names"})
                  .status,
              kExitOk);
    ASSERT_EQ(run({m_dir.write("src24/Annual Report 2024.zip", y2024), "--to", m_dir.file("sets"),
                   "--size", "1", "--dos-names"})
                  .status,
              kExitOk);
    std::string set23;
    std::string set24;
    for (const char* ext : {".000", ".001", ".002"}) {
        set23 += TempDir::read(m_dir.file("sets/Annual Report 2023") + ext);
        set24 += TempDir::read(m_dir.file("sets/ANNUAL~1") + ext);
    }
    EXPECT_TRUE(set23 == y2023);
    EXPECT_TRUE(set24 == y2024);
    EXPECT_EQ(names("sets").size(), 8u);
}

// The README's own example: a removable drive's folder with nothing mounted on it.
TEST_F(SplitCliTest, ABareRemovableFolderIsAnEmptyDriveEvenWhenErasing) {
    m_floppy.unmount();
    m_dir.write("floppy/keep.txt", "mine");
    m_dir.write("floppy/docs/letter.txt", "mine too");
    const Outcome outcome =
        run({m_dir.write("data.zip", bytesNumbered(3000000, 'd')), "--floppy", "a:", "--erase"},
            "\nN\n");
    EXPECT_EQ(outcome.status, kExitCancelled);
    EXPECT_NE(outcome.err.find("Either there is no diskette in drive A:"), std::string::npos);
    EXPECT_EQ(names("floppy"), (std::vector<std::string>{"docs", "keep.txt"}));
    EXPECT_EQ(TempDir::read(m_dir.file("floppy/docs/letter.txt")), "mine too");
}

TEST_F(SplitCliTest, EraseIsRefusedOnANetworkDrive) {
    test::ScopedEnv drives("DIVIDRA_DRIVES",
                           "c=" + m_dir.path() + ",fixed;n=" + m_dir.file("share") + ",remote");
    m_dir.write("share/projects/plan.txt", "keep");
    const std::string source = m_dir.write("notes.txt", "abc");
    const Outcome erasing = run({source, "--floppy", "n:", "--erase"}, "\n");
    EXPECT_EQ(erasing.status, kExitFailed);
    EXPECT_EQ(erasing.err,
              "dividra-cli: Erase Diskettes is on, but N: is a network drive, not a diskette "
              "drive.\n\nDividra erases only diskettes in removable drives. Turn "
              "Erase Diskettes off to split onto N: without erasing it.\n\nNothing "
              "was written.\n");
    EXPECT_EQ(names("share"), std::vector<std::string>{"projects"});
    EXPECT_EQ(TempDir::read(m_dir.file("share/projects/plan.txt")), "keep");
    EXPECT_EQ(run({source, "--floppy", "n:", "--no-erase"}, "\n").status, kExitOk);
    EXPECT_EQ(names("share"), (std::vector<std::string>{"notes.000", "notes.kpn", "projects"}));
}

// A smaller file system mounted below the drive root: its own room decides, counted in its
// own allocation units (4 KB on tmpfs).
TEST_F(SplitCliTest, FreeSpaceIsThatOfTheFileSystemTheSegmentsGoTo) {
    test::TmpfsMount small(m_dir.file("out/small"));
    if (!small.mounted()) {
        GTEST_SKIP() << small.why();
    }
    // 1472000 bytes pass a check of 512 bytes a file, then need 361 of the 360 pages.
    for (const std::size_t size : {std::size_t{3000000}, std::size_t{1472000}}) {
        const Outcome outcome = run({m_dir.write("data.zip", bytesNumbered(size, 'd')), "--to",
                                     m_dir.file("out/small"), "--size", "1420"});
        EXPECT_EQ(outcome.status, kExitFailed) << size;
        EXPECT_EQ(outcome.err, "dividra-cli: Insufficient space on drive c: to perform split.\n")
            << size;
        EXPECT_TRUE(names("out/small").empty()) << size;
    }
}

TEST_F(SplitCliTest, ObstaclesAndOddSourcesAreRefusedUpFront) {
    fs::create_directories(m_dir.file("out/data.001"));
    const Outcome folder = run({m_dir.write("data.zip", bytesNumbered(3000000, 'd')), "--to",
                                m_dir.file("out"), "--size", "1420"});
    EXPECT_EQ(folder.status, kExitFailed);
    EXPECT_TRUE(folder.err.ends_with("c:\\out\\data.001 (" + m_dir.file("out/data.001") +
                                     "): Is a directory\n\nNothing was written.\n"))
        << folder.err;
    EXPECT_EQ(names("out"), std::vector<std::string>{"data.001"});

    ASSERT_EQ(::mkfifo(m_dir.file("pipe").c_str(), 0600), 0);
    const Outcome fifo = run({m_dir.file("pipe"), "--to", m_dir.file("out")});
    EXPECT_EQ(fifo.status, kExitFailed);
    EXPECT_EQ(fifo.err,
              "dividra-cli: c:\\pipe (" + m_dir.file("pipe") + "): is not a regular file\n");
}

} // namespace
} // namespace dividra::cli
