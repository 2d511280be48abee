#pragma once

#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <memory>
#include <optional>
#include <span>
#include <string>

// A file that takes its final name only when whole: written under a fresh temporary name
// beside it (FINAL.dividra-part, else FINAL.1.dividra-part, ...), then flushed, closed and
// renamed over the final name. Destroyed before commit() succeeded, it closes and removes the
// temporary it created (and only that file), so a failure leaves nothing behind.
namespace dividra::core {

class TempFile {
public:
    // Creates the temporary: an entry already there, a link too, is never opened. "Can't
    // create ..." when no fresh name could be made.
    static Result<std::unique_ptr<TempFile>> create(platform::FileSystem& fs,
                                                    std::string finalPath);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    platform::File& file() { return *m_file; }
    const std::string& path() const { return m_tempPath; }
    const std::string& finalPath() const { return m_finalPath; }
    // The name commit() gives the file; the temporary keeps its own.
    void retarget(std::string finalPath) { m_finalPath = std::move(finalPath); }
    // WriteAll to the temporary.
    Status write(std::span<const std::byte> bytes);
    // Closes the temporary without giving it the final name: it can be read under path() and is
    // still removed when this goes. The first failure of the close.
    Status close();
    // Flushes (unless `flushed`: the caller just did), closes and renames onto the final name.
    // The folder's entry is the caller's to flush.
    Status commit(bool flushed = false);

private:
    TempFile(platform::FileSystem& fs, std::string finalPath);

    platform::FileSystem& m_fs;
    std::string m_finalPath;
    std::string m_tempPath;
    std::unique_ptr<platform::File> m_file;
    std::optional<platform::FileId> m_createdId;
    bool m_committed = false;
};

} // namespace dividra::core
