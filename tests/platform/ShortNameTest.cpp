#include "platform/ShortName.h"

#include <gtest/gtest.h>

namespace dividra::platform {
namespace {

using Names = std::vector<std::string>;

TEST(ShortName, FitsEightDotThreeAtTheBoundaries) {
    for (const char* name :
         {"A", "data.zip", "DATA.ZIP", "ABCDEFGH.ABC", "LONGFI~1.TXT", "README"}) {
        EXPECT_TRUE(fitsEightDotThree(name)) << name;
    }
    for (const char* name : {"", ".", "..", "ABCDEFGHI", "ABCDEFGH.ABCD", ".bashrc", "a.b.c",
                             "data.", "my file.txt", "a+b.txt", "caf\xC3\xA9.txt"}) {
        EXPECT_FALSE(fitsEightDotThree(name)) << name;
    }
}

TEST(ShortName, AliasesCutCleanAndUpperCaseLongNames) {
    EXPECT_EQ(shortAliases({"longfilename.txt", "my file+name.text", ".bashrc", "archive.tar.gz",
                            "caf\xC3\xA9 au lait.txt", "+++", "data.zip"}),
              (Names{"LONGFI~1.TXT", "MYFILE~1.TEX", "BASHRC~1", "ARCHIV~1.GZ", "CAFAUL~1.TXT",
                     "_~1", "data.zip"}));
}

TEST(ShortName, NumbersCountAgainstTheFolderInByteOrder) {
    // Served in byte order whatever the order given.
    EXPECT_EQ(shortAliases({"longfilename2.txt", "longfilename1.txt"}),
              (Names{"LONGFI~2.TXT", "LONGFI~1.TXT"}));
    // An existing 8.3 name (in any case) holds its number.
    EXPECT_EQ(shortAliases({"longfilename.txt", "longfi~1.txt"}),
              (Names{"LONGFI~2.TXT", "longfi~1.txt"}));
    Names ten;
    for (char digit = '0'; digit <= '9'; ++digit) {
        ten.push_back(std::string("longfilename") + digit + ".txt");
    }
    const Names aliases = shortAliases(ten);
    EXPECT_EQ(aliases[8], "LONGFI~9.TXT");
    EXPECT_EQ(aliases[9], "LONGF~10.TXT"); // the name part gives way to the longer number
}

TEST(ShortName, AliasOfOneNameAmongItsFolder) {
    EXPECT_EQ(shortAlias("longfilename.txt", {"LONGFI~1.TXT"}), "LONGFI~2.TXT");
    EXPECT_EQ(shortAlias("longfilename_b.txt", {"longfilename_a.txt", "longfilename_b.txt"}),
              "LONGFI~2.TXT");
    EXPECT_EQ(shortAlias("Annual Report.text", {"Annual Report.text"}), "ANNUAL~1.TEX");
    EXPECT_EQ(shortAlias("Data.Zip", {}), "Data.Zip");
}

// One alias is worked out from the names that could share it only; it must be the one the
// whole folder gives, whatever else the folder holds.
TEST(ShortName, AliasOfOneNameIsTheFolderWideOne) {
    std::vector<std::string> folder{"ANNUAL~1.ZIP",
                                    "annual.zip",
                                    "A~1.ZIP",
                                    "a b.zip",
                                    ".annual report.zip",
                                    "Another one.zip",
                                    "Annual.Report.txt",
                                    "annual report.ZIPPED",
                                    "_~1",
                                    " x",
                                    "Ärger.zip"};
    for (int n = 1; n <= 12; ++n) {
        folder.push_back("Annual Report " + std::to_string(n) + ".zip");
        folder.push_back("file-" + std::to_string(n) + ".dat");
    }
    const auto all = shortAliases(folder);
    for (std::size_t i = 0; i < folder.size(); ++i) {
        EXPECT_EQ(shortAlias(folder[i], folder), all[i]) << folder[i];
    }
}

} // namespace
} // namespace dividra::platform
