#pragma once

#include "fakes/MemoryFileSystem.h"

#include <map>
#include <set>

// The inner parts of MemoryFileSystem, shared by its source files.
namespace dividra::platform::memfs {

struct Node {
    std::string name;
    bool folder = false;
    std::uint32_t attributes = 0; // ReadOnly, Hidden, System, Archive only
    std::string data;
    std::vector<std::shared_ptr<Node>> children; // in the order they were made
    std::uint64_t inode = 0;
    bool removed = false; // deleted, or its medium cleared: open handles on it fail
    int readers = 0;      // openRead handles: they deny writers
    bool writer = false;  // a createAlways handle: it denies everyone with a lock

    // Attributes as reported: Directory for folders, Normal when nothing else is set.
    std::uint32_t reported() const;
};

struct MediumData {
    std::string name;
    std::string label;
    std::int64_t capacity = 0;
    std::int64_t clusterSize = 512;
    std::int64_t used = 0;
    bool writeProtected = false;
    std::uint64_t device = 0;
    std::uint64_t nextInode = 1;
    std::shared_ptr<Node> root;

    std::int64_t freeBytes() const;
    std::shared_ptr<Node> newNode(std::string name, bool folder);
    // Sets a file's size, keeping `used` in step; the caller checked the space.
    void resize(Node& file, std::int64_t size);
    // The size the file may grow to on the clusters still free.
    std::int64_t maxSize(const Node& file) const;
    // Takes the entry out of its folder, releasing its space; open handles on it then fail.
    void detach(Node& folder, const Node& entry);
    // Removes every entry, as formatting does.
    void clear();
    // Counts `used` afresh, after the cluster size changed.
    void recount();
};

std::shared_ptr<MediumData> makeMedium(std::string name, std::int64_t capacity, std::string label,
                                       std::uint64_t device);

// A DOS path taken apart: the drive letter in lower case (0 when the path has none) and the
// names below the root, with "." and ".." resolved.
struct DosParts {
    char letter = 0;
    std::vector<std::string> names;
};
DosParts splitDosPath(std::string_view path);
// A name a new file or folder may take on DOS.
bool isValidName(std::string_view name);
std::shared_ptr<Node> childNamed(const Node& folder, std::string_view name);

// Where a path leads: the folder holding its last name, and the entry (null when missing).
// The root has no folder.
struct Lookup {
    std::shared_ptr<Node> folder;
    std::shared_ptr<Node> node;
};
// PathNotFound when a folder on the way is missing or is a file.
Result<Lookup> lookUp(const MediumData& medium, const std::vector<std::string>& names,
                      std::string_view path);

// "object: reason"
Error makeError(ErrorCode code, std::string_view object, std::string_view reason);
// The reason a failure of that kind gives, as the C library words it.
std::string_view reasonFor(ErrorCode code);

struct Drive {
    DriveType type = DriveType::Fixed;
    std::shared_ptr<MediumData> medium; // when absent, the last one inserted (may be null)
    bool present = false;
    std::uint64_t insertion = 0; // renewed at every insertion and removal
};

struct ActiveFault {
    Fault fault;
    DosParts scope;
    std::int64_t passed = 0;
    int struck = 0;

    bool live() const { return fault.times < 0 || struck < fault.times; }
    bool covers(const DosParts& path) const;
    // A byte-counted fault strikes a call that wants `bytes` more.
    bool strikes(std::int64_t bytes) const;
    // What remains before `after`.
    std::int64_t remaining() const;
};

struct State {
    std::map<char, Drive> drives;
    std::vector<ActiveFault> faults;
    std::vector<Call> calls;
    int openFiles = 0;
    std::int64_t bytesRead = 0;
    std::int64_t bytesWritten = 0;
    std::uint64_t nextInsertion = 1;
    std::set<std::string> lockedFolders; // split locks: "a" for a drive, else "device:inode"

    // The medium in the drive, or null (no drive, no medium).
    std::shared_ptr<MediumData> mediumIn(char letter) const;
    void setPresent(char letter, bool present);
    void record(std::string_view op, std::string_view path, std::optional<ErrorCode> error,
                std::int64_t done = 0);
    // The first live call-counted fault of that kind covering the path, which this call
    // strikes; counts the call as passed otherwise.
    std::optional<Error> callFault(Fault::Kind kind, const DosParts& path, std::string_view text);
};

// A path resolved on the medium in its drive.
struct Target {
    std::shared_ptr<MediumData> medium;
    DosParts parts;
    Lookup at;
};
// NotReady without a medium, PathNotFound for a missing drive or folder on the way.
Result<Target> locate(const State& state, std::string_view path);

enum class OpenMode { Read, ReadShared, Write };

struct Opening {
    std::shared_ptr<State> state;
    std::shared_ptr<MediumData> medium;
    std::shared_ptr<Node> node;
    DosParts parts;
    std::string path;
    OpenMode mode = OpenMode::Read;
};
// The handle takes the lock its mode asks for; the caller checked it was free.
std::unique_ptr<File> openFile(Opening opening);

} // namespace dividra::platform::memfs
