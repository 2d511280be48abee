#pragma once

#include "platform/Result.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The program's only road to files and volumes. Every path crossing this interface is a DOS
// path ("c:\home\ann\data.zip"); names compare without regard to letter case, as on DOS.
// Two implementations: PosixFileSystem over the drive table, and the in-memory test double
// MemoryFileSystem (tests/fakes), which the shipped programs never link.
namespace dividra::platform {

// The drive kinds, numbered as the Windows drive type codes the program's rules name.
enum class DriveType : int {
    Unknown = 0,
    NoRootDir = 1, // no such drive
    Removable = 2,
    Fixed = 3,
    Remote = 4,
    CdRom = 5,
    RamDisk = 6,
};

// File attribute bits, as DOS numbers them.
namespace attr {
inline constexpr std::uint32_t ReadOnly = 0x01;
inline constexpr std::uint32_t Hidden = 0x02;
inline constexpr std::uint32_t System = 0x04;
inline constexpr std::uint32_t VolumeId = 0x08;
inline constexpr std::uint32_t Directory = 0x10;
inline constexpr std::uint32_t Archive = 0x20;
inline constexpr std::uint32_t Normal = 0x80;
inline constexpr std::uint32_t AnyFile = 0x3F;
} // namespace attr

struct DriveInfo {
    char letter = 'c'; // lower case
    DriveType type = DriveType::Fixed;
    std::string label; // volume label, or the remote name of a network drive; may be empty
};

// Identity of a file on its volume: two paths with equal ids name the same file.
struct FileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileId&) const = default;
};

struct FindEntry {
    std::string name;      // as the file system reports it
    std::string shortName; // 8.3 alias; equals name when that already fits 8.3
    std::uint32_t attributes = 0;
    std::int64_t size = 0;
};

// An open file. Destroying it closes it (errors of that implicit close are lost: call close()
// to see them).
class File {
public:
    virtual ~File() = default;

    // Reads up to buffer.size() bytes at the current position; 0 means end of file.
    virtual Result<std::size_t> read(std::span<std::byte> buffer) = 0;
    // Writes at the current position. May write fewer bytes than asked (the medium filled up);
    // the result is the count that reached the file.
    virtual Result<std::size_t> write(std::span<const std::byte> data) = 0;
    // Forces written data to the medium (fdatasync).
    virtual Status flush() = 0;
    // Releases the file and its lock; later calls do nothing and succeed.
    virtual Status close() = 0;
    virtual Result<std::int64_t> size() = 0;
    virtual FileId id() const = 0;
    // Moves the position to `offset` bytes from the start (0 <= offset); reads there give what
    // the file holds from that point, nothing past its end.
    virtual Status seek(std::int64_t offset) = 0;
};

// The room on the file system that holds a folder.
struct FolderSpace {
    std::int64_t freeBytes = -1; // for the current user; -1 when it can't be told
    std::int64_t unit = 0;       // allocation unit in bytes; 0 when unknown
};

// The hold a split keeps on its destination while it runs; released when destroyed.
class FolderLock {
public:
    virtual ~FolderLock() = default;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The drives in letter order, a to z.
    virtual std::vector<DriveInfo> drives() const = 0;
    // The type of the drive whose root is given ("C:\", "c:" or "c"); NoRootDir when none.
    virtual DriveType driveType(std::string_view root) const = 0;
    // Free bytes for the current user on drive number n (a = 1); -1 when it can't be told
    // (no such drive, no medium).
    virtual std::int64_t freeBytes(int driveNumber) const = 0;

    // The free space and allocation unit of the file system holding the folder, which may be
    // another than its drive root's; freeBytes -1 when it can't be told.
    virtual FolderSpace folderSpace(std::string_view folder) const = 0;

