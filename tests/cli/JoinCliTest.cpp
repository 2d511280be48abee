#include "SplitCliFixture.h"
#include "core/Sha256.h"
#include "support/TestBytes.h"

#include <cstdlib>
#include <functional>
#include <map>
#include <streambuf>

#include <gtest/gtest.h>

// dividra-cli join and verify on real folders, against sets that dividra-cli split made.
namespace dividra::cli {
namespace {

using test::TempDir;

class JoinCliTest : public SplitCliTest {
protected:
    Outcome cli(const std::vector<std::string>& arguments, const std::string& input = "") {
        std::istringstream in(input);
        std::ostringstream out;
        std::ostringstream err;
        const int status = RunCli(arguments, in, out, err, false);
        return {status, out.str(), err.str()};
    }

    // Splits a source of `size` bytes named `name` into out/ with the options given.
    std::string splitSource(const std::string& name, std::size_t size,
                            const std::vector<std::string>& options) {
        m_source = dividra::test::PatternBytes(size);
        std::vector<std::string> line{m_dir.write("src/" + name, m_source), "--to",
                                      m_dir.file("out")};
        line.insert(line.end(), options.begin(), options.end());
        const Outcome split = run(line);
        EXPECT_EQ(split.status, kExitOk) << split.err;
        return m_dir.file("out/" + name);
    }

    std::string m_source;
};

// Answers every question with `answer(n)` for the n-th, after `before(n)` has run: a diskette
// swapped while the question waits.
class ScriptedAnswers : public std::streambuf {
public:
    ScriptedAnswers(std::function<void(int)> before, std::function<std::string(int)> answer)
        : m_before(std::move(before)), m_answer(std::move(answer)) {}
    int asked() const { return m_asked; }

protected:
    int_type underflow() override {
        ++m_asked;
        m_before(m_asked);
        m_line = m_answer(m_asked) + "\n";
        setg(m_line.data(), m_line.data(), m_line.data() + m_line.size());
        return traits_type::to_int_type(m_line.front());
    }

private:
    std::function<void(int)> m_before;
    std::function<std::string(int)> m_answer;
    std::string m_line;
    int m_asked = 0;
};

using Diskette = std::map<std::string, std::string>; // file name -> bytes

class DisketteJoinCliTest : public JoinCliTest {
protected:
    Outcome cliWith(const std::vector<std::string>& arguments, std::streambuf& answers) {
        std::istream in(&answers);
        std::ostringstream out;
        std::ostringstream err;
        const int status = RunCli(arguments, in, out, err, false);
        return {status, out.str(), err.str()};
    }

    Diskette takeOut() const {
        Diskette files;
        for (const std::string& name : names("floppy")) {
            files[name] = TempDir::read(m_dir.file("floppy/" + name));
        }
        return files;
    }

    void insert(const Diskette& diskette) {
        ASSERT_TRUE(m_floppy.remount());
        for (const auto& [name, bytes] : diskette) {
            m_dir.write("floppy/" + name, bytes);
        }
    }

