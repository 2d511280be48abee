#pragma once

#include "settings/SettingsKeys.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace dividra::test {

// The key most tests store into, and the start of a file holding only that key.
inline constexpr std::string_view kKey = keys::kHardDriveOptions;
inline const std::string kHeader =
    "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vorlan Software\\Dividra\\Hard Drive Options]\n";

// A test with its own registry file, named by DIVIDRA_REGISTRY for the test's duration.
class ProfileFixture : public ::testing::Test {
protected:
    // Replaces the registry file's bytes.
    void store(std::string_view bytes) { m_dir.write("registry.reg", bytes); }
    std::string stored() const { return TempDir::read(m_file); }

    TempDir m_dir;
    std::string m_file = m_dir.file("registry.reg");
    ScopedEnv m_env{"DIVIDRA_REGISTRY", m_file};
};

} // namespace dividra::test