    // Opens an existing file for reading; others may read it, none may write it meanwhile.
    virtual Result<std::unique_ptr<File>> openRead(std::string_view path) = 0;
    // Opens an existing file for reading with no lock of its own, so it succeeds while another
    // program writes the file (the size query of a picked file).
    virtual Result<std::unique_ptr<File>> openReadShared(std::string_view path) = 0;
    // Creates the file empty for reading and writing, replacing a file of that name; no sharing.
    // The folders on the way are looked up as a typed path is, but the file itself is created
    // under exactly the name given: never redirected to an entry whose name differs in letter
    // case or whose 8.3 alias it is. Where the file system itself resolves such names, a name
    // that would reach an entry of another long name is refused (AccessDenied, naming both);
    // one that differs in letter case only replaces that entry. A symbolic link of that name, or
    // a file with other hard links, is replaced, never written through.
    virtual Result<std::unique_ptr<File>> createAlways(std::string_view path) = 0;
    // Creates a file that did not exist, under exactly the name given, for reading and writing;
    // no sharing. Any entry of that name (a file, a hard link to another file, a symbolic link,
    // live or dangling) is AlreadyExists and stays untouched: nothing is written through a name
    // that was there. Other errors as for createAlways.
    virtual Result<std::unique_ptr<File>> createNew(std::string_view path) = 0;
    // As openRead (openReadShared when `shared`), for the files of a set: a symbolic link of
    // that name is refused (AccessDenied, "is a symbolic link, not a regular file"), so a link
    // never passes for a segment, descriptor or checksum file. Folders on the way may be links.
    virtual Result<std::unique_ptr<File>> openUnlinked(std::string_view path, bool shared);
    // Whether the last name, exactly as given, is a symbolic link, live or dangling; false where
    // there is none or the file system has no links.
    virtual bool isSymbolicLink(std::string_view path) const;
    // What createAlways(path) would replace, without touching anything: nothing, or the
    // identity of the regular file there. The error createAlways would give for the name
    // itself: a folder, device or FIFO of that name (AccessDenied), a read-only file, a name
    // reaching another entry, a missing folder or medium on the way.
    virtual Result<std::optional<FileId>> probeCreate(std::string_view path) const = 0;
    // Forces the folder's entries (files created, renamed or removed in it) to the medium.
    // Errors of the path as for find.
    virtual Status flushFolder(std::string_view folder) = 0;
    // Takes the split lock of a folder (for a removable drive's root: of the drive, whatever
    // medium is in it) without waiting. SharingViolation when another split holds it; errors
    // of the path as for find.
    virtual Result<std::unique_ptr<FolderLock>> lockFolder(std::string_view folder) = 0;

    // Removes a file, or a link, FIFO or device entry (never what a link points at). A folder is
    // refused (AccessDenied), and so are a read-only file and, where locks exist, a file another
    // open file holds locked (SharingViolation). NotFound when there is nothing of that name.
    virtual Status deleteFile(std::string_view path) = 0;
    // Gives an existing regular file the name `to` on the same volume, replacing a regular file
    // of that name in one step (a join's finished output taking its place). `to` is refused as
    // createAlways refuses it, and when another open file holds a lock on what it would replace
    // (SharingViolation); a symbolic link there is replaced, never followed. Another volume is
    // refused (AccessDenied), and so is a source that is no regular file.
    virtual Status renameFile(std::string_view from, std::string_view to) = 0;
    virtual Result<std::uint32_t> attributes(std::string_view path) const = 0;
    // Sets the attr bits a file system can keep (at least ReadOnly); the others are ignored.
    // Errors of the path as for attributes.
    virtual Status setAttributes(std::string_view path, std::uint32_t attributes) = 0;
    // Removes an empty folder; fails for a drive root or a folder that still holds entries.
    virtual Status removeFolder(std::string_view path) = 0;

    // The entries of one folder matching a pattern ("a:\DATA\*.*"), in the file system's order.
    // A file or folder with Hidden, System or Directory set is left out unless the mask holds
    // that bit, as DOS's search does. "." and ".." are listed for every folder but a root.
    // Wildcards: "*" and "?", blind to letter case; "*.*" matches every name.
    virtual Result<std::vector<FindEntry>> find(std::string_view pattern,
                                                std::uint32_t attributeMask) const = 0;

    // The full path with every component in its 8.3 form.
    virtual Result<std::string> shortPath(std::string_view path) const = 0;
    // The full path with every component in the form the file system reports (long names,
    // letter case as stored). Fails when the file doesn't exist.
    virtual Result<std::string> longPath(std::string_view path) const = 0;
    // The identity of an existing file or folder; nothing when it doesn't exist.
    virtual std::optional<FileId> fileId(std::string_view path) const = 0;

    // Between the DOS view and the host's own paths, for what comes from or goes to the host
    // (command-line arguments, dropped files, sound files). A file system without host paths
    // refuses both (InvalidArgument).
    virtual Result<std::string> toDosPath(std::string_view hostPath) const;
    virtual Result<std::string> toHostPath(std::string_view dosPath) const;
};

} // namespace dividra::platform
