#include "settings/SettingsBatch.h"

namespace dividra {

void SettingsBatch::createKey(std::string_view keyPath) {
    m_changes.push_back({std::string(keyPath), std::nullopt, {}});
}

void SettingsBatch::setInt(std::string_view keyPath, std::string_view valueName,
                           std::int32_t value) {
    const std::string data = platform::dwordBytes(static_cast<std::uint32_t>(value));
    m_changes.push_back(
        {std::string(keyPath), std::string(valueName), {platform::kRegDword, data}});
}

void SettingsBatch::setText(std::string_view keyPath, std::string_view valueName,
                            std::string_view value) {
    m_changes.push_back(
        {std::string(keyPath), std::string(valueName), {platform::kRegSz, std::string(value)}});
}

bool SettingsBatch::commit() {
    const Status stored = platform::Registry().apply(m_changes);
    m_failureReason = stored ? std::string() : stored.error().message;
    return stored.ok();
}

} // namespace dividra
