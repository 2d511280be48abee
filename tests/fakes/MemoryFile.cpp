#include "fakes/MemoryVolume.h"

#include <algorithm>
#include <cstring>

namespace dividra::platform::memfs {
namespace {

using Kind = Fault::Kind;

std::int64_t toInt(std::size_t n) {
    return static_cast<std::int64_t>(n);
}

// An open file on a medium. It holds its medium and node, so it never dangles; it checks at
// every call that its medium is still in the drive and its file still exists.
class MemoryFile final : public File {
public:
    explicit MemoryFile(Opening opening);
    ~MemoryFile() override;
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    Result<std::size_t> read(std::span<std::byte> buffer) override;
    Result<std::size_t> write(std::span<const std::byte> data) override;
    Status flush() override;
    Status close() override;
    Result<std::int64_t> size() override;
    FileId id() const override { return FileId{m_medium->device, m_node->inode}; }
    Status seek(std::int64_t offset) override;

private:
    std::optional<Error> unusable() const;
    std::vector<ActiveFault*> faults(Kind kind) const;
    Result<std::int64_t> readAllowance(std::int64_t want);
    Result<std::int64_t> writeAllowance(std::int64_t want, bool& vanish);
    void store(std::span<const std::byte> data, std::int64_t count);
    Call startCall(std::string_view op, std::size_t requested) const;
    Error failed(Call call, Error error);
    void finish(Call call, std::int64_t done = 0);
    void release();

