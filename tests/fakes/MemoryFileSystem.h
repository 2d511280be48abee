#pragma once

#include "platform/FileSystem.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// An in-memory FileSystem for tests: drives holding media of any capacity, faults that strike
// at a chosen byte, and counters and a call log to check what the program did to the disk.
namespace dividra::platform {

namespace memfs {
struct MediumData;
struct State;
} // namespace memfs

// A failure the file system produces on purpose.
//
// Read, write and vanish faults let `after` bytes through (counted over every handle in scope
// from the moment the fault is added); the call that would move a byte beyond that, or any call
// once that many have passed, is struck. Flush, create and close faults let `after` calls in
// scope pass, then strike. A fault strikes `times` calls (-1: for ever), then it is spent.
struct Fault {
    enum class Kind {
        ReadFails,      // the read fails with `code` and delivers nothing
        ReadShort,      // the read delivers only the bytes that remain (0 = early end of file)
        WriteFails,     // the write fails with `code` and writes nothing
        WriteShort,     // the write stores only the bytes that remain and reports that count
        FlushFails,     // flush fails with `code`; the data stays written
        CreateFails,    // createAlways fails with `code`; nothing is created or truncated
        CloseFails,     // close fails with `code`; the handle is released all the same
        MediumVanishes, // the write stores the bytes that remain, then the medium leaves its
                        // drive: that write and all later calls fail with NotReady
    };
    Kind kind = Kind::ReadFails;
    // "a:" for every file of the drive, or a file path whose last name may hold wildcards.
    std::string scope;
    std::int64_t after = 0;
    int times = -1;
    ErrorCode code = ErrorCode::Io;
};

// One call the program made.
struct Call {
    // openRead, openReadShared, createAlways, createNew, read, write, flush, size, close,
    // implicitClose (a handle destroyed unclosed), deleteFile, setAttributes, removeFolder,
    // freeBytes, folderSpace, lockFolder.
    std::string op;
    // As the caller gave it; for handle calls the path the file was opened with; "a:" for
    // freeBytes of drive 1.
    std::string path;
    std::int64_t offset = 0;    // read, write: the file position at the call
    std::int64_t requested = 0; // read, write: bytes asked
    std::int64_t done = 0;      // read, write: bytes moved
    std::optional<ErrorCode> error;

    // "write a:\DATA.001 @0 49152", then " -> 100" when fewer bytes moved, " -> DiskFull" when
    // it failed; "flush a:\DATA.001".
    std::string text() const;
};

// The name of an error code as written in the code ("DiskFull").
std::string_view errorCodeName(ErrorCode code);

// A volume: folders and files within a capacity. A fixed drive holds one for good; a removable
// drive holds one at a time, or none, like a diskette drive. Its own methods take paths from
// its root ("\DATA\X.TXT" or "DATA\X.TXT"); they are the test's set-up and inspection, ignore
// faults, locks and capacity, and throw std::invalid_argument on misuse. A Medium lives as long
// as the MemoryFileSystem that made it.
class Medium {
public:
    Medium(const Medium&) = delete;
    Medium& operator=(const Medium&) = delete;

    const std::string& name() const;
    const std::string& label() const;
    void setLabel(std::string label);
    std::int64_t capacity() const;
    // Files occupy their size rounded up to whole clusters; an empty file or a folder occupies
    // nothing. Default 512. Best keep the capacity a multiple of it.
    std::int64_t clusterSize() const;
    void setClusterSize(std::int64_t bytes);
    std::int64_t usedBytes() const;
    // Capacity less the bytes used, never below 0.
    std::int64_t freeBytes() const;
    // While on, creating, writing, deleting and changing attributes fail with AccessDenied.
    void setWriteProtected(bool on);

    // Creates the folder and any missing folders above it.
    void createFolder(std::string_view path);
    // Creates or replaces the file (a replaced file keeps its identity), folders as needed.
    void putFile(std::string_view path, std::string_view bytes,
                 std::uint32_t attributes = attr::Archive);
    // The bytes of a file; nothing when there is no file of that name.
    std::optional<std::string> contents(std::string_view path) const;
    bool exists(std::string_view path) const;
    // Every folder ("\DOCS\") and file with its size ("\DOCS\A.TXT 12"), names as stored,
    // depth first, each folder's entries in the order they were made.
    std::vector<std::string> listAll() const;
    // Removes everything, as formatting does; files still open on it fail from then on.
    void clear();

private:
    friend class MemoryFileSystem;
    explicit Medium(std::shared_ptr<memfs::MediumData> data);

