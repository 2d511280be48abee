#include "core/join/DisketteAside.h"

#include "core/recovery/RecoveryCheck.h"
#include "core/set/SegmentPath.h"
#include "core/transfer/SafeWrite.h"
#include "core/transfer/Transfer.h"

#include <algorithm>

namespace dividra::core {
namespace {

constexpr std::size_t kChunk = 65536;

} // namespace

DisketteAside::DisketteAside(platform::FileSystem& fs, std::string prefix,
                             std::function<bool()> stop)
    : m_fs(fs), m_prefix(std::move(prefix)), m_stop(std::move(stop)) {}

Status DisketteAside::copy(platform::File& from, const std::string& fromPath, std::int64_t length,
                           const std::string& name) {
    auto temp = TempFile::create(m_fs, m_prefix + name);
    if (!temp) {
        return temp.error();
    }
    Transfer transfer(kChunk, nullptr, m_stop);
    const Status copied = transfer.pump(
        from, length, [&](std::span<const std::byte> chunk) { return temp.value()->write(chunk); },
        [&](std::int64_t done) { return EndedEarly(fromPath, done, length); });
    Status closed = copied ? FlushWritten(temp.value()->file()) : copied;
    closed = closed ? temp.value()->close() : closed;
    if (!closed) {
        return closed;
    }
    m_kept[name] = std::move(temp).value();
    return {};
}

Status
DisketteAside::keepJoined(const std::string& joinedPath,
                          const std::vector<std::pair<std::string, std::int64_t>>& segments) {
    auto joined = m_fs.openUnlinked(joinedPath, true);
    if (!joined) {
        return WithAction("Can't read", joined.error());
    }
    for (const auto& [name, length] : segments) {
        if (const Status kept = copy(*joined.value(), joinedPath, length, name); !kept) {
            return kept;
        }
    }
    return {};
}

Status DisketteAside::keep(const std::string& path) {
    auto opened = m_fs.openUnlinked(path, false);
    if (!opened) {
        return WithAction("Can't read", opened.error());
    }
    const auto size = opened.value()->size();
    if (!size) {
        return WithAction("Can't read", size.error());
    }
    return copy(*opened.value(), path, size.value(), std::string(FileNamePart(path)));
}

Result<int> DisketteAside::keepRecoveryFiles(const std::string& descriptorPath) {
    const auto found = RecoveryFilesBeside(m_fs, descriptorPath);
    if (!found) {
        return found.error();
    }
    int kept = 0;
    for (const std::string& path : found.value()) {
        const std::string name(FileNamePart(path));
        if (m_kept.count(name) != 0) {
            continue;
        }
        if (const Status copied = keep(path); !copied) {
            return copied.error();
        }
        m_recovery.push_back(m_kept.at(name)->path());
        ++kept;
    }
    return kept;
}

std::string DisketteAside::pathOf(std::string_view name) const {
    const auto found = m_kept.find(std::string(name));
    return found == m_kept.end() ? std::string() : found->second->path();
}

Result<RecoveryState> DisketteAside::check(const std::vector<std::string>& names) const {
    if (m_recovery.empty()) {
        return Error{ErrorCode::NotFound, "no recovery files were found on the diskettes"};
    }
    return CheckRecoveryFiles(
        m_fs, m_recovery, names, [this](std::string_view name) { return pathOf(name); }, m_stop);
}

JoinResult DisketteAside::join(const RecoveryState& state, const std::vector<std::string>& names,
                               const std::string& outputFolder, const std::string& outputName,
                               bool force, JoinObserver& observer) {
    auto rebuilt = RebuildAside(m_fs, state, m_prefix, m_stop);
    if (!rebuilt) {
        return {rebuilt.error().code == ErrorCode::Cancelled ? JoinOutcome::Cancelled
                                                             : JoinOutcome::Refused,
                rebuilt.error().message};
    }
    auto target = PrepareJoinTarget(m_fs, outputFolder, outputName, force, {}, 0);
    if (!target) {
        return {JoinOutcome::Refused, target.error().message, target.error().code};
    }
    JoinWriter writer(m_fs, std::move(target).value(), false, m_stop);
    Status done = writer.create();
    for (const std::string& name : names) {
        const auto copy =
            std::find(rebuilt.value().names.begin(), rebuilt.value().names.end(), name);
        const std::string path =
            copy != rebuilt.value().names.end()
                ? rebuilt.value()
                      .paths[static_cast<std::size_t>(copy - rebuilt.value().names.begin())]
                : pathOf(name);
        auto opened = done ? m_fs.openUnlinked(path, false)
                           : Result<std::unique_ptr<platform::File>>(done.error());
        const auto size = opened ? opened.value()->size() : Result<std::int64_t>(opened.error());
        if (!size) {
            done = WithAction("Can't read", size.error());
            break;
        }
        ProgressCount progress = JoinProgress(observer, size.value());
        done = writer.append(*opened.value(), path, size.value(), nullptr, progress);
        progress.clear();
        if (!done) {
            break;
        }
    }
    done = done ? writer.commit() : done;
    if (!done) {
        return {done.error().code == ErrorCode::Cancelled ? JoinOutcome::Cancelled
                                                          : JoinOutcome::Failed,
                done.error().message};
    }
    return {JoinOutcome::Done, JoinedText(names.size(), writer)};
}

} // namespace dividra::core
