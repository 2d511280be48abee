#include "platform/PosixFileSystem.h"

#include "support/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/mount.h>
#endif

namespace dividra::platform {
namespace {

using test::ScopedEnv;
using test::TempDir;
namespace fs = std::filesystem;

std::span<const std::byte> bytes(std::string_view text) {
    return std::as_bytes(std::span(text.data(), text.size()));
}

std::string readAll(File& file) {
    std::string out;
    std::array<std::byte, 7> chunk{}; // small on purpose: several reads
    for (;;) {
        auto got = file.read(chunk);
        if (!got.ok() || got.value() == 0) {
            return out;
        }
        out.append(reinterpret_cast<const char*>(chunk.data()), got.value());
    }
}

std::vector<std::string> namesOf(const std::vector<FindEntry>& entries) {
    std::vector<std::string> names;
    for (const FindEntry& entry : entries) {
        names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

template <class T> Error failure(const Result<T>& result) {
    EXPECT_FALSE(result.ok());
    return result.ok() ? Error{ErrorCode::Io, "unexpected success"} : result.error();
}

Error failure(const Status& status) {
    EXPECT_FALSE(status.ok());
    return status.ok() ? Error{ErrorCode::Io, "unexpected success"} : status.error();
}

mode_t modeOf(const std::string& host) {
    struct stat info {};
    ::lstat(host.c_str(), &info);
    return info.st_mode;
}

class PosixFs : public ::testing::Test {
protected:
    PosixFs()
        : m_fs(DriveTable::parse("c=" + m_dir.file("c") + ",fixed,Disk C;a=" + m_dir.file("fd") +
                                 ",removable")
                   .value()) {
        fs::create_directories(m_dir.file("c/sub"));
    }

    std::string host(std::string_view relative) const {
        return m_dir.file("c/" + std::string(relative));
    }

    TempDir m_dir;
    PosixFileSystem m_fs;
};

TEST_F(PosixFs, DrivesTypesAndFreeSpaceComeFromTheTable) {
    const auto drives = m_fs.drives();
    ASSERT_EQ(drives.size(), 2u);
    EXPECT_EQ(drives[0].letter, 'a');
    EXPECT_EQ(drives[0].type, DriveType::Removable);
    EXPECT_EQ(drives[1].label, "Disk C");
    EXPECT_EQ(m_fs.driveType("C:\\"), DriveType::Fixed);
    EXPECT_EQ(m_fs.driveType("c:"), DriveType::Fixed);
    EXPECT_EQ(m_fs.driveType("c"), DriveType::Fixed);
    EXPECT_EQ(m_fs.driveType("a:\\"), DriveType::Removable); // with or without a medium
    for (const char* root : {"q:\\", "", "c:\\x", "cc", "c;\\"}) {
        EXPECT_EQ(m_fs.driveType(root), DriveType::NoRootDir) << root;
    }
    EXPECT_GT(m_fs.freeBytes(3), 0);
    for (int drive : {0, 1, 2, 27}) {
        EXPECT_EQ(m_fs.freeBytes(drive), -1) << drive;
    }
}

// z: is drive 26, the last number a drive takes.
TEST(PosixFsLetters, TheLastLetterHasItsFreeSpace) {
    TempDir dir;
    const ScopedEnv drives("DIVIDRA_DRIVES", "c=/,fixed;z=" + dir.path() + ",fixed");
    const PosixFileSystem fs(DriveTable::fromEnvironment().value());
    EXPECT_GT(fs.freeBytes(26), 0);
    EXPECT_GT(fs.folderSpace("Z:\\").freeBytes, 0);
    EXPECT_EQ(fs.freeBytes(27), -1);
}

TEST_F(PosixFs, CreatedFileReadsBackExactly) {
    const std::string data("hello\0world, and more", 21);
    auto created = m_fs.createAlways("c:\\sub\\NewFile.TXT");
    ASSERT_TRUE(created.ok()) << created.error().message;
    File& file = *created.value();
    EXPECT_EQ(file.write(bytes(data)).value(), 21u);
    EXPECT_EQ(file.size().value(), 21);
    EXPECT_TRUE(file.flush().ok());
    EXPECT_EQ(file.id(), m_fs.fileId("c:\\SUB\\newfile.txt"));
    EXPECT_TRUE(file.close().ok());
    EXPECT_TRUE(file.close().ok());
    EXPECT_FALSE(file.write(bytes("x")).ok());
    EXPECT_EQ(TempDir::read(host("sub/NewFile.TXT")), data); // created as typed

    auto opened = m_fs.openRead("c:\\SUB\\NEWFILE.txt");
    ASSERT_TRUE(opened.ok());
    EXPECT_EQ(readAll(*opened.value()), data);
    EXPECT_EQ(opened.value()->read(std::span<std::byte>()).value(), 0u);
}

TEST_F(PosixFs, NamesMatchBlindToCaseThenByTheirAlias) {
    m_dir.write("c/My Documents/longfilename.txt", "long");
    m_dir.write("c/My Documents/data.zip", "zip");
    auto opened = m_fs.openRead("c:\\my documents\\LONGFI~1.TXT");
    ASSERT_TRUE(opened.ok()) << opened.error().message;
    EXPECT_EQ(readAll(*opened.value()), "long");
    EXPECT_EQ(m_fs.longPath("C:\\MYDOCU~1\\longfi~1.txt").value(),
              "c:\\My Documents\\longfilename.txt");
    EXPECT_EQ(m_fs.shortPath("c:\\My Documents\\longfilename.txt").value(),
              "c:\\MYDOCU~1\\LONGFI~1.TXT");
    EXPECT_EQ(m_fs.shortPath("c:\\").value(), "c:\\");
    EXPECT_EQ(m_fs.fileId("c:\\MY DOCUMENTS\\DATA.ZIP"), m_fs.fileId("c:\\My Documents\\data.zip"));
    EXPECT_NE(m_fs.fileId("c:\\MY DOCUMENTS\\DATA.ZIP"), m_fs.fileId("c:\\mydocu~1\\longfi~1.txt"));
    EXPECT_EQ(m_fs.fileId("c:\\nothing"), std::nullopt);
    EXPECT_EQ(failure(m_fs.longPath("c:\\nothing")).code, ErrorCode::NotFound);

    // A file is created under its exact name: lookups find, they never redirect a write.
    for (const char* created : {"c:\\My Documents\\DATA.ZIP", "c:\\mydocu~1\\LONGFI~1.TXT"}) {
        EXPECT_EQ(m_fs.probeCreate(created).value(), std::nullopt) << created;
        ASSERT_TRUE(m_fs.createAlways(created).ok()) << created;
    }
    EXPECT_EQ(TempDir::read(m_dir.file("c/My Documents/data.zip")), "zip");
    EXPECT_EQ(TempDir::read(m_dir.file("c/My Documents/longfilename.txt")), "long");
    EXPECT_EQ(TempDir::read(m_dir.file("c/My Documents/DATA.ZIP")), "");
    EXPECT_EQ(TempDir::read(m_dir.file("c/My Documents/LONGFI~1.TXT")), "");
}

// Names differing in letter case only: the one typed when it exists, else the smallest in byte
// order, whatever order they were made in or the folder lists them in (hashed on ext4: of
// several pairs some list the lower-case name first).
TEST_F(PosixFs, ACaseBlindTieGoesToTheExactNameElseTheSmallest) {
    const std::vector<std::string> numbers{"", "1", "2", "3", "4", "5", "6", "7"};
    for (const std::string& n : numbers) {
        m_dir.write("c/one/DATA" + n + ".ZIP", "upper");
        m_dir.write("c/one/data" + n + ".zip", "lower");
        m_dir.write("c/two/data" + n + ".zip", "lower");
        m_dir.write("c/two/DATA" + n + ".ZIP", "upper");
    }
    for (const std::string folder : {"c:\\one\\", "c:\\two\\"}) {
        for (const std::string& n : numbers) {
            for (const auto& [typed, expected] :
                 {std::pair{"Data" + n + ".Zip", "upper"}, std::pair{"data" + n + ".ZIP", "upper"},
                  std::pair{"data" + n + ".zip", "lower"}}) {
                auto opened = m_fs.openRead(folder + typed);
                ASSERT_TRUE(opened.ok()) << folder << typed;
                EXPECT_EQ(readAll(*opened.value()), expected) << folder << typed;
            }
            EXPECT_EQ(m_fs.longPath(folder + "Data" + n + ".Zip").value(),
                      folder + "DATA" + n + ".ZIP");
        }
    }
}

TEST_F(PosixFs, CreateReplacesALinkInsteadOfWritingThroughIt) {
    m_dir.write("c/target.txt", "keep");
    fs::create_symlink(host("target.txt"), host("link.txt"));
    fs::create_symlink(host("nowhere.txt"), host("dangling.txt"));
    fs::create_hard_link(host("target.txt"), host("hard.txt"));
    for (const char* path : {"c:\\link.txt", "c:\\dangling.txt", "c:\\hard.txt"}) {
        auto created = m_fs.createAlways(path);
        ASSERT_TRUE(created.ok()) << created.error().message;
        EXPECT_EQ(created.value()->write(bytes("new")).value(), 3u);
    }
    EXPECT_EQ(TempDir::read(host("target.txt")), "keep");
    EXPECT_TRUE(S_ISREG(modeOf(host("link.txt"))));
    EXPECT_EQ(TempDir::read(host("link.txt")), "new");
    EXPECT_FALSE(fs::exists(host("nowhere.txt")));
    EXPECT_EQ(TempDir::read(host("dangling.txt")), "new");
    EXPECT_EQ(TempDir::read(host("hard.txt")), "new");
}

TEST_F(PosixFs, ReadOnlyFilesAreNeitherReplacedNorDeleted) {
    m_dir.write("c/ro.txt", "keep");
    fs::permissions(host("ro.txt"), fs::perms(0444));
    EXPECT_EQ(m_fs.attributes("c:\\RO.TXT").value(), attr::ReadOnly | attr::Archive);
    const Error refused = failure(m_fs.createAlways("c:\\ro.txt"));
    EXPECT_EQ(refused.code, ErrorCode::AccessDenied);
    EXPECT_EQ(refused.message, "c:\\ro.txt: the file is read-only");
    EXPECT_EQ(failure(m_fs.deleteFile("c:\\ro.txt")).code, ErrorCode::AccessDenied);
    EXPECT_EQ(TempDir::read(host("ro.txt")), "keep");

    ASSERT_TRUE(m_fs.setAttributes("c:\\ro.txt", attr::Archive).ok());
    EXPECT_EQ(modeOf(host("ro.txt")) & 0777, 0644u);
    EXPECT_EQ(m_fs.attributes("c:\\ro.txt").value(), attr::Archive);
    // Hidden and System can't be kept on Linux; ReadOnly still takes.
    ASSERT_TRUE(
        m_fs.setAttributes("c:\\ro.txt", attr::ReadOnly | attr::Hidden | attr::System).ok());
    EXPECT_EQ(modeOf(host("ro.txt")) & 0777, 0444u);
    EXPECT_EQ(m_fs.attributes("c:\\ro.txt").value(), attr::ReadOnly | attr::Archive);
}

TEST_F(PosixFs, LocksLetReadersShareAndRefuseConflicts) {
    m_dir.write("c/f.bin", "12345");
    auto first = m_fs.openRead("c:\\f.bin");
    auto second = m_fs.openRead("c:\\F.BIN");
    ASSERT_TRUE(first.ok() && second.ok());
    const Error busy = failure(m_fs.createAlways("c:\\f.bin"));
    EXPECT_EQ(busy.code, ErrorCode::SharingViolation);
    EXPECT_EQ(busy.message, "c:\\f.bin: the file is in use by another program");
    EXPECT_EQ(TempDir::read(host("f.bin")), "12345"); // not truncated by the refused create
    EXPECT_EQ(failure(m_fs.deleteFile("c:\\f.bin")).code, ErrorCode::SharingViolation);
    first.value().reset();
    ASSERT_TRUE(second.value()->close().ok());

    auto writer = m_fs.createAlways("c:\\f.bin");
    ASSERT_TRUE(writer.ok());
    EXPECT_EQ(failure(m_fs.openRead("c:\\f.bin")).code, ErrorCode::SharingViolation);
    EXPECT_TRUE(m_fs.openReadShared("c:\\f.bin").ok());
    ASSERT_TRUE(writer.value()->close().ok());
    EXPECT_TRUE(m_fs.openRead("c:\\f.bin").ok());
    EXPECT_TRUE(m_fs.deleteFile("c:\\F.bin").ok());
    EXPECT_FALSE(fs::exists(host("f.bin")));
}

TEST_F(PosixFs, ErrorsNameThePathAndTheReason) {
    m_dir.write("c/file.txt", "x");
    ASSERT_EQ(::mkfifo(host("pipe").c_str(), 0666), 0);
    struct Case {
        Error error;
        ErrorCode code;
        const char* message;
    };
    const Case cases[] = {
        {failure(m_fs.openRead("c:\\missing.txt")), ErrorCode::NotFound,
         "c:\\missing.txt: No such file or directory"},
        {failure(m_fs.openRead("c:\\nodir\\x.txt")), ErrorCode::PathNotFound,
         "c:\\nodir\\x.txt: No such file or directory"},
        {failure(m_fs.createAlways("c:\\nodir\\x.txt")), ErrorCode::PathNotFound,
         "c:\\nodir\\x.txt: No such file or directory"},
        {failure(m_fs.createAlways("c:\\file.txt\\x")), ErrorCode::PathNotFound,
         "c:\\file.txt\\x: Not a directory"},
        {failure(m_fs.openRead("c:\\SUB")), ErrorCode::AccessDenied, "c:\\SUB: Is a directory"},
        {failure(m_fs.createAlways("c:\\sub")), ErrorCode::AccessDenied, "c:\\sub: Is a directory"},
        {failure(m_fs.createAlways("c:")), ErrorCode::AccessDenied, "c:: Is a directory"},
        {failure(m_fs.deleteFile("c:\\sub")), ErrorCode::AccessDenied, "c:\\sub: Is a directory"},
        {failure(m_fs.openReadShared("c:\\pipe")), ErrorCode::AccessDenied,
         "c:\\pipe: is not a regular file"}, // and doesn't hang waiting for a writer
        {failure(m_fs.probeCreate("c:\\pipe")), ErrorCode::AccessDenied,
         "c:\\pipe: is not a regular file"},
        {failure(m_fs.probeCreate("c:\\sub")), ErrorCode::AccessDenied, "c:\\sub: Is a directory"},
        {failure(m_fs.openRead("a:\\x")), ErrorCode::NotReady, "a:\\x: no disk in drive a:"},
        {failure(m_fs.attributes("c:\\missing")), ErrorCode::NotFound,
         "c:\\missing: No such file or directory"},
        {failure(m_fs.openRead("sub\\file.txt")), ErrorCode::PathNotFound,
         "sub\\file.txt: not a full path (drive letter, colon and backslash expected)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.error.code, c.code) << c.message;
        EXPECT_EQ(c.error.message, c.message);
    }
}

TEST_F(PosixFs, AttributesFollowTheModeAndTheName) {
    m_dir.write("c/.profile", "");
    m_dir.write("c/plain", "");
    ASSERT_EQ(::mkfifo(host("pipe").c_str(), 0666), 0);
    EXPECT_EQ(m_fs.attributes("c:\\").value(), attr::Directory);
    EXPECT_EQ(m_fs.attributes("c:\\Sub").value(), attr::Directory);
    EXPECT_EQ(m_fs.attributes("c:\\.PROFILE").value(), attr::Hidden | attr::Archive);
    EXPECT_EQ(m_fs.attributes("c:\\plain").value(), attr::Archive);
    EXPECT_EQ(m_fs.attributes("c:\\pipe").value(), attr::Normal);
}

TEST_F(PosixFs, RemoveFolderTakesOnlyAnEmptyFolderBelowTheRoot) {
    fs::create_directories(host("full/inner"));
    m_dir.write("c/file.txt", "");
    EXPECT_TRUE(m_fs.removeFolder("c:\\FULL\\Inner").ok());
    EXPECT_FALSE(fs::exists(host("full/inner")));
    m_dir.write("c/full/x", "");
    EXPECT_EQ(failure(m_fs.removeFolder("c:\\full")).code, ErrorCode::AccessDenied);
    EXPECT_EQ(failure(m_fs.removeFolder("c:\\")).message, "c:\\: a drive root can't be removed");
    EXPECT_EQ(failure(m_fs.removeFolder("c:\\gone")).code, ErrorCode::PathNotFound);
    EXPECT_EQ(failure(m_fs.removeFolder("c:\\file.txt")).code, ErrorCode::PathNotFound);
}

TEST_F(PosixFs, FindFiltersByPatternAndMask) {
    m_dir.write("c/dir/data.zip", "123");
    m_dir.write("c/dir/Other.ZIP", "12345");
    m_dir.write("c/dir/notes.txt", "");
    m_dir.write("c/dir/.hidden.zip", "");
    m_dir.write("c/dir/bad:name.zip", "");
    m_dir.write("c/dir/longfilename.zip", "1");
    fs::create_directory(host("dir/sub.zip"));
    using Names = std::vector<std::string>;

    auto zips = m_fs.find("c:\\DIR\\*.zip", 0);
    ASSERT_TRUE(zips.ok()) << zips.error().message;
    EXPECT_EQ(namesOf(zips.value()), (Names{"Other.ZIP", "data.zip", "longfilename.zip"}));
    for (const FindEntry& entry : zips.value()) {
        if (entry.name == "longfilename.zip") {
            EXPECT_EQ(entry.shortName, "LONGFI~1.ZIP");
            EXPECT_EQ(entry.attributes, attr::Archive);
            EXPECT_EQ(entry.size, 1);
        } else if (entry.name == "Other.ZIP") {
            EXPECT_EQ(entry.shortName, "Other.ZIP");
            EXPECT_EQ(entry.size, 5);
        }
    }
    EXPECT_EQ(namesOf(m_fs.find("c:\\dir\\*.zip", attr::Hidden | attr::Directory).value()),
              (Names{".hidden.zip", "Other.ZIP", "data.zip", "longfilename.zip", "sub.zip"}));
    const auto all = m_fs.find("c:\\dir\\*.*", attr::Directory).value();
    EXPECT_EQ(namesOf(all), (Names{".", "..", "Other.ZIP", "data.zip", "longfilename.zip",
                                   "notes.txt", "sub.zip"}));
    EXPECT_EQ(all[0].name, ".");
    EXPECT_EQ(all[0].attributes, attr::Directory);
    EXPECT_EQ(namesOf(m_fs.find("c:\\dir\\NOTES.TXT", 0).value()), Names{"notes.txt"});
    EXPECT_EQ(namesOf(m_fs.find("c:\\*.*", attr::AnyFile).value()), (Names{"dir", "sub"}));

    EXPECT_EQ(failure(m_fs.find("c:\\nodir\\*.*", 0)).code, ErrorCode::PathNotFound);
    EXPECT_EQ(failure(m_fs.find("c:\\dir\\data.zip\\*.*", 0)).code, ErrorCode::PathNotFound);
    EXPECT_EQ(failure(m_fs.find("*.zip", 0)).code, ErrorCode::PathNotFound);
}

#ifdef __linux__
// Unmounts a host folder when the test ends, before its temporary folder goes.
class Unmount {
public:
    explicit Unmount(std::string where) : m_where(std::move(where)) {}
    ~Unmount() { ::umount2(m_where.c_str(), MNT_DETACH); }
    Unmount(const Unmount&) = delete;
    Unmount& operator=(const Unmount&) = delete;

private:
    std::string m_where;
};

TEST_F(PosixFs, WriteStopsShortWhenADisketteSizedVolumeFills) {
    fs::create_directory(m_dir.file("fd"));
    if (::mount("tmpfs", m_dir.file("fd").c_str(), "tmpfs", 0, "size=1440k") != 0) {
        GTEST_SKIP() << "mount of a 1440k tmpfs refused here";
    }
    const Unmount unmount(m_dir.file("fd"));
    EXPECT_EQ(m_fs.freeBytes(1), 1474560);
    auto file = m_fs.createAlways("a:\\big.bin");
    ASSERT_TRUE(file.ok()) << file.error().message;
    const std::string twoMegabytes(2 * 1024 * 1024, 'x');
    EXPECT_EQ(file.value()->write(bytes(twoMegabytes)).value(), 1474560u);
    const Error full = failure(file.value()->write(bytes("y")));
    EXPECT_EQ(full.code, ErrorCode::DiskFull);
    EXPECT_EQ(full.message, "a:\\big.bin: No space left on device");
    EXPECT_EQ(m_fs.freeBytes(1), 0);
    EXPECT_TRUE(file.value()->close().ok());
}

TEST_F(PosixFs, VfatAliasesAreTheKernels) {
    if (::access("/sbin/mkfs.vfat", X_OK) != 0 && ::access("/usr/sbin/mkfs.vfat", X_OK) != 0) {
        GTEST_SKIP() << "mkfs.vfat not installed";
    }
    const std::string image = m_dir.file("fat.img");
    const std::string make = "mkfs.vfat -C '" + image + "' 1440 >/dev/null 2>&1";
    const std::string loop = "mount -o loop -t vfat '" + image + "' '" + m_dir.file("fd") + "'";
    fs::create_directories(m_dir.file("fd"));
    if (std::system(make.c_str()) != 0 || std::system((loop + " 2>/dev/null").c_str()) != 0) {
        GTEST_SKIP() << "can't mount a vfat image here";
    }
    const Unmount unmount(m_dir.file("fd"));
    m_dir.write("fd/longfilename one.txt", "1");
    m_dir.write("fd/longfilename two.txt", "2");
    const auto entries = m_fs.find("a:\\*.txt", 0).value();
    ASSERT_EQ(entries.size(), 2u);
    for (const FindEntry& entry : entries) {
        EXPECT_EQ(entry.shortName,
                  entry.name == "longfilename one.txt" ? "LONGFI~1.TXT" : "LONGFI~2.TXT");
    }
    EXPECT_EQ(m_fs.longPath("a:\\LONGFI~2.TXT").value(), "a:\\longfilename two.txt");
}
#endif

} // namespace
} // namespace dividra::platform