    std::shared_ptr<memfs::MediumData> m_data;
};

// The FileSystem contract over media in memory. Set-up methods throw std::invalid_argument on
// misuse (bad letter, unknown drive or medium, a path on a drive without a medium). Open files
// never dangle: after their medium leaves the drive they fail with NotReady (even when it comes
// back, as a changed diskette would), after their file is deleted with NotFound. Symbolic links
// are not modelled.
class MemoryFileSystem final : public FileSystem {
public:
    MemoryFileSystem();
    ~MemoryFileSystem() override;
    MemoryFileSystem(const MemoryFileSystem&) = delete;
    MemoryFileSystem& operator=(const MemoryFileSystem&) = delete;

    // Adds the drive with a fresh medium inserted, named after the drive ("a:"), of that
    // capacity in bytes and that label (a remote drive's name). Each letter is added once.
    Medium& addDrive(char letter, DriveType type, std::int64_t capacity, std::string label = {});
    // A medium out of any drive, to insert later. Names are unique ("disk 1").
    Medium& addMedium(std::string name, std::int64_t capacity, std::string label = {});
    Medium& mediumNamed(std::string_view name);
    // Puts the medium in the drive, taking out the one there (and this one out of any other).
    void insertMedium(char letter, Medium& medium);
    // false takes the medium out: the drive fails everything with NotReady, freeBytes is -1.
    // true puts the last medium back.
    void setMediumPresent(char letter, bool present);
    // The medium in the drive, or nullptr.
    Medium* medium(char letter) const;

    // Set-up and inspection by DOS path, on the medium in the drive.
    void createFolder(std::string_view path);
    void putFile(std::string_view path, std::string_view bytes,
                 std::uint32_t attributes = attr::Archive);
    std::optional<std::string> contents(std::string_view path) const;
    bool exists(std::string_view path) const;
    // The listAll() of the medium in the drive; empty without one.
    std::vector<std::string> listAll(char letter) const;

    // Gives drive `letter` a host folder ("/mem/c"), so that host paths under it map into the
    // drive and back, as a command line names files. Without one a drive has no host paths.
    void setHostFolder(char letter, std::string hostFolder);

    void addFault(Fault fault);
    void clearFaults();

    // Handles open now; 0 once the program closed (or destroyed) all it opened.
    int openFiles() const;
    std::int64_t bytesRead() const;
    std::int64_t bytesWritten() const;
    const std::vector<Call>& calls() const;
    // The text of every call, or of the calls on one path (letter case aside).
    std::vector<std::string> callLog(std::string_view path = {}) const;
    // Flush calls on that file, failed ones included.
    int flushCount(std::string_view path) const;
    // The bytes each successful write to that file stored, in order.
    std::vector<std::int64_t> writeSizes(std::string_view path) const;
    void clearCalls();

    std::vector<DriveInfo> drives() const override;
    DriveType driveType(std::string_view root) const override;
    std::int64_t freeBytes(int driveNumber) const override;
    FolderSpace folderSpace(std::string_view folder) const override;
    Result<std::unique_ptr<File>> openRead(std::string_view path) override;
    Result<std::unique_ptr<File>> openReadShared(std::string_view path) override;
    Result<std::unique_ptr<File>> createAlways(std::string_view path) override;
    Result<std::unique_ptr<File>> createNew(std::string_view path) override;
    Result<std::optional<FileId>> probeCreate(std::string_view path) const override;
    Status flushFolder(std::string_view folder) override;
    Result<std::unique_ptr<FolderLock>> lockFolder(std::string_view folder) override;
    Status deleteFile(std::string_view path) override;
    Status renameFile(std::string_view from, std::string_view to) override;
    Result<std::uint32_t> attributes(std::string_view path) const override;
    Status setAttributes(std::string_view path, std::uint32_t attributes) override;
    Status removeFolder(std::string_view path) override;
    Result<std::vector<FindEntry>> find(std::string_view pattern,
                                        std::uint32_t attributeMask) const override;
    Result<std::string> shortPath(std::string_view path) const override;
    Result<std::string> longPath(std::string_view path) const override;
    std::optional<FileId> fileId(std::string_view path) const override;
    // Through the host folders given: PathNotFound "<path>: not on any drive" for any other.
    Result<std::string> toDosPath(std::string_view hostPath) const override;
    Result<std::string> toHostPath(std::string_view dosPath) const override;

private:
    Result<std::unique_ptr<File>> open(std::string_view op, std::string_view path);
    Medium& mediumOnDrive(std::string_view path) const;
    Medium* wrapperOf(const memfs::MediumData* data) const;

    std::shared_ptr<memfs::State> m_state;
    std::vector<std::unique_ptr<Medium>> m_media;
    std::map<char, std::string> m_hostFolders;
};

} // namespace dividra::platform
