#include "core/transfer/TempFile.h"

#include "core/transfer/SafeWrite.h"

namespace dividra::core {
namespace {

// Temporaries never reuse a name: one that is there may be a link to a file of the user's.
constexpr int kTempNames = 100;

std::string tempCandidate(const std::string& finalPath, int n) {
    return finalPath + (n == 0 ? "" : "." + std::to_string(n)) + ".dividra-part";
}

} // namespace

TempFile::TempFile(platform::FileSystem& fs, std::string finalPath)
    : m_fs(fs), m_finalPath(std::move(finalPath)) {}

Result<std::unique_ptr<TempFile>> TempFile::create(platform::FileSystem& fs,
                                                   std::string finalPath) {
    std::unique_ptr<TempFile> temp(new TempFile(fs, std::move(finalPath)));
    for (int n = 0; !temp->m_file; ++n) {
        temp->m_tempPath = tempCandidate(temp->m_finalPath, n);
        auto created = fs.createNew(temp->m_tempPath);
        if (!created && (created.error().code != ErrorCode::AlreadyExists || n + 1 == kTempNames)) {
            return WithAction("Can't create", created.error());
        }
        if (created) {
            temp->m_file = std::move(created).value();
        }
    }
    temp->m_createdId = temp->m_file->id();
    return temp;
}

TempFile::~TempFile() {
    if (m_file) {
        (void)m_file->close();
    }
    if (m_createdId && !m_committed && m_fs.fileId(m_tempPath) == m_createdId) {
        (void)m_fs.deleteFile(m_tempPath);
    }
}

Status TempFile::write(std::span<const std::byte> bytes) {
    return WriteAll(*m_file, m_tempPath, bytes);
}

Status TempFile::close() {
    const Status closed = m_file ? m_file->close() : Status();
    m_file.reset();
    return closed;
}

Status TempFile::commit(bool flushed) {
    const Status forced = flushed ? Status() : FlushWritten(*m_file);
    const Status closed = CloseAfter(*m_file, forced);
    m_file.reset();
    if (!closed) {
        return closed;
    }
    if (const Status renamed = m_fs.renameFile(m_tempPath, m_finalPath); !renamed) {
        return WithAction("Can't rename " + m_tempPath + " to", renamed.error());
    }
    m_committed = true;
    return {};
}

} // namespace dividra::core
