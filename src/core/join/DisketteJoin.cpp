#include "core/join/DisketteJoin.h"

#include "core/join/DisketteAside.h"
#include "core/join/JoinOutput.h"
#include "core/set/ChecksumFile.h"
#include "core/set/Descriptor.h"
#include "core/set/DescriptorRead.h"
#include "core/set/SegmentPath.h"
#include "core/transfer/SafeWrite.h"
#include "core/transfer/Sha256.h"

#include <optional>
#include <vector>

namespace dividra::core {
namespace {

class DisketteJoin {
public:
    DisketteJoin(platform::FileSystem& fs, const DisketteJoinRequest& request,
                 DisketteJoinObserver& observer)
        : m_fs(fs), m_request(request), m_observer(observer), m_prefix(FloppyPrefix(request.drive)),
          m_baseName(request.name) {}

    JoinResult run();

private:
    bool exists(const std::string& path) const { return m_fs.fileId(path).has_value(); }
    std::string setPath(std::string_view extension) const {
        return m_prefix + m_baseName + std::string(extension);
    }
    Result<std::string> findBaseName() const;
    Status copySegment(JoinWriter& writer, const std::string& path);
    Result<DescriptorInfo> readDescriptor() const;
    JoinResult finish(JoinWriter& writer, const DescriptorInfo& info);
    Status checkDigests(JoinWriter& writer);
    static JoinResult cancelled() { return {JoinOutcome::Cancelled, std::string(kCancelledText)}; }

    // What one diskette in the drive gave: the join's end, or a problem to ask again with, or
    // (neither) the next diskette.
    struct Step {
        std::optional<JoinResult> end;
        std::string problem;
    };
    std::optional<Step> prepare();
    Step takeDiskette(int number);
    Step takeAside(int number, const std::string& segment, const Result<DescriptorInfo>& info);
    // Goes on without diskette `number`, what was joined so far kept aside.
    Status skip(int number);
    JoinResult finishAside(const DescriptorInfo& info, int number);