    // Splits `size` bytes of data.zip onto diskettes with --checksums: each diskette's files.
    std::vector<Diskette> splitOntoDiskettes(std::size_t size) {
        m_source = dividra::test::PatternBytes(size);
        const std::string source = m_dir.write("src/data.zip", m_source);
        std::vector<Diskette> diskettes;
        ScriptedAnswers answers(
            [&](int prompt) {
                if (prompt > 1) {
                    diskettes.push_back(takeOut());
                    insert({});
                }
            },
            [](int) { return std::string("ok"); });
        const Outcome split = cliWith({"split", source, "--floppy", "a:", "--checksums"}, answers);
        EXPECT_EQ(split.status, kExitOk) << split.err;
        diskettes.push_back(takeOut());
        return diskettes;
    }
};

TEST_F(JoinCliTest, RoundTripsForEverySegmentSize) {
    struct Case {
        std::string name;
        std::size_t size;
        std::vector<std::string> options;
        std::string descriptor; // in out/
        std::string joined;     // in joined/
    };
    const std::vector<Case> cases = {
        {"data.zip", 3000000, {"--size", "1420"}, "data.kpn", "data.zip"},
        {"data.zip", 3000000, {"--size", "1180"}, "data.kpn", "data.zip"},
        {"data.zip", 3000000, {"--size", "710"}, "data.kpn", "data.zip"},
        {"data.zip", 3000000, {"--size", "350"}, "data.kpn", "data.zip"},
        {"data.zip", 300000, {"--size", "64K"}, "data.kpn", "data.zip"},
        {"one.bin", 1, {"--size", "1"}, "one.kpn", "one.bin"},
        {"edge", 999 * 1024, {"--size", "1"}, "edge.kpn", "edge"},
        {"Annual Report.text",
         5000,
         {"--size", "1", "--dos-names"},
         "ANNUAL~1.kpn",
         "ANNUAL~1.text"},
    };
    for (const Case& c : cases) {
        fs::remove_all(m_dir.file("out"));
        fs::remove_all(m_dir.file("joined"));
        fs::create_directories(m_dir.file("out"));
        fs::create_directories(m_dir.file("joined"));
        splitSource(c.name, c.size, c.options);
        const std::string descriptor = m_dir.file("out/" + c.descriptor);
        const Outcome verified = cli({"verify", descriptor});
        EXPECT_EQ(verified.status, kExitOk) << c.name << verified.out;
        EXPECT_TRUE(verified.out.ends_with("The set is whole.\n")) << verified.out;
        const Outcome joined = cli({"join", descriptor, "--to", m_dir.file("joined")});
        EXPECT_EQ(joined.status, kExitOk) << c.name << " " << joined.err;
        EXPECT_EQ(joined.err, "");
        EXPECT_TRUE(joined.out.starts_with("Joined ")) << joined.out;
        EXPECT_EQ(names("joined"), std::vector<std::string>{c.joined}) << c.name;
        EXPECT_TRUE(TempDir::read(m_dir.file("joined/" + c.joined)) == m_source) << c.name;
    }
}

TEST_F(JoinCliTest, DamagedSetsAreRefusedNamingTheSegment) {
    const std::string out = m_dir.file("out/");
    const std::string ok3 = "File Ext=.zip\r\nTotal Files=3\r\nTotal Size=3000000\r\n";
    struct Case {
        std::string what;
        std::function<void()> damage;
        std::string refusal;   // a line of stderr
        std::string verifyOut; // a line of verify's stdout
    };
    const std::vector<Case> cases = {
        {"missing", [&] { fs::remove(out + "data.001"); },
         "dividra-cli: c:\\out\\data.001 (" + out + "data.001): missing", "data.001: missing"},
        {"truncated", [&] { fs::resize_file(out + "data.000", 1000); },
         "dividra-cli: c:\\out\\data.000 (" + out +
             "data.000): wrong size: 1000 bytes, "
             "1454080 expected",
         "data.000: wrong size: 1000 bytes, 1454080 expected"},
        {"longer last", [&] { m_dir.write("out/data.002", std::string(91841, 'x')); },
         "wrong size: 91841 bytes, 91840 expected", "data.002: wrong size: 91841 bytes"},
        {"a folder",
         [&] {
             fs::remove(out + "data.002");
             fs::create_directories(out + "data.002");
         },
         "dividra-cli: Can't read c:\\out\\data.002", "data.002: can't be read"},
        {"wrong count",
         [&] {
             m_dir.write("out/data.kpn",
                         "File Ext=.zip\r\nTotal Files=4\r\nTotal Size=3000000\r\n");
         },
         "c:\\out\\data.003 (" + out + "data.003): missing", "data.003: missing"},
        {"wrong size",
         [&] {
             m_dir.write("out/data.kpn",
                         "File Ext=.zip\r\nTotal Files=3\r\nTotal Size=3000001\r\n");
         },
         "data.002 (" + out + "data.002): wrong size: 91840 bytes, 91841 expected",
         "The segments found hold 3000000 bytes; 3000001 expected"},
        {"fourth line", [&] { m_dir.write("out/data.kpn", ok3 + "Total Time=1\r\n"); },
         "dividra-cli: c:\\out\\data.kpn (" + out + "data.kpn): line 4: unexpected", ""},
    };
    for (const Case& c : cases) {
        fs::remove_all(m_dir.file("out"));
        fs::create_directories(m_dir.file("out"));
        splitSource("data.zip", 3000000, {"--size", "1420"});
        c.damage();
        const Outcome joined = cli({"join", out + "data.kpn"});
        EXPECT_EQ(joined.status, kExitFailed) << c.what;
        EXPECT_NE(joined.err.find(c.refusal), std::string::npos) << c.what << ": " << joined.err;
        EXPECT_FALSE(fs::exists(out + "data.zip")) << c.what;
        EXPECT_FALSE(fs::exists(out + "data.zip.dividra-part")) << c.what;
        const Outcome verified = cli({"verify", out + "data.kpn"});
        EXPECT_EQ(verified.status, kExitFailed) << c.what;
        EXPECT_NE(verified.out.find(c.verifyOut), std::string::npos) << c.what << verified.out;
    }
}

TEST_F(JoinCliTest, StaleSegmentsAreIgnoredAndMentioned) {
    const std::string descriptor = splitSource("data.zip", 3000000, {"--size", "1420"});
    m_dir.write("out/data.003", "stale");
    m_dir.write("out/data.1000", "stale too");
    const std::string out = m_dir.file("out/");
    const Outcome joined = cli({"join", out + "data.kpn"});
    EXPECT_EQ(joined.status, kExitOk) << joined.err;
    EXPECT_NE(joined.out.find("Ignored c:\\out\\data.003 (" + out +
                              "data.003): not one of the 3 segments of c:\\out\\data.kpn"),
              std::string::npos)
        << joined.out;
    EXPECT_NE(joined.out.find("Ignored c:\\out\\data.1000"), std::string::npos);
    EXPECT_TRUE(TempDir::read(out + "data.zip") == m_source);
    const Outcome verified = cli({"verify", out + "data.kpn"});
    EXPECT_EQ(verified.status, kExitOk);
    EXPECT_NE(verified.out.find("data.003: not one of the 3 segments; ignored\n"),
              std::string::npos);
}

TEST_F(JoinCliTest, AnExistingOutputIsReplacedOnlyWithForce) {
    splitSource("data.zip", 3000, {"--size", "1"});
    const std::string out = m_dir.file("out/");
    m_dir.write("out/data.zip", "mine");
    const Outcome refused = cli({"join", out + "data.kpn"});
    EXPECT_EQ(refused.status, kExitFailed);
    EXPECT_EQ(refused.err, "dividra-cli: c:\\out\\data.zip (" + out +
                               "data.zip): already exists; give --force to replace it\n");
    EXPECT_EQ(TempDir::read(out + "data.zip"), "mine");
    EXPECT_EQ(cli({"join", out + "data.kpn", "--force"}).status, kExitOk);
    EXPECT_TRUE(TempDir::read(out + "data.zip") == m_source);
}

TEST_F(JoinCliTest, AFullFolderGetsNothingUnderTheFinalName) {
    splitSource("data.zip", 3000000, {"--size", "1420"});
    test::TmpfsMount small(m_dir.file("small"), "64k");
    if (!small.mounted()) {
        GTEST_SKIP() << small.why();
    }
    const Outcome joined = cli({"join", m_dir.file("out/data.kpn"), "--to", m_dir.file("small")});
    EXPECT_EQ(joined.status, kExitFailed);
    EXPECT_NE(joined.err.find("Not enough room for c:\\small\\data.zip"), std::string::npos)
        << joined.err;
    EXPECT_TRUE(names("small").empty());
}

TEST_F(JoinCliTest, ChecksumsAreWrittenReadBySha256sumAndHeldAgainstTheSegments) {
    splitSource("data.zip", 3000000, {"--size", "1420", "--checksums"});
    const std::string out = m_dir.file("out/");
    const std::string sums = TempDir::read(out + "data.sha256");
    std::string expected;
    for (const char* name : {"data.000", "data.001", "data.002"}) {
        expected += core::Sha256Hex(TempDir::read(out + name)) + "  " + name + "\n";
    }
    EXPECT_EQ(sums, expected + core::Sha256Hex(m_source) + "  data.zip\n");
    if (std::system("command -v sha256sum >/dev/null") == 0) {
        const std::string check =
            "cd '" + out + "' && sha256sum --quiet -c --ignore-missing " + "data.sha256 >/dev/null";
        EXPECT_EQ(std::system(check.c_str()), 0);
    }
    EXPECT_EQ(cli({"verify", out + "data.kpn"}).status, kExitOk);
    std::string flipped = TempDir::read(out + "data.001");
    flipped[1000] = static_cast<char>(flipped[1000] ^ 1);
    m_dir.write("out/data.001", flipped);
    const Outcome joined = cli({"join", out + "data.kpn"});
    EXPECT_EQ(joined.status, kExitFailed);
    EXPECT_EQ(joined.err, "dividra-cli: c:\\out\\data.001 (" + out +
                              "data.001): checksum differs from c:\\out\\data.sha256 (" + out +
                              "data.sha256)\n");
    EXPECT_EQ(names("out"), (std::vector<std::string>{"data.000", "data.001", "data.002",
                                                      "data.kpn", "data.sha256"}));
    const Outcome verified = cli({"verify", out + "data.kpn"});
    EXPECT_EQ(verified.status, kExitFailed);
    EXPECT_NE(verified.out.find("data.001: checksum differs\n"), std::string::npos);
    // Without --checksums no checksum file is written.
    fs::remove_all(m_dir.file("out"));
    fs::create_directories(m_dir.file("out"));
    splitSource("data.zip", 3000, {"--size", "1"});
    EXPECT_FALSE(fs::exists(out + "data.sha256"));
}

TEST_F(JoinCliTest, UsageComplaints) {
    struct Case {
        std::vector<std::string> arguments;
        std::string line;
    };
    for (const Case& c : std::vector<Case>{
             {{"join"}, "join: missing DESCRIPTOR file"},
             {{"join", "a.kpn", "b.kpn"}, "join: unexpected argument \"b.kpn\""},
             {{"join", "a.kpn", "--fast"}, "join: unknown option \"--fast\""},
             {{"join", "a.kpn", "--force", "--force"}, "join: --force given twice"},
             {{"verify"}, "verify: missing DESCRIPTOR file"},
             {{"verify", "a.kpn", "--force"}, "verify: unknown option \"--force\""},
         }) {
        const Outcome outcome = cli(c.arguments);
        EXPECT_EQ(outcome.status, kExitBadInput) << c.line;
        EXPECT_EQ(outcome.err, "dividra-cli: " + c.line + "\n");
    }
    const Outcome missing = cli({"join", m_dir.file("none.kpn")});
    EXPECT_EQ(missing.status, kExitFailed);
    EXPECT_EQ(missing.err,
              "dividra-cli: c:\\none.kpn (" + m_dir.file("none.kpn") + "): no such file\n");
}

TEST_F(DisketteJoinCliTest, JoinsSwappedDiskettesBackByteExact) {
    NEEDS_DISKETTE();
    const std::vector<Diskette> diskettes = splitOntoDiskettes(3000000);
    ASSERT_EQ(diskettes.size(), 3u);
    ASSERT_TRUE(diskettes.back().contains("data.kpn"));
    ASSERT_TRUE(diskettes.back().contains("data.sha256"));
    const std::string prompt = [](int n) {
        return "Please insert diskette #" + std::to_string(n) +
               " into drive \nA: and select OK when ready to\ncontinue.\n[OK/Cancel]\n";
    }(1);
    struct Case {
        std::string name;
        std::vector<int> inserted; // at each prompt the diskette (from 1, 0 damaged #2) put
                                   // in; answered OK, and Cancel once they run out
        std::vector<std::string> arguments;
        int status;
        int prompts;
        std::string errPart;
    };
    Diskette damaged = diskettes[1];
    damaged["data.001"][5] = static_cast<char>(damaged["data.001"][5] ^ 1);
    const std::vector<Case> cases = {
        {"in order", {1, 2, 3}, {}, kExitOk, 3, ""},
        {"named", {1, 2, 3}, {"data.kpn"}, kExitOk, 3, ""},
        {"a wrong diskette is asked for again",
         {1, 3, 2, 3},
         {},
         kExitOk,
         4,
         "This diskette doesn't hold a:\\data.001 ("},
        {"cancelled", {1, 2}, {}, kExitCancelled, 3, ""},
        {"a changed segment",
         {1, 0, 3},
         {},
         kExitFailed,
         3,
         "checksum differs from a:\\data.sha256"},
        {"the set's name not on diskette 1",
         {1},
         {"other"},
         kExitCancelled,
         2,
         "This diskette doesn't hold a:\\other.000"},
    };
    for (const Case& c : cases) {
        fs::remove_all(m_dir.file("joined"));
        fs::create_directories(m_dir.file("joined"));
        const auto size = static_cast<int>(c.inserted.size());
        ScriptedAnswers answers(
            [&](int n) {
                if (n <= size) {
                    const int number = c.inserted[static_cast<std::size_t>(n - 1)];
                    insert(number == 0 ? damaged : diskettes[static_cast<std::size_t>(number - 1)]);
                }
            },
            [&](int n) { return std::string(n <= size ? "ok" : "cancel"); });
        std::vector<std::string> line{"join"};
        line.insert(line.end(), c.arguments.begin(), c.arguments.end());
        for (const char* part : {"--floppy", "a:", "--to"}) {
            line.emplace_back(part);
        }
        line.push_back(m_dir.file("joined"));
        const Outcome joined = cliWith(line, answers);
        EXPECT_EQ(joined.status, c.status) << c.name << "\n" << joined.err;
        EXPECT_EQ(answers.asked(), c.prompts) << c.name;
        EXPECT_TRUE(joined.err.starts_with(prompt)) << c.name << "\n" << joined.err;
        EXPECT_NE(joined.err.find(c.errPart), std::string::npos) << c.name << "\n" << joined.err;
        if (c.status == kExitOk) {
            EXPECT_EQ(names("joined"), std::vector<std::string>{"data.zip"}) << c.name;
            EXPECT_TRUE(TempDir::read(m_dir.file("joined/data.zip")) == m_source) << c.name;
            EXPECT_EQ(joined.out, "Joined 3 segments into c:\\joined\\data.zip (" +
                                      m_dir.file("joined/data.zip") + "), 3000000 bytes.\n")
                << c.name;
        } else {
            EXPECT_TRUE(names("joined").empty()) << c.name;
        }
    }
}

TEST_F(DisketteJoinCliTest, UsageComplaints) {
    struct Case {
        std::vector<std::string> arguments;
        std::string line;
    };
    for (const Case& c : std::vector<Case>{
             {{"join", "--floppy", "a:"}, "join: --floppy needs --to FOLDER for the joined file"},
             {{"join", "--floppy", "a", "--to", "x"},
              "join: bad drive \"a\"; give a drive letter and colon, such as a:"},
             {{"join", "--floppy", "c:", "--to", "x"},
              "join: c: is a fixed drive, not a diskette drive"},
             {{"join", "--floppy", "q:", "--to", "x"},
              "join: there is no drive q: in the drive table"},
         }) {
        const Outcome outcome = cli(c.arguments);
        EXPECT_EQ(outcome.status, kExitBadInput) << c.line;
        EXPECT_EQ(outcome.err, "dividra-cli: " + c.line + "\n");
    }
}

} // namespace
} // namespace dividra::cli
