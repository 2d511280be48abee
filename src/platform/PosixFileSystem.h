#pragma once

#include "platform/DriveTable.h"
#include "platform/FileSystem.h"

// The FileSystem over the host's files, seen through the drive table.
//
// Names: a DOS component that doesn't exist exactly finds the entry equal to it ignoring letter
// case, failing that the entry whose 8.3 alias it is; a file is created under its exact name.
// Aliases are the kernel's own on a VFAT mount, else those shortAliases gives the folder's names.
// Split locks: flock on the folder itself; for a removable drive's root, on a file named after
// the drive in $XDG_RUNTIME_DIR (else /tmp), since the diskette under it changes.
// Locks: openRead takes a shared flock, createAlways an exclusive one, both without waiting; a
// conflict is SharingViolation. deleteFile likewise refuses a file someone holds locked.
// Attributes: ReadOnly = no owner write bit, Hidden = name begins with ".", Directory for folders,
// Archive for regular files; setAttributes changes only the owner write bit (Hidden and System
// can't be changed here and are ignored). A read-only file can't be replaced or deleted, as on
// DOS. Errors: "<dos path>: <reason>", the code from the host's error number.
namespace dividra::platform {

class PosixFileSystem final : public FileSystem {
public:
    explicit PosixFileSystem(DriveTable drives);

    const DriveTable& driveTable() const { return m_drives; }
    Result<std::string> toDosPath(std::string_view hostPath) const override;
    Result<std::string> toHostPath(std::string_view dosPath) const override;

    std::vector<DriveInfo> drives() const override;
    DriveType driveType(std::string_view root) const override;
    std::int64_t freeBytes(int driveNumber) const override;
    FolderSpace folderSpace(std::string_view folder) const override;

    Result<std::unique_ptr<File>> openRead(std::string_view path) override;
    Result<std::unique_ptr<File>> openReadShared(std::string_view path) override;
    Result<std::unique_ptr<File>> createAlways(std::string_view path) override;
    Result<std::optional<FileId>> probeCreate(std::string_view path) const override;
    Result<std::unique_ptr<File>> createNew(std::string_view path) override;
    Result<std::unique_ptr<File>> openUnlinked(std::string_view path, bool shared) override;
    bool isSymbolicLink(std::string_view path) const override;
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

private:
    Result<std::unique_ptr<File>> openExisting(std::string_view path, bool lock, bool noLink);

    DriveTable m_drives;
};

} // namespace dividra::platform
