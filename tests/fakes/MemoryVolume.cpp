#include "fakes/MemoryVolume.h"

#include "platform/AsciiText.h"
#include "platform/Wildcard.h"

#include <algorithm>

namespace dividra::platform::memfs {
namespace {

std::int64_t roundUp(std::int64_t size, std::int64_t cluster) {
    return (size + cluster - 1) / cluster * cluster;
}

void markRemoved(Node& node) {
    node.removed = true;
    for (const auto& child : node.children) {
        markRemoved(*child);
    }
}

} // namespace

std::uint32_t Node::reported() const {
    const std::uint32_t bits = attributes | (folder ? attr::Directory : 0);
    return bits == 0 ? attr::Normal : bits;
}

std::int64_t MediumData::freeBytes() const {
    return std::max<std::int64_t>(0, capacity - used);
}

std::shared_ptr<Node> MediumData::newNode(std::string name, bool folder) {
    auto node = std::make_shared<Node>();
    node->name = std::move(name);
    node->folder = folder;
    node->inode = nextInode++;
    return node;
}

void MediumData::resize(Node& file, std::int64_t size) {
    const auto before = static_cast<std::int64_t>(file.data.size());
    used += roundUp(size, clusterSize) - roundUp(before, clusterSize);
    file.data.resize(static_cast<std::size_t>(size));
}

std::int64_t MediumData::maxSize(const Node& file) const {
    const auto size = static_cast<std::int64_t>(file.data.size());
    return roundUp(size, clusterSize) + freeBytes() / clusterSize * clusterSize;
}

void MediumData::detach(Node& folder, const Node& entry) {
    auto& children = folder.children;
    const auto at = std::find_if(children.begin(), children.end(),
                                 [&](const auto& child) { return child.get() == &entry; });
    if (at == children.end()) {
        return;
    }
    const std::shared_ptr<Node> node = *at;
    children.erase(at);
    if (!node->folder) {
        used -= roundUp(static_cast<std::int64_t>(node->data.size()), clusterSize);
    }
    markRemoved(*node);
}

void MediumData::clear() {
    for (const auto& child : root->children) {
        markRemoved(*child);
    }
    root->children.clear();
    used = 0;
}

void MediumData::recount() {
    used = 0;
    std::vector<const Node*> pending{root.get()};
    while (!pending.empty()) {
        const Node* node = pending.back();
        pending.pop_back();
        used += roundUp(static_cast<std::int64_t>(node->data.size()), clusterSize);
        for (const auto& child : node->children) {
            pending.push_back(child.get());
        }
    }
}

std::shared_ptr<MediumData> makeMedium(std::string name, std::int64_t capacity, std::string label,
                                       std::uint64_t device) {
    auto medium = std::make_shared<MediumData>();
    medium->name = std::move(name);
    medium->label = std::move(label);
    medium->capacity = capacity;
    medium->device = device;
    medium->root = medium->newNode({}, true);
    return medium;
}

DosParts splitDosPath(std::string_view path) {
    DosParts parts;
    if (path.size() >= 2 && path[1] == ':' && isAsciiLetter(path[0])) {
        parts.letter = lowerAscii(path[0]);
        path.remove_prefix(2);
    }
    while (!path.empty()) {
        const auto end = path.find_first_of("\\/");
        const std::string_view name = path.substr(0, end);
        path.remove_prefix(end == std::string_view::npos ? path.size() : end + 1);
        if (name == "..") {
            if (!parts.names.empty()) {
                parts.names.pop_back();
            }
        } else if (!name.empty() && name != ".") {
            parts.names.emplace_back(name);
        }
    }
    return parts;
}

bool isValidName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    return std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 ||
               std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
    });
}

std::shared_ptr<Node> childNamed(const Node& folder, std::string_view name) {
    for (const auto& child : folder.children) {
        if (equalsIgnoringCase(child->name, name)) {
            return child;
        }
    }
    return nullptr;
}

Result<Lookup> lookUp(const MediumData& medium, const std::vector<std::string>& names,
                      std::string_view path) {
    Lookup found{nullptr, medium.root};
    for (const auto& name : names) {
        if (!found.node || !found.node->folder) {
            return makeError(ErrorCode::PathNotFound, path, reasonFor(ErrorCode::PathNotFound));
        }
        found.folder = found.node;
        found.node = childNamed(*found.folder, name);
    }
    return found;
}

