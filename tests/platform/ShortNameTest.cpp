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

// One folder: each long name and the alias Windows gives it there.
TEST(ShortName, AliasesCutCleanAndUpperCaseLongNames) {
    const std::vector<std::pair<std::string, std::string>> rows{
        {"longfilename.txt", "LONGFI~1.TXT"},
        {"longfilename.doc", "LONGFI~1.DOC"}, // each extension counts on its own
        {"my file+name.text", "MYFILE~1.TEX"},
        {".bashrc", "BASHRC~1"},
        {"archive.tar.gz", "ARCHIV~1.GZ"},
        {"caf\xC3\xA9 au lait.txt", "CAFAUL~1.TXT"},
        {"+++", "___~1"},
        {"\xE2\x82\xAC.txt", "_~1.TXT"},
        {"[brackets].dat", "_BRACK~1.DAT"}, // + , ; = [ ] become "_"
        {"data+1.bin", "DATA_1~1.BIN"},
        {"a,b;c=d.e", "A_B_C_~1.E"},
        {"Annual Report 2023.zip", "ANNUAL~1.ZIP"},
        {"Annual Report.text", "ANNUAL~1.TEX"},
        {"data.zip", "data.zip"},
    };
    Names names;
    Names expected;
    for (const auto& [name, alias] : rows) {
        names.push_back(name);
        expected.push_back(alias);
    }
    EXPECT_EQ(shortAliases(names), expected);
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
                                    "+annual.zip",
                                    "[annual].zip",
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
