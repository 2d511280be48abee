#include "DisketteErase.h"
#include "MemoryFileSystem.h"
#include "PosixFileSystem.h"
#include "ScriptedHost.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
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
    Result<std::unique_ptr<platform::File>> openRead(std::string_view path) override {
        return m_fs.openRead(path);
    }
    Result<std::unique_ptr<platform::File>> openReadShared(std::string_view path) override {
        return m_fs.openReadShared(path);
    }
    Result<std::unique_ptr<platform::File>> createAlways(std::string_view path) override {
        return m_fs.createAlways(path);
    }
    Status deleteFile(std::string_view path) override { return m_fs.deleteFile(path); }
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
    EXPECT_EQ(m_fs.callLog(), (std::vector<std::string>{
                                  "setAttributes a:\\A\\B\\C\\three.txt",
                                  "deleteFile a:\\A\\B\\C\\three.txt",
                                  "setAttributes a:\\A\\B\\C",
                                  "removeFolder a:\\A\\B\\C",
                                  "setAttributes a:\\A\\B\\two.txt",
                                  "deleteFile a:\\A\\B\\two.txt",
                                  "setAttributes a:\\A\\B",
                                  "removeFolder a:\\A\\B",
                                  "setAttributes a:\\A\\one.txt",
                                  "deleteFile a:\\A\\one.txt",
                                  "setAttributes a:\\A",
                                  "removeFolder a:\\A",
                                  "setAttributes a:\\IO.SYS",
                                  "deleteFile a:\\IO.SYS",
                                  "setAttributes a:",
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

TEST(DisketteErasePosixTest, RealFolderIsEmptied) {
    dividra::test::TempDir dir;
    dir.write("README.TXT", "r");
    dir.write(".hidden", "h");
    const std::string locked = dir.write("DOCS/OLD/keep.txt", "k");
    std::filesystem::permissions(locked, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    platform::PosixFileSystem fs(
        platform::DriveTable::parse("a=" + dir.path() + ",removable").value());
    test::ScriptedHost host;

    EraseDiskette(host, fs, 'a');

    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    EXPECT_EQ(host.eventsOf("status"), kStatusTexts);
}

} // namespace
} // namespace dividra::core