Error makeError(ErrorCode code, std::string_view object, std::string_view reason) {
    return Error{code, std::string(object) + ": " + std::string(reason)};
}

std::string_view reasonFor(ErrorCode code) {
    switch (code) {
    case ErrorCode::NotFound:
    case ErrorCode::PathNotFound:
        return "No such file or directory";
    case ErrorCode::AccessDenied:
        return "Permission denied";
    case ErrorCode::SharingViolation:
        return "File in use by another handle";
    case ErrorCode::DiskFull:
        return "No space left on device";
    case ErrorCode::NotReady:
        return "No medium found";
    case ErrorCode::InvalidName:
        return "Invalid file name";
    case ErrorCode::InvalidArgument:
        return "Invalid argument";
    case ErrorCode::SameFile:
        return "Same file";
    case ErrorCode::AlreadyExists:
        return "File exists";
    case ErrorCode::Cancelled:
        return "Interrupted";
    case ErrorCode::Io:
        break;
    }
    return "Input/output error";
}

bool ActiveFault::covers(const DosParts& path) const {
    if (path.letter != scope.letter) {
        return false;
    }
    if (scope.names.empty()) {
        return true;
    }
    if (path.names.size() != scope.names.size()) {
        return false;
    }
    const std::size_t last = path.names.size() - 1;
    for (std::size_t i = 0; i < last; ++i) {
        if (!equalsIgnoringCase(path.names[i], scope.names[i])) {
            return false;
        }
    }
    return matchesDosPattern(path.names[last], scope.names[last]);
}

bool ActiveFault::strikes(std::int64_t bytes) const {
    return passed >= fault.after || passed + bytes > fault.after;
}

std::int64_t ActiveFault::remaining() const {
    return std::max<std::int64_t>(0, fault.after - passed);
}

std::shared_ptr<MediumData> State::mediumIn(char letter) const {
    const auto drive = drives.find(letter);
    if (drive == drives.end() || !drive->second.present) {
        return nullptr;
    }
    return drive->second.medium;
}

void State::setPresent(char letter, bool present) {
    Drive& drive = drives.at(letter);
    if (drive.present != present) {
        drive.present = present && drive.medium;
        drive.insertion = nextInsertion++;
    }
}

void State::record(std::string_view op, std::string_view path, std::optional<ErrorCode> error,
                   std::int64_t done) {
    calls.push_back(Call{std::string(op), std::string(path), 0, 0, done, error});
}

std::optional<Error> State::callFault(Fault::Kind kind, const DosParts& path,
                                      std::string_view text) {
    std::optional<Error> failure;
    for (auto& active : faults) {
        if (active.fault.kind != kind || !active.live() || !active.covers(path)) {
            continue;
        }
        if (!failure && active.passed >= active.fault.after) {
            ++active.struck;
            failure = makeError(active.fault.code, text, reasonFor(active.fault.code));
        } else {
            ++active.passed;
        }
    }
    return failure;
}

} // namespace dividra::platform::memfs

namespace dividra::platform {

std::string_view errorCodeName(ErrorCode code) {
    switch (code) {
    case ErrorCode::NotFound:
        return "NotFound";
    case ErrorCode::PathNotFound:
        return "PathNotFound";
    case ErrorCode::AccessDenied:
        return "AccessDenied";
    case ErrorCode::SharingViolation:
        return "SharingViolation";
    case ErrorCode::DiskFull:
        return "DiskFull";
    case ErrorCode::NotReady:
        return "NotReady";
    case ErrorCode::InvalidName:
        return "InvalidName";
    case ErrorCode::InvalidArgument:
        return "InvalidArgument";
    case ErrorCode::SameFile:
        return "SameFile";
    case ErrorCode::AlreadyExists:
        return "AlreadyExists";
    case ErrorCode::Cancelled:
        return "Cancelled";
    case ErrorCode::Io:
        break;
    }
    return "Io";
}

std::string Call::text() const {
    std::string out = op + " " + path;
    if (op == "read" || op == "write") {
        out += " @" + std::to_string(offset) + " " + std::to_string(requested);
    }
    if (error) {
        out += " -> " + std::string(errorCodeName(*error));
    } else if (done != requested) {
        out += " -> " + std::to_string(done);
    }
    return out;
}

} // namespace dividra::platform
