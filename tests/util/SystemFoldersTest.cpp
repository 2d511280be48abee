#include "util/SystemFolders.h"

#include "platform/PosixFileSystem.h"

#include <gtest/gtest.h>

namespace dividra {
namespace {

struct Folders {
    std::string system;
    std::string windows;
    bool operator==(const Folders&) const = default;
};

Folders foldersWith(const std::string& drives) {
    auto table = platform::DriveTable::parse(drives);
    const platform::PosixFileSystem fs(table ? table.value() : platform::DriveTable());
    return {GetSystemFolder(fs), GetWindowsFolder(fs)};
}

TEST(SystemFoldersTest, UsrLibAndUsrShareInTheDosView) {
    EXPECT_EQ(foldersWith("c=/,fixed"), (Folders{"c:\\usr\\lib\\", "c:\\usr\\share\\"}));
    EXPECT_EQ(foldersWith("c=/usr,fixed"), (Folders{"c:\\lib\\", "c:\\share\\"}));
    EXPECT_EQ(foldersWith("c=/,fixed;e=/usr/lib,fixed"), (Folders{"e:\\", "c:\\usr\\share\\"}));
}

TEST(SystemFoldersTest, OffTheTableTheFirstFixedDrivesRoot) {
    EXPECT_EQ(foldersWith("d=/usr/lib,fixed"), (Folders{"d:\\", "d:\\"}));
    EXPECT_EQ(foldersWith("a=/nonexistent,removable;f=/srv,fixed;g=/opt,fixed"),
              (Folders{"f:\\", "f:\\"}));
    EXPECT_EQ(foldersWith("r=/srv,remote"), (Folders{"c:\\", "c:\\"}));
    EXPECT_EQ(foldersWith("not a drive table"), (Folders{"c:\\", "c:\\"}));
}

} // namespace
} // namespace dividra
