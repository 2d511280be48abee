#include "fakes/MemoryFileSystem.h"
#include "MemoryTestHelpers.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace dividra::platform {
namespace {

constexpr std::int64_t Diskette = 1457664; // 2847 clusters of 512 bytes

using test::bytesOf;
using test::codeOf;
using test::messageOf;

std::string readAll(File& file, std::size_t chunk = 4) {
    std::string out;
    std::string buffer(chunk, '\0');
    for (;;) {
        auto got = file.read(std::as_writable_bytes(std::span(buffer.data(), buffer.size())));
        if (!got || got.value() == 0) {
            return out;
        }
        out.append(buffer, 0, got.value());
    }
}

class MemoryFileSystemTest : public ::testing::Test {
protected:
    MemoryFileSystemTest() {
        fs.addDrive('a', DriveType::Removable, Diskette);
        fs.addDrive('c', DriveType::Fixed, 1 << 20, "SYSTEM");
    }
    // The file made and written, or a failed test.
    std::unique_ptr<File> create(std::string_view path, std::string_view text = {}) {
        auto file = fs.createAlways(path);
        if (!file) {
            throw std::runtime_error(messageOf(file));
        }
        EXPECT_EQ(file.value()->write(bytesOf(text)).value(), text.size());
        return std::move(file).value();
    }
    MemoryFileSystem fs;
};

TEST_F(MemoryFileSystemTest, DrivesTypesAndFreeSpaceQueries) {
    fs.addDrive('N', DriveType::Remote, 0, "\\\\server\\share");
    const auto drives = fs.drives();
    ASSERT_EQ(drives.size(), 3u);
    EXPECT_EQ((std::string{drives[0].letter, drives[1].letter, drives[2].letter}), "acn");
    EXPECT_EQ(drives[1].label, "SYSTEM");
    EXPECT_EQ(drives[2].label, "\\\\server\\share");
    EXPECT_EQ(fs.driveType("C:\\"), DriveType::Fixed);
    EXPECT_EQ(fs.driveType("a:"), DriveType::Removable);
    EXPECT_EQ(fs.driveType("n"), DriveType::Remote);
    EXPECT_EQ(fs.driveType("b:\\"), DriveType::NoRootDir);
    EXPECT_EQ(fs.driveType("c:\\x"), DriveType::NoRootDir);
    EXPECT_EQ(fs.freeBytes(1), Diskette);
    EXPECT_EQ(fs.freeBytes(2), -1);
    EXPECT_EQ(fs.freeBytes(0), -1);
    EXPECT_EQ(fs.freeBytes(27), -1);
    EXPECT_THROW(fs.addDrive('a', DriveType::Fixed, 1), std::invalid_argument);
}

TEST_F(MemoryFileSystemTest, FilesOccupyWholeClustersAndEmptyFilesNothing) {
    const std::pair<std::size_t, std::int64_t> cases[] = {
        {0, 0}, {1, 512}, {511, 512}, {512, 512}, {513, 1024}};
    for (const auto& [size, used] : cases) {
        fs.putFile("a:\\F", std::string(size, 'x'));
        EXPECT_EQ(fs.freeBytes(1), Diskette - used) << size;
    }
    fs.medium('a')->setClusterSize(1024);
    EXPECT_EQ(fs.medium('a')->usedBytes(), 1024);
    EXPECT_TRUE(fs.deleteFile("a:\\f"));
    EXPECT_EQ(fs.freeBytes(1), Diskette);
}

TEST_F(MemoryFileSystemTest, WritesFillTheDisketteExactlyThenComeBackShortThenFail) {
    auto file = create("a:\\DATA.001", std::string(Diskette - 1, 'a'));
    EXPECT_EQ(fs.freeBytes(1), 0); // the last byte of the cluster is still the file's
    EXPECT_EQ(file->write(bytesOf("bc")).value(), 1u);
    EXPECT_EQ(messageOf(file->write(bytesOf("d"))), "a:\\DATA.001: No space left on device");
    EXPECT_EQ(codeOf(file->write(bytesOf("d"))), "DiskFull");
    EXPECT_EQ(file->size().value(), Diskette);
    EXPECT_EQ(file->write(bytesOf("")).value(), 0u);
    EXPECT_EQ(codeOf(fs.createAlways("a:\\EMPTY")), "ok"); // a new file needs no cluster
}

TEST_F(MemoryFileSystemTest, NamesAreLetterCaseBlindAndReportedAsStored) {
    fs.putFile("c:\\Docs\\Data.Zip", "PK");
    auto file = fs.openRead("C:\\DOCS\\DATA.ZIP");
    ASSERT_TRUE(file);
    EXPECT_EQ(readAll(*file.value()), "PK");
    EXPECT_EQ(fs.longPath("C:\\docs\\data.zip").value(), "C:\\Docs\\Data.Zip");
    const auto id = fs.fileId("c:\\docs\\data.zip");
    EXPECT_TRUE(file.value()->close());
    // As on a case-blind disk, creating replaces the file; the new one has the name given.
    create("c:\\DOCS\\data.ZIP", "new").reset();
    EXPECT_EQ(fs.listAll('c'), (std::vector<std::string>{"\\Docs\\", "\\Docs\\data.ZIP 3"}));
    EXPECT_EQ(fs.fileId("c:\\Docs\\Data.Zip"), id);
    EXPECT_NE(fs.fileId("c:\\Docs"), id);
    EXPECT_EQ(fs.fileId("c:\\Docs\\none"), std::nullopt);
}

TEST_F(MemoryFileSystemTest, FindHonoursPatternMaskAndDotEntries) {
    fs.putFile("c:\\d\\data.zip", "12345");
    fs.putFile("c:\\d\\Hidden.zip", "", attr::Hidden | attr::Archive);
    fs.putFile("c:\\d\\sys.zip", "", attr::System);
    fs.putFile("c:\\d\\long name.zip", "x");
    fs.createFolder("c:\\d\\sub.zip");
    auto names = [&](std::string_view pattern, std::uint32_t mask) {
        const auto found = fs.find(pattern, mask);
        std::string out = found ? "" : messageOf(found);
        for (const auto& entry : found ? found.value() : std::vector<FindEntry>{}) {
            out += entry.name + "|" + entry.shortName + "|" + std::to_string(entry.attributes) +
                   "|" + std::to_string(entry.size) + " ";
        }
        return out;
    };
    EXPECT_EQ(names("c:\\D\\*.ZIP", 0), "data.zip|data.zip|32|5 long name.zip|LONGNA~1.ZIP|32|1 ");
    EXPECT_EQ(names("c:\\d\\*.*", attr::Directory),
              ".|.|16|0 ..|..|16|0 data.zip|data.zip|32|5 long name.zip|LONGNA~1.ZIP|32|1 "
              "sub.zip|sub.zip|16|0 ");
    EXPECT_EQ(names("c:\\d\\?i*", attr::Hidden | attr::System), "Hidden.zip|Hidden.zip|34|0 ");
    EXPECT_EQ(names("c:\\d\\SYS.zip", attr::System), "sys.zip|sys.zip|4|0 ");
    EXPECT_EQ(names("c:\\*.*", attr::AnyFile), "d|d|16|0 "); // no dot entries at a root
    EXPECT_EQ(names("c:\\d\\*.txt", attr::AnyFile), "");
    EXPECT_EQ(names("c:\\nope\\*.*", 0), "c:\\nope\\*.*: No such file or directory");
    EXPECT_EQ(codeOf(fs.find("c:\\d\\data.zip\\*", 0)), "PathNotFound");
}

TEST_F(MemoryFileSystemTest, ShortPathUsesTheAliasOfEveryComponent) {
    fs.putFile("c:\\Program Files\\Long name.text", "");
    fs.putFile("c:\\Program Files\\Long name2.text", "");
    fs.putFile("c:\\Short\\A.TXT", "");
    EXPECT_EQ(fs.shortPath("c:\\program files\\long name2.text").value(),
              "c:\\PROGRA~1\\LONGNA~2.TEX");
    EXPECT_EQ(fs.shortPath("c:\\short\\a.txt").value(), "c:\\Short\\A.TXT");
    EXPECT_EQ(fs.shortPath("c:\\").value(), "c:\\");
    EXPECT_EQ(codeOf(fs.shortPath("c:\\Short\\B.TXT")), "NotFound");
}

TEST_F(MemoryFileSystemTest, ReadOnlyRefusesReplaceAndDeleteUntilCleared) {
    fs.putFile("c:\\ro.txt", "keep", attr::ReadOnly);
    EXPECT_EQ(fs.attributes("c:\\RO.TXT").value(), attr::ReadOnly);
    EXPECT_EQ(messageOf(fs.createAlways("c:\\ro.txt")), "c:\\ro.txt: Permission denied");
    EXPECT_EQ(codeOf(fs.deleteFile("c:\\ro.txt")), "AccessDenied");
    EXPECT_EQ(fs.contents("c:\\ro.txt"), "keep");
    EXPECT_TRUE(fs.setAttributes("c:\\ro.txt", 0));
    EXPECT_EQ(fs.attributes("c:\\ro.txt").value(), attr::Normal);
    EXPECT_TRUE(fs.deleteFile("c:\\ro.txt"));
    EXPECT_FALSE(fs.exists("c:\\ro.txt"));
    EXPECT_EQ(fs.attributes("c:\\").value(), attr::Directory);
}

TEST_F(MemoryFileSystemTest, RenameMovesOrReplacesAndRefusesWhatCreateRefuses) {
    fs.putFile("c:\\part.tmp", "new");
    fs.putFile("c:\\old.zip", "old");
    fs.putFile("c:\\ro.zip", "keep", attr::ReadOnly);
    fs.createFolder("c:\\dir");
    fs.putFile("a:\\disk.txt", "x");
    const auto held = create("c:\\busy.zip");
    struct Case {
        const char* from;
        const char* to;
        const char* code;
    };
    for (const Case& c : {Case{"c:\\none.tmp", "c:\\x.zip", "NotFound"},
                          Case{"c:\\dir", "c:\\x.zip", "AccessDenied"},
                          Case{"c:\\part.tmp", "c:\\dir", "AccessDenied"},
                          Case{"c:\\part.tmp", "c:\\ro.zip", "AccessDenied"},
                          Case{"c:\\part.tmp", "c:\\busy.zip", "SharingViolation"},
                          Case{"c:\\part.tmp", "a:\\x.zip", "AccessDenied"},
                          Case{"c:\\part.tmp", "c:\\nodir\\x.zip", "PathNotFound"},
                          Case{"a:\\disk.txt", "c:\\x.zip", "AccessDenied"}}) {
        EXPECT_EQ(codeOf(fs.renameFile(c.from, c.to)), c.code) << c.from << " " << c.to;
    }
    EXPECT_EQ(fs.contents("c:\\ro.zip"), "keep");
    const auto id = fs.fileId("c:\\part.tmp");
    EXPECT_TRUE(fs.renameFile("c:\\part.tmp", "c:\\OLD.zip"));
    EXPECT_FALSE(fs.exists("c:\\part.tmp"));
    EXPECT_EQ(fs.contents("c:\\old.zip"), "new");
    EXPECT_EQ(fs.fileId("c:\\old.zip"), id);
    EXPECT_EQ(fs.longPath("c:\\old.zip").value(), "c:\\OLD.zip");
    EXPECT_TRUE(fs.renameFile("c:\\old.zip", "c:\\dir\\moved.zip"));
    EXPECT_EQ(fs.contents("c:\\dir\\moved.zip"), "new");
    EXPECT_EQ(fs.medium('c')->usedBytes(), 2 * 512); // the replaced file's space is free
}

TEST_F(MemoryFileSystemTest, PathErrorsNameTheirKind) {
    fs.putFile("c:\\f", "");
    fs.setMediumPresent('a', false);
    EXPECT_EQ(messageOf(fs.openRead("c:\\none")), "c:\\none: No such file or directory");
    EXPECT_EQ(codeOf(fs.openRead("c:\\none")), "NotFound");
    EXPECT_EQ(codeOf(fs.openRead("c:\\no\\f")), "PathNotFound");
    EXPECT_EQ(codeOf(fs.createAlways("c:\\f\\g")), "PathNotFound");
    EXPECT_EQ(messageOf(fs.openRead("q:\\f")), "q:\\f: No such drive");
    EXPECT_EQ(messageOf(fs.createAlways("a:\\f")), "a:\\f: No medium found");
    EXPECT_EQ(codeOf(fs.createAlways("c:\\a?b")), "InvalidName");
    EXPECT_EQ(codeOf(fs.createAlways("c:\\")), "AccessDenied");
    EXPECT_EQ(codeOf(fs.openRead("c:\\")), "AccessDenied");
    EXPECT_EQ(codeOf(fs.deleteFile("c:\\f\\..\\.\\F")), "ok");
}

TEST_F(MemoryFileSystemTest, RemoveFolderTakesOnlyEmptyNonRootFolders) {
    fs.putFile("c:\\full\\x", "");
    fs.createFolder("c:\\empty");
    EXPECT_EQ(messageOf(fs.removeFolder("c:\\")), "c:\\: Cannot remove a drive root");
    EXPECT_EQ(messageOf(fs.removeFolder("c:\\FULL")), "c:\\FULL: Directory not empty");
    EXPECT_EQ(codeOf(fs.removeFolder("c:\\full\\x")), "AccessDenied");
    EXPECT_EQ(codeOf(fs.removeFolder("c:\\gone")), "NotFound");
    EXPECT_TRUE(fs.removeFolder("c:\\EMPTY"));
    EXPECT_EQ(fs.listAll('c'), (std::vector<std::string>{"\\full\\", "\\full\\x 0"}));
}

TEST_F(MemoryFileSystemTest, ReadersShareAndWritersExcludeLockingOpens) {
    fs.putFile("c:\\f", "data");
    auto r1 = fs.openRead("c:\\f");
    auto r2 = fs.openRead("C:\\F");
    ASSERT_TRUE(r1 && r2);
    EXPECT_EQ(messageOf(fs.createAlways("c:\\f")), "c:\\f: File in use by another handle");
    EXPECT_TRUE(r1.value()->close());
    EXPECT_EQ(codeOf(fs.createAlways("c:\\f")), "SharingViolation");
    EXPECT_EQ(fs.openFiles(), 1);
    r2.value().reset();
    auto writer = create("c:\\f", "new");
    EXPECT_EQ(codeOf(fs.openRead("c:\\f")), "SharingViolation");
    EXPECT_EQ(codeOf(fs.createAlways("c:\\f")), "SharingViolation");
    auto peek = fs.openReadShared("c:\\f");
    ASSERT_TRUE(peek);
    EXPECT_EQ(peek.value()->size().value(), 3);
    EXPECT_EQ(codeOf(peek.value()->write(bytesOf("x"))), "AccessDenied");
    EXPECT_TRUE(writer->close());
    EXPECT_TRUE(writer->close()); // a second close does nothing
    EXPECT_EQ(codeOf(writer->read({})), "InvalidArgument");
    EXPECT_EQ(codeOf(fs.openRead("c:\\f")), "ok");
    EXPECT_EQ(fs.openFiles(), 1);
}

TEST_F(MemoryFileSystemTest, HandlesOutliveDeletionAndTheFileSystem) {
    auto file = create("c:\\f", "abc");
    EXPECT_TRUE(fs.deleteFile("c:\\f"));
    EXPECT_EQ(messageOf(file->write(bytesOf("d"))), "c:\\f: No such file or directory");
    EXPECT_EQ(fs.freeBytes(3), 1 << 20);
    auto survivor = std::make_unique<MemoryFileSystem>();
    survivor->addDrive('c', DriveType::Fixed, 1024);
    survivor->putFile("c:\\f", "x");
    auto kept = survivor->openRead("c:\\f");
    survivor.reset();
    ASSERT_TRUE(kept);
    EXPECT_EQ(readAll(*kept.value()), "x");
    EXPECT_TRUE(kept.value()->close());
}

TEST_F(MemoryFileSystemTest, DiskettesSwapAndKeepTheirOwnFiles) {
    Medium& first = *fs.medium('a');
    Medium& second = fs.addMedium("disk 2", 720 * 1024, "BACKUP");
    auto segment = create("a:\\DATA.001", "one");
    fs.insertMedium('a', second);
    EXPECT_EQ(messageOf(segment->write(bytesOf("x"))), "a:\\DATA.001: No medium found");
    EXPECT_EQ(fs.freeBytes(1), 720 * 1024);
    EXPECT_EQ(fs.drives()[0].label, "BACKUP");
    create("a:\\DATA.002", "two").reset();
    const auto secondId = fs.fileId("a:\\DATA.002");
    fs.setMediumPresent('a', false);
    EXPECT_EQ(fs.freeBytes(1), -1);
    EXPECT_EQ(codeOf(fs.find("a:\\*.*", 0)), "NotReady");
    EXPECT_EQ(fs.medium('a'), nullptr);
    fs.insertMedium('a', first);
    EXPECT_EQ(codeOf(segment->size()), "NotReady"); // a changed disk stays changed
    EXPECT_TRUE(segment->close());
    EXPECT_EQ(first.listAll(), std::vector<std::string>{"\\DATA.001 3"});
    EXPECT_EQ(second.contents("\\data.002"), "two");
    EXPECT_NE(fs.fileId("a:\\DATA.001")->device, secondId->device);
    EXPECT_EQ(&fs.mediumNamed("disk 2"), &second);
    EXPECT_EQ(fs.openFiles(), 0);
}

TEST_F(MemoryFileSystemTest, ClearingAMediumEmptiesItAndStrandsItsOpenFiles) {
    fs.putFile("a:\\sub\\old", "x");
    auto file = fs.openRead("a:\\sub\\old");
    ASSERT_TRUE(file);
    fs.medium('a')->clear();
    EXPECT_EQ(codeOf(file.value()->size()), "NotFound");
    EXPECT_EQ(fs.listAll('a'), std::vector<std::string>{});
    EXPECT_EQ(fs.freeBytes(1), Diskette);
}

TEST_F(MemoryFileSystemTest, WriteProtectedMediumRefusesChanges) {
    fs.putFile("a:\\old", "x");
    fs.medium('a')->setWriteProtected(true);
    EXPECT_EQ(messageOf(fs.createAlways("a:\\new")), "a:\\new: Read-only file system");
    EXPECT_EQ(codeOf(fs.deleteFile("a:\\old")), "AccessDenied");
    EXPECT_EQ(codeOf(fs.setAttributes("a:\\old", 0)), "AccessDenied");
    EXPECT_EQ(codeOf(fs.openRead("a:\\old")), "ok");
}

} // namespace
} // namespace dividra::platform