    platform::FileSystem& m_fs;
    const DisketteJoinRequest& m_request;
    DisketteJoinObserver& m_observer;
    std::string m_prefix;
    std::string m_baseName;
    std::vector<std::string> m_segmentPaths;
    std::vector<std::string> m_digests;
    std::optional<JoinWriter> m_writer; // from the first diskette with the set on
    std::vector<std::pair<std::string, std::int64_t>> m_appended; // names and lengths
    std::unique_ptr<DisketteAside> m_aside;                       // once a diskette was skipped
};

// The one set whose first segment is on the diskette: "data" for "a:\DATA.000".
Result<std::string> DisketteJoin::findBaseName() const {
    const auto found = m_fs.find(m_prefix + "*" + SegmentExtension(0), 0);
    if (!found) {
        return found.error();
    }
    if (found.value().size() != 1) {
        return Error{ErrorCode::NotFound,
                     found.value().empty()
                         ? "No first segment (NAME.000) on diskette #1"
                         : "More than one first segment on diskette #1; name the set to join"};
    }
    const std::string& name = found.value().front().name;
    return name.substr(0, name.size() - SegmentExtension(0).size());
}

Status DisketteJoin::copySegment(JoinWriter& writer, const std::string& path) {
    auto opened = m_fs.openUnlinked(path, false);
    if (!opened) {
        return WithAction("Can't open", opened.error());
    }
    const auto size = opened.value()->size();
    if (!size) {
        return WithAction("Can't read", size.error());
    }
    Sha256 hash;
    ProgressCount progress = JoinProgress(m_observer, size.value());
    const Status copied = writer.append(*opened.value(), path, size.value(), &hash, progress);
    progress.clear();
    if (!copied) {
        return copied;
    }
    m_segmentPaths.push_back(path);
    m_digests.push_back(hash.hexDigest());
    m_appended.emplace_back(FileNamePart(path), size.value());
    return {};
}

// With a checksum file beside the descriptor: every segment and the whole against it.
Status DisketteJoin::checkDigests(JoinWriter& writer) {
    const std::string path = setPath(kChecksumExtension);
    if (!exists(path)) {
        return {};
    }
    const auto text = ReadSmallFile(m_fs, path, kMaxChecksumBytes);
    if (!text) {
        return text.error();
    }
    const auto lines = ReadChecksumText(text.value());
    if (!lines) {
        return Error{ErrorCode::InvalidArgument, path + ": " + lines.error().message};
    }
    if (const Status named = CheckChecksumNames(lines.value(), m_segmentPaths, path); !named) {
        return named;
    }
    for (std::size_t i = 0; i < m_digests.size(); ++i) {
        if (m_digests[i] != lines.value()[i].digest) {
            return Error{ErrorCode::InvalidArgument,
                         m_segmentPaths[i] + ": checksum differs from " + path};
        }
    }
    if (writer.wholeDigest() != lines.value().back().digest) {
        return Error{ErrorCode::InvalidArgument,
                     WholeDigestDiffers(lines.value().back().name, path)};
    }
    return {};
}

Result<DescriptorInfo> DisketteJoin::readDescriptor() const {
    const std::string path = setPath(kDescriptorExtension);
    const auto text = ReadSmallFile(m_fs, path, kMaxDescriptorBytes);
    if (!text) {
        return text.error();
    }
    auto info = ReadDescriptorText(text.value());
    if (!info) {
        return Error{ErrorCode::InvalidArgument, path + ": " + info.error().message};
    }
    return info;
}

// The diskette in the drive holds the descriptor: the set must be what it describes.
JoinResult DisketteJoin::finish(JoinWriter& writer, const DescriptorInfo& info) {
    const std::string path = setPath(kDescriptorExtension);
    const auto read = static_cast<int>(m_segmentPaths.size());
    if (info.segmentCount != read || info.totalSize != writer.written()) {
        return {JoinOutcome::Refused, path + " describes " + std::to_string(info.segmentCount) +
                                          " segments of " + std::to_string(info.totalSize) +
                                          " bytes; " + std::to_string(read) + " segments of " +
                                          std::to_string(writer.written()) + " bytes were read"};
    }
    if (const Status checked = checkDigests(writer); !checked) {
        return {JoinOutcome::Refused, checked.error().message};
    }
    if (const Status named = writer.retarget(m_baseName + info.extension, m_request.force);
        !named) {
        return {JoinOutcome::Refused, named.error().message, named.error().code};
    }
    if (const Status committed = writer.commit(); !committed) {
        return {JoinOutcome::Failed, committed.error().message};
    }
    return {JoinOutcome::Done, JoinedText(m_segmentPaths.size(), writer)};
}

// The set's name and the temporary, the first time a diskette is there to give them.
std::optional<DisketteJoin::Step> DisketteJoin::prepare() {
    if (m_baseName.empty()) {
        const auto name = findBaseName();
        if (!name) {
            return Step{std::nullopt, name.error().message};
        }
        m_baseName = name.value();
    }
    if (m_writer) {
        return std::nullopt;
    }
    // The extension comes with the descriptor, at the end: until then the temporary carries
    // the base name, and the final name is checked before the rename.
    auto target = PrepareJoinTarget(m_fs, m_request.outputFolder, m_baseName, true, {}, 0);
    if (!target) {
        return Step{JoinResult{JoinOutcome::Refused, target.error().message}, {}};
    }
    m_writer.emplace(m_fs, std::move(target).value(), true,
                     [this] { return m_observer.cancelRequested(); });
    if (const Status created = m_writer->create(); !created) {
        return Step{JoinResult{JoinOutcome::Failed, created.error().message}, {}};
    }
    return std::nullopt;
}

DisketteJoin::Step DisketteJoin::takeDiskette(int number) {
    if (auto prepared = prepare()) {
        return *prepared;
    }
    const std::string segment = SegmentPath(m_prefix, m_baseName, number - 1);
    const bool hasDescriptor = exists(setPath(kDescriptorExtension));
    const auto info = hasDescriptor ? readDescriptor() : Error{ErrorCode::NotFound, ""};
    if (hasDescriptor && !info) {
        return {JoinResult{JoinOutcome::Refused, info.error().message}, {}};
    }
    if (m_aside) {
        return takeAside(number, segment, info);
    }
    if (!exists(segment)) {
        // A descriptor alone ends the set only on the diskette after its last segment; else
        // this is a later diskette of the set, put in too soon.
        if (info && info.value().segmentCount == number - 1) {
            return {finish(*m_writer, info.value()), {}};
        }
        return {std::nullopt, "This diskette doesn't hold " + segment};
    }
    if (const Status copied = copySegment(*m_writer, segment); !copied) {
        if (copied.error().code != ErrorCode::Cancelled &&
            m_observer.askToSkip(number, copied.error().message)) {
            const Status skipped = skip(number);
            return skipped ? Step{info ? std::optional(finishAside(info.value(), number))
                                       : std::nullopt,
                                  {}}
                           : Step{JoinResult{JoinOutcome::Failed, skipped.error().message}, {}};
        }
        return {copied.error().code == ErrorCode::Cancelled
                    ? cancelled()
                    : JoinResult{JoinOutcome::Failed, copied.error().message},
                {}};
    }
    return {info ? std::optional(finish(*m_writer, info.value())) : std::nullopt, {}};
}

DisketteJoin::Step DisketteJoin::takeAside(int number, const std::string& segment,
                                           const Result<DescriptorInfo>& info) {
    if (exists(segment)) {
        if (const Status kept = m_aside->keep(segment); !kept) {
            if (kept.error().code == ErrorCode::Cancelled) {
                return {cancelled(), {}};
            }
            if (!m_observer.askToSkip(number, kept.error().message)) {
                return {JoinResult{JoinOutcome::Failed, kept.error().message}, {}};
            }
        }
    } else if (!info || info.value().segmentCount != number - 1) {
        return {std::nullopt, "This diskette doesn't hold " + segment};
    }
    return {info ? std::optional(finishAside(info.value(), number)) : std::nullopt, {}};
}

Status DisketteJoin::skip(int) {
    if (m_aside) {
        return {};
    }
    if (const Status flushed = m_writer->flush(); !flushed) {
        return flushed;
    }
    m_aside = std::make_unique<DisketteAside>(m_fs, HardDrivePrefix(m_request.outputFolder),
                                              [this] { return m_observer.cancelRequested(); });
    return m_aside->keepJoined(m_writer->tempPath(), m_appended);
}

// The descriptor's diskette after a skip: recovery files from it and from the diskettes after
// it until they can rebuild what is lost, then the join from what is aside.
JoinResult DisketteJoin::finishAside(const DescriptorInfo& info, int number) {
    std::vector<std::string> names;
    for (int n = 0; n < info.segmentCount; ++n) {
        names.emplace_back(FileNamePart(SegmentPath("", m_baseName, n)));
    }
    for (int next = number + 1;; ++next) {
        const auto kept = m_aside->keepRecoveryFiles(setPath(kDescriptorExtension));
        if (!kept) {
            return {JoinOutcome::Failed, kept.error().message};
        }
        const auto state = m_aside->check(names);
        if (state && state.value().repairable()) {
            m_writer.reset(); // its temporary and the folder's lock go
            return m_aside->join(state.value(), names, m_request.outputFolder,
                                 m_baseName + info.extension, m_request.force, m_observer);
        }
        const std::string problem =
            state ? "The recovery files read so far hold " +
                        std::to_string(state.value().slicesAvailable) + " slices; " +
                        std::to_string(state.value().slicesNeeded) + " are needed"
                  : state.error().message;
        if (!m_observer.askForDiskette(next, problem)) {
            return {JoinOutcome::Refused, "The skipped segments can't be rebuilt: " + problem};
        }
    }
}

JoinResult DisketteJoin::run() {
    std::string problem;
    for (int number = 1; number <= kMaxJoinSegments + 1;) {
        if (!m_observer.askForDiskette(number, problem)) {
            // Only a diskette that proved wrong or unreadable may be skipped, never the first.
            if (!m_writer || number == 1 || problem.empty() ||
                !m_observer.askToSkip(number, problem)) {
                return cancelled();
            }
            if (const Status skipped = skip(number); !skipped) {
                return {JoinOutcome::Failed, skipped.error().message};
            }
            problem.clear();
            ++number;
            continue;
        }
        const Step step = takeDiskette(number);
        if (step.end) {
            return *step.end;
        }
        problem = step.problem;
        number += problem.empty() ? 1 : 0;
    }
    return {JoinOutcome::Refused,
            "No descriptor after " + std::to_string(kMaxJoinSegments) + " diskettes"};
}

} // namespace

JoinResult JoinFromDiskettes(platform::FileSystem& fs, const DisketteJoinRequest& request,
                             DisketteJoinObserver& observer) {
    return DisketteJoin(fs, request, observer).run();
}

} // namespace dividra::core
