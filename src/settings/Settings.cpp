#include "settings/Settings.h"

#include "platform/Registry.h"
#include "settings/SettingsBatch.h"

#include <optional>
#include <utility>

namespace dividra {
namespace {

using platform::Registry;
using platform::RegistryValue;

// The value under a key opened (and created if missing) for reading; nullopt when the key
// can't be opened or has no such value.
std::optional<RegistryValue> readValue(std::string_view keyPath, std::string_view valueName) {
    auto value = Registry().queryValue(keyPath, valueName, true);
    return value ? std::move(value).value() : std::nullopt;
}

} // namespace

bool SettingsKeyExists(std::string_view keyPath, bool create) {
    return Registry().openKey(keyPath, create).ok();
}

std::int32_t ReadSettingInt(std::string_view keyPath, std::string_view valueName,
                            std::int32_t defaultValue) {
    const auto value = readValue(keyPath, valueName);
    if (!value || value->type != platform::kRegDword || value->data.size() != 4) {
        return defaultValue;
    }
    return static_cast<std::int32_t>(platform::dwordFromBytes(value->data));
}

std::string ReadSettingText(std::string_view keyPath, std::string_view valueName,
                            std::string_view defaultValue) {
    const auto value = readValue(keyPath, valueName);
    if (!value || value->data.empty()) {
        return {};
    }
    if (value->type != platform::kRegSz && value->type != platform::kRegExpandSz) {
        return std::string(defaultValue);
    }
    return value->data.substr(0, value->data.find('\0'));
}

bool WriteSettingInt(std::string_view keyPath, std::string_view valueName, std::int32_t value) {
    SettingsBatch batch;
    batch.setInt(keyPath, valueName, value);
    return batch.commit();
}

bool WriteSettingText(std::string_view keyPath, std::string_view valueName,
                      std::string_view value) {
    SettingsBatch batch;
    batch.setText(keyPath, valueName, value);
    return batch.commit();
}

} // namespace dividra
