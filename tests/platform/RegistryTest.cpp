#include "platform/Registry.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace dividra::platform {
namespace {

using test::ScopedEnv;
using test::TempDir;

constexpr const char* kHead = "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n";

ino_t inodeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

class RegistryTest : public ::testing::Test {
protected:
    TempDir m_dir;
    std::string m_file = m_dir.file("registry.reg");
    ScopedEnv m_env{"DIVIDRA_REGISTRY", m_file};
    Registry m_registry;
};

TEST_F(RegistryTest, LocationComesFromTheEnvironment) {
    EXPECT_EQ(registryFilePath().value(), m_file);
    ScopedEnv xdg("XDG_CONFIG_HOME", m_dir.file("config"));
    ScopedEnv home("HOME", m_dir.file("home"));
    {
        ScopedEnv unset("DIVIDRA_REGISTRY", "");
        EXPECT_EQ(registryFilePath().value(), m_dir.file("config/dividra/registry.reg"));
        // The folders along the way are created.
        ASSERT_TRUE(m_registry.setValue("K", "v", kRegSz, "x").ok());
        EXPECT_EQ(TempDir::read(m_dir.file("config/dividra/registry.reg")),
                  std::string(kHead) + "\"v\"=\"x\"\n");
        ScopedEnv noXdg("XDG_CONFIG_HOME", "");
        EXPECT_EQ(registryFilePath().value(), m_dir.file("home/.config/dividra/registry.reg"));
        ScopedEnv relativeXdg("XDG_CONFIG_HOME", "relative");
        EXPECT_EQ(registryFilePath().value(), m_dir.file("home/.config/dividra/registry.reg"));
    }
    const Registry fixed(m_dir.file("fixed.reg"));
    EXPECT_EQ(fixed.filePath().value(), m_dir.file("fixed.reg"));
}

TEST_F(RegistryTest, OpenCreatesKeysOnlyWhenAsked) {
    EXPECT_EQ(m_registry.openKey("A\\B", false).error().code, ErrorCode::NotFound);
    EXPECT_EQ(TempDir::read(m_file), "<missing>");
    ASSERT_TRUE(m_registry.openKey("A\\B", true).ok());
    EXPECT_TRUE(m_registry.openKey("a", false).ok());
    EXPECT_TRUE(m_registry.openKey("", false).ok());
    EXPECT_EQ(m_registry.queryValue("A\\C", "v", false).error().code, ErrorCode::NotFound);
    const auto created = m_registry.queryValue("A\\C", "v", true);
    ASSERT_TRUE(created.ok());
    EXPECT_FALSE(created.value().has_value());
    EXPECT_EQ(TempDir::read(m_file),
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\A\\B]\n\n[HKEY_CURRENT_USER\\A\\C]\n");
    EXPECT_EQ(m_registry.openKey("A\\\\B", true).error().code, ErrorCode::InvalidName);
    EXPECT_EQ(m_registry.setValue("A", "two\nlines", kRegSz, "").error().code,
              ErrorCode::InvalidName);
}

TEST_F(RegistryTest, ReadsAndUnchangedWritesLeaveTheFileAlone) {
    ASSERT_TRUE(m_registry.setValue("K", "v", kRegDword, std::string("\x05\0\0\0", 4)).ok());
    const ino_t before = inodeOf(m_file);
    EXPECT_TRUE(m_registry.openKey("K", true).ok());
    const auto read = m_registry.queryValue("k", "V", true);
    ASSERT_TRUE(read.ok() && read.value().has_value());
    EXPECT_EQ(*read.value(), (RegistryValue{kRegDword, std::string("\x05\0\0\0", 4)}));
    EXPECT_TRUE(m_registry.setValue("K", "v", kRegDword, std::string("\x05\0\0\0", 4)).ok());
    EXPECT_EQ(inodeOf(m_file), before);
    ASSERT_TRUE(m_registry.setValue("K", "v", kRegSz, "5").ok());
    EXPECT_NE(inodeOf(m_file), before);
    EXPECT_EQ(TempDir::read(m_file), std::string(kHead) + "\"v\"=\"5\"\n");
    EXPECT_EQ(TempDir::read(m_file + ".tmp"), "<missing>");
}

TEST_F(RegistryTest, NeverWritesThroughALinkLeftAsTheTemporaryFile) {
    const std::string victim = m_dir.write("victim", "keep");
    ASSERT_EQ(::symlink(victim.c_str(), (m_file + ".tmp").c_str()), 0);
    ASSERT_TRUE(m_registry.setValue("K", "v", kRegSz, "x").ok());
    EXPECT_EQ(TempDir::read(victim), "keep");
    EXPECT_EQ(TempDir::read(m_file), std::string(kHead) + "\"v\"=\"x\"\n");
}

TEST_F(RegistryTest, ABatchReplacesTheFileOnceOrLeavesItAsItWas) {
    ASSERT_TRUE(m_registry.setValue("K", "v", kRegSz, "old").ok());
    const std::string before = TempDir::read(m_file);
    const ino_t inode = inodeOf(m_file);
    const RegistryChange newText{"K", "v", {kRegSz, "new"}};
    const std::string obstacle = m_file + ".tmp"; // a folder no replacement can be written to
    struct Case {
        const char* what;
        std::vector<RegistryChange> changes;
        bool blocked;
    };
    const Case failing[] = {
        {"bad value name last", {newText, {"K", "two\nlines", {}}}, false},
        {"bad key path", {newText, {"A\\\\B", std::nullopt, {}}}, false},
        {"file can't be replaced", {newText, {"K\\Sub", std::nullopt, {}}}, true},
    };
    for (const Case& c : failing) {
        ASSERT_EQ(c.blocked ? ::mkdir(obstacle.c_str(), 0700) : 0, 0) << c.what;
        EXPECT_FALSE(m_registry.apply(c.changes).ok()) << c.what;
        EXPECT_EQ(TempDir::read(m_file), before) << c.what;
        EXPECT_EQ(inodeOf(m_file), inode) << c.what;
        ::rmdir(obstacle.c_str());
    }
    ASSERT_TRUE(m_registry.apply({{"K", "v", {kRegSz, "old"}}, {"k", std::nullopt, {}}}).ok());
    EXPECT_EQ(inodeOf(m_file), inode); // nothing changed, nothing written

    ASSERT_TRUE(m_registry
                    .apply({newText,
                            {"K\\Sub", std::nullopt, {}},
                            {"K", "n", {kRegDword, dwordBytes(7)}},
                            {"K\\Sub", "s", {kRegSz, "x"}}})
                    .ok());
    EXPECT_NE(inodeOf(m_file), inode);
    EXPECT_EQ(TempDir::read(m_file), std::string(kHead) +
                                         "\"v\"=\"new\"\n\"n\"=dword:00000007\n\n"
                                         "[HKEY_CURRENT_USER\\K\\Sub]\n\"s\"=\"x\"\n");
}

} // namespace
} // namespace dividra::platform
