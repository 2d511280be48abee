// The test-facing side of MemoryFileSystem: media, set-up, inspection, faults and counters.
#include "fakes/MemoryVolume.h"
#include "platform/AsciiText.h"

#include "platform/Wildcard.h"

#include <algorithm>
#include <stdexcept>

namespace dividra::platform {
namespace {

using memfs::MediumData;
using memfs::Node;

[[noreturn]] void misuse(const std::string& what) {
    throw std::invalid_argument(what);
}

// The names below a medium's root; a drive letter has no place there.
std::vector<std::string> namesOf(std::string_view path) {
    memfs::DosParts parts = memfs::splitDosPath(path);
    if (parts.letter != 0) {
        misuse("a medium path starts at its root: " + std::string(path));
    }
    return std::move(parts.names);
}

std::shared_ptr<Node> nodeAt(const MediumData& medium, std::string_view path) {
    std::shared_ptr<Node> node = medium.root;
    for (const auto& name : namesOf(path)) {
        if (!node->folder || !(node = memfs::childNamed(*node, name))) {
            return nullptr;
        }
    }
    return node;
}

std::shared_ptr<Node> makeFolders(MediumData& medium, const std::vector<std::string>& names) {
    std::shared_ptr<Node> folder = medium.root;
    for (const auto& name : names) {
        auto next = memfs::childNamed(*folder, name);
        if (!next) {
            if (!memfs::isValidName(name)) {
                misuse("invalid name: " + name);
            }
            next = medium.newNode(name, true);
            folder->children.push_back(next);
        } else if (!next->folder) {
            misuse("a file stands where a folder is wanted: " + name);
        }
        folder = std::move(next);
    }
    return folder;
}

void listInto(const Node& folder, const std::string& prefix, std::vector<std::string>& lines) {
    for (const auto& child : folder.children) {
        const std::string path = prefix + "\\" + child->name;
        if (child->folder) {
            lines.push_back(path + "\\");
            listInto(*child, path, lines);
        } else {
            lines.push_back(path + " " + std::to_string(child->data.size()));
        }
    }
}

char driveLetter(char letter) {
    const char lower =
        (letter >= 'A' && letter <= 'Z') ? static_cast<char>(letter - 'A' + 'a') : letter;
    if (lower < 'a' || lower > 'z') {
        misuse("not a drive letter: " + std::string(1, letter));
    }
    return lower;
}

} // namespace

Medium::Medium(std::shared_ptr<MediumData> data) : m_data(std::move(data)) {}

const std::string& Medium::name() const {
    return m_data->name;
}
const std::string& Medium::label() const {
    return m_data->label;
}
void Medium::setLabel(std::string label) {
    m_data->label = std::move(label);
}
std::int64_t Medium::capacity() const {
    return m_data->capacity;
}
std::int64_t Medium::clusterSize() const {
    return m_data->clusterSize;
}
std::int64_t Medium::usedBytes() const {
    return m_data->used;
}
std::int64_t Medium::freeBytes() const {
    return m_data->freeBytes();
}
void Medium::setWriteProtected(bool on) {
    m_data->writeProtected = on;
}

void Medium::setClusterSize(std::int64_t bytes) {
    if (bytes <= 0) {
        misuse("cluster size must be positive: " + std::to_string(bytes));
    }
    m_data->clusterSize = bytes;
    m_data->recount();
}

void Medium::createFolder(std::string_view path) {
    makeFolders(*m_data, namesOf(path));
}

void Medium::putFile(std::string_view path, std::string_view bytes, std::uint32_t attributes) {
    std::vector<std::string> names = namesOf(path);
    if (names.empty() || !memfs::isValidName(names.back())) {
        misuse("invalid file path: " + std::string(path));
    }
    const std::string name = std::move(names.back());
    names.pop_back();
    const auto folder = makeFolders(*m_data, names);
    auto file = memfs::childNamed(*folder, name);
    if (file && file->folder) {
        misuse("a folder stands where a file is wanted: " + std::string(path));
    }
    if (!file) {
        file = m_data->newNode(name, false);
        folder->children.push_back(file);
    }
    m_data->resize(*file, static_cast<std::int64_t>(bytes.size()));
    file->data.assign(bytes);
    file->attributes = attributes & (attr::ReadOnly | attr::Hidden | attr::System | attr::Archive);
}

std::optional<std::string> Medium::contents(std::string_view path) const {
    const auto node = nodeAt(*m_data, path);
    if (!node || node->folder) {
        return std::nullopt;
    }
    return node->data;
}

bool Medium::exists(std::string_view path) const {
    return nodeAt(*m_data, path) != nullptr;
}

std::vector<std::string> Medium::listAll() const {
    std::vector<std::string> lines;
    listInto(*m_data->root, {}, lines);
    return lines;
}

void Medium::clear() {
    m_data->clear();
}

MemoryFileSystem::MemoryFileSystem() : m_state(std::make_shared<memfs::State>()) {}

MemoryFileSystem::~MemoryFileSystem() = default;

Medium& MemoryFileSystem::addDrive(char letter, DriveType type, std::int64_t capacity,
                                   std::string label) {
    const char lower = driveLetter(letter);
    if (m_state->drives.count(lower) != 0 || type == DriveType::NoRootDir) {
        misuse("drive already added or of no type: " + std::string(1, lower));
    }
    Medium& medium = addMedium(std::string(1, lower) + ":", capacity, std::move(label));
    m_state->drives[lower].type = type;
    insertMedium(lower, medium);
    return medium;
}

Medium& MemoryFileSystem::addMedium(std::string name, std::int64_t capacity, std::string label) {
    if (capacity < 0) {
        misuse("negative capacity for " + name);
    }
    for (const auto& medium : m_media) {
        if (medium->name() == name) {
            misuse("medium name taken: " + name);
        }
    }
    const auto device = static_cast<std::uint64_t>(m_media.size() + 1);
    auto data = memfs::makeMedium(std::move(name), capacity, std::move(label), device);
    m_media.push_back(std::unique_ptr<Medium>(new Medium(std::move(data))));
    return *m_media.back();
}

Medium& MemoryFileSystem::mediumNamed(std::string_view name) {
    for (const auto& medium : m_media) {
        if (medium->name() == name) {
            return *medium;
        }
    }
    misuse("no medium named " + std::string(name));
}

void MemoryFileSystem::insertMedium(char letter, Medium& medium) {
    const char lower = driveLetter(letter);
    if (m_state->drives.count(lower) == 0) {
        misuse("no drive " + std::string(1, lower));
    }
    for (auto& [other, drive] : m_state->drives) {
        if (drive.medium == medium.m_data) {
            m_state->setPresent(other, false);
            drive.medium = nullptr;
        }
    }
    memfs::Drive& drive = m_state->drives[lower];
    drive.medium = medium.m_data;
    drive.present = true;
    drive.insertion = m_state->nextInsertion++;
}

void MemoryFileSystem::setMediumPresent(char letter, bool present) {
    const char lower = driveLetter(letter);
    if (m_state->drives.count(lower) == 0) {
        misuse("no drive " + std::string(1, lower));
    }
    m_state->setPresent(lower, present);
}

Medium* MemoryFileSystem::medium(char letter) const {
    return wrapperOf(m_state->mediumIn(driveLetter(letter)).get());
}

Medium* MemoryFileSystem::wrapperOf(const MediumData* data) const {
    for (const auto& medium : m_media) {
        if (data != nullptr && medium->m_data.get() == data) {
            return medium.get();
        }
    }
    return nullptr;
}

Medium& MemoryFileSystem::mediumOnDrive(std::string_view path) const {
    Medium* found = nullptr;
    if (path.size() >= 2 && path[1] == ':') {
        found = medium(path[0]);
    }
    if (found == nullptr) {
        misuse("no medium holds " + std::string(path));
    }
    return *found;
}

void MemoryFileSystem::createFolder(std::string_view path) {
    mediumOnDrive(path).createFolder(path.substr(2));
}

void MemoryFileSystem::putFile(std::string_view path, std::string_view bytes,
                               std::uint32_t attributes) {
    mediumOnDrive(path).putFile(path.substr(2), bytes, attributes);
}

std::optional<std::string> MemoryFileSystem::contents(std::string_view path) const {
    return mediumOnDrive(path).contents(path.substr(2));
}

bool MemoryFileSystem::exists(std::string_view path) const {
    return mediumOnDrive(path).exists(path.substr(2));
}

std::vector<std::string> MemoryFileSystem::listAll(char letter) const {
    const Medium* inserted = medium(letter);
    return inserted != nullptr ? inserted->listAll() : std::vector<std::string>{};
}

void MemoryFileSystem::addFault(Fault fault) {
    memfs::DosParts scope = memfs::splitDosPath(fault.scope);
    if (scope.letter == 0 || fault.after < 0) {
        misuse("fault scope needs a drive and `after` >= 0: " + fault.scope);
    }
    m_state->faults.push_back(memfs::ActiveFault{std::move(fault), std::move(scope), 0, 0});
}

void MemoryFileSystem::clearFaults() {
    m_state->faults.clear();
}

int MemoryFileSystem::openFiles() const {
    return m_state->openFiles;
}
std::int64_t MemoryFileSystem::bytesRead() const {
    return m_state->bytesRead;
}
std::int64_t MemoryFileSystem::bytesWritten() const {
    return m_state->bytesWritten;
}
const std::vector<Call>& MemoryFileSystem::calls() const {
    return m_state->calls;
}
void MemoryFileSystem::clearCalls() {
    m_state->calls.clear();
}

std::vector<std::string> MemoryFileSystem::callLog(std::string_view path) const {
    std::vector<std::string> lines;
    for (const Call& call : m_state->calls) {
        if (path.empty() || equalsIgnoringCase(call.path, path)) {
            lines.push_back(call.text());
        }
    }
    return lines;
}

int MemoryFileSystem::flushCount(std::string_view path) const {
    return static_cast<int>(
        std::count_if(m_state->calls.begin(), m_state->calls.end(), [&](const Call& call) {
            return call.op == "flush" && equalsIgnoringCase(call.path, path);
        }));
}

std::vector<std::int64_t> MemoryFileSystem::writeSizes(std::string_view path) const {
    std::vector<std::int64_t> sizes;
    for (const Call& call : m_state->calls) {
        if (call.op == "write" && !call.error && equalsIgnoringCase(call.path, path)) {
            sizes.push_back(call.done);
        }
    }
    return sizes;
}

} // namespace dividra::platform
