#pragma once

#include "core/join/JoinObserver.h"
#include "core/transfer/Progress.h"
#include "core/transfer/Sha256.h"
#include "core/transfer/TempFile.h"
#include "core/transfer/Transfer.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The join's own workings, for its files only: where it writes (a temporary beside its output
// that takes the output's name only once every byte is in) and the texts it ends with.
namespace dividra::core {

// Large enough to keep a disk busy with few calls (512 for 256 MB), small enough to keep a
// join within 8 MB of memory.
inline constexpr std::size_t kJoinBufferSize = 512 * 1024;

// Bytes read of a known total, told to the observer in whole parts.
ProgressCount JoinProgress(JoinObserver& observer, std::int64_t total);

// Buffers a join's hashing thread takes turns with: enough to keep both threads busy, few
// enough to keep a join within 8 MB of memory.
inline constexpr std::size_t kJoinHashSlots = 3;

// The output's place, checked and held.
struct JoinTarget {
    std::string outputPath;
    std::unique_ptr<platform::FolderLock> lock;
};

// Takes the folder's split lock, then refuses an output that exists, a symbolic link too
// (AlreadyExists, unless `force`), a folder or unwritable entry of its name, a name that is one of
// `inputs`, and a folder without room for `totalSize` bytes beside the output it replaces.
Result<JoinTarget> PrepareJoinTarget(platform::FileSystem& fs, std::string_view folder,
                                     std::string_view name, bool force,
                                     const std::vector<platform::FileId>& inputs,
                                     std::int64_t totalSize);

// The temporary file being filled. Destroyed before commit() succeeded, it closes and removes
// the temporary, so a failed or cancelled join leaves nothing behind. When hashing, the whole
// file's hash is taken on a thread of its own while the copy goes on.
class JoinWriter {
public:
    // `stop`, asked after every chunk, ends an append with StoppedOnRequest().
    JoinWriter(platform::FileSystem& fs, JoinTarget target, bool hashing,
               std::function<bool()> stop);
    ~JoinWriter();
    JoinWriter(const JoinWriter&) = delete;
    JoinWriter& operator=(const JoinWriter&) = delete;

    // Creates the temporary under a fresh name (NAME.dividra-part, else NAME.1.dividra-part,
    // ...): an entry already there, a link too, is never opened. When hashing it starts the
    // hashing thread.
    Status create();
    // Copies `length` bytes of an open segment onto the end, hashing them into `segmentHash`
    // (when given) and the whole file's hash (when hashing). With a segmentHash it waits for
    // the whole file's hash to catch up, so that its failure is told here.
    Status append(platform::File& segment, std::string_view segmentPath, std::int64_t length,
                  Sha256* segmentHash, ProgressCount& progress);
    std::int64_t written() const { return m_written; }
    // Waits until the whole file's hash has taken every byte appended; why it failed if it did.
    Status finishHashing();
    // The digest of all bytes appended; empty when not hashing or when the hashing failed.
    std::string wholeDigest();
    // Gives the output another name in its folder, checked as PrepareJoinTarget checks it
    // (the temporary keeps its name): for a join that learns the name only at its end.
    Status retarget(std::string_view name, bool force);
    // Forces the bytes appended so far to the disk. A join does it before it waits for its
    // hash, so that the disk and the hashing work at once.
    Status flush();
    // Forces the bytes to the disk once (unless flush() did since the last append), closes,
    // renames to the output's name and forces the folder entry too.
    Status commit();
    const std::string& outputPath() const { return m_target.outputPath; }
    // Where the bytes appended so far are, once created.
    const std::string& tempPath() const { return m_temp->path(); }

private:
    platform::FileSystem& m_fs;
    JoinTarget m_target;
    std::unique_ptr<TempFile> m_temp; // once created
    std::optional<Sha256> m_whole;
    Transfer m_transfer; // after m_whole, so its hashing thread stops before it goes
    std::int64_t m_written = 0;
    bool m_flushed = false;
};

// "Joined 3 segments into c:\out\data.zip, 3000000 bytes."
std::string JoinedText(std::size_t segments, const JoinWriter& writer);

// "The joined file's checksum differs from the line for data.zip in c:\out\data.sha256".
std::string WholeDigestDiffers(const std::string& sourceName, const std::string& checksumPath);

} // namespace dividra::core
