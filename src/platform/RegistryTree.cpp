#include "platform/RegistryTree.h"

#include "platform/AsciiText.h"

#include <algorithm>
#include <utility>

namespace dividra::platform {
namespace {

bool isControl(char c) {
    return static_cast<unsigned char>(c) < 0x20;
}

} // namespace

std::string dwordBytes(std::uint32_t value) {
    std::string data(4, '\0');
    for (std::size_t i = 0; i < 4; ++i) {
        data[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return data;
}

std::uint32_t dwordFromBytes(std::string_view data) {
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;) {
        value = (value << 8) | static_cast<unsigned char>(data[i]);
    }
    return value;
}

bool isValidValueName(std::string_view name) {
    return std::none_of(name.begin(), name.end(), isControl);
}

bool isValidKeyPath(std::string_view path) {
    if (path.empty()) {
        return true;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        const std::string_view name = path.substr(start, end - start);
        if (name.empty() || !isValidValueName(name)) {
            return false;
        }
        if (end == path.size()) {
            return true;
        }
        start = end + 1;
    }
}

std::size_t RegistryTree::findKey(std::string_view path) const {
    const auto it = m_keyIndex.find(lowerAscii(path));
    return it == m_keyIndex.end() ? m_keys.size() : it->second;
}

std::size_t RegistryTree::addKey(std::string_view path) {
    m_keyIndex.emplace(lowerAscii(path), m_keys.size());
    m_keys.push_back(RegistryKey{std::string(path), {}});
    m_valueIndex.emplace_back();
    return m_keys.size() - 1;
}

bool RegistryTree::keyExists(std::string_view path) const {
    if (path.empty() || findKey(path) < m_keys.size()) {
        return true;
    }
    // An ancestor of a listed key exists too.
    return std::any_of(m_keys.begin(), m_keys.end(), [path](const RegistryKey& key) {
        return key.path.size() > path.size() && key.path[path.size()] == '\\' &&
               equalsIgnoringCase(std::string_view(key.path).substr(0, path.size()), path);
    });
}

bool RegistryTree::createKey(std::string_view path) {
    if (keyExists(path)) {
        return false;
    }
    addKey(path);
    return true;
}

const RegistryValue* RegistryTree::findValue(std::string_view path, std::string_view name) const {
    const std::size_t key = findKey(path);
    if (key == m_keys.size()) {
        return nullptr;
    }
    const auto it = m_valueIndex[key].find(lowerAscii(name));
    return it == m_valueIndex[key].end() ? nullptr : &m_keys[key].values[it->second].value;
}

std::size_t RegistryTree::listKey(std::string_view path) {
    const std::size_t key = findKey(path);
    return key < m_keys.size() ? key : addKey(path);
}

bool RegistryTree::setValue(std::string_view path, std::string_view name, RegistryValue value) {
    return setValue(listKey(path), name, std::move(value));
}

bool RegistryTree::setValue(std::size_t key, std::string_view name, RegistryValue value) {
    std::vector<NamedValue>& values = m_keys[key].values;
    const auto [it, added] = m_valueIndex[key].emplace(lowerAscii(name), values.size());
    if (added) {
        values.push_back(NamedValue{std::string(name), std::move(value)});
        return true;
    }
    RegistryValue& stored = values[it->second].value;
    if (stored == value) {
        return false;
    }
    stored = std::move(value);
    return true;
}

} // namespace dividra::platform