    std::shared_ptr<State> m_state;
    std::shared_ptr<MediumData> m_medium;
    std::shared_ptr<Node> m_node;
    DosParts m_parts;
    std::string m_path;
    OpenMode m_mode;
    std::uint64_t m_insertion;
    std::int64_t m_position = 0;
    bool m_open = true;
};

MemoryFile::MemoryFile(Opening opening)
    : m_state(std::move(opening.state)), m_medium(std::move(opening.medium)),
      m_node(std::move(opening.node)), m_parts(std::move(opening.parts)),
      m_path(std::move(opening.path)), m_mode(opening.mode),
      m_insertion(m_state->drives.at(m_parts.letter).insertion) {
    if (m_mode == OpenMode::Read) {
        ++m_node->readers;
    } else if (m_mode == OpenMode::Write) {
        m_node->writer = true;
    }
    ++m_state->openFiles;
}

MemoryFile::~MemoryFile() {
    if (m_open) {
        release();
        finish(startCall("implicitClose", 0));
    }
}

std::optional<Error> MemoryFile::unusable() const {
    if (!m_open) {
        return makeError(ErrorCode::InvalidArgument, m_path, "File is closed");
    }
    const auto drive = m_state->drives.find(m_parts.letter);
    if (drive == m_state->drives.end() || !drive->second.present ||
        drive->second.insertion != m_insertion) {
        return makeError(ErrorCode::NotReady, m_path, reasonFor(ErrorCode::NotReady));
    }
    if (m_node->removed) {
        return makeError(ErrorCode::NotFound, m_path, reasonFor(ErrorCode::NotFound));
    }
    return std::nullopt;
}

std::vector<ActiveFault*> MemoryFile::faults(Kind kind) const {
    std::vector<ActiveFault*> found;
    for (auto& active : m_state->faults) {
        if (active.fault.kind == kind && active.live() && active.covers(m_parts)) {
            found.push_back(&active);
        }
    }
    return found;
}

Result<std::int64_t> MemoryFile::readAllowance(std::int64_t want) {
    for (ActiveFault* active : faults(Kind::ReadFails)) {
        if (active->strikes(want)) {
            ++active->struck;
            return makeError(active->fault.code, m_path, reasonFor(active->fault.code));
        }
    }
    std::int64_t allowed = want;
    for (ActiveFault* active : faults(Kind::ReadShort)) {
        if (active->remaining() < want) {
            ++active->struck;
            allowed = std::min(allowed, active->remaining());
        }
    }
    return allowed;
}

Result<std::size_t> MemoryFile::read(std::span<std::byte> buffer) {
    Call call = startCall("read", buffer.size());
    if (auto error = unusable()) {
        return failed(std::move(call), std::move(*error));
    }
    const std::int64_t available =
        std::max<std::int64_t>(0, toInt(m_node->data.size()) - m_position);
    const auto allowance =
        readAllowance(std::clamp<std::int64_t>(toInt(buffer.size()), 0, available));
    if (!allowance) {
        return failed(std::move(call), allowance.error());
    }
    const std::int64_t count = allowance.value();
    if (count > 0) {
        std::memcpy(buffer.data(), m_node->data.data() + m_position,
                    static_cast<std::size_t>(count));
    }
    m_position += count;
    for (Kind kind : {Kind::ReadFails, Kind::ReadShort}) {
        for (ActiveFault* active : faults(kind)) {
            active->passed += count;
        }
    }
    m_state->bytesRead += count;
    finish(std::move(call), count);
    return static_cast<std::size_t>(count);
}

// The bytes of this write that may reach the file; `vanish` when the medium leaves after them.
Result<std::int64_t> MemoryFile::writeAllowance(std::int64_t want, bool& vanish) {
    for (ActiveFault* active : faults(Kind::WriteFails)) {
        if (active->strikes(want)) {
            ++active->struck;
            return makeError(active->fault.code, m_path, reasonFor(active->fault.code));
        }
    }
    std::int64_t allowed = want;
    for (ActiveFault* active : faults(Kind::WriteShort)) {
        if (active->remaining() < want) {
            ++active->struck;
            allowed = std::min(allowed, active->remaining());
        }
    }
    const std::int64_t room = std::max<std::int64_t>(0, m_medium->maxSize(*m_node) - m_position);
    if (room == 0 && allowed > 0) {
        return makeError(ErrorCode::DiskFull, m_path, reasonFor(ErrorCode::DiskFull));
    }
    allowed = std::min(allowed, room);
    for (ActiveFault* active : faults(Kind::MediumVanishes)) {
        if (active->strikes(allowed)) {
            ++active->struck;
            allowed = std::min(allowed, active->remaining());
            vanish = true;
        }
    }
    return allowed;
}

Result<std::size_t> MemoryFile::write(std::span<const std::byte> data) {
    Call call = startCall("write", data.size());
    if (auto error = unusable()) {
        return failed(std::move(call), std::move(*error));
    }
    if (m_mode != OpenMode::Write) {
        return failed(std::move(call),
                      makeError(ErrorCode::AccessDenied, m_path, "File not open for writing"));
    }
    if (m_medium->writeProtected) {
        return failed(std::move(call),
                      makeError(ErrorCode::AccessDenied, m_path, "Read-only file system"));
    }
    bool vanish = false;
    const auto allowance = writeAllowance(toInt(data.size()), vanish);
    if (!allowance) {
        return failed(std::move(call), allowance.error());
    }
    const std::int64_t count = allowance.value();
    store(data, count);
    call.done = count;
    if (vanish) {
        m_state->setPresent(m_parts.letter, false);
        return failed(std::move(call),
                      makeError(ErrorCode::NotReady, m_path, reasonFor(ErrorCode::NotReady)));
    }
    finish(std::move(call), count);
    return static_cast<std::size_t>(count);
}

void MemoryFile::store(std::span<const std::byte> data, std::int64_t count) {
    if (m_position + count > toInt(m_node->data.size())) {
        m_medium->resize(*m_node, m_position + count);
    }
    if (count > 0) {
        std::memcpy(m_node->data.data() + m_position, data.data(), static_cast<std::size_t>(count));
    }
    m_position += count;
    for (Kind kind : {Kind::WriteFails, Kind::WriteShort, Kind::MediumVanishes}) {
        for (ActiveFault* active : faults(kind)) {
            active->passed += count;
        }
    }
    m_state->bytesWritten += count;
}

Status MemoryFile::flush() {
    Call call = startCall("flush", 0);
    auto error = unusable();
    if (!error) {
        error = m_state->callFault(Kind::FlushFails, m_parts, m_path);
    }
    if (error) {
        return failed(std::move(call), std::move(*error));
    }
    finish(std::move(call));
    return {};
}

Status MemoryFile::close() {
    if (!m_open) {
        return {};
    }
    Call call = startCall("close", 0);
    release();
    if (auto error = m_state->callFault(Kind::CloseFails, m_parts, m_path)) {
        return failed(std::move(call), std::move(*error));
    }
    finish(std::move(call));
    return {};
}

Result<std::int64_t> MemoryFile::size() {
    Call call = startCall("size", 0);
    if (auto error = unusable()) {
        return failed(std::move(call), std::move(*error));
    }
    finish(std::move(call));
    return toInt(m_node->data.size());
}

Status MemoryFile::seek(std::int64_t offset) {
    Call call = startCall("seek", 0);
    if (auto error = unusable()) {
        return failed(std::move(call), std::move(*error));
    }
    m_position = offset;
    finish(std::move(call));
    return {};
}

Call MemoryFile::startCall(std::string_view op, std::size_t requested) const {
    return Call{std::string(op), m_path, m_position, toInt(requested), 0, std::nullopt};
}

Error MemoryFile::failed(Call call, Error error) {
    call.error = error.code;
    m_state->calls.push_back(std::move(call));
    return error;
}

void MemoryFile::finish(Call call, std::int64_t done) {
    call.done = done;
    m_state->calls.push_back(std::move(call));
}

void MemoryFile::release() {
    m_open = false;
    if (m_mode == OpenMode::Read) {
        --m_node->readers;
    } else if (m_mode == OpenMode::Write) {
        m_node->writer = false;
    }
    --m_state->openFiles;
}

} // namespace

std::unique_ptr<File> openFile(Opening opening) {
    return std::make_unique<MemoryFile>(std::move(opening));
}

} // namespace dividra::platform::memfs
