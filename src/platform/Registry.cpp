#include "platform/Registry.h"

#include "platform/RegistryFile.h"

#include <cstdlib>
#include <utility>

namespace dividra::platform {
namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

Error badKeyPath(std::string_view keyPath) {
    return Error{ErrorCode::InvalidName,
                 "HKEY_CURRENT_USER\\" + std::string(keyPath) + ": not a valid key path"};
}

Error missingKey(std::string_view keyPath) {
    return Error{ErrorCode::NotFound,
                 "HKEY_CURRENT_USER\\" + std::string(keyPath) + ": no such key"};
}

Status checkNames(const RegistryChange& change) {
    if (!isValidKeyPath(change.keyPath)) {
        return badKeyPath(change.keyPath);
    }
    if (change.valueName && !isValidValueName(*change.valueName)) {
        return Error{ErrorCode::InvalidName,
                     "\"" + *change.valueName + "\": not a valid value name"};
    }
    return {};
}

Result<RegistryFile> openFile(const Registry& registry) {
    auto path = registry.filePath();
    if (!path) {
        return path.error();
    }
    return RegistryFile::open(path.value());
}

} // namespace

Result<std::string> registryFilePath() {
    if (std::string path = environment("DIVIDRA_REGISTRY"); !path.empty()) {
        return path;
    }
    if (std::string config = environment("XDG_CONFIG_HOME"); config.starts_with('/')) {
        return config + "/dividra/registry.reg";
    }
    if (std::string home = environment("HOME"); !home.empty()) {
        return home + "/.config/dividra/registry.reg";
    }
    return Error{ErrorCode::PathNotFound, "no HOME folder to keep the registry file in"};
}

Registry::Registry(std::string filePath) : m_filePath(std::move(filePath)) {}

Result<std::string> Registry::filePath() const {
    if (m_filePath.empty()) {
        return registryFilePath();
    }
    return m_filePath;
}

Status Registry::openKey(std::string_view keyPath, bool create) const {
    if (!isValidKeyPath(keyPath)) {
        return badKeyPath(keyPath);
    }
    auto file = openFile(*this);
    if (!file) {
        return file.error();
    }
    if (file.value().tree().keyExists(keyPath)) {
        return {};
    }
    if (!create) {
        return missingKey(keyPath);
    }
    file.value().tree().createKey(keyPath);
    return file.value().save();
}

Result<std::optional<RegistryValue>>
Registry::queryValue(std::string_view keyPath, std::string_view valueName, bool createKey) const {
    if (!isValidKeyPath(keyPath)) {
        return badKeyPath(keyPath);
    }
    auto file = openFile(*this);
    if (!file) {
        return file.error();
    }
    RegistryTree& tree = file.value().tree();
    if (!tree.keyExists(keyPath)) {
        if (!createKey) {
            return missingKey(keyPath);
        }
        tree.createKey(keyPath);
        if (Status saved = file.value().save(); !saved) {
            return saved.error();
        }
    }
    const RegistryValue* value = tree.findValue(keyPath, valueName);
    return value != nullptr ? std::optional<RegistryValue>(*value) : std::nullopt;
}

Status Registry::setValue(std::string_view keyPath, std::string_view valueName, std::uint32_t type,
                          std::string_view data) const {
    return apply({RegistryChange{std::string(keyPath), std::string(valueName),
                                 RegistryValue{type, std::string(data)}}});
}

Status Registry::apply(const std::vector<RegistryChange>& changes) const {
    for (const RegistryChange& change : changes) {
        if (Status named = checkNames(change); !named) {
            return named;
        }
    }
    auto file = openFile(*this);
    if (!file) {
        return file.error();
    }
    if (Status writable = file.value().checkWritable(); !writable) {
        return writable;
    }
    RegistryTree& tree = file.value().tree();
    bool changed = false;
    for (const RegistryChange& change : changes) {
        const bool made = change.valueName
                              ? tree.setValue(change.keyPath, *change.valueName, change.value)
                              : tree.createKey(change.keyPath);
        changed = made || changed;
    }
    return changed ? file.value().save() : Status();
}

} // namespace dividra::platform
