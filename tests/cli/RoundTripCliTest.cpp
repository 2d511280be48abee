#include "JoinCliFixture.h"
#include "core/transfer/Sha256.h"

#include <chrono>
#include <cstring>
#include <unistd.h>

#include <gtest/gtest.h>

// The round trip on real folders: a descriptor only over a whole set, no file of the user's
// touched, nothing written through a link.
namespace dividra::cli {
namespace {

using test::TempDir;

// Only a checksum file a split wrote for the set goes, under its exact name; the user's own
// stays and is named, and a source of that name is never touched.
TEST_F(JoinCliTest, TheUsersChecksumFilesAndTheSourceStay) {
    const std::string bk = m_dir.file("bk/");
    const std::string tar = m_dir.write("bk/backup.tar", test::PatternBytes(200000));
    const std::string mine = core::Sha256Hex(TempDir::read(tar)) + "  backup.tar\n";
    m_dir.write("bk/backup.sha256", mine);
    const Outcome split = run({tar, "--to", bk, "--size", "64K"});
    EXPECT_EQ(split.status, kExitOk) << split.err;
    EXPECT_EQ(TempDir::read(bk + "backup.sha256"), mine);
    EXPECT_NE(split.out.find("Kept c:\\bk\\backup.sha256 (" + bk +
                             "backup.sha256): it is not a file of this set\n"),
              std::string::npos)
        << split.out;

    const std::string sk = m_dir.file("sk/");
    const std::string source = m_dir.write("sk/data.SHA256", test::PatternBytes(100000));
    const std::string bytes = TempDir::read(source);
    EXPECT_EQ(run({source, "--to", sk, "--size", "40K"}).status, kExitOk);
    EXPECT_TRUE(TempDir::read(source) == bytes);
    EXPECT_EQ(names("sk"), (std::vector<std::string>{"data.000", "data.001", "data.002",
                                                     "data.SHA256", "data.kpn"}));
}

// A name that ends in a dot keeps it through the round trip.
TEST_F(JoinCliTest, ASourceNameEndingInADotComesBackAsItWas) {
    for (const char* name : {"file.", "x.."}) {
        splitSource(name, 5000, {"--size", "1"});
        const std::string stem(name, std::strlen(name) - 1); // the descriptor is stem.kpn
        fs::create_directories(m_dir.file(name) + "j");
        EXPECT_EQ(cli({"join", m_dir.file("out/" + stem + ".kpn"), "--to", m_dir.file(name) + "j"})
                      .status,
                  kExitOk);
        EXPECT_TRUE(TempDir::read(m_dir.file(name) + "j/" + name) == m_source) << name;
    }
}

// Nothing is written through a link: not a temporary that is a hard link, not an output that
// is a symbolic link; and a link is never read as one of the set's files.
TEST_F(JoinCliTest, LinksAreNeitherWrittenThroughNorReadAsTheSet) {
    splitSource("data.zip", 3000, {"--size", "1", "--checksums"});
    const std::string out = m_dir.file("out/");
    const std::string j = m_dir.file("j/");
    fs::create_directories(j);
    const std::string precious = m_dir.write("precious", "precious");
    ASSERT_EQ(::link(precious.c_str(), (j + "data.zip.dividra-part").c_str()), 0);
    EXPECT_EQ(cli({"join", out + "data.kpn", "--to", j}).status, kExitOk);
    EXPECT_EQ(TempDir::read(precious), "precious");
    EXPECT_TRUE(TempDir::read(j + "data.zip") == m_source);

    for (const std::string& target : {precious, m_dir.file("nowhere")}) {
        fs::remove(j + "data.zip");
        fs::create_symlink(target, j + "data.zip");
        const Outcome refused = cli({"join", out + "data.kpn", "--to", j});
        EXPECT_EQ(refused.status, kExitFailed) << target;
        EXPECT_NE(refused.err.find("already exists; give --force"), std::string::npos);
        EXPECT_EQ(cli({"join", out + "data.kpn", "--to", j, "--force"}).status, kExitOk);
        EXPECT_FALSE(fs::is_symlink(j + "data.zip"));
        EXPECT_TRUE(TempDir::read(j + "data.zip") == m_source);
        EXPECT_EQ(TempDir::read(precious), "precious");
    }

    for (const char* name : {"data.001", "data.kpn", "data.sha256"}) {
        SCOPED_TRACE(name);
        const std::string path = out + name;
        fs::rename(path, m_dir.file("real"));
        fs::create_symlink(m_dir.file("real"), path);
        const Outcome joined = cli({"join", out + "data.kpn", "--to", j, "--force"});
        EXPECT_EQ(joined.status, kExitFailed);
        EXPECT_NE(joined.err.find(std::string(name) + " (" + path +
                                  "): is a symbolic link, not a regular file"),
                  std::string::npos)
            << joined.err;
        EXPECT_EQ(cli({"verify", out + "data.kpn"}).status, kExitFailed);
        fs::remove(path);
        fs::rename(m_dir.file("real"), path);
    }
}

// A descriptor counting far more segments than the folder holds is told at once.
TEST_F(JoinCliTest, ManyMissingSegmentsAreToldAtOnceInABusyFolder) {
    splitSource("data.zip", 3000, {"--size", "1"});
    for (int n = 0; n < 2000; ++n) {
        m_dir.write("out/other" + std::to_string(n) + ".txt", "x");
    }
    m_dir.write("out/data.kpn", "File Ext=.zip\r\nTotal Files=99999\r\nTotal Size=300000\r\n");
    const auto start = std::chrono::steady_clock::now();
    const Outcome joined = cli({"join", m_dir.file("out/data.kpn"), "--to", m_dir.file("src")});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(joined.status, kExitFailed);
    EXPECT_NE(joined.err.find("data.012"), std::string::npos) << joined.err;
    EXPECT_EQ(joined.err.find("data.013"), std::string::npos);
    EXPECT_NE(joined.err.find("99996 of the 99999 segments are missing\n"), std::string::npos);
    const Outcome verified = cli({"verify", m_dir.file("out/data.kpn")});
    EXPECT_NE(verified.out.find("99996 of the 99999 segments are missing\n"), std::string::npos);
    EXPECT_LT(std::count(verified.out.begin(), verified.out.end(), '\n'), 20);
}

TEST_F(JoinCliTest, AJoinIntoAFolderAnotherJoinHoldsSaysSo) {
    splitSource("data.zip", 3000, {"--size", "1"});
    fs::create_directories(m_dir.file("j"));
    CliWiring other; // another program's hold on the folder, through the same lock
    const auto held = other.fs().lockFolder("c:\\j");
    ASSERT_TRUE(held.ok());
    const Outcome joined = cli({"join", m_dir.file("out/data.kpn"), "--to", m_dir.file("j")});
    EXPECT_EQ(joined.status, kExitFailed);
    EXPECT_NE(joined.err.find("another split or join is writing there now"), std::string::npos)
        << joined.err;
}

// Segment lines that match and a whole-file line that doesn't: still not whole.
TEST_F(JoinCliTest, VerifyHoldsTheWholeFilesLineToo) {
    splitSource("data.zip", 3000, {"--size", "1", "--checksums"});
    const std::string sums = m_dir.file("out/data.sha256");
    std::string text = TempDir::read(sums);
    const auto last = text.rfind('\n', text.size() - 2) + 1;
    text.replace(last, 64, std::string(64, '0'));
    m_dir.write("out/data.sha256", text);
    const Outcome verified = cli({"verify", m_dir.file("out/data.kpn")});
    EXPECT_EQ(verified.status, kExitFailed);
    EXPECT_NE(verified.out.find("data.002: ok\ndata.zip (the whole file): checksum differs\n"
                                "The set is not whole.\n"),
              std::string::npos)
        << verified.out;
}

} // namespace
} // namespace dividra::cli
