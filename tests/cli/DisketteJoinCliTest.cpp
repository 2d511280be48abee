#include "JoinCliFixture.h"

#include <functional>
#include <map>
#include <streambuf>

#include <gtest/gtest.h>

// dividra-cli join --floppy over a tmpfs diskette, against sets that dividra-cli split made.
namespace dividra::cli {
namespace {

using test::TempDir;

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
        const int status = RunCliHere(arguments, in, out, err, false);
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

    // Splits `size` bytes of data.zip onto fresh diskettes with --checksums (or the options
    // given): each diskette's files.
    std::vector<Diskette> splitOntoDiskettes(std::size_t size,
                                             std::vector<std::string> options = {"--checksums"}) {
        m_source = dividra::test::PatternBytes(size);
        const std::string source = m_dir.write("src/data.zip", m_source);
        std::vector<Diskette> diskettes;
        insert({});
        ScriptedAnswers answers(
            [&](int prompt) {
                if (prompt > 1) {
                    diskettes.push_back(takeOut());
                    insert({});
                }
            },
            [](int) { return std::string("ok"); });
        std::vector<std::string> line{"split", source, "--floppy", "a:"};
        line.insert(line.end(), options.begin(), options.end());
        const Outcome split = cliWith(line, answers);
        EXPECT_EQ(split.status, kExitOk) << split.err;
        diskettes.push_back(takeOut());
        return diskettes;
    }

    // join --floppy a: --to joined/ with the arguments given, putting in at each prompt the
    // next of `inserted` and answering OK, and Cancel once they run out.
    Outcome joinInserting(const std::vector<Diskette>& inserted,
                          const std::vector<std::string>& arguments = {}) {
        fs::remove_all(m_dir.file("joined"));
        fs::create_directories(m_dir.file("joined"));
        const auto size = static_cast<int>(inserted.size());
        ScriptedAnswers answers(
            [&](int n) {
                if (n <= size) {
                    insert(inserted[static_cast<std::size_t>(n - 1)]);
                }
            },
            [&](int n) { return std::string(n <= size ? "ok" : "cancel"); });
        std::vector<std::string> line{"join"};
        line.insert(line.end(), arguments.begin(), arguments.end());
        line.insert(line.end(), {"--floppy", "a:", "--to", m_dir.file("joined")});
        const Outcome joined = cliWith(line, answers);
        m_asked = answers.asked();
        return joined;
    }

    int m_asked = 0; // questions the last join asked
};

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
        {"named as the descriptor", {1, 2, 3}, {"data.KPN"}, kExitOk, 3, ""},
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
        std::vector<Diskette> inserted;
        for (const int number : c.inserted) {
            inserted.push_back(number == 0 ? damaged
                                           : diskettes[static_cast<std::size_t>(number - 1)]);
        }
        const Outcome joined = joinInserting(inserted, c.arguments);
        EXPECT_EQ(joined.status, c.status) << c.name << "\n" << joined.err;
        EXPECT_EQ(m_asked, c.prompts) << c.name;
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

// On tmpfs every file takes whole 4096-byte pages: the descriptor and the checksum file want two
// of them on the last diskette, else both go on one more.
TEST_F(DisketteJoinCliTest, TheChecksumFileGoesWithTheDescriptorWhereBothFit) {
    NEEDS_DISKETTE();
    const auto free = static_cast<std::size_t>(fs::space(m_dir.file("floppy")).available);
    for (const auto& [room, count] : {std::pair{8192u, 1u}, std::pair{8191u, 2u}}) {
        const std::vector<Diskette> diskettes = splitOntoDiskettes(free - room);
        ASSERT_EQ(diskettes.size(), count) << room;
        EXPECT_EQ(diskettes.back().size(), count == 1 ? 3u : 2u) << room;
        EXPECT_TRUE(diskettes.back().contains("data.sha256")) << room;
        const Outcome joined = joinInserting(diskettes);
        EXPECT_EQ(joined.status, kExitOk) << room << "\n" << joined.err;
        EXPECT_TRUE(TempDir::read(m_dir.file("joined/data.zip")) == m_source) << room;
    }
}

// Diskette #2 is lost: the join goes on without it once its prompt is cancelled over the
// wrong diskette, and rebuilds its segment from the volumes on the diskettes after the
// descriptor.
TEST_F(DisketteJoinCliTest, ALostDisketteIsSkippedAndItsSegmentRebuilt) {
    NEEDS_DISKETTE();
    const std::vector<Diskette> diskettes = splitOntoDiskettes(3000000, {"--recovery", "1"});
    ASSERT_EQ(diskettes.size(), 4u);
    ASSERT_TRUE(diskettes[2].contains("data.par2"));
    fs::create_directories(m_dir.file("joined"));
    // What goes in at each question: #1, #3 for #2 (wrong), cancel, go on without it, #3, #4.
    const std::vector<int> put{1, 3, 0, 0, 3, 4};
    ScriptedAnswers answers(
        [&](int n) {
            if (n <= 6 && put[static_cast<std::size_t>(n - 1)] > 0) {
                insert(
                    diskettes[static_cast<std::size_t>(put[static_cast<std::size_t>(n - 1)] - 1)]);
            }
        },
        [](int n) { return std::string(n == 3 ? "cancel" : "ok"); });
    const Outcome joined =
        cliWith({"join", "--floppy", "a:", "--to", m_dir.file("joined")}, answers);
    EXPECT_EQ(joined.status, kExitOk) << joined.err;
    EXPECT_NE(joined.err.find("Go on without diskette #2? Its segment is then rebuilt"),
              std::string::npos)
        << joined.err;
    EXPECT_EQ(names("joined"), std::vector<std::string>{"data.zip"});
    EXPECT_TRUE(TempDir::read(m_dir.file("joined/data.zip")) == m_source);
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

// NAME names one set on the diskette's root: nothing that reaches another folder or drive.
TEST_F(DisketteJoinCliTest, ASetNameThatIsNoBaseNameIsBadUsage) {
    fs::create_directories(m_dir.file("joined"));
    for (const auto& [name, shown] : std::vector<std::pair<std::string, std::string>>{
             {"..\\x", "..\\x"},
             {"sub/data", "sub/data"},
             {"c:data", "c:data"},
             {"...KPN", "...KPN"},
             {".", "."},
             {"da\x1bta", "da\\x1bta"},
             {"da\x7fta", "da\\x7fta"},
         }) {
        const Outcome outcome = cli({"join", name, "--floppy", "a:", "--to", m_dir.file("joined")});
        EXPECT_EQ(outcome.status, kExitBadInput) << shown;
        EXPECT_EQ(outcome.err, "dividra-cli: join: bad set name \"" + shown +
                                   "\"; give the base name of the set, such as DATA\n");
    }
}

} // namespace
} // namespace dividra::cli
