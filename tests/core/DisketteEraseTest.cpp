#include "core/split/DisketteErase.h"
#include "ScriptedHost.h"
#include "fakes/MemoryFileSystem.h"
#include "platform/PosixFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace dividra::core {
namespace {

using platform::DriveType;
using platform::MemoryFileSystem;
namespace attr = platform::attr;

const std::vector<std::string> kStatusTexts = {"Erasing target diskette...",
                                               "Splitting file to floppy diskettte..."};

// Passes every call on to the memory file system, noting the patterns searched.
class SearchRecorder final : public platform::FileSystem {
public:
    explicit SearchRecorder(MemoryFileSystem& fs) : m_fs(fs) {}

    std::vector<platform::DriveInfo> drives() const override { return m_fs.drives(); }
    DriveType driveType(std::string_view root) const override { return m_fs.driveType(root); }
    std::int64_t freeBytes(int drive) const override { return m_fs.freeBytes(drive); }
    platform::FolderSpace folderSpace(std::string_view folder) const override {
        return m_fs.folderSpace(folder);
    }
    Result<std::optional<platform::FileId>> probeCreate(std::string_view path) const override {
        return m_fs.probeCreate(path);
    }
    Status flushFolder(std::string_view folder) override { return m_fs.flushFolder(folder); }
    Result<std::unique_ptr<platform::FolderLock>> lockFolder(std::string_view folder) override {
        return m_fs.lockFolder(folder);
    }
    Result<std::unique_ptr<platform::File>> openRead(std::string_view path) override {
        return m_fs.openRead(path);
    }
    Result<std::unique_ptr<platform::File>> openReadShared(std::string_view path) override {
        return m_fs.openReadShared(path);
    }
    Result<std::unique_ptr<platform::File>> createAlways(std::string_view path) override {
        return m_fs.createAlways(path);
    }
    Result<std::unique_ptr<platform::File>> createNew(std::string_view path) override {
        return m_fs.createNew(path);
    }
    Status deleteFile(std::string_view path) override { return m_fs.deleteFile(path); }
    Status renameFile(std::string_view from, std::string_view to) override {
        return m_fs.renameFile(from, to);
    }
    Result<std::uint32_t> attributes(std::string_view path) const override {
        return m_fs.attributes(path);
    }
    Status setAttributes(std::string_view path, std::uint32_t bits) override {
        return m_fs.setAttributes(path, bits);
    }
    Status removeFolder(std::string_view path) override { return m_fs.removeFolder(path); }
    Result<std::vector<platform::FindEntry>> find(std::string_view pattern,
                                                  std::uint32_t mask) const override {
        searches.emplace_back(pattern);
        EXPECT_EQ(mask, attr::AnyFile);
        return m_fs.find(pattern, mask);
    }
    Result<std::string> shortPath(std::string_view path) const override {
        return m_fs.shortPath(path);
    }
    Result<std::string> longPath(std::string_view path) const override {
        return m_fs.longPath(path);
    }
    std::optional<platform::FileId> fileId(std::string_view path) const override {
        return m_fs.fileId(path);
    }

    mutable std::vector<std::string> searches;

private:
    MemoryFileSystem& m_fs;
};

class DisketteEraseTest : public ::testing::Test {
protected:
    void SetUp() override { m_disk = &m_fs.addDrive('a', DriveType::Removable, 1457664); }

    void erase() {
        m_fs.clearCalls();
        EraseDiskette(m_host, m_recorder, 'a');
    }

    std::vector<std::string> removals() const {
        std::vector<std::string> out;
        for (const auto& call : m_fs.calls()) {
            if (call.op == "removeFolder") {
                out.push_back(call.text());
            }
        }
        return out;
    }

