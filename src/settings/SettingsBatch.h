#pragma once

#include "platform/Registry.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The writes of one save, stored together: the registry file is replaced once with all of them,
// or, when any of them can't be stored, left as it was.
namespace dividra {

class SettingsBatch {
public:
    // As SettingsKeyExists(keyPath, true), WriteSettingInt and WriteSettingText, held until
    // commit().
    void createKey(std::string_view keyPath);
    void setInt(std::string_view keyPath, std::string_view valueName, std::int32_t value);
    void setText(std::string_view keyPath, std::string_view valueName, std::string_view value);

    // Stores every change, in the order they were made. False when it couldn't: then none is
    // stored and failureReason() names what and why. The changes stay held either way.
    bool commit();
    const std::string& failureReason() const { return m_failureReason; }

private:
    std::vector<platform::RegistryChange> m_changes;
    std::string m_failureReason;
};

} // namespace dividra
