#include "SplitCliFixture.h"
#include "cli/TerminalMessageBoxes.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "support/TestBytes.h"

#include <gtest/gtest.h>

namespace dividra::cli {
namespace {

TEST_F(SplitCliTest, HardDriveSplitWritesSegmentsAndDescriptor) {
    const std::string source = dividra::test::PatternBytes(3000000);
    const Outcome outcome =
        run({m_dir.write("data.zip", source), "--to", m_dir.file("out"), "--size", "1420"});
    EXPECT_EQ(outcome.status, kExitOk);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(names("out"),
              (std::vector<std::string>{"data.000", "data.001", "data.002", "data.kpn"}));
    EXPECT_EQ(fs::file_size(m_dir.file("out/data.000")), 1454080u);
    EXPECT_EQ(fs::file_size(m_dir.file("out/data.001")), 1454080u);
    EXPECT_EQ(fs::file_size(m_dir.file("out/data.002")), 91840u);
    EXPECT_EQ(test::TempDir::read(m_dir.file("out/data.kpn")),
              "File Ext=.zip\r\nTotal Files=3\r\nTotal Size=3000000\r\n");
    const std::string joined = test::TempDir::read(m_dir.file("out/data.000")) +
                               test::TempDir::read(m_dir.file("out/data.001")) +
                               test::TempDir::read(m_dir.file("out/data.002"));
    EXPECT_TRUE(joined == source);
}

TEST_F(SplitCliTest, TheStoredSizeAndNamingApplyUnlessGiven) {
    WriteSettingText(keys::kHardDriveOptions, keys::kDefaultSegmentSize, "710");
    WriteSettingInt(keys::kGeneralOptions, keys::kSplitFiles83Format, 1);
    const std::string source = m_dir.write("Annual Report.text", dividra::test::PatternBytes(3000));
    EXPECT_EQ(run({source, "--to", m_dir.file("out")}).status, kExitOk);
    EXPECT_EQ(names("out"), (std::vector<std::string>{"ANNUAL~1.000", "ANNUAL~1.kpn"}));
    fs::remove_all(m_dir.file("out"));
    fs::create_directories(m_dir.file("out"));
    EXPECT_EQ(run({source, "--to", m_dir.file("out"), "--long-names", "--size", "1"}).status,
              kExitOk);
    EXPECT_EQ(names("out"), (std::vector<std::string>{"Annual Report.000", "Annual Report.001",
                                                      "Annual Report.002", "Annual Report.kpn"}));
}

TEST_F(SplitCliTest, DosNamesGiveTheEightDotThreeAlias) {
    const std::string source = m_dir.write("Annual Report.text", dividra::test::PatternBytes(3000));
    const Outcome outcome = run({source, "--to", m_dir.file("out"), "--size", "1", "--dos-names"});
    EXPECT_EQ(outcome.status, kExitOk);
    EXPECT_EQ(names("out"), (std::vector<std::string>{"ANNUAL~1.000", "ANNUAL~1.001",
                                                      "ANNUAL~1.002", "ANNUAL~1.kpn"}));
    EXPECT_EQ(test::TempDir::read(m_dir.file("out/ANNUAL~1.kpn")),
              "File Ext=.text\r\nTotal Files=3\r\nTotal Size=3000\r\n");
}

TEST_F(SplitCliTest, AnsweringNoWhenNoDisketteIsInTheDrive) {
    test::ScopedEnv drives("DIVIDRA_DRIVES",
                           "c=" + m_dir.path() + ",fixed;a=" + m_dir.file("gone") + ",removable");
    const Outcome outcome = run({m_dir.write("notes.txt", "abc"), "--floppy", "a:"}, "\nN\n");
    EXPECT_EQ(outcome.status, kExitCancelled);
    EXPECT_EQ(outcome.err, kInsertFirst +
                               "Either there is no diskette in drive A:, or there\n"
                               "is a problem with the diskette.  If there is a\n"
                               "diskette in the drive, ensure that it isn't\n"
                               "write protected.\n\nDo you wish to continue?\n[Yes/No]\n");
}

TEST_F(SplitCliTest, OnlyRemovableRemoteAndRamDrivesTakeAFloppySplit) {
    NEEDS_DISKETTE();
    const std::string source = m_dir.write("notes.txt", "abc");
    const std::string noFloppy = "dividra-cli: Cannot split file to floppy diskette because you\n"
                                 "don't have any floppy drives on this system!\n\n"
                                 "If you want to split the file to a hard drive,\n"
                                 "select 'Hard Drive' for the destination.\n";
    const std::string c = "c=" + m_dir.path() + ",fixed";
    const std::string b = ";b=" + m_dir.file("floppy") + ",";
    struct Case {
        std::string drives;
        const char* drive;
        int status;
        std::string err; // the start of it for a split that runs
    };
    const std::string insertIntoB = "Please insert diskette #1 into drive \nB:";
    for (const Case& t : std::vector<Case>{
             {c + b + "removable", "b:", kExitOk, insertIntoB},
             {c + b + "remote", "b:", kExitOk, insertIntoB},
             {c + b + "ramdisk", "b:", kExitOk, insertIntoB},
             {c + b + "fixed", "b:", kExitBadInput,
              "dividra-cli: split: b: is a fixed drive, not a diskette drive\n"},
             {c + b + "cdrom", "B:", kExitBadInput,
              "dividra-cli: split: b: is a CD-ROM drive, not a diskette drive\n"},
             {c, "c:", kExitBadInput,
              "dividra-cli: split: c: is a fixed drive, not a diskette drive\n"},
             // No drive takes diskettes: the window's message, for any letter it lacks.
             {c, "a:", kExitFailed, noFloppy},
             {c + b + "cdrom", "q:", kExitFailed, noFloppy},
             {c + b + "remote", "q:", kExitBadInput,
              "dividra-cli: split: there is no drive q: in the drive table\n"},
         }) {
        test::ScopedEnv drives("DIVIDRA_DRIVES", t.drives);
        const Outcome outcome = run({source, "--floppy", t.drive}, "\n");
        EXPECT_EQ(outcome.status, t.status) << t.drives << " " << t.drive;
        // A split asks its questions; a refusal is all there is.
        const std::string said =
            t.status == kExitOk ? outcome.err.substr(0, t.err.size()) : outcome.err;
        EXPECT_EQ(said, t.err) << t.drives << " " << t.drive;
    }
}

TEST_F(SplitCliTest, RefusalsExitWithOne) {
    NEEDS_DISKETTE();
    const Outcome removable =
        run({m_dir.write("floppy/data.zip", "abc"), "--to", m_dir.file("out")}, "\n");
    EXPECT_EQ(removable.status, kExitFailed);
    EXPECT_EQ(removable.out, "");
    EXPECT_EQ(removable.err,
              "dividra-cli: Sorry, but Dividra isn't designed to split files that exist\n"
              "on removable drives (floppy drives, etc).\n");
    EXPECT_EQ(names("out").size(), 0u);

    const std::string big = m_dir.write("big.bin", std::string(1000 * 1024 + 1, 'x'));
    const Outcome tooMany = run({big, "--to", m_dir.file("out"), "--size", "1"});
    EXPECT_EQ(tooMany.status, kExitFailed);
    EXPECT_TRUE(tooMany.err.starts_with("dividra-cli: With the segment size")) << tooMany.err;
    EXPECT_NE(tooMany.err.find("file would be split into 1001 pieces.\n"), std::string::npos);
    EXPECT_EQ(names("out").size(), 0u);
}

// Bad usage exits with 2; a missing or wrong file or folder is a failure, 1.
TEST_F(SplitCliTest, EachComplaintIsOneLineWithItsStatus) {
    const std::string source = m_dir.write("data.zip", "abc");
    const std::string out = m_dir.file("out");
    const std::string file = m_dir.write("out.txt", "");
    struct Case {
        std::vector<std::string> arguments;
        std::string line;
        int status = kExitBadInput;
    };
    const std::vector<Case> cases = {
        {{source, "--to", out, "--fast"}, "split: unknown option \"--fast\""},
        {{"--to", out}, "split: missing SOURCE file"},
        {{source}, "split: missing destination; give --to FOLDER or --floppy DRIVE"},
        {{source, "--to", out, "--floppy", "a:"}, "split: --to and --floppy exclude each other"},
        {{source, "--floppy", "a:", "--size", "350"},
         "split: --size goes with --to, not with --floppy"},
        {{source, "--to", out, "--erase"}, "split: --erase goes with --floppy, not with --to"},
        {{source, "--to", out, "--dos-names", "--long-names"},
         "split: --dos-names and --long-names exclude each other"},
        {{source, "--floppy", "a:", "--no-erase", "--erase"},
         "split: --erase and --no-erase exclude each other"},
        {{source, "--to", out, "--to", out}, "split: --to given twice"},
        {{source, "--floppy", "a:", "--floppy=b:"}, "split: --floppy given twice"},
        {{source, "--floppy", "a:", "--erase", "--erase"}, "split: --erase given twice"},
        {{source, "--to", out, "--long-names", "--long-names"}, "split: --long-names given twice"},
        {{source, "--to"}, "split: --to needs a value"},
        {{source, "--floppy", "q:"}, "split: there is no drive q: in the drive table"},
        {{source, "--floppy", "a"},
         "split: bad drive \"a\"; give a drive letter and colon, "
         "such as a:"},
        {{source, "--to=" + out, "--size=1.5G"},
         "split: bad segment size \"1.5G\"; give kilobytes (350, 64K), megabytes (700M) or "
         "gigabytes (1G), at least 1K and below 4G"},
        {{source, "--to", m_dir.file("nowhere")},
         "c:\\nowhere (" + m_dir.file("nowhere") + "): no such folder",
         kExitFailed},
        {{source, "--to", file},
         "c:\\out.txt (" + file + "): is a file, not a folder",
         kExitFailed},
        {{m_dir.file("none.zip"), "--to", out},
         "c:\\none.zip (" + m_dir.file("none.zip") + "): no such file",
         kExitFailed},
        {{"/proc/version", "--to", out}, "/proc/version: not on any drive", kExitFailed},
    };
    for (const Case& c : cases) {
        const Outcome outcome = run(c.arguments, "\n");
        EXPECT_EQ(outcome.status, c.status) << c.line;
        EXPECT_EQ(outcome.out, "") << c.line;
        EXPECT_EQ(outcome.err, "dividra-cli: " + c.line + "\n");
    }
    EXPECT_EQ(names("out").size(), 0u);
}

TEST_F(SplitCliTest, ATerminalShowsStatusAndProgress) {
    const Outcome outcome = run(
        {m_dir.write("data.zip", dividra::test::PatternBytes(3000000)), "--to", m_dir.file("out")},
        "", true);
    EXPECT_EQ(outcome.status, kExitOk);
    std::string expected = "Splitting file to hard drive\n";
    for (int parts = 1; parts <= 20; ++parts) {
        expected += "\r[" + std::string(parts, '#') + std::string(20 - parts, '-') + "]";
    }
    expected += "\r" + std::string(22, ' ') + "\rReady\n";
    EXPECT_EQ(outcome.err, expected);
}

TEST(TerminalMessageBoxesTest, AnswerLines) {
    struct Case {
        const char* line;
        unsigned buttons;
        std::optional<int> answer;
    };
    for (const Case& c :
         {Case{"", MB_OKCANCEL, IDOK}, Case{"", MB_YESNO, IDYES}, Case{"o", MB_OKCANCEL, IDOK},
          Case{"Ok", MB_OKCANCEL, IDOK}, Case{"CANCEL", MB_OKCANCEL, IDCANCEL},
          Case{"ca\r", MB_OKCANCEL, IDCANCEL}, Case{"  y ", MB_YESNO, IDYES},
          Case{"No", MB_YESNO, IDNO}, Case{"okay", MB_OKCANCEL, std::nullopt},
          Case{"yes", MB_OKCANCEL, std::nullopt}, Case{"ok", MB_YESNO, std::nullopt},
          Case{"n o", MB_YESNO, std::nullopt}}) {
        EXPECT_EQ(ParseAnswer(c.line, c.buttons), c.answer) << c.line;
    }
    std::istringstream in("maybe\n");
    std::ostringstream out;
    std::ostringstream err;
    TerminalMessageBoxes boxes(in, out, err);
    EXPECT_EQ(boxes.show("Go on?", MessageCaption, MB_ICONQUESTION | MB_YESNO), IDNO);
    EXPECT_EQ(boxes.show("Two\nlines\r\x7f\t", MessageCaption, MB_ICONSTOP | MB_OK), IDOK);
    EXPECT_EQ(boxes.show("Careful", MessageCaption, MB_ICONEXCLAMATION | MB_OK), IDOK);
    EXPECT_EQ(boxes.show("Ready?", MessageCaption, MB_ICONINFORMATION | MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(boxes.show("Done\x1b[2J", MessageCaption, MB_ICONINFORMATION | MB_OK), IDOK);
    EXPECT_EQ(boxes.show("Plain", MessageCaption, MB_OK), IDOK);
    // Information on stdout; errors, warnings and questions on stderr; control bytes escaped.
    EXPECT_EQ(out.str(), "Done\\x1b[2J\nPlain\n");
    EXPECT_EQ(err.str(), "Go on?\n[Yes/No]\nPlease answer yes or no.\nGo on?\n[Yes/No]\n"
                         "dividra-cli: Two\nlines\\x0d\\x7f\t\ndividra-cli: Careful\nReady?\n"
                         "[OK/Cancel]\n");
}

} // namespace
} // namespace dividra::cli