    MemoryFileSystem m_fs;
    SearchRecorder m_recorder{m_fs};
    platform::Medium* m_disk = nullptr;
    test::ScriptedHost m_host;
};

TEST_F(DisketteEraseTest, ProtectedFilesAndNestedTreeGoDeepestFirst) {
    m_fs.putFile("a:\\IO.SYS", "boot", attr::ReadOnly | attr::Hidden | attr::System);
    m_fs.putFile("a:\\A\\one.txt", "1");
    m_fs.putFile("a:\\A\\B\\two.txt", "22", attr::Hidden);
    m_fs.putFile("a:\\A\\B\\C\\three.txt", "333", attr::ReadOnly);
    ASSERT_TRUE(m_fs.setAttributes("a:\\A\\B\\C", attr::ReadOnly | attr::Hidden).ok());

    erase();

    EXPECT_TRUE(m_fs.listAll('a').empty());
    EXPECT_EQ(m_host.eventsOf("status"), kStatusTexts);
    // Every folder loses its read-only state before anything in it goes.
    EXPECT_EQ(m_fs.callLog(), (std::vector<std::string>{
                                  "setAttributes a:\\A\\B\\C",
                                  "setAttributes a:\\A\\B",
                                  "setAttributes a:\\A",
                                  "setAttributes a:",
                                  "setAttributes a:\\A\\B\\C\\three.txt",
                                  "deleteFile a:\\A\\B\\C\\three.txt",
                                  "removeFolder a:\\A\\B\\C",
                                  "setAttributes a:\\A\\B\\two.txt",
                                  "deleteFile a:\\A\\B\\two.txt",
                                  "removeFolder a:\\A\\B",
                                  "setAttributes a:\\A\\one.txt",
                                  "deleteFile a:\\A\\one.txt",
                                  "removeFolder a:\\A",
                                  "setAttributes a:\\IO.SYS",
                                  "deleteFile a:\\IO.SYS",
                                  "removeFolder a: -> AccessDenied",
                              }));
}

// DATA is a substring of DATA2, and "2" sorts before a backslash: DATA is carried past DATA2's tree
// and its own.
TEST_F(DisketteEraseTest, FoldersSharingAPrefixAreBothRemovedCompletely) {
    m_fs.putFile("a:\\DATA\\OLD\\X\\x.bin", "x");
    m_fs.putFile("a:\\DATA\\d.bin", "d");
    m_fs.putFile("a:\\DATA2\\NEW\\n.bin", "n");
    m_fs.createFolder("a:\\DATA2\\EMPTY");

    erase();

    EXPECT_TRUE(m_fs.listAll('a').empty());
    EXPECT_EQ(m_recorder.searches,
              (std::vector<std::string>{
                  "a:\\*.*", "a:\\DATA\\*.*", "a:\\DATA2\\*.*", "a:\\DATA\\OLD\\*.*",
                  "a:\\DATA2\\NEW\\*.*", "a:\\DATA2\\EMPTY\\*.*", "a:\\DATA\\OLD\\X\\*.*",
                  // then the removal pass
                  "a:\\DATA2\\EMPTY\\*.*", "a:\\DATA2\\NEW\\*.*", "a:\\DATA2\\*.*",
                  "a:\\DATA\\OLD\\X\\*.*", "a:\\DATA\\OLD\\*.*", "a:\\DATA\\*.*", "a:\\*.*"}));
    EXPECT_EQ(removals(), (std::vector<std::string>{
                              "removeFolder a:\\DATA2\\EMPTY", "removeFolder a:\\DATA2\\NEW",
                              "removeFolder a:\\DATA2", "removeFolder a:\\DATA\\OLD\\X",
                              "removeFolder a:\\DATA\\OLD", "removeFolder a:\\DATA",
                              "removeFolder a: -> AccessDenied"}));
}

TEST_F(DisketteEraseTest, FoldersGoInNameOrderLetterCaseAside) {
    for (const char* folder : {"a:\\beta", "a:\\Gamma", "a:\\alpha", "a:\\Delta"}) {
        m_fs.createFolder(folder);
    }

    erase();

    EXPECT_EQ(removals(),
              (std::vector<std::string>{"removeFolder a:\\alpha", "removeFolder a:\\beta",
                                        "removeFolder a:\\Delta", "removeFolder a:\\Gamma",
                                        "removeFolder a: -> AccessDenied"}));
}

TEST_F(DisketteEraseTest, EmptyDisketteSearchesOnlyTheRoot) {
    erase();

    EXPECT_EQ(m_recorder.searches, (std::vector<std::string>{"a:\\*.*", "a:\\*.*"}));
    EXPECT_EQ(m_fs.callLog(),
              (std::vector<std::string>{"setAttributes a:", "removeFolder a: -> AccessDenied"}));
}

TEST_F(DisketteEraseTest, NoDisketteReadsAsEmpty) {
    m_fs.setMediumPresent('a', false);

    erase();

    EXPECT_EQ(m_host.eventsOf("status"), kStatusTexts);
    EXPECT_EQ(m_fs.callLog(), (std::vector<std::string>{"setAttributes a: -> NotReady",
                                                        "removeFolder a: -> NotReady"}));
}

TEST_F(DisketteEraseTest, WriteProtectedDisketteKeepsEverything) {
    m_fs.putFile("a:\\ROOT.TXT", "r");
    m_fs.putFile("a:\\SUB\\IN.TXT", "in");
    m_disk->setWriteProtected(true);
    const auto before = m_fs.listAll('a');

    erase();

    EXPECT_EQ(m_fs.listAll('a'), before);
    EXPECT_EQ(m_host.eventsOf("status"), kStatusTexts);
}

// Runs the work as the user "nobody" when the test runs as root (who passes every permission
// check), as it is when not; the work's result crosses the fork as the exit status.
bool asOrdinaryUser(const std::string& tree, const std::function<bool()>& work) {
    if (::geteuid() != 0) {
        return work();
    }
    constexpr uid_t kNobody = 65534;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(tree)) {
        (void)::lchown(entry.path().c_str(), kNobody, kNobody);
    }
    (void)::chown(tree.c_str(), kNobody, kNobody);
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
        ::_exit(dropped && work() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// Folders without write permission (mode 555) would keep their files if their read-only
// state were cleared only after their files were tried.
TEST(DisketteErasePosixTest, RealFolderIsEmptiedReadOnlyFoldersIncluded) {
    dividra::test::TempDir dir;
    dir.write("README.TXT", "r");
    dir.write(".hidden", "h");
    const std::string locked = dir.write("DOCS/OLD/keep.txt", "k");
    dir.write("DOCS/notes.txt", "n");
    namespace stdfs = std::filesystem;
    stdfs::permissions(locked, stdfs::perms::owner_write, stdfs::perm_options::remove);
    for (const char* folder : {"DOCS", "DOCS/OLD"}) {
        stdfs::permissions(dir.file(folder), stdfs::perms(0555));
    }
    const std::string root = dir.path();
    const bool emptied = asOrdinaryUser(root, [&root] {
        platform::PosixFileSystem fs(platform::DriveTable::parse("a=" + root + ",fixed").value());
        test::ScriptedHost host;
        EraseDiskette(host, fs, 'a');
        return stdfs::is_empty(root) && host.eventsOf("status") == kStatusTexts;
    });
    EXPECT_TRUE(emptied);
    EXPECT_TRUE(stdfs::is_empty(root));
}

} // namespace
} // namespace dividra::core
